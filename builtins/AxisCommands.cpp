// `axis`: reads back or sets the limits, tick flags and the flag word of
// the current frame.
//
// Flag word: bit 0 shows the axes, bit 8 scales x and y equally, bit 9
// hides the plot-area outline, bit 10 lets the plot area fill the frame.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"

#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

constexpr int kShowAxes = 1;
constexpr int kEqualScale = 256;
constexpr int kHideOutline = 512;
constexpr int kWholeFrame = 1024;
constexpr FractionRect kDefaultPlotArea{0.1, 0.15, 0.85, 0.83};

void limitsResult(const Frame& frame, ValuePtr& slot) {
    auto& out = resultAs<DoubleValue>(slot);
    out.setShapeKind(4, 1, KIND_NUMERIC);
    out[0] = frame.xmin, out[1] = frame.xmax, out[2] = frame.ymin, out[3] = frame.ymax;
}

// The numbers of the arguments: one vector, or several scalars; a string
// stands for its flag word.
std::vector<double> axisNumbers(std::span<const Value* const> args) {
    if (args.size() == 1 && isText(*args[0])) {
        std::string word = args[0]->toString();
        if (word == "on") return {1};
        if (word == "off") return {0};
        if (word == "equal") return {kShowAxes | kEqualScale};
        if (word == "full") return {kShowAxes | kWholeFrame};
        raiseRuntime("axis", "unrecognized string");
    }
    for (const Value* v : args)
        if (!isRealNumbers(*v)) raiseRuntime("axis", "non-scalar argument(s)");
    if (args.size() == 1) return numbersOf(*args[0]);
    std::vector<double> out;
    for (const Value* v : args) {
        if (v->n != 1) raiseRuntime("axis", "non-scalar argument(s)");
        out.push_back(numberAt(*v, 0));
    }
    return out;
}

int wholeFlags(double x) {
    if (!std::isfinite(x) || std::fabs(x) > 1e9) raiseRuntime("axis", "invalid axis limits");
    return int(x);
}

void applyFlagWord(Frame& frame, int flags) {
    AxisTicks& ticks = frame.axisTicks();
    ticks.visible = flags & kShowAxes;
    frame.equalScale = flags & kEqualScale;
    if (auto* outline = dynamic_cast<BoxRel*>(frame.item(0)))
        outline->outline = !(flags & kHideOutline);
    frame.plotArea = kDefaultPlotArea;
    frame.setPlotArea(flags & kWholeFrame ? FractionRect{0, 0, 1, 1} : kDefaultPlotArea);
}

void setLimits(Frame& frame, double a, double b, bool yAxis) {
    if (!std::isfinite(a) || !std::isfinite(b) || !(a < b))
        raiseRuntime("axis", "invalid axis limits");
    (yAxis ? frame.ymin : frame.xmin) = a;
    (yAxis ? frame.ymax : frame.xmax) = b;
}

void axis(BuiltinContext& context, std::span<const Value* const> args,
          std::span<ValuePtr> outputs) {
    if (args.size() == 1 && args[0]->type() != LIST_VAL && args[0]->n == 0) {
        Figure* f = context.figures().current();
        if (!f) raiseRuntime("axis", "there is no open figure");
        return limitsResult(f->currentFrame(), outputs[0]);
    }
    std::vector<double> v = axisNumbers(args);
    bool fresh = context.figures().current() == nullptr;
    Figure& f = figureForPlot(context);
    Frame& frame = f.currentFrame();
    if (fresh) {
        frame.axisTicks();
        frame.fixedLimits = true;
    }
    switch (v.size()) {
    case 1:
        applyFlagWord(frame, wholeFlags(v[0]));
        break;
    case 2:
        setLimits(frame, v[0], v[1], true);
        break;
    case 3: {
        AxisTicks& ticks = frame.axisTicks();
        ticks.xFlags = wholeFlags(v[0]);
        ticks.yFlags = wholeFlags(v[1]);
        applyFlagWord(frame, wholeFlags(v[2]));
        if (ticks.xFlags & kSpanFrame) frame.setPlotArea({0, frame.plotArea.y, 1, 0});
        if (ticks.yFlags & kSpanFrame) frame.setPlotArea({frame.plotArea.x, 0, 0, 1});
        break;
    }
    case 4:
        setLimits(frame, v[0], v[1], false);
        setLimits(frame, v[2], v[3], true);
        break;
    default:
        raiseRuntime("axis does not take " + std::to_string(v.size()) + " arguments");
    }
    refresh(f);
    limitsResult(frame, outputs[0]);
}

} // namespace

std::span<const BuiltinDefinition> axisCommandsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("axis", axis, DOUBLE_VAL, 1, 4),
    };
    return table;
}

} // namespace vemlor
