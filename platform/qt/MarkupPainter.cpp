#include "platform/qt/MarkupPainter.h"

#include "console/Markup.h"
#include "console/SymbolFont.h"

#include <QFontMetrics>
#include <QPainter>
#include <vector>

namespace vemlor {

namespace {

struct Piece {
    QString text;
    QFont font;
    QColor colour;
    int x = 0;     // relative to the start of the line
    int raise = 0; // pixels up from the line's baseline
    int width = 0;
};

QFont fontForStyle(const QFont& plain, char style) {
    QFont font = plain;
    switch (style) {
    case '*':
        font.setBold(true);
        break;
    case '/':
        font.setItalic(true);
        break;
    case '=':
        font.setUnderline(true);
        break;
    case '^':
    case '_':
        font.setPixelSize(std::max(1, plain.pixelSize() * 75 / 100));
        break;
    default:
        break;
    }
    return font;
}

QColor colourOf(const Segment& segment, uint32_t plainColour) {
    uint32_t rgb = segment.coloured ? segment.rgb : plainColour;
    return QColor(redOf(rgb), greenOf(rgb), blueOf(rgb));
}

std::vector<Piece> layOut(const QFont& plain, const DecodedLine& line, uint32_t plainColour = 0) {
    std::vector<Piece> pieces;
    int x = 0;
    int size = plain.pixelSize();
    for (size_t i = 0; i < line.segments.size(); ++i) {
        const Segment& segment = line.segments[i];
        int start = line.startOf(i);
        Piece piece;
        piece.text = visibleText(line.text.substr(size_t(start), size_t(segment.end - start)),
                                 segment.style == '$');
        piece.font = fontForStyle(plain, segment.style);
        piece.colour = colourOf(segment, plainColour);
        piece.raise = segment.offset * size / 8;
        piece.width = QFontMetrics(piece.font).horizontalAdvance(piece.text);
        if (sharesPreviousX(line.segments, i) && !pieces.empty()) x = pieces.back().x;
        piece.x = x;
        x += piece.width;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

int lineWidth(const std::vector<Piece>& pieces) {
    int width = 0;
    for (const Piece& piece : pieces)
        width = std::max(width, piece.x + piece.width);
    return width;
}

} // namespace

int drawMarkupText(QPainter& painter, const QFont& font, QPoint at, int column, int row,
                   uint32_t plainColour, const std::string& markup) {
    DecodedLine line = decodeMarkup(markup, 0);
    if (!line.ok()) return 0;
    std::vector<Piece> pieces = layOut(font, line, plainColour);
    int width = lineWidth(pieces);
    QFontMetrics metrics(font);
    int x = at.x() - (column == 0 ? width : column == 1 ? width / 2 : 0);
    int baseline = at.y() + (row == 0   ? 0
                             : row == 1 ? (metrics.ascent() - metrics.descent()) / 2
                                        : metrics.ascent());
    for (const Piece& piece : pieces) {
        painter.setFont(piece.font);
        painter.setPen(piece.colour);
        painter.drawText(x + piece.x, baseline - piece.raise, piece.text);
    }
    return width;
}

QString visibleText(const std::string& bytes, bool symbolFont) {
    if (!symbolFont) return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    std::string utf8;
    for (char c : bytes)
        utf8 += symbolToUtf8(static_cast<unsigned char>(c));
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

void drawMarkupLine(QPainter& painter, const QFont& font, int x, int top, int right,
                    const std::string& markupLine) {
    DecodedLine line = decodeMarkup(markupLine, 0);
    if (!line.ok()) return; // the decoder could not read it: the line is not drawn
    std::vector<Piece> pieces = layOut(font, line);
    int width = lineWidth(pieces);
    QFontMetrics metrics(font);
    int baseline = top + metrics.ascent();
    int ellipsisWidth = metrics.horizontalAdvance(QChar(0x2026));
    bool cut = x + width > right;
    // A tail-visible line shows its end, cut at the left instead.
    bool showTail = cut && !line.segments.empty() && line.segments.front().style == '-';
    int shift = showTail ? x + width - right : 0;
    int left = x;
    painter.save();
    if (cut) {
        int clipTop = top - metrics.height(), clipBottom = top + 2 * metrics.height();
        painter.setClipRect(
            showTail ? QRect(QPoint(left + ellipsisWidth, clipTop), QPoint(right, clipBottom))
                     : QRect(QPoint(left, clipTop), QPoint(right - ellipsisWidth, clipBottom)));
    }
    for (const Piece& piece : pieces) {
        painter.setFont(piece.font);
        painter.setPen(piece.colour);
        painter.drawText(x + piece.x - shift, baseline - piece.raise, piece.text);
    }
    painter.restore();
    if (cut) {
        painter.setFont(font);
        painter.setPen(kEllipsisColour);
        painter.drawText(showTail ? left : right - ellipsisWidth, baseline, QString(QChar(0x2026)));
    }
}

} // namespace vemlor
