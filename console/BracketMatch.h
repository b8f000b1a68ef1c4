// Bracket matching for the input line: the partner of the bracket at a given
// position, found by one left-to-right scan with a stack of open brackets.
#pragma once

#include <string_view>

namespace vemlor {

struct BracketMatch {
    // Position of the partner bracket; -1 when the position holds no bracket
    // or the scan ends without an answer, and -p when the closer at p has no
    // opener of its kind on top of the stack. That value is 0 for a closer at
    // column 0, so callers test `matched` rather than the sign.
    int partner = -1;
    bool matched = false;
    int openers = 0; // opening brackets seen by the scan
};

BracketMatch matchBracket(std::string_view line, int position);

} // namespace vemlor
