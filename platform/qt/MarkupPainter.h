// Draws one console markup line with Qt: colours, bold, italic, underlined
// links, sub- and superscripts (three quarters of the size, raised or
// lowered by eighths of it), Symbol-font characters as their Unicode
// equivalents, and an ellipsis where a line does not fit.
#pragma once

#include <QColor>
#include <QFont>
#include <string>

class QPainter;

namespace vemlor {

// The colour of the ellipsis that marks a cut line.
inline const QColor kEllipsisColour(170, 0, 0);

// Draws `markupLine` with its top-left corner at (x, top), cut at `right`.
// `font` is the plain font; its pixel size sets every style's size.
void drawMarkupLine(QPainter& painter, const QFont& font, int x, int top, int right,
                    const std::string& markupLine);

// The visible text of a run of bytes: Symbol-font codes become their Unicode
// characters, other bytes are read as UTF-8.
QString visibleText(const std::string& bytes, bool symbolFont);

} // namespace vemlor
