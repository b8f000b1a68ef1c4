// A hand-written scanner rather than strtod: strtod also accepts "inf",
// "nan", hexadecimal floats and trailing garbage, none of which users mean
// by a number.
#include "builtins/NumberText.h"

namespace vemlor {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Advances over digits; returns how many.
size_t skipDigits(std::string_view text, size_t& pos) {
    size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return pos - start;
}

} // namespace

bool isDecimalNumberText(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    size_t digits = skipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits += skipDigits(text, pos);
    }
    if (digits == 0) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        if (skipDigits(text, pos) == 0) return false;
    }
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    return pos == text.size();
}

} // namespace vemlor
