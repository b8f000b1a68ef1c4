// Characters of the "Symbol" font (Greek letters and mathematical signs at
// the codes of the Adobe Symbol encoding) as Unicode text, for outputs that
// have no such font: terminals and plain text.
#pragma once

#include <string>
#include <string_view>

namespace vemlor {

// Unicode code point shown by Symbol-font character `code` (0-255). Control
// codes map to themselves; codes without a glyph map to U+FFFD.
char32_t symbolCodePoint(unsigned char code);

// The same character encoded as UTF-8.
std::string symbolToUtf8(unsigned char code);

// Appends the UTF-8 encoding of a code point.
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace vemlor
