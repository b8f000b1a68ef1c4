// `set`, the named settings of the current figure and frame, and `table`,
// the numbers behind the function form of `plot`.
//
//   set()              lists the settings in the console
//   set(name)          the value of one setting
//   set(name, value)   changes it and returns the new value
//
// Settings: "size" [width, height] of the figure in pixels (what `print`
// writes), "xlim" and "ylim" [min, max], "xlog" and "ylog" 0 or 1, "grid"
// 0 or 1, "box" 0 or 1 (the plot-area outline), "fixed" 0 or 1 (as `fix`).
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"
#include "builtins/ScalarFunction.h"
#include "core/OutputSink.h"

#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

constexpr const char* kSettings[] = {"size", "xlim", "ylim", "xlog",
                                     "ylog", "grid", "box",  "fixed"};

std::vector<double> settingValue(Figure& f, const std::string& name) {
    Frame& frame = f.currentFrame();
    if (name == "size") return {double(f.width), double(f.height)};
    if (name == "xlim") return {frame.xmin, frame.xmax};
    if (name == "ylim") return {frame.ymin, frame.ymax};
    if (name == "xlog") return {frame.xLinear ? 0.0 : 1.0};
    if (name == "ylog") return {frame.yLinear ? 0.0 : 1.0};
    if (name == "grid") {
        AxisTicks* ticks = frame.findAxisTicks();
        return {ticks && (ticks->xFlags & kGridLines) ? 1.0 : 0.0};
    }
    if (name == "box") {
        auto* outline = dynamic_cast<BoxRel*>(frame.item(0));
        return {outline && outline->outline ? 1.0 : 0.0};
    }
    if (name == "fixed") return {frame.fixedLimits ? 1.0 : 0.0};
    raiseRuntime("set", "unrecognized setting " + name);
}

void changeSetting(Figure& f, const std::string& name, const std::vector<double>& v) {
    settingValue(f, name); // refuses unknown names first
    size_t wanted = name == "size" || name == "xlim" || name == "ylim" ? 2 : 1;
    bool finite = v.size() == wanted;
    for (double x : v)
        finite = finite && std::isfinite(x);
    if (!finite) raiseRuntime("set", "invalid value for " + name);
    Frame& frame = f.currentFrame();
    bool on = v[0] != 0;
    if (name == "size") {
        if (!(v[0] >= 1 && v[1] >= 1 && v[0] <= 20000 && v[1] <= 20000))
            raiseRuntime("set", "invalid value for size");
        f.width = int(v[0]);
        f.height = int(v[1]);
        f.placeChanged = true;
    } else if (name == "xlim" || name == "ylim") {
        if (!(v[0] < v[1])) raiseRuntime("set", "invalid value for " + name);
        (name == "xlim" ? frame.xmin : frame.ymin) = v[0];
        (name == "xlim" ? frame.xmax : frame.ymax) = v[1];
    } else if (name == "xlog") {
        frame.xLinear = !on;
    } else if (name == "ylog") {
        frame.yLinear = !on;
    } else if (name == "grid") {
        AxisTicks& ticks = frame.axisTicks();
        for (int* flags : {&ticks.xFlags, &ticks.yFlags})
            *flags = on ? (*flags | kGridLines) : (*flags & ~kGridLines);
    } else if (name == "box") {
        if (auto* outline = dynamic_cast<BoxRel*>(frame.item(0))) outline->outline = on;
    } else {
        frame.fixedLimits = on;
    }
}

void rowResult(ValuePtr& slot, const std::vector<double>& v) {
    auto& out = resultAs<DoubleValue>(slot);
    out.setShapeKind(int(v.size()), 1, KIND_NUMERIC);
    for (size_t i = 0; i < v.size(); ++i)
        out[int(i)] = v[i];
}

void set(BuiltinContext& context, std::span<const Value* const> args, std::span<ValuePtr> outputs) {
    Figure& f = requiredFigure(context);
    if (args.empty()) {
        for (const char* name : kSettings) {
            std::string line = name;
            for (double x : settingValue(f, name)) {
                char number[32];
                std::snprintf(number, sizeof number, " %g", x);
                line += number;
            }
            context.output().print(line, true, PRINT_LITERAL);
        }
        return rowResult(outputs[0], {});
    }
    std::string name = textArgument(*args[0], "set", "the setting must be named by a string");
    if (args.size() == 2) {
        if (!isRealNumbers(*args[1])) raiseRuntime("set", "invalid value for " + name);
        changeSetting(f, name, numbersOf(*args[1]));
        refresh(f);
    }
    rowResult(outputs[0], settingValue(f, name));
}

// table(f, [a, b] [, n]): n rows (11 by default) of x and f(x), x running
// evenly from a to b.
void table(BuiltinContext& context, std::span<const Value* const> args,
           std::span<ValuePtr> outputs) {
    auto f = context.scalarFunction(*args[0]);
    if (!isRealNumbers(*args[1]) || args[1]->n != 2)
        raiseRuntime("table", "the range must be [lower, upper]");
    double lower = numberAt(*args[1], 0), upper = numberAt(*args[1], 1);
    if (!std::isfinite(lower) || !std::isfinite(upper))
        raiseRuntime("table", "infinite limits not allowed here");
    if (upper <= lower) raiseRuntime("table", "range has upper limit at or below lower limit");
    int n = 11;
    if (args.size() == 3)
        n = wholeScalarOf(*args[2], "table", "the number of rows must be a whole number");
    if (n < 2 || n > 10000000) raiseRuntime("table", "the number of rows must be at least 2");
    auto& out = resultAs<DoubleValue>(outputs[0]);
    out.setShapeKind(2 * n, n, KIND_NUMERIC);
    for (int i = 0; i < n; ++i) {
        double x = i == n - 1 ? upper : lower + (upper - lower) * i / (n - 1);
        out[i] = x;
        out[n + i] = (*f)(x);
    }
}

} // namespace

std::span<const BuiltinDefinition> figureSettingsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("set", set, DOUBLE_VAL, 0, 2),
        defineBuiltin("table", vemlor::table, DOUBLE_VAL, 2, 3),
    };
    return table;
}

} // namespace vemlor
