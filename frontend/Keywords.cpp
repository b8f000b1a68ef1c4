#include "frontend/Keywords.h"

#include <map>

namespace vemlor {

namespace {

const std::map<std::string, KeywordId>& keywordTable() {
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
    return table;
}

} // namespace

KeywordId keywordOf(const std::string& name) {
    if (name.size() < 2) return KW_NONE;
    const auto& table = keywordTable();
    auto found = table.find(name);
    return found == table.end() ? KW_NONE : found->second;
}

std::vector<std::string> keywordNames() {
    std::vector<std::string> names;
    for (const auto& entry : keywordTable())
        names.push_back(entry.first);
    return names;
}

} // namespace vemlor
