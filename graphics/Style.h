// The pen block of a plot item and the style strings that set it.
//
// A style string mixes a colour letter, "#" and a letter for the fill, "^"
// for inverted drawing, one line-style character (- = : ;), a width (digits)
// and a marker character with its size (digits right after it). Colours come
// from the markup colour table; the letters `u` and `U` that `useColour`
// defines belong to the figures of one instance and are looked up there.
#pragma once

#include "platform/Canvas.h"

#include <optional>
#include <string_view>

namespace vemlor {

// The colours a figure's styles may name: the markup table plus the user's
// own `u` and `U`.
class ColourLookup {
  public:
    std::optional<Rgb> colour(char letter) const;
    void define(char letter, Rgb rgb);

  private:
    std::optional<Rgb> userLower_;
    std::optional<Rgb> userUpper_;
};

// Whether c is one of the marker characters + x . o s t ~ | ! _
bool isMarkerCharacter(char c);

// Applies style string s to the pen block; an empty string changes nothing.
void applyStyle(std::string_view s, PenBlock& pen, const ColourLookup& colours);

} // namespace vemlor
