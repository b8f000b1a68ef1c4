// What the figure commands share: reading data and style arguments, the
// current figure and frame of the calling instance, item ids, and the
// results that carry ids.
#pragma once

#include "builtins/BuiltinContext.h"
#include "core/Value.h"
#include "graphics/Figure.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vemlor::detail {

enum class AxisMode { Linear = 0, LogY = 1, LogX = 2, LogBoth = 3 };

// One curve, point or box a command is about to add.
struct Series {
    std::vector<double> x, y;
    std::string style;
    enum class Shape { Curve, Point, Box } shape = Shape::Curve;
};

// Adds the series to the current frame of the figure a plot goes to (made
// when there is none), starting the frame afresh unless its limits are
// fixed; outputs[0] gets the new items' ids.
void plotSeries(BuiltinContext& context, const std::vector<Series>& series, AxisMode mode,
                bool filled, std::span<ValuePtr> outputs);

bool isText(const Value& v);
bool isRealNumbers(const Value& v);
// The elements of a real numeric value, in storage order.
std::vector<double> numbersOf(const Value& v);
// The text of a string argument; raises "in context; message" for others.
std::string textArgument(const Value& v, std::string_view context, std::string_view message);

// The full path of a user's file name: a backslash reads as "/", "~/" is
// the home folder, and a relative name lies in the instance's current
// directory.
std::string userPath(BuiltinContext& context, std::string name);

// The current figure, created as figure -1 is when there is none.
Figure& figureForPlot(BuiltinContext& context);
// The current figure; raises "a figure is required but none was found".
Figure& requiredFigure(BuiltinContext& context);

// Recomputes the figure's frames for its size; a window, when the figure
// has one, repaints from the same state.
void refresh(Figure& figure);

// The id of item `index` of the figure's current frame.
int currentItemId(const Figure& figure, int index);

struct ItemRef {
    Frame* frame = nullptr;
    int frameIndex = 0;
    int index = 0;
    PlotItem* item = nullptr;
};
// The item an id names, with the messages for ids that name none.
ItemRef itemOfId(Figure& figure, double id, std::string_view context);

// A result of one id (a scalar) or several (a row).
void idsResult(ValuePtr& slot, const std::vector<int>& ids);

} // namespace vemlor::detail
