// The Adobe Symbol encoding as one 256-entry table. Codes 32-126 are ASCII
// except where the font draws a mathematical sign or a Greek letter instead;
// 160-254 hold the signs, arrows and bracket pieces.
#include "console/SymbolFont.h"

#include <array>

namespace vemlor {

namespace {

constexpr char32_t kNoGlyph = 0xFFFD;

constexpr std::array<char32_t, 256> buildTable() {
    std::array<char32_t, 256> table{};
    for (int code = 0; code < 127; ++code)
        table[size_t(code)] = char32_t(code);
    for (int code = 127; code < 256; ++code)
        table[size_t(code)] = kNoGlyph;

    // Printable codes that differ from ASCII.
    table[34] = 0x2200;  // for all
    table[36] = 0x2203;  // there exists
    table[39] = 0x220B;  // contains as member
    table[42] = 0x2217;  // asterisk operator
    table[45] = 0x2212;  // minus
    table[64] = 0x2245;  // approximately equal
    table[92] = 0x2234;  // therefore
    table[94] = 0x22A5;  // perpendicular
    table[96] = 0x203E;  // radical extender
    table[126] = 0x223C; // tilde operator

    // Greek letters, upper case at 65-90 and lower case at 97-122, in the
    // font's Latin order (C is chi, F phi, J theta symbol, Q theta, ...).
    constexpr char32_t upper[26] = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
                                    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D,
                                    0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5,
                                    0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
    constexpr char32_t lower[26] = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
                                    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD,
                                    0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5,
                                    0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};
    for (int i = 0; i < 26; ++i) {
        table[size_t(65 + i)] = upper[i];
        table[size_t(97 + i)] = lower[i];
    }

    constexpr char32_t high[95] = {// 160-175
                                   0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,
                                   0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
                                   // 176-191
                                   0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x00B7,
                                   0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
                                   // 192-207
                                   0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,
                                   0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
                                   // 208-223
                                   0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
                                   0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
                                   // 224-239
                                   0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,
                                   0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
                                   // 240-254 (240 has no glyph)
                                   kNoGlyph, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
                                   0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD};
    for (int i = 0; i < 95; ++i)
        table[size_t(160 + i)] = high[i];
    return table;
}

constexpr std::array<char32_t, 256> kSymbolTable = buildTable();

} // namespace

char32_t symbolCodePoint(unsigned char code) {
    return kSymbolTable[code];
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(char(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(char(0xC0 | codePoint >> 6));
        out.push_back(char(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(char(0xE0 | codePoint >> 12));
        out.push_back(char(0x80 | (codePoint >> 6 & 0x3F)));
        out.push_back(char(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(char(0xF0 | codePoint >> 18));
        out.push_back(char(0x80 | (codePoint >> 12 & 0x3F)));
        out.push_back(char(0x80 | (codePoint >> 6 & 0x3F)));
        out.push_back(char(0x80 | (codePoint & 0x3F)));
    }
}

std::string symbolToUtf8(unsigned char code) {
    std::string out;
    appendUtf8(out, symbolCodePoint(code));
    return out;
}

} // namespace vemlor
