// Rendering of console markup lines for a terminal: with ANSI attributes
// (24-bit colour, bold, italic, underline) or as plain text. Symbol-font
// characters become their Unicode equivalents in UTF-8; superscripts and
// subscripts are shown in line. Wrapping is the output store's business.
#pragma once

#include <string>
#include <string_view>

namespace vemlor {

// Visible text with escape sequences; every attribute set is reset at the
// end. A line the decoder cannot read is shown as it stands.
std::string renderAnsi(std::string_view markupLine);

// Visible text only; bytes outside Symbol segments pass through unchanged.
std::string renderPlain(std::string_view markupLine);

} // namespace vemlor
