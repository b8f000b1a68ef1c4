// Character tests shared by the lexer's source files. Text is single-byte;
// only ASCII letters and digits count, whatever the locale.
#pragma once

namespace vemlor::detail {

inline bool isLexBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
inline bool isLexDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool isLexLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool isIdentChar(char c) {
    return isLexLetter(c) || isLexDigit(c) || c == '_';
}
inline bool isQuote(char c) {
    return c == '\'' || c == '"';
}
inline bool isBracketChar(char c) {
    return c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}';
}

} // namespace vemlor::detail
