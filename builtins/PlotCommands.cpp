// The commands that put data into a frame: `plot` and its logarithmic
// forms, `fill`, `qplot`, `errbar`, `barchart` and `circle`.
//
// A plot into a frame whose limits are not fixed starts it afresh: every
// item but the plot-area outline goes, the limits come from the first curve
// the command makes, and a default tick item is added. Further curves of the
// same command keep those limits. Results are the new items' ids.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"
#include "builtins/ScalarFunction.h"
#include "graphics/Ticks.h"

#include <algorithm>
#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

// A box is asked for by "[]" in its style; its data are [x, y, w, h].
bool isBoxStyle(const std::string& style) {
    return style.find("[]") != std::string::npos;
}

std::vector<double> counting(int n) {
    std::vector<double> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out[size_t(i)] = i + 1;
    return out;
}

std::vector<double> column(const std::vector<double>& all, int rows, int c) {
    return {all.begin() + ptrdiff_t(c) * rows, all.begin() + ptrdiff_t(c + 1) * rows};
}

const Value& dataArgument(const Value& v, std::string_view name) {
    if (!isRealNumbers(v) || v.is3D()) raiseRuntime(name, "invalid argument");
    return v;
}

// The series of one data group: y alone, or x and y.
void addGroup(const Value* xv, const Value& yv, const std::string& style, std::string_view name,
              std::vector<Series>& out) {
    if (yv.n == 0) raiseRuntime(name, "missing y data");
    std::vector<double> ys = numbersOf(yv);
    if (isBoxStyle(style) && !xv) {
        if (yv.n != 4 || !(ys[2] >= 0) || !(ys[3] >= 0)) raiseRuntime(name, "invalid box x,y,w,h");
        out.push_back({{ys[0]}, {ys[1], ys[2], ys[3]}, style, Series::Shape::Box});
        return;
    }
    if (xv && xv->is3D()) raiseRuntime(name, "invalid x values");
    std::vector<double> xs = xv ? numbersOf(*xv) : std::vector<double>();
    if (yv.isVector()) {
        if (!xv) xs = counting(yv.n);
        if (xs.size() != ys.size()) raiseRuntime(name, "x and y data have different sizes");
        auto shape = ys.size() == 1 ? Series::Shape::Point : Series::Shape::Curve;
        out.push_back({std::move(xs), std::move(ys), style, shape});
        return;
    }
    int rows = yv.nrow, columns = yv.ncol();
    bool pairedColumns = xv && !xv->isVector();
    if (!xv) xs = counting(rows);
    if (pairedColumns ? (xv->nrow != rows || xv->n != yv.n) : int(xs.size()) != rows)
        raiseRuntime(name, "x and y sizes don't match");
    for (int c = 0; c < columns; ++c)
        out.push_back({pairedColumns ? column(xs, rows, c) : xs, column(ys, rows, c), style,
                       Series::Shape::Curve});
}

// The function form: 501 points from the lower limit to the upper one.
void addFunction(BuiltinContext& context, std::span<const Value* const> args, std::string_view name,
                 std::vector<Series>& out) {
    if (args.size() > 4) raiseRuntime(name, "too many arguments");
    auto f = context.scalarFunction(*args[0]);
    std::vector<double> limits;
    size_t next = 1;
    while (next < args.size() && !isText(*args[next]) && limits.size() < 2) {
        std::vector<double> more = numbersOf(dataArgument(*args[next++], name));
        limits.insert(limits.end(), more.begin(), more.end());
    }
    if (limits.size() != 2) raiseRuntime(name, "invalid argument");
    std::string style;
    if (next < args.size()) {
        if (!isText(*args[next])) raiseRuntime(name, "style argument must be a string");
        style = args[next++]->toString();
    }
    if (next < args.size()) raiseRuntime(name, "too many arguments");
    double lower = limits[0], upper = limits[1];
    if (!std::isfinite(lower) || !std::isfinite(upper))
        raiseRuntime(name, "infinite limits not allowed here");
    if (upper <= lower) raiseRuntime(name, "range has upper limit at or below lower limit");
    constexpr int kSteps = 500;
    double step = (upper - lower) / kSteps, x = lower;
    Series series;
    series.style = style;
    for (int k = 0; k <= kSteps; ++k, x += step) {
        series.x.push_back(x);
        series.y.push_back((*f)(x));
    }
    out.push_back(std::move(series));
}

