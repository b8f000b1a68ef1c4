// The console markup language: decoding one line into visible text plus
// attribute segments, and the two shared tables behind it (colour letters and
// the three-letter Symbol codes of ";" groups).
//
// Invariants of a decoded line: segments are non-empty, in order, their `end`
// values strictly increase and the last one equals text.size(). Characters of
// segments with style '$' are codes of the "Symbol" font, not text bytes.
// Both tables are built once on first use and never change afterwards.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemlor {

constexpr uint32_t makeRgb(int r, int g, int b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}
constexpr int redOf(uint32_t rgb) {
    return int(rgb >> 16 & 0xff);
}
constexpr int greenOf(uint32_t rgb) {
    return int(rgb >> 8 & 0xff);
}
constexpr int blueOf(uint32_t rgb) {
    return int(rgb & 0xff);
}

// Vertical offsets of segments, in eighths of the font size.
constexpr int kSuperscriptOffset = 2;
constexpr int kSubscriptOffset = -3;
constexpr int kRaisedSymbolOffset = 1;

constexpr std::string_view kDecodingError = "something wrong with text decoding";

struct Segment {
    int end = 0;           // one past the segment's last byte in the visible text
    uint32_t rgb = 0;      // 0xRRGGBB
    bool coloured = false; // false: the caller's default colour, no colour group applies
    char style = ' ';      // ' ' . : ; plain, '*' bold, '/' italic, '=' link, '$' Symbol,
                           // '^' superscript, '_' subscript, '-' tail-visible
    int offset = 0;        // 0, kSuperscriptOffset, kSubscriptOffset, or raised by one

    bool sameLook(const Segment& other) const {
        return rgb == other.rgb && coloured == other.coloured && style == other.style &&
               offset == other.offset;
    }
};

struct DecodedLine {
    std::string text;
    std::vector<Segment> segments;
    std::string error; // kDecodingError when the markup could not be decoded

    bool ok() const { return error.empty(); }
    // Start of segment i in `text`.
    int startOf(size_t i) const { return i == 0 ? 0 : segments[i - 1].end; }
};

// Decodes one output line or figure text. A closing brace with no group open
// is the inconsistency reported through `error`; the text is then incomplete.
DecodedLine decodeMarkup(std::string_view line, uint32_t defaultColour);

// Visible text only (Symbol-font characters stay as their font codes).
std::string plainText(std::string_view markupLine);

// True when segment i is a superscript that directly follows a subscript: it
// is drawn at the x where that subscript began, so the two stack.
bool sharesPreviousX(const std::vector<Segment>& segments, size_t i);

// Colour of a colour letter; empty for letters without one (they draw black).
std::optional<uint32_t> markupColour(char letter);

// Symbol-font character of a three-letter code of ";" groups, or -1.
int markupSymbol(std::string_view code);

// Every three-letter code of ";" groups, in table order.
std::vector<std::string_view> markupSymbolCodes();

} // namespace vemlor
