// Style strings: each field is read by its own scan of the whole string, so
// the order of the characters matters only where a rule says "first".
#include "graphics/Style.h"

#include "console/Markup.h"

#include <cctype>
#include <string_view>

namespace vemlor {

namespace {

constexpr std::string_view kMarkers = "+x.ost~|!_";
constexpr std::string_view kLineStyles = "-=:;";

// A letter's colour, `k` always black; empty for letters without one.
std::optional<Rgb> letterColour(char c, const ColourLookup& colours) {
    if (!std::isalpha(static_cast<unsigned char>(c))) return std::nullopt;
    if (c == 'k') return Rgb(0);
    return colours.colour(c);
}

int digitsAt(std::string_view s, size_t& i) {
    int value = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && value < 100000)
        value = value * 10 + (s[i++] - '0');
    return value;
}

} // namespace

std::optional<Rgb> ColourLookup::colour(char letter) const {
    if (letter == 'u' && userLower_) return userLower_;
    if (letter == 'U' && userUpper_) return userUpper_;
    return markupColour(letter);
}

void ColourLookup::define(char letter, Rgb rgb) {
    (letter == 'U' ? userUpper_ : userLower_) = rgb;
}

bool isMarkerCharacter(char c) {
    return c != 0 && kMarkers.find(c) != std::string_view::npos;
}

void applyStyle(std::string_view s, PenBlock& pen, const ColourLookup& colours) {
    if (s.empty()) return;
    if (s.find('^') != std::string_view::npos) pen.invert = true;
    bool hasFill = false;
    size_t hash = s.find('#');
    if (hash != std::string_view::npos && hash + 1 < s.size()) {
        hasFill = true;
        if (auto rgb = letterColour(s[hash + 1], colours)) pen.fillColour = *rgb;
    }
    // A marker character is never read as a colour letter ("x" means crosses,
    // not the colour x), and the letter after "#" is always the fill's.
    size_t first = s.find_first_not_of("#^");
    bool fillLetter = first != std::string_view::npos && first > 0 && s[first - 1] == '#';
    if (first != std::string_view::npos && !fillLetter && !isMarkerCharacter(s[first]))
        if (auto rgb = letterColour(s[first], colours)) pen.lineColour = *rgb;

    size_t markerAt = s.find_first_of(kMarkers);
    while (markerAt != std::string_view::npos && markerAt > 0 && s[markerAt - 1] == '#')
        markerAt = s.find_first_of(kMarkers, markerAt + 1);
    if (markerAt != std::string_view::npos) {
        pen.marker = s[markerAt];
        size_t i = markerAt + 1;
        pen.markerSize = i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))
                             ? digitsAt(s, i)
                             : kDefaultMarkerSize;
    }
    size_t lineAt = s.find_first_of(kLineStyles);
    if (lineAt != std::string_view::npos) {
        pen.penStyle = static_cast<PenStyle>(kLineStyles.find(s[lineAt]));
        pen.line = true;
        if (pen.penStyle != PenStyle::Solid) pen.width = 1;
    } else {
        pen.line = !hasFill && markerAt == std::string_view::npos;
    }
    for (size_t i = 0; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) continue;
        if (i > 0 && isMarkerCharacter(s[i - 1])) break; // the marker's size
        if (lineAt == std::string_view::npos || pen.penStyle == PenStyle::Solid)
            pen.width = digitsAt(s, i);
        break;
    }
}

} // namespace vemlor
