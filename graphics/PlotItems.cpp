// How each plot item draws itself. Points that an axis cannot show (NaN,
// infinities, values at or below zero on a logarithmic axis) are left out:
// a curve breaks there and goes on after them.
#include "graphics/PlotItems.h"

#include "console/Markup.h"
#include "graphics/Frame.h"
#include "graphics/Ticks.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace vemlor {

namespace {

constexpr double kFarthestPixel = 1e7;
// Tick labels in the frame's own font size, in black.
constexpr TextStyle kTickLabelStyle{16, 0};

// Truncation toward zero of a pixel position held in a range the integer
// conversion is defined for.
int toPixel(double p) {
    return int(std::clamp(p, -kFarthestPixel, kFarthestPixel));
}

bool pixelOf(const Frame& frame, double u, double v, PixelPoint& out) {
    double px = frame.pixelX(u), py = frame.pixelY(v);
    if (!std::isfinite(px) || !std::isfinite(py)) return false;
    out = {toPixel(px), toPixel(py)};
    return true;
}

PenBlock solidPen(const PenBlock& pen) {
    PenBlock solid = pen;
    solid.penStyle = PenStyle::Solid;
    solid.width = 1;
    return solid;
}

// The runs of showable points of a curve, each drawn as one line; rows far
// outside the axes are held a few plot heights away from them.
std::vector<std::vector<PixelPoint>> curveRuns(const Frame& frame, const std::vector<double>& xs,
                                               const std::vector<double>& ys) {
    PixelRect area = frame.plotPixels();
    int reach = 8 * area.height();
    std::vector<std::vector<PixelPoint>> runs(1);
    for (size_t i = 0; i < xs.size(); ++i) {
        PixelPoint p;
        if (!pixelOf(frame, xs[i], ys[i], p)) {
            if (!runs.back().empty()) runs.emplace_back();
            continue;
        }
        p.y = std::clamp(p.y, area.top - reach, area.bottom + reach);
        runs.back().push_back(p);
    }
    return runs;
}

void segment(Canvas& canvas, int x1, int y1, int x2, int y2) {
    PixelPoint points[2] = {{x1, y1}, {x2, y2}};
    canvas.lines(points);
}

// One marker at p; `errorHalf` is the error bar's half height in pixels.
void marker(const Frame& frame, Canvas& canvas, char shape, int s, PixelPoint p,
            int errorHalf = 0) {
    int x = p.x, y = p.y;
    switch (shape) {
    case '.':
        s = 1;
        [[fallthrough]];
    case '+':
        segment(canvas, x - s, y, x + s, y);
        segment(canvas, x, y - s, x, y + s);
        break;
    case 'x':
        segment(canvas, x - s, y - s, x + s, y + s);
        segment(canvas, x + s, y - s, x - s, y + s);
        break;
    case 'o':
        canvas.circle(p, s);
        break;
    case 's': {
        PixelPoint square[] = {
            {x - s, y + s}, {x + s, y + s}, {x + s, y - s}, {x - s, y - s}, {x - s, y + s}};
        canvas.lines(square);
        break;
    }
    case 't': {
        PixelPoint triangle[] = {{x - s, y + s}, {x + s, y + s}, {x, y - s}, {x - s, y + s}};
        canvas.lines(triangle);
        break;
    }
    case '|':
        segment(canvas, x, y + s, x, y - s);
        break;
    case '_':
        segment(canvas, x - s, y, x + s, y);
        break;
    case '!':
        segment(canvas, x, y, x, frame.plotPixels().bottom);
        break;
    case '~':
        segment(canvas, x, y - errorHalf, x, y + errorHalf);
        segment(canvas, x - s, y - errorHalf, x + s, y - errorHalf);
        segment(canvas, x - s, y + errorHalf, x + s, y + errorHalf);
        break;
    default:
        break; // the style parser hands out no other marker
    }
}

} // namespace

// ---- curves and points -------------------------------------------------------

Curve::Curve(std::vector<double> xValues, std::vector<double> yValues)
    : xs(std::move(xValues)), ys(std::move(yValues)) {
    pen.lineColour = makeRgb(0, 100, 0);
    pen.width = 2;
}

void Curve::move(double dx, double dy) {
    for (double& v : xs)
        v += dx;
    for (double& v : ys)
        v += dy;
}

void Curve::drawMarkers(const Frame& frame, Canvas& canvas, char shape, int size) const {
    canvas.beginStroke(solidPen(pen));
    for (size_t i = 0; i < xs.size(); ++i) {
        PixelPoint p;
        if (pixelOf(frame, xs[i], ys[i], p)) marker(frame, canvas, shape, size, p);
    }
    canvas.endGroup(GroupEnd::Bare);
}