std::vector<Series> readSeries(BuiltinContext& context, std::span<const Value* const> args,
                               std::string_view name) {
    std::vector<Series> out;
    if (kindCode(args[0]->kind) == KIND_FUNCREF) {
        addFunction(context, args, name, out);
        return out;
    }
    size_t i = 0;
    while (i < args.size()) {
        if (isText(*args[i])) raiseRuntime(name, "missing y data");
        const Value& first = dataArgument(*args[i++], name);
        const Value* second = nullptr;
        if (i < args.size() && !isText(*args[i])) second = &dataArgument(*args[i++], name);
        std::string style;
        if (i < args.size() && isText(*args[i])) style = args[i++]->toString();
        if (second)
            addGroup(&first, *second, style, name, out);
        else
            addGroup(nullptr, first, style, name, out);
    }
    return out;
}

// The data range of the values an axis can show; false when there are none.
bool showableRange(const std::vector<double>& values, bool linear, double& a, double& b) {
    a = INFINITY;
    b = -INFINITY;
    for (double v : values)
        if (std::isfinite(v) && (linear || v > 0)) {
            a = std::min(a, v);
            b = std::max(b, v);
        }
    return a <= b;
}

void setAutomaticLimits(Frame& frame, const std::vector<double>& xs,
                        const std::vector<double>& ys) {
    double a, b;
    auto [x0, x1] = showableRange(xs, frame.xLinear, a, b)
                        ? automaticLimits(a, b, false, frame.xLinear)
                        : std::pair<double, double>(frame.xLinear ? 0 : 0.1, 1);
    auto [y0, y1] = showableRange(ys, frame.yLinear, a, b)
                        ? automaticLimits(a, b, true, frame.yLinear)
                        : std::pair<double, double>(frame.yLinear ? 0 : 0.1, 1);
    frame.xmin = x0;
    frame.xmax = x1;
    frame.ymin = y0;
    frame.ymax = y1;
}

// Starts the frame afresh unless its limits are fixed.
void prepareFrame(Frame& frame, const std::vector<double>& xs, const std::vector<double>& ys) {
    if (frame.fixedLimits) return;
    frame.clearItems();
    frame.equalScale = false;
    setAutomaticLimits(frame, xs, ys);
    frame.add(std::make_unique<AxisTicks>());
}

std::unique_ptr<PlotItem> makeItem(const Series& s, bool filled, const ColourLookup& colours) {
    std::unique_ptr<PlotItem> item;
    switch (s.shape) {
    case Series::Shape::Box:
        item = std::make_unique<Box>(s.x[0], s.y[0], s.y[1], s.y[2]);
        break;
    case Series::Shape::Point:
        item = std::make_unique<SinglePoint>(s.x[0], s.y[0]);
        break;
    case Series::Shape::Curve: {
        auto curve = std::make_unique<Curve>(s.x, s.y);
        curve->filled = filled;
        item = std::move(curve);
    }
    }
    applyStyle(s.style, item->pen, colours);
    return item;
}

// The extent a series gives the automatic limits.
void seriesExtent(const Series& s, std::vector<double>& xs, std::vector<double>& ys) {
    if (s.shape == Series::Shape::Box) {
        xs = {s.x[0], s.x[0] + s.y[1]};
        ys = {s.y[0], s.y[0] + s.y[2]};
        return;
    }
    xs = s.x;
    ys = s.y;
}

} // namespace

