// Kinds: ( [ { are 1 2 3, } ] ) are 4 5 6, and kind k closes 7 - k. The scan
// stops at the first answer, so brackets after the pair are never looked at.
#include "console/BracketMatch.h"

#include <utility>
#include <vector>

namespace vemlor {

namespace {

int bracketKind(char c) {
    switch (c) {
    case '(':
        return 1;
    case '[':
        return 2;
    case '{':
        return 3;
    case '}':
        return 4;
    case ']':
        return 5;
    case ')':
        return 6;
    default:
        return 0;
    }
}

} // namespace

BracketMatch matchBracket(std::string_view line, int position) {
    BracketMatch result;
    if (position < 0 || size_t(position) >= line.size() || !bracketKind(line[size_t(position)]))
        return result;
    std::vector<std::pair<int, int>> open; // (position, kind)
    for (int i = 0; i < int(line.size()); ++i) {
        int kind = bracketKind(line[size_t(i)]);
        if (kind == 0) continue;
        if (kind <= 3) {
            open.emplace_back(i, kind);
            ++result.openers;
            continue;
        }
        if (open.empty() || open.back().second != 7 - kind) {
            result.partner = -i;
            return result;
        }
        if (i == position || open.back().first == position) {
            result.partner = i == position ? open.back().first : i;
            result.matched = true;
            return result;
        }
        open.pop_back();
    }
    return result;
}

} // namespace vemlor
