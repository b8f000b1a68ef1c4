// The screen back end of the figure drawing operations: QPainter strokes on
// a window or an image. Lines of many points may be thinned to what one
// pixel column can show (first, lowest, highest and last point of each
// column), which draws the same pixels in a fraction of the time; figure
// files (SVG) keep every point.
#pragma once

#include "platform/Canvas.h"

#include <QFont>
#include <QPainter>
#include <vector>

namespace vemlor {

class QtCanvas final : public Canvas {
  public:
    QtCanvas(QPainter& painter, bool thinLongLines);

    void beginFrame(int frameIndex, const PixelRect& plotArea, const PixelRect& frameArea,
                    Rgb background) override;
    void endFrame() override {}
    void beginStroke(const PenBlock& pen) override;
    void beginStrokeAndFill(const PenBlock& pen) override;
    void endGroup(GroupEnd end) override;
    void lines(std::span<const PixelPoint> points) override;
    void polygon(std::span<const PixelPoint> points) override;
    void box(const PixelRect& rect) override;
    void bar(const PixelRect& rect) override;
    void circle(PixelPoint centre, int radius) override;
    void text(PixelPoint at, std::string_view markup, int placement, int angle,
              const TextStyle& style) override;
    void bitmap(PixelPoint at, const Image& image, bool transparent,
                Rgb transparentColour) override;

  private:
    void setPen(const PenBlock& pen);
    const std::vector<QPoint>& toQt(std::span<const PixelPoint> points);

    QPainter& painter_;
    bool thinLongLines_;
    QRect clip_;
    QFont font_;
    std::vector<QPoint> points_;
};

} // namespace vemlor
