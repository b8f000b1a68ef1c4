// The drawing operations every plot item uses, in pixels of the figure's
// client area (x to the right, y downwards). Items open a group with their
// pen, draw into it and close it; a back end turns that into SVG elements
// or into strokes on a screen, so that what is exported is what is shown.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vemlor {

using Rgb = uint32_t; // 0xRRGGBB

enum class PenStyle { Solid = 0, Dashed = 1, Dotted = 2, DashDot = 3 };

inline constexpr int kDefaultMarkerSize = 4;

// How an item strokes and fills: what its style string set.
struct PenBlock {
    Rgb lineColour = 0;
    PenStyle penStyle = PenStyle::Solid;
    int width = 1;
    bool invert = false;
    bool line = true;
    Rgb fillColour = 0; // 0: no fill
    char marker = 0;    // 0: none
    int markerSize = kDefaultMarkerSize;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // rows from the top, each from the left

    Rgb at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// The size and colour of a text; SVG files write every text in black at
// the reader's size.
struct TextStyle {
    int size = 16; // pixels
    Rgb colour = 0;
};

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
    // (clipped data items stay inside it). A screen fills `frameArea` with
    // the background colour first.
    virtual void beginFrame(int frameIndex, const PixelRect& plotArea, const PixelRect& frameArea,
                            Rgb background) = 0;
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
    virtual void text(PixelPoint at, std::string_view markup, int placement, int angle,
                      const TextStyle& style) = 0;
    // An image with its top-left corner at `at`; pixels of the transparent
    // colour are left out when `transparent` is set.
    virtual void bitmap(PixelPoint at, const Image& image, bool transparent,
                        Rgb transparentColour) = 0;
};

} // namespace vemlor