void detail::plotSeries(BuiltinContext& context, const std::vector<Series>& series, AxisMode mode,
                        bool filled, std::span<ValuePtr> outputs) {
    Figure& figure = figureForPlot(context);
    Frame& frame = figure.currentFrame();
    frame.xLinear = mode == AxisMode::Linear || mode == AxisMode::LogY;
    frame.yLinear = mode == AxisMode::Linear || mode == AxisMode::LogX;
    std::vector<double> xs, ys;
    seriesExtent(series[0], xs, ys);
    prepareFrame(frame, xs, ys);
    std::vector<int> ids;
    for (const Series& s : series)
        ids.push_back(
            currentItemId(figure, frame.add(makeItem(s, filled, context.figures().colours()))));
    refresh(figure);
    idsResult(outputs[0], ids);
}

namespace {

template <AxisMode Mode>
void plotFamily(BuiltinContext& context, std::span<const Value* const> args,
                std::span<ValuePtr> outputs) {
    static constexpr const char* kNames[] = {"plot", "semilogy", "semilogx", "loglog"};
    auto series = readSeries(context, args, kNames[int(Mode)]);
    plotSeries(context, series, Mode, false, outputs);
}

void fill(BuiltinContext& context, std::span<const Value* const> args,
          std::span<ValuePtr> outputs) {
    auto series = readSeries(context, args, "fill");
    for (Series& s : series) {
        if (s.style.empty()) s.style = "g";
        if (s.style.find('#') == std::string::npos) s.style = "#" + s.style;
    }
    plotSeries(context, series, AxisMode::Linear, true, outputs);
}

int qplot(BuiltinContext& context, const Value& v) {
    if (v.type() == LIST_VAL) raiseRuntime("qplot", "invalid use of a list");
    if (!isRealNumbers(v)) raiseRuntime("qplot", "plot function requires real numbers");
    if (v.is3D() || (v.ncol() != 2 && v.nrow != 2))
        raiseRuntime("qplot", "requires either 2 rows or 2 columns");
    std::vector<double> all = numbersOf(v), xs, ys;
    if (v.ncol() == 2) {
        xs = column(all, v.nrow, 0);
        ys = column(all, v.nrow, 1);
    } else {
        for (int c = 0; c < v.ncol(); ++c) {
            xs.push_back(all[size_t(2 * c)]);
            ys.push_back(all[size_t(2 * c + 1)]);
        }
    }
    std::vector<Series> series{{xs, ys, "", Series::Shape::Curve}};
    ValuePtr outputs[1];
    plotSeries(context, series, AxisMode::Linear, false, outputs);
    return int(outputs[0]->scalarDouble());
}

void errbar(BuiltinContext& context, std::span<const Value* const> args,
            std::span<ValuePtr> outputs) {
    for (const Value* v : args)
        dataArgument(*v, "errbar");
    std::vector<double> xs = numbersOf(*args[0]), ys = numbersOf(*args[1]),
                        dy = numbersOf(*args[2]);
    if (xs.size() != ys.size()) raiseRuntime("errbar", "x and y data have different sizes");
    if (dy.size() != 1 && dy.size() != ys.size())
        raiseRuntime("errorbars", "wrong number of dy values");
    Figure& figure = figureForPlot(context);
    Frame& frame = figure.currentFrame();
    frame.xLinear = frame.yLinear = true;
    std::vector<double> extent;
    for (size_t i = 0; i < ys.size(); ++i) {
        double d = std::fabs(dy.size() == 1 ? dy[0] : dy[i]);
        extent.push_back(ys[i] - d);
        extent.push_back(ys[i] + d);
    }
    prepareFrame(frame, xs, extent);
    auto bars = std::make_unique<ErrorBars>(xs, ys, dy);
    applyStyle("g1", bars->pen, context.figures().colours());
    int id = currentItemId(figure, frame.add(std::move(bars)));
    refresh(figure);
    idsResult(outputs[0], {id});
}

// Without a width, bars take 0.8 of the closest spacing of their x values.
double defaultBarWidth(std::vector<double> xs) {
    std::sort(xs.begin(), xs.end());
    double closest = INFINITY;
    for (size_t i = 1; i < xs.size(); ++i)
        if (xs[i] > xs[i - 1]) closest = std::min(closest, xs[i] - xs[i - 1]);
    return 0.8 * (std::isfinite(closest) ? closest : 1);
}

void barchart(BuiltinContext& context, std::span<const Value* const> args,
              std::span<ValuePtr> outputs) {
    const Value& xv = dataArgument(*args[0], "barchart");
    const Value& yv = dataArgument(*args[1], "barchart");
    std::vector<double> xs = numbersOf(xv), ys = numbersOf(yv), widths;
    if (xs.size() != ys.size()) raiseRuntime("barchart", "x and y have different sizes");
    std::string style = "w#b 1";
    if (args.size() == 3) {
        if (isText(*args[2]))
            style = args[2]->toString();
        else if (isRealNumbers(*args[2]))
            widths = numbersOf(*args[2]);
        else
            raiseRuntime("barchart", "style argument must be string");
        if (!widths.empty() && widths.size() != 1 && widths.size() != xs.size())
            raiseRuntime("barchart", "width array has the wrong size");
    }
    double width = widths.size() == 1 ? widths[0] : defaultBarWidth(xs);
    Figure& figure = figureForPlot(context);
    Frame& frame = figure.currentFrame();
    frame.xLinear = frame.yLinear = true;
    std::vector<double> xExtent, yExtent = ys;
    yExtent.push_back(0);
    for (size_t i = 0; i < xs.size(); ++i) {
        double half = (widths.size() > 1 ? widths[i] : width) / 2;
        xExtent.push_back(xs[i] - half);
        xExtent.push_back(xs[i] + half);
    }
    prepareFrame(frame, xExtent, yExtent);
    auto chart = std::make_unique<BarChart>(xs, ys, width);
    if (widths.size() > 1) chart->widths = widths;
    applyStyle(style, chart->pen, context.figures().colours());
    int id = currentItemId(figure, frame.add(std::move(chart)));
    refresh(figure);
    idsResult(outputs[0], {id});
}

void circle(BuiltinContext& context, const Value& first, const Value* second, ValuePtr& result) {
    const Value& place = dataArgument(first, "circle");
    std::vector<double> xyr = numbersOf(place);
    std::string style;
    if (second && !isText(*second)) {
        if (xyr.size() != 2) raiseRuntime("circle", "xy argument must have size 2");
        xyr.push_back(scalarOf(dataArgument(*second, "circle"), "circle", "invalid argument"));
    } else {
        if (xyr.size() != 3) raiseRuntime("circle", "xyr argument must have size 3");
        if (second) style = second->toString();
    }
    Figure& figure = figureForPlot(context);
    auto item = std::make_unique<Circle>(xyr[0], xyr[1], xyr[2]);
    item->pen.lineColour = 0;
    applyStyle(style, item->pen, context.figures().colours());
    item->filled = style.find('#') != std::string::npos;
    int id = currentItemId(figure, figure.currentFrame().add(std::move(item)));
    refresh(figure);
    idsResult(result, {id});
}

} // namespace

std::span<const BuiltinDefinition> plotCommandsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("plot", plotFamily<AxisMode::Linear>, DOUBLE_VAL, 1, kUnlimitedArgs),
        defineBuiltin("semilogy", plotFamily<AxisMode::LogY>, DOUBLE_VAL, 1, kUnlimitedArgs),
        defineBuiltin("semilogx", plotFamily<AxisMode::LogX>, DOUBLE_VAL, 1, kUnlimitedArgs),
        defineBuiltin("loglog", plotFamily<AxisMode::LogBoth>, DOUBLE_VAL, 1, kUnlimitedArgs),
        defineBuiltin("fill", fill, DOUBLE_VAL, 2, kUnlimitedArgs),
        defineBuiltin("qplot", qplot),
        defineBuiltin("errbar", errbar, DOUBLE_VAL, 3, 3),
        defineBuiltin("barchart", barchart, DOUBLE_VAL, 2, 3),
        defineBuiltin("circle", circle),
    };
    return table;
}

} // namespace vemlor
