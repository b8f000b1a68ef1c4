// Draws one console markup line with Qt: colours, bold, italic, underlined
// links, sub- and superscripts (three quarters of the size, raised or
// lowered by eighths of it), Symbol-font characters as their Unicode
// equivalents, and an ellipsis where a line does not fit.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <string>

class QPainter;

namespace vemlor {

// The colour of the ellipsis that marks a cut line.
inline const QColor kEllipsisColour(170, 0, 0);

// Draws `markupLine` with its top-left corner at (x, top), cut at `right`.
// `font` is the plain font; its pixel size sets every style's size.
void drawMarkupLine(QPainter& painter, const QFont& font, int x, int top, int right,
                    const std::string& markupLine);

// Draws a markup text placed at `at` as figure texts are: column 0 ends it
// at the point, 1 centres it, 2 starts it there; row 0 puts its baseline on
// the point, 1 centres it vertically, 2 hangs it below. Uncoloured text is
// drawn in `plainColour` (0xRRGGBB). Returns the text's width in pixels.
int drawMarkupText(QPainter& painter, const QFont& font, QPoint at, int column, int row,
                   uint32_t plainColour, const std::string& markup);

// The visible text of a run of bytes: Symbol-font codes become their Unicode
// characters, other bytes are read as UTF-8.
QString visibleText(const std::string& bytes, bool symbolFont);

} // namespace vemlor
