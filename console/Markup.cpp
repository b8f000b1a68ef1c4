// Markup decoding. A line is first checked for the whole-line forms (plain,
// literal "{:" / "{;", one group spanning the line, leading closer); anything
// else is scanned brace by brace with a stack of open groups. Closing a group
// does not return to the enclosing group's look: a colour group gives back the
// default colour and every group gives back the plain style, which is what
// output written for this console expects.
#include "console/Markup.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vemlor {

namespace {

struct ColourTable {
    std::array<std::optional<uint32_t>, 128> byLetter{};

    ColourTable() {
        const struct {
            char letter;
            int r, g, b;
        } listed[] = {
            {'a', 10, 10, 10},    {'b', 0, 0, 100},     {'B', 0, 0, 130},     {'c', 255, 255, 220},
            {'C', 255, 255, 223}, {'d', 100, 0, 0},     {'e', 255, 140, 0},   {'f', 255, 255, 223},
            {'g', 0, 100, 0},     {'G', 144, 238, 144}, {'i', 75, 0, 130},    {'j', 0, 168, 107},
            {'k', 0, 0, 0},       {'K', 10, 10, 10},    {'l', 255, 247, 0},   {'m', 170, 0, 170},
            {'n', 255, 140, 200}, {'p', 160, 128, 135}, {'q', 127, 255, 212}, {'Q', 0, 255, 255},
            {'r', 170, 0, 0},     {'t', 43, 149, 139},  {'v', 238, 130, 238}, {'w', 255, 255, 255},
            {'x', 241, 180, 47},  {'y', 255, 255, 200}, {'z', 0, 20, 168},
        };
        for (const auto& entry : listed)
            byLetter[size_t(entry.letter)] = makeRgb(entry.r, entry.g, entry.b);
        // Upper-case letters without a colour of their own get a brighter
        // version of their lower-case colour.
        for (char lower = 'a'; lower <= 'z'; ++lower) {
            const auto& base = byLetter[size_t(lower)];
            auto& upper = byLetter[size_t(lower - 'a' + 'A')];
            if (!base || upper) continue;
            upper =
                makeRgb(brighter(redOf(*base)), brighter(greenOf(*base)), brighter(blueOf(*base)));
        }
    }

    static int brighter(int component) { return std::min(255, component * 3 / 2); }
};

const ColourTable& colourTable() {
    static const ColourTable table;
    return table;
}

struct SymbolCode {
    std::string_view code;
    int character;
};

constexpr SymbolCode kSymbolCodes[] = {
    {"leq", 163}, {"geq", 179}, {"neq", 185}, {"prp", 181}, {"eqv", 186}, {"apr", 187},
    {"dot", 183}, {"tms", 180}, {"div", 184}, {"pom", 177}, {"otm", 196}, {"opl", 197},
    {"clb", 167}, {"dmd", 168}, {"hrt", 169}, {"spd", 170}, {"lra", 171}, {"lfa", 172},
    {"upa", 173}, {"rta", 174}, {"dna", 175}, {"lab", 225}, {"rab", 241}, {"sum", 229},
    {"prd", 213}, {"sqt", 214}, {"int", 242}, {"ell", 188}, {"nab", 209}, {"inf", 165},
    {"deg", 176}, {"par", 182}, {"crt", 211},
};

constexpr int kInfinitySymbol = 165;

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isStyleChar(char c) {
    return std::string_view(":;.*=/$^_-").find(c) != std::string_view::npos;
}

int offsetOfStyle(char style) {
    if (style == '^') return kSuperscriptOffset;
    if (style == '_') return kSubscriptOffset;
    return 0;
}

// A group header after the brace at `brace`: its length (2 or 3, brace
// included) and what it sets; length 0 when there is none.
struct Header {
    int length = 0;
    bool hasColour = false;
    char letter = 0;
    char style = ' ';
};

Header headerAt(std::string_view line, size_t brace) {
    Header header;
    if (brace + 1 >= line.size()) return header;
    char first = line[brace + 1];
    if (isStyleChar(first)) {
        header.length = 2;
        header.style = first;
    } else if (isLetter(first) && brace + 2 < line.size()) {
        char second = line[brace + 2];
        if (second == ' ' || isStyleChar(second)) {
            header.length = 3;
            header.hasColour = true;
            header.letter = first;
            header.style = second;
        }
    }
    return header;
}

enum class GroupKind { Colour, Style, Script, TextBrace };

class Decoder {
  public:
    explicit Decoder(uint32_t defaultColour) : default_(defaultColour) {
        look_.rgb = defaultColour;
    }

