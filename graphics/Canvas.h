// The drawing operations every plot item uses, in pixels of the figure's
// client area (x to the right, y downwards). Items open a group with their
// pen, draw into it and close it; a back end turns that into SVG elements
// or into strokes on a screen, so that what is exported is what is shown.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Style.h"

#include <span>
#include <string_view>

namespace vemlor {

struct PixelPoint {
    int x = 0;
    int y = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// How a group ends: SVG writes no line feed after a circle or marker group.
enum class GroupEnd { LineFeed, Bare };

class Canvas {
  public:
    virtual ~Canvas() = default;
    // A frame's drawing begins; `plotArea` is where its data may appear
    // (clipped data items stay inside it).
    virtual void beginFrame(int frameIndex, const PixelRect& plotArea) = 0;
    virtual void endFrame() = 0;

    virtual void beginStroke(const PenBlock& pen) = 0;
    virtual void beginStrokeAndFill(const PenBlock& pen) = 0;
    virtual void endGroup(GroupEnd end = GroupEnd::LineFeed) = 0;

    // An open line through the points; two points make a plain line, more a
    // line kept inside the plot area.
    virtual void lines(std::span<const PixelPoint> points) = 0;
    virtual void polygon(std::span<const PixelPoint> points) = 0;
    virtual void box(const PixelRect& rect) = 0;
    virtual void bar(const PixelRect& rect) = 0;
    virtual void circle(PixelPoint centre, int radius) = 0;
    // Markup text; `placement` is 4 × row + column (see TextLabel), `angle`
    // 0 or 90 degrees.
    virtual void text(PixelPoint at, std::string_view markup, int placement, int angle) = 0;
    // An image with its top-left corner at `at`; pixels of the transparent
    // colour are left out when `transparent` is set.
    virtual void bitmap(PixelPoint at, const Image& image, bool transparent,
                        Rgb transparentColour) = 0;
};

} // namespace vemlor