void Curve::draw(const Frame& frame, Canvas& canvas) const {
    auto runs = curveRuns(frame, xs, ys);
    bool anyLine = std::any_of(runs.begin(), runs.end(), [](auto& r) { return r.size() >= 2; });
    if (pen.line && anyLine) {
        canvas.beginStroke(pen);
        for (const auto& run : runs)
            if (run.size() >= 2) canvas.lines(run);
        canvas.endGroup();
    }
    if (pen.marker) drawMarkers(frame, canvas, pen.marker, pen.markerSize);
    if (filled) {
        std::vector<PixelPoint> outline;
        for (const auto& run : runs)
            outline.insert(outline.end(), run.begin(), run.end());
        if (outline.size() >= 3) {
            canvas.beginStrokeAndFill(pen);
            canvas.polygon(outline);
            canvas.endGroup();
        }
    }
}

ErrorBars::ErrorBars(std::vector<double> xValues, std::vector<double> yValues,
                     std::vector<double> errors)
    : Curve(std::move(xValues), std::move(yValues)), dy(std::move(errors)) {}

void ErrorBars::draw(const Frame& frame, Canvas& canvas) const {
    canvas.beginStroke(solidPen(pen));
    for (size_t i = 0; i < xs.size(); ++i) {
        PixelPoint p;
        if (!pixelOf(frame, xs[i], ys[i], p)) continue;
        double error = dy.size() == 1 ? dy[0] : dy[i];
        double half = std::fabs(error * frame.scaleY());
        marker(frame, canvas, 'x', 1, p);
        if (std::isfinite(half)) marker(frame, canvas, '~', pen.markerSize, p, toPixel(half));
    }
    canvas.endGroup(GroupEnd::Bare);
}

SinglePoint::SinglePoint(double px, double py) {
    x = px;
    y = py;
    pen.marker = 'o';
}

void SinglePoint::draw(const Frame& frame, Canvas& canvas) const {
    PixelPoint p;
    if (!pen.marker || !pixelOf(frame, x, y, p)) return;
    canvas.beginStroke(solidPen(pen));
    marker(frame, canvas, pen.marker, pen.markerSize, p);
    canvas.endGroup(GroupEnd::Bare);
}

// ---- boxes and circles ---------------------------------------------------------

Box::Box(double bx, double by, double w, double h) : width(w), height(h) {
    x = bx;
    y = by;
}

void Box::draw(const Frame& frame, Canvas& canvas) const {
    PixelPoint a, b;
    if (!pixelOf(frame, x, y, a) || !pixelOf(frame, x + width, y + height, b)) return;
    PixelRect rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    if (pen.fillColour)
        canvas.beginStrokeAndFill(pen);
    else
        canvas.beginStroke(pen);
    canvas.box(rect);
    canvas.endGroup();
}

BoxRel::BoxRel() {
    x = 0.1;
    y = 0.15;
}

void BoxRel::draw(const Frame& frame, Canvas& canvas) const {
    if (!outline) return;
    canvas.beginStroke(pen);
    canvas.box(frame.plotPixels());
    canvas.endGroup();
}

Circle::Circle(double cx, double cy, double r) : radius(r) {
    x = cx;
    y = cy;
}

void Circle::draw(const Frame& frame, Canvas& canvas) const {
    PixelPoint centre;
    double edge = frame.pixelX(x + radius);
    if (!pixelOf(frame, x, y, centre) || !std::isfinite(edge)) return;
    if (filled)
        canvas.beginStrokeAndFill(pen);
    else
        canvas.beginStroke(pen);
    canvas.circle(centre, std::abs(toPixel(edge) - centre.x));
    canvas.endGroup(GroupEnd::Bare);
}

BitmapItem::BitmapItem(Image picture, double bx, double by) : image(std::move(picture)) {
    x = bx;
    y = by;
    if (!image.pixels.empty()) transparentColour = image.pixels[0];
}

void BitmapItem::draw(const Frame& frame, Canvas& canvas) const {
    PixelPoint corner;
    if (pixelOf(frame, x, y, corner)) canvas.bitmap(corner, image, transparent, transparentColour);
}

// ---- bar charts ----------------------------------------------------------------

BarChart::BarChart(std::vector<double> xValues, std::vector<double> yValues, double width)
    : xs(std::move(xValues)), ys(std::move(yValues)), barWidth(width) {
    pen.lineColour = makeRgb(0, 0, 100);
    pen.width = 2;
}