    DecodedLine decode(std::string_view line) {
        if (isWholePlain(line)) {
            emitRaw(line);
        } else if (line.starts_with("{:") || line.starts_with("{;")) {
            look_.style = line[1];
            emitRaw(line.substr(2));
        } else if (Header header = headerAt(line, 0);
                   header.length && line.find('{', 1) == std::string_view::npos) {
            decodeSingleGroup(line, header);
        } else {
            scan(line);
        }
        return std::move(out_);
    }

  private:
    static bool isWholePlain(std::string_view line) {
        if (line.size() <= 1) return true;
        if (line[0] == '}' || line[0] == '_' || line[0] == '^') return true;
        return line.find_first_of("{}_^\\") == std::string_view::npos;
    }

    // The line opens with a group and no other brace opens one: the group
    // runs to the end, a closer ending the line is dropped and any other
    // closer is text.
    void decodeSingleGroup(std::string_view line, const Header& header) {
        openGroup(header);
        std::string_view body = line.substr(size_t(header.length));
        if (!body.empty() && body.back() == '}') body.remove_suffix(1);
        emitText(body);
    }

    void scan(std::string_view line) {
        size_t pieceStart = 0;
        for (size_t p = line.find_first_of("{}"); p != std::string_view::npos;
             p = line.find_first_of("{}", p + 1)) {
            char before = p > pieceStart ? line[p - 1] : 0;
            if (before == '\\') {
                emitText(line.substr(pieceStart, p - 1 - pieceStart));
                emitRaw(line.substr(p, 1));
                pieceStart = p + 1;
            } else if (line[p] == '}') {
                if (stack_.empty()) {
                    out_.error = std::string(kDecodingError);
                    return;
                }
                // The closer of a brace shown as text stays in the text.
                if (stack_.back() == GroupKind::TextBrace) {
                    stack_.pop_back();
                    continue;
                }
                emitText(line.substr(pieceStart, p - pieceStart));
                popGroup();
                pieceStart = p + 1;
            } else if (before == '^' || before == '_') {
                emitText(line.substr(pieceStart, p - 1 - pieceStart));
                stack_.push_back(GroupKind::Script);
                look_.style = before;
                look_.offset = offsetOfStyle(before);
                pieceStart = p + 1;
            } else if (Header header = headerAt(line, p); header.length) {
                emitText(line.substr(pieceStart, p - pieceStart));
                openGroup(header);
                pieceStart = p + size_t(header.length);
                if (look_.style == ':') {
                    emitRaw(line.substr(pieceStart));
                    return;
                }
            } else {
                stack_.push_back(GroupKind::TextBrace);
            }
        }
        if (pieceStart < line.size()) emitText(line.substr(pieceStart));
    }

    void popGroup() {
        if (stack_.back() == GroupKind::Colour) {
            look_.rgb = default_;
            look_.coloured = false;
        }
        look_.style = ' ';
        look_.offset = 0;
        stack_.pop_back();
    }

    void openGroup(const Header& header) {
        if (header.hasColour) {
            look_.rgb = markupColour(header.letter).value_or(makeRgb(0, 0, 0));
            look_.coloured = true;
        }
        look_.style = header.style;
        if (header.style == '^' || header.style == '_') look_.offset = offsetOfStyle(header.style);
        stack_.push_back(header.hasColour ? GroupKind::Colour : GroupKind::Style);
    }

