// Terminal rendering of decoded markup. Each segment starts from a clean
// attribute state, so nothing leaks from one segment into the next; segments
// in the default colour leave the terminal's own foreground colour alone.
#include "console/TerminalRenderer.h"

#include "console/Markup.h"
#include "console/SymbolFont.h"

namespace vemlor {

namespace {

constexpr std::string_view kReset = "\x1b[0m";

void appendSegmentText(std::string& out, const DecodedLine& decoded, size_t i) {
    const Segment& segment = decoded.segments[i];
    size_t start = size_t(decoded.startOf(i));
    std::string_view text =
        std::string_view(decoded.text).substr(start, size_t(segment.end) - start);
    if (segment.style != '$') {
        out.append(text);
        return;
    }
    for (char c : text)
        appendUtf8(out, symbolCodePoint(static_cast<unsigned char>(c)));
}

// Escape sequence selecting the look of a segment; empty for a plain one.
std::string attributesOf(const Segment& segment) {
    std::string codes;
    auto add = [&codes](const std::string& code) {
        if (!codes.empty()) codes.push_back(';');
        codes += code;
    };
    if (segment.style == '*') add("1");
    if (segment.style == '/') add("3");
    if (segment.style == '=') add("4");
    if (segment.coloured)
        add("38;2;" + std::to_string(redOf(segment.rgb)) + ";" +
            std::to_string(greenOf(segment.rgb)) + ";" + std::to_string(blueOf(segment.rgb)));
    if (codes.empty()) return {};
    return "\x1b[" + codes + "m";
}

} // namespace

std::string renderAnsi(std::string_view markupLine) {
    DecodedLine decoded = decodeMarkup(markupLine, 0);
    if (!decoded.ok()) return std::string(markupLine);
    std::string out;
    bool attributesSet = false;
    for (size_t i = 0; i < decoded.segments.size(); ++i) {
        std::string attributes = attributesOf(decoded.segments[i]);
        if (attributesSet) out.append(kReset);
        out.append(attributes);
        attributesSet = !attributes.empty();
        appendSegmentText(out, decoded, i);
    }
    if (attributesSet) out.append(kReset);
    return out;
}

std::string renderPlain(std::string_view markupLine) {
    DecodedLine decoded = decodeMarkup(markupLine, 0);
    if (!decoded.ok()) return std::string(markupLine);
    std::string out;
    for (size_t i = 0; i < decoded.segments.size(); ++i)
        appendSegmentText(out, decoded, i);
    return out;
}

} // namespace vemlor
