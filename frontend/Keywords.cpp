#include "frontend/Keywords.h"

#include <map>

namespace vemlor {

KeywordId keywordOf(const std::string& name) {
    static const std::map<std::string, KeywordId> table = {
        {"while", KW_WHILE},
        {"if", KW_IF},
        {"unless", KW_UNLESS},
        {"for", KW_FOR},
        {"else", KW_ELSE},
        {"clear", KW_CLEAR},
        {"return", KW_RETURN},
        {"function", KW_FUNCTION},
        {"end", KW_END},
        {"funcdec", KW_FUNCDEC},
        {"const", KW_CONST},
        {"global", KW_GLOBAL},
        {"persistent", KW_PERSISTENT},
        {"use", KW_USE},
        {"break", KW_BREAK},
        {"continue", KW_CONTINUE},
    };
    if (name.size() < 2) return KW_NONE;
    auto found = table.find(name);
    return found == table.end() ? KW_NONE : found->second;
}

} // namespace vemlor
