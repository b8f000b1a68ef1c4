// Plot items: what a frame holds and draws. Each item keeps its data and
// pen block only; drawing goes through the frame's canvas, so every back end
// gets the same elements. Positions are data coordinates unless an item says
// otherwise.
#pragma once

#include "graphics/Style.h"
#include "platform/Canvas.h"

#include <memory>
#include <string>
#include <vector>

namespace vemlor {

class Frame;

// What kind() reports, the numbers `replot` and scripts see.
enum class ItemKind {
    Plain = 0,
    Curve = 1,
    Text = 2,
    Labels = 3,
    Point = 4,
    Circle = 5,
    Box = 6,
    Button = 7
};

class PlotItem {
  public:
    virtual ~PlotItem() = default;
    virtual void draw(const Frame& frame, Canvas& canvas) const = 0;
    virtual void move(double dx, double dy) {
        x += dx;
        y += dy;
    }
    virtual ItemKind kind() const { return ItemKind::Plain; }
    // A copy for a window to draw while the interpreter goes on changing
    // the original.
    virtual std::unique_ptr<PlotItem> clone() const = 0;

    double x = 0;
    double y = 0;
    PenBlock pen;
    bool visible = true;
};

class Curve : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<Curve>(*this); }
    Curve(std::vector<double> xs, std::vector<double> ys);
    void draw(const Frame& frame, Canvas& canvas) const override;
    void move(double dx, double dy) override;
    ItemKind kind() const override { return ItemKind::Curve; }

    std::vector<double> xs;
    std::vector<double> ys;
    bool filled = false;

  protected:
    void drawMarkers(const Frame& frame, Canvas& canvas, char marker, int size) const;
};

// Error bars: a small cross at every point and a bar of ± dy (one per point,
// or one for all).
class ErrorBars final : public Curve {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<ErrorBars>(*this); }
    ErrorBars(std::vector<double> xs, std::vector<double> ys, std::vector<double> dy);
    void draw(const Frame& frame, Canvas& canvas) const override;

    std::vector<double> dy;
};

class SinglePoint final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override {
        return std::make_unique<SinglePoint>(*this);
    }
    SinglePoint(double px, double py);
    void draw(const Frame& frame, Canvas& canvas) const override;
    ItemKind kind() const override { return ItemKind::Point; }
};

class Box final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<Box>(*this); }
    Box(double bx, double by, double width, double height);
    void draw(const Frame& frame, Canvas& canvas) const override;
    ItemKind kind() const override { return ItemKind::Box; }

    double width, height;
};

// The outline of the plot area, in fractions of the frame.
class BoxRel final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<BoxRel>(*this); }
    BoxRel();
    void draw(const Frame& frame, Canvas& canvas) const override;

    double width = 0.85, height = 0.83;
    bool outline = true;
};

// Placement code of a placement string: 4 × row + column, row 0 above the
// point ("n"), 2 below it ("s"); column 0 ending at it ("w"), 2 starting at
// it ("e").
int placementCode(std::string_view placement);

class TextLabel final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<TextLabel>(*this); }
    TextLabel(std::string text, double tx, double ty, std::string_view placement);
    void draw(const Frame& frame, Canvas& canvas) const override;
    ItemKind kind() const override { return ItemKind::Text; }
    TextStyle style() const { return {size, pen.lineColour}; }

    std::string text;
    int placement;
    int angle = 0;
    int size = 20;
    bool frameUnits = false; // position in fractions of the frame
};

// Title, y label and x label of a frame.
class MainLabels final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<MainLabels>(*this); }
    MainLabels();
    void draw(const Frame& frame, Canvas& canvas) const override;
    ItemKind kind() const override { return ItemKind::Labels; }

    TextLabel title, yLabel, xLabel;
};

// Tick flag bits of one axis.
enum TickFlag : int {
    kTicksShown = 1,
    kGridLines = 4,
    kTickLabels = 8,
    kZeroLine = 16,
    kTickMarks = 32,
    kOriginLine = 64,
    kSpanFrame = 1024, // the plot area spans the frame in this direction
};
inline constexpr int kDefaultTickFlags = 63;

class AxisTicks final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<AxisTicks>(*this); }
    void draw(const Frame& frame, Canvas& canvas) const override;

    int xFlags = kDefaultTickFlags;
    int yFlags = kDefaultTickFlags;

  private:
    void drawXAxis(const Frame& frame, Canvas& canvas) const;
    void drawYAxis(const Frame& frame, Canvas& canvas) const;
};

class BarChart final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<BarChart>(*this); }
    BarChart(std::vector<double> xs, std::vector<double> ys, double barWidth);
    void draw(const Frame& frame, Canvas& canvas) const override;
    void move(double dx, double dy) override;

    std::vector<double> xs;
    std::vector<double> ys;
    double barWidth;
    std::vector<double> widths; // one per bar, or empty
};

// A bitmap with its top-left corner at (x, y); by default the colour of its
// top-left pixel is transparent.
class BitmapItem final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<BitmapItem>(*this); }
    BitmapItem(Image picture, double bx, double by);
    void draw(const Frame& frame, Canvas& canvas) const override;

    Image image;
    bool transparent = true;
    Rgb transparentColour = 0;
};

class Circle final : public PlotItem {
  public:
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<Circle>(*this); }
    Circle(double cx, double cy, double r);
    void draw(const Frame& frame, Canvas& canvas) const override;
    ItemKind kind() const override { return ItemKind::Circle; }

    double radius;
    bool filled = false;
};

// A push button (or text field, or label) of the figure window: a child
// window draws it, so the frame draws nothing for it and figure files leave
// it out.
class ButtonItem final : public PlotItem {
  public:
    ButtonItem(std::string label, char type, std::string text)
        : label(std::move(label)), type(type), text(std::move(text)) {}
    std::unique_ptr<PlotItem> clone() const override { return std::make_unique<ButtonItem>(*this); }
    void draw(const Frame&, Canvas&) const override {}
    ItemKind kind() const override { return ItemKind::Button; }

    std::string label;
    char type;
    std::string text; // kept for the script; the window shows the label
    int state = 0;    // 1 checked, 2 indeterminate, 0 otherwise
};

} // namespace vemlor
