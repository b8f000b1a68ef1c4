// The SVG back end of the drawing operations: every operation appends its
// element to one text, laid out exactly as the figure files are specified
// (attribute spacing included), so files stay comparable byte for byte.
#pragma once

#include "platform/Canvas.h"

#include <string>

namespace vemlor {

class SvgCanvas final : public Canvas {
  public:
    // Starts the document for a client area of width × height pixels.
    SvgCanvas(int width, int height);
    // Ends the document and hands its text over.
    std::string finish();

    // Figure files have no background: the reader's page shows through.
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
    // Texts are black at the reader's size.
    void text(PixelPoint at, std::string_view markup, int placement, int angle,
              const TextStyle& style) override;
    // Figure files carry no bitmaps.
    void bitmap(PixelPoint, const Image&, bool, Rgb) override {}

  private:
    void put(int value);
    void put(std::string_view text) { out_ += text; }
    void putRgb(Rgb colour);
    void putPoints(std::span<const PixelPoint> points);

    std::string out_;
    std::string clipName_;
};

} // namespace vemlor
