// Whether typed text stops inside an unfinished construct (an open bracket or
// "{ }" block, a dangling operator), so that a terminal session should read
// more lines before running it, as a pasted block would run.
#pragma once

#include <string>

namespace vemlor {

// Lines are separated by '\r' (or '\n').
bool isUnfinishedInput(const std::string& text);

} // namespace vemlor