    // Text between markers: backslash sequences are read only in ";" groups.
    void emitText(std::string_view text) {
        if (look_.style != ';') {
            emitRaw(text);
            return;
        }
        size_t slash = text.find('\\');
        emitRaw(text.substr(0, slash));
        while (slash != std::string_view::npos) {
            size_t next = text.find('\\', slash + 1);
            size_t end = next == std::string_view::npos ? text.size() : next;
            emitSequence(text.substr(slash + 1, end - slash - 1));
            slash = next;
        }
    }

    // One piece that followed a backslash inside a ";" group.
    void emitSequence(std::string_view piece) {
        if (piece.size() == 1) {
            emitWith(piece, '$', look_.offset);
            return;
        }
        if (piece.size() >= 2 && piece[0] == 'v') {
            if (piece.size() >= 3 && isWordChar(piece[2])) return emitLiteralSequence(piece);
            emitWith(piece.substr(1, 1), '*', look_.offset);
            emitRaw(piece.substr(2));
            return;
        }
        if (piece.size() >= 2 && isWordChar(piece[1])) {
            int symbol = piece.size() >= 3 ? markupSymbol(piece.substr(0, 3)) : -1;
            if (symbol < 0 || (piece.size() >= 4 && isWordChar(piece[3])))
                return emitLiteralSequence(piece);
            char code = char(symbol);
            int raise = symbol == kInfinitySymbol ? kRaisedSymbolOffset : 0;
            emitWith(std::string_view(&code, 1), '$', look_.offset + raise);
            emitRaw(piece.substr(3));
            return;
        }
        if (piece.size() >= 2) {
            unsigned char first = static_cast<unsigned char>(piece[0]);
            if (first < '(' || first >= 'A') {
                emitWith(piece.substr(0, 1), '$', look_.offset);
                emitRaw(piece.substr(1));
                return;
            }
        }
        emitLiteralSequence(piece);
    }

    void emitLiteralSequence(std::string_view piece) {
        emitRaw("\\");
        emitRaw(piece);
    }

    void emitWith(std::string_view text, char style, int offset) {
        Segment saved = look_;
        look_.style = style;
        look_.offset = offset;
        emitRaw(text);
        look_ = saved;
    }

    // Appends text with the current look, merging with an identical segment.
    void emitRaw(std::string_view text) {
        if (text.empty()) return;
        out_.text.append(text);
        look_.end = int(out_.text.size());
        if (!out_.segments.empty() && out_.segments.back().sameLook(look_))
            out_.segments.back().end = look_.end;
        else
            out_.segments.push_back(look_);
    }

    uint32_t default_;
    Segment look_;
    std::vector<GroupKind> stack_;
    DecodedLine out_;
};

} // namespace

DecodedLine decodeMarkup(std::string_view line, uint32_t defaultColour) {
    return Decoder(defaultColour).decode(line);
}

std::string plainText(std::string_view markupLine) {
    return decodeMarkup(markupLine, 0).text;
}

bool sharesPreviousX(const std::vector<Segment>& segments, size_t i) {
    return i > 0 && i < segments.size() && segments[i].offset == kSuperscriptOffset &&
           segments[i - 1].offset == kSubscriptOffset;
}

std::optional<uint32_t> markupColour(char letter) {
    unsigned char index = static_cast<unsigned char>(letter);
    if (index >= 128) return std::nullopt;
    return colourTable().byLetter[index];
}

int markupSymbol(std::string_view code) {
    for (const SymbolCode& entry : kSymbolCodes)
        if (entry.code == code) return entry.character;
    return -1;
}

std::vector<std::string_view> markupSymbolCodes() {
    std::vector<std::string_view> codes;
    for (const SymbolCode& entry : kSymbolCodes)
        codes.push_back(entry.code);
    return codes;
}

} // namespace vemlor
