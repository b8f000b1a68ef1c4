// The statement keywords and their ids.
#pragma once

#include <string>
#include <vector>

namespace vemlor {

enum KeywordId : int {
    KW_NONE = 0,
    KW_WHILE = 1,
    KW_IF = 2,
    KW_UNLESS = 3,
    KW_FOR = 4,
    KW_ELSE = 5,
    KW_CLEAR = 6,
    KW_RETURN = 7,
    KW_FUNCTION = 9,
    KW_END = 10,
    KW_FUNCDEC = 11,
    KW_CONST = 13,
    KW_GLOBAL = 14,
    KW_PERSISTENT = 15,
    KW_USE = 16,
    KW_BREAK = 17,
    KW_CONTINUE = 18,
};

// KW_NONE unless `name` (at least two characters) is a keyword.
KeywordId keywordOf(const std::string& name);

// Every keyword, in alphabetical order.
std::vector<std::string> keywordNames();

} // namespace vemlor