void BarChart::move(double dx, double dy) {
    for (double& v : xs)
        v += dx;
    for (double& v : ys)
        v += dy;
}

void BarChart::draw(const Frame& frame, Canvas& canvas) const {
    double base = frame.pixelY(0);
    if (!std::isfinite(base)) base = frame.plotPixels().bottom;
    int baseRow = toPixel(base);
    canvas.beginStrokeAndFill(pen);
    for (size_t i = 0; i < xs.size(); ++i) {
        PixelPoint p;
        if (!pixelOf(frame, xs[i], ys[i], p)) continue;
        double width = widths.empty() ? barWidth : widths[i];
        int w = toPixel(width * frame.scaleX());
        int left = p.x - w / 2;
        canvas.bar({left, std::min(p.y, baseRow), left + w + 1, std::max(p.y, baseRow)});
    }
    canvas.endGroup();
}

// ---- texts -----------------------------------------------------------------------

int placementCode(std::string_view placement) {
    std::string lower(placement);
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    auto has = [&](char c) { return lower.find(c) != std::string::npos; };
    return 5 + has('e') - has('w') - 4 * has('n') + 4 * has('s');
}

TextLabel::TextLabel(std::string markup, double tx, double ty, std::string_view where)
    : text(std::move(markup)), placement(placementCode(where)),
      angle(where.find('|') != std::string_view::npos ? 90 : 0) {
    x = tx;
    y = ty;
    pen.lineColour = makeRgb(0, 0, 100);
}

void TextLabel::draw(const Frame& frame, Canvas& canvas) const {
    if (text.empty()) return;
    PixelPoint at;
    if (frameUnits) {
        PixelRect f = frame.framePixels();
        at = {toPixel(f.left + x * f.width()), toPixel(f.bottom - y * f.height())};
    } else if (!pixelOf(frame, x, y, at)) {
        return;
    }
    canvas.text(at, text, placement, angle, style());
}

MainLabels::MainLabels()
    : title("", 0.5, 1, "S"), yLabel("", 0, 0.5, "W|"), xLabel("", 0.5, 0, "N") {
    for (TextLabel* label : {&title, &yLabel, &xLabel})
        label->frameUnits = true;
}

void MainLabels::draw(const Frame& frame, Canvas& canvas) const {
    // Centred on the plot area, at the frame's edges.
    PixelRect f = frame.framePixels(), area = frame.plotPixels();
    int middleX = (area.left + area.right) / 2, middleY = (area.top + area.bottom) / 2;
    if (!title.text.empty())
        canvas.text({middleX, f.top + 2}, title.text, title.placement, 0, title.style());
    if (!yLabel.text.empty())
        canvas.text({f.left + 12, middleY}, yLabel.text, yLabel.placement, yLabel.angle,
                    yLabel.style());
    if (!xLabel.text.empty())
        canvas.text({middleX, f.bottom - 4}, xLabel.text, xLabel.placement, 0, xLabel.style());
}

// ---- axes ------------------------------------------------------------------------

