#include "platform/qt/QtCanvas.h"

#include "platform/qt/MarkupPainter.h"

#include <QImage>
#include <algorithm>

namespace vemlor {

namespace {

QColor qtColour(Rgb rgb) {
    return QColor(int(rgb >> 16 & 0xff), int(rgb >> 8 & 0xff), int(rgb & 0xff));
}

Qt::PenStyle qtPenStyle(PenStyle style) {
    switch (style) {
    case PenStyle::Dashed:
        return Qt::DashLine;
    case PenStyle::Dotted:
        return Qt::DotLine;
    case PenStyle::DashDot:
        return Qt::DashDotLine;
    case PenStyle::Solid:
        break;
    }
    return Qt::SolidLine;
}

// Appends the points of one pixel column, points[first..last], as the
// first, the lowest, the highest and the last of them, in their order.
void thinColumn(std::span<const PixelPoint> points, size_t first, size_t last,
                std::vector<QPoint>& out) {
    size_t low = first, high = first;
    for (size_t k = first + 1; k <= last; ++k) {
        if (points[k].y < points[low].y) low = k;
        if (points[k].y > points[high].y) high = k;
    }
    auto keep = [&](size_t k) { out.emplace_back(points[k].x, points[k].y); };
    keep(first);
    size_t early = std::min(low, high), late = std::max(low, high);
    if (early != first && early != last) keep(early);
    if (late != early && late != first && late != last) keep(late);
    if (last != first) keep(last);
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter, bool thinLongLines)
    : painter_(painter), thinLongLines_(thinLongLines) {
    font_.setFamilies({"Times New Roman", "Liberation Serif", "DejaVu Serif", "serif"});
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

void QtCanvas::beginFrame(int, const PixelRect& plotArea, const PixelRect& frameArea,
                          Rgb background) {
    painter_.fillRect(QRect(frameArea.left, frameArea.top, frameArea.width(), frameArea.height()),
                      qtColour(background));
    // Data may reach one pixel past the plot area's sides and top and two
    // below it, where the outline is drawn.
    clip_ = QRect(QPoint(plotArea.left - 1, plotArea.top - 1),
                  QPoint(plotArea.right + 1, plotArea.bottom + 2));
}

void QtCanvas::setPen(const PenBlock& pen) {
    QPen qtPen(qtColour(pen.lineColour), std::max(1, pen.width), qtPenStyle(pen.penStyle),
               Qt::RoundCap, Qt::RoundJoin);
    painter_.setPen(qtPen);
    // Drawing twice with the inverting pen restores what was there.
    painter_.setCompositionMode(pen.invert ? QPainter::RasterOp_NotSourceXorDestination
                                           : QPainter::CompositionMode_SourceOver);
}

void QtCanvas::beginStroke(const PenBlock& pen) {
    setPen(pen);
    painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::beginStrokeAndFill(const PenBlock& pen) {
    setPen(pen);
    painter_.setBrush(qtColour(pen.fillColour));
}

void QtCanvas::endGroup(GroupEnd) {
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setBrush(Qt::NoBrush);
}

const std::vector<QPoint>& QtCanvas::toQt(std::span<const PixelPoint> points) {
    points_.clear();
    bool thin = thinLongLines_ && points.size() > size_t(4 * std::max(1, clip_.width()));
    if (!thin) {
        for (const PixelPoint& p : points)
            points_.emplace_back(p.x, p.y);
        return points_;
    }
    for (size_t first = 0; first < points.size();) {
        size_t last = first;
        while (last + 1 < points.size() && points[last + 1].x == points[first].x)
            ++last;
        thinColumn(points, first, last, points_);
        first = last + 1;
    }
    return points_;
}

void QtCanvas::lines(std::span<const PixelPoint> points) {
    if (points.size() < 2) return;
    if (points.size() == 2) {
        painter_.drawLine(points[0].x, points[0].y, points[1].x, points[1].y);
        return;
    }
    const std::vector<QPoint>& qtPoints = toQt(points);
    painter_.save();
    painter_.setClipRect(clip_);
    painter_.drawPolyline(qtPoints.data(), int(qtPoints.size()));
    painter_.restore();
}

void QtCanvas::polygon(std::span<const PixelPoint> points) {
    if (points.size() < 3) return;
    const std::vector<QPoint>& qtPoints = toQt(points);
    painter_.save();
    painter_.setClipRect(clip_);
    painter_.drawPolygon(qtPoints.data(), int(qtPoints.size()));
    painter_.restore();
}

void QtCanvas::box(const PixelRect& rect) {
    painter_.drawRect(rect.left, rect.top, rect.width(), rect.height());
}

void QtCanvas::bar(const PixelRect& rect) {
    painter_.drawRect(QRect(QPoint(rect.left, std::min(rect.top, rect.bottom)),
                            QPoint(rect.right, std::max(rect.top, rect.bottom))));
}

void QtCanvas::circle(PixelPoint centre, int radius) {
    painter_.drawEllipse(QPoint(centre.x, centre.y), radius, radius);
}

void QtCanvas::text(PixelPoint at, std::string_view markup, int placement, int angle,
                    const TextStyle& style) {
    int row = std::clamp(placement / 4, 0, 2), column = std::clamp(placement % 4, 0, 2);
    font_.setPixelSize(std::max(1, style.size));
    painter_.save();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPoint point(at.x, at.y);
    if (angle != 0) {
        // Text running upwards: the placement's roles exchange, the row
        // aligning it along its length and the column across it.
        painter_.translate(point);
        painter_.rotate(-angle);
        point = QPoint(0, 0);
        std::swap(row, column);
    }
    drawMarkupText(painter_, font_, point, column, row, style.colour, std::string(markup));
    painter_.restore();
}

void QtCanvas::bitmap(PixelPoint at, const Image& image, bool transparent, Rgb transparentColour) {
    if (image.width <= 0 || image.height <= 0) return;
    QImage picture(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            Rgb c = image.at(x, y);
            row[x] = transparent && c == transparentColour ? qRgba(0, 0, 0, 0) : (0xff000000u | c);
        }
    }
    painter_.drawImage(QPoint(at.x, at.y), picture);
}

} // namespace vemlor
