// One frame (sub-plot) of a figure: where it lies in the figure, its plot
// area, axis limits and scales, the transform from data to pixels, and its
// plot items in drawing order. Item 0 is always the outline of the plot
// area; an item's id is frame index × 65536 + its index in the list.
#pragma once

#include "graphics/PlotItems.h"
#include "platform/Canvas.h"

#include <memory>
#include <vector>

namespace vemlor {

// A rectangle as fractions of its container, from the bottom-left corner.
struct FractionRect {
    double x = 0;
    double y = 0;
    double w = 1;
    double h = 1;
    bool operator==(const FractionRect&) const = default;
};

inline constexpr int kItemsPerFrame = 65536;
inline constexpr Rgb kWhite = 0xffffff;

class Frame {
  public:
    Frame();

    FractionRect rect;                            // in the figure
    FractionRect plotArea{0.1, 0.15, 0.85, 0.83}; // in the frame
    Rgb background = kWhite;
    double xmin = 0, xmax = 1, ymin = 0, ymax = 1;
    bool xLinear = true;
    bool yLinear = true;
    bool equalScale = false;
    bool fixedLimits = false;

    std::vector<std::unique_ptr<PlotItem>>& items() { return items_; }
    const std::vector<std::unique_ptr<PlotItem>>& items() const { return items_; }
    // Appends the item (a text label at the place of an equal one replaces
    // it) and returns its index.
    int add(std::unique_ptr<PlotItem> item);
    // Null when the index is outside the list.
    PlotItem* item(int index);
    // Every item but the plot-area outline goes.
    void clearItems();
    // The frame's tick item and its labels item, created on first use.
    AxisTicks& axisTicks();
    AxisTicks* findAxisTicks();
    MainLabels& mainLabels();
    // Sets the plot area (w = h = 0 keeps it; w = 0 only y and h; h = 0 only
    // x and w) and the outline with it.
    void setPlotArea(const FractionRect& area);

    // The transform for a client area of width × height pixels; limits that
    // a logarithmic axis cannot show are replaced first.
    void computeTransform(int width, int height);
    // Pixel coordinates of data values (their logarithms on a logarithmic
    // axis); NaN for values the axis cannot show.
    double pixelX(double u) const;
    double pixelY(double v) const;
    // The data value at a pixel coordinate (the inverse of the above).
    double dataX(double px) const;
    double dataY(double py) const;
    // Pixels per data unit along x (on a linear axis).
    double scaleX() const { return ax_; }
    double scaleY() const { return ay_; }
    PixelRect plotPixels() const { return plotPixels_; }
    PixelRect framePixels() const { return framePixels_; }

    // A copy with copies of every item.
    std::unique_ptr<Frame> clone() const;

    // Draws every visible item, outline first.
    void draw(Canvas& canvas, int frameIndex) const;

  private:
    Frame(const Frame& other); // deep: the items are cloned
    Frame& operator=(const Frame&) = delete;

    std::vector<std::unique_ptr<PlotItem>> items_;
    double ax_ = 1, bx_ = 0, ay_ = -1, by_ = 0;
    PixelRect plotPixels_;
    PixelRect framePixels_;
};

} // namespace vemlor
