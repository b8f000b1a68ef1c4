// Reads the header of a function definition: outputs, name, parameters
// with their types, '^' marks and defaults.
#pragma once

#include "exec/UserFunc.h"
#include "frontend/Token.h"

#include <deque>
#include <string>

namespace vemlor {

// The header in [begin, end): "name(parameters)" or "name", preceded in the
// keyword form by "y =", "y* =" or "[a, b] =".
FunctionSignature readFunctionHeader(const Token* begin, const Token* end, bool keywordForm);

// The header of a `function` line of a file (the keyword included), read
// without its body; the signature carries FUNC_HEADER_FROM_TEXT.
FunctionSignature headerFromText(const std::string& line);

// The statements that follow the header on such a line: the start of a body
// written on the header's own line.
std::deque<TokenList> statementsAfterHeader(const std::string& line);

} // namespace vemlor