namespace {

constexpr Rgb kGridColour = makeRgb(173, 216, 230);
constexpr Rgb kDecadeGridColour = makeRgb(135, 206, 250);
constexpr int kMajorTick = 6;
constexpr int kMinorTick = 3;

struct AxisMarks {
    std::vector<double> major;
    std::vector<double> minor;
    double step = 0;
    bool multiplicative = false;
};

AxisMarks axisMarks(double min, double max, bool linear) {
    AxisMarks marks;
    TickPlan plan = linear ? linearTicks(min, max) : logarithmicTicks(min, max);
    marks.step = plan.step;
    marks.multiplicative = plan.multiplicative;
    for (int k = 0; k < plan.count; ++k)
        marks.major.push_back(plan.tick(k));
    if (plan.subdivisions == 0 || plan.count == 0) return marks;
    if (!plan.multiplicative) {
        double v = plan.first - plan.step;
        for (int j = 1; v + j * plan.minorStep <= max && j < 10000; ++j) {
            double m = v + j * plan.minorStep;
            if (m >= min && j % plan.subdivisions != 0) marks.minor.push_back(m);
        }
        return marks;
    }
    // Whole decades, and 2 ... 9 times each decade when ticks are a decade apart.
    double decade = plan.first / 10;
    for (int guard = 0; decade <= max && guard < 400; ++guard, decade *= 10) {
        if (plan.step > 10) {
            if (decade >= min) marks.minor.push_back(decade);
            continue;
        }
        for (int k = 2; k <= 9; ++k)
            if (decade * k >= min && decade * k <= max) marks.minor.push_back(decade * k);
    }
    return marks;
}

std::string tickLabel(double v, const AxisMarks& marks) {
    if (!marks.multiplicative) {
        v = std::round(v / marks.step) * marks.step;
        if (std::fabs(v) < marks.step * 1e-9) v = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

PenBlock axisPen(Rgb colour) {
    PenBlock pen;
    pen.lineColour = colour;
    return pen;
}

} // namespace

void AxisTicks::draw(const Frame& frame, Canvas& canvas) const {
    drawXAxis(frame, canvas);
    drawYAxis(frame, canvas);
}

void AxisTicks::drawXAxis(const Frame& frame, Canvas& canvas) const {
    if (!(xFlags & kTicksShown)) return;
    AxisMarks marks = axisMarks(frame.xmin, frame.xmax, frame.xLinear);
    PixelRect area = frame.plotPixels();
    auto columns = [&](const std::vector<double>& values) {
        std::vector<int> out;
        for (double v : values) {
            double p = frame.pixelX(v);
            if (std::isfinite(p)) out.push_back(toPixel(p));
        }
        return out;
    };
    std::vector<int> major = columns(marks.major), minor = columns(marks.minor);
    if (xFlags & kGridLines) {
        canvas.beginStroke(axisPen(frame.xLinear ? kGridColour : kDecadeGridColour));
        for (int c : major)
            segment(canvas, c, area.bottom, c, area.top);
        canvas.endGroup();
    }
    if (xFlags & kTickMarks) {
        canvas.beginStroke(axisPen(0));
        for (int c : major) {
            segment(canvas, c, area.bottom, c, area.bottom - kMajorTick);
            segment(canvas, c, area.top, c, area.top + kMajorTick);
        }
        for (int c : minor) {
            segment(canvas, c, area.bottom, c, area.bottom - kMinorTick);
            segment(canvas, c, area.top, c, area.top + kMinorTick);
        }
        canvas.endGroup();
    }
    if (xFlags & kTickLabels)
        for (size_t k = 0; k < marks.major.size(); ++k) {
            double p = frame.pixelX(marks.major[k]);
            if (std::isfinite(p))
                canvas.text({toPixel(p), area.bottom + 4}, tickLabel(marks.major[k], marks), 9, 0,
                            kTickLabelStyle);
        }
    if ((xFlags & kZeroLine) && frame.yLinear && frame.ymin < 0 && frame.ymax > 0) {
        int row = toPixel(frame.pixelY(0));
        canvas.beginStroke(axisPen(0));
        segment(canvas, area.left, row, area.right, row);
        canvas.endGroup();
    }
}

void AxisTicks::drawYAxis(const Frame& frame, Canvas& canvas) const {
    if (!(yFlags & kTicksShown)) return;
    AxisMarks marks = axisMarks(frame.ymin, frame.ymax, frame.yLinear);
    PixelRect area = frame.plotPixels();
    auto rows = [&](const std::vector<double>& values) {
        std::vector<int> out;
        for (double v : values) {
            double p = frame.pixelY(v);
            if (std::isfinite(p)) out.push_back(toPixel(p));
        }
        return out;
    };
    std::vector<int> major = rows(marks.major), minor = rows(marks.minor);
    if (yFlags & kGridLines) {
        canvas.beginStroke(axisPen(frame.yLinear ? kGridColour : kDecadeGridColour));
        for (int r : major)
            segment(canvas, area.left, r, area.right, r);
        canvas.endGroup();
    }
    if (yFlags & kTickMarks) {
        canvas.beginStroke(axisPen(0));
        for (int r : major) {
            segment(canvas, area.left, r, area.left + kMajorTick, r);
            segment(canvas, area.right, r, area.right - kMajorTick, r);
        }
        for (int r : minor) {
            segment(canvas, area.left, r, area.left + kMinorTick, r);
            segment(canvas, area.right, r, area.right - kMinorTick, r);
        }
        canvas.endGroup();
    }
    if (yFlags & kTickLabels)
        for (size_t k = 0; k < marks.major.size(); ++k) {
            double p = frame.pixelY(marks.major[k]);
            if (std::isfinite(p))
                canvas.text({area.left - 4, toPixel(p)}, tickLabel(marks.major[k], marks), 4, 0,
                            kTickLabelStyle);
        }
    if ((yFlags & kZeroLine) && frame.xLinear && frame.xmin < 0 && frame.xmax > 0) {
        int column = toPixel(frame.pixelX(0));
        canvas.beginStroke(axisPen(0));
        segment(canvas, column, area.bottom, column, area.top);
        canvas.endGroup();
    }
}

} // namespace vemlor
