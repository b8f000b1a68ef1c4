// Texts and changes to items already drawn: `text`, `title`, `xlabel`,
// `ylabel`, `replot` and `replot_move`.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/PlotSupport.h"

#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

// text([x, y], text [, placement] [, style]) or text(x, y, text ...).
void text(BuiltinContext& context, std::span<const Value* const> args,
          std::span<ValuePtr> outputs) {
    if (!isRealNumbers(*args[0])) raiseRuntime("text", "coords neither scalar nor size 2");
    std::vector<double> xy = numbersOf(*args[0]);
    size_t next = 1;
    if (xy.size() == 1) {
        if (isRealNumbers(*args[1]) && args[1]->n == 2)
            raiseRuntime("text", "text(id,xy) not yet implemented. Maybe try replot?");
        if (!isText(*args[1])) {
            if (!isRealNumbers(*args[1]) || args[1]->n != 1) raiseRuntime("text", "non-scalar y");
            xy.push_back(numberAt(*args[1], 0));
            next = 2;
        }
    }
    if (xy.size() != 2) raiseRuntime("text", "coords neither scalar nor size 2");
    if (next >= args.size() || !isText(*args[next]))
        raiseRuntime("text", "missing text or muddled x placement");
    std::string markup = args[next++]->toString();
    std::string placement, style;
    if (next < args.size()) placement = textArgument(*args[next++], "text", "failed");
    if (next < args.size()) style = textArgument(*args[next++], "text", "failed");
    if (next < args.size()) raiseRuntime("text", "failed");
    Figure& f = figureForPlot(context);
    auto label = std::make_unique<TextLabel>(markup, xy[0], xy[1], placement);
    applyStyle(style, label->pen, context.figures().colours());
    int id = currentItemId(f, f.currentFrame().add(std::move(label)));
    refresh(f);
    idsResult(outputs[0], {id});
}

enum class LabelSlot { Title, XLabel, YLabel };

template <LabelSlot Slot>
void mainLabel(BuiltinContext& context, std::span<const Value* const> args,
               std::span<ValuePtr> outputs) {
    static constexpr const char* kNames[] = {"title", "xlabel", "ylabel"};
    const char* name = kNames[int(Slot)];
    Figure& f = figureForPlot(context);
    MainLabels& labels = f.currentFrame().mainLabels();
    TextLabel& label = Slot == LabelSlot::Title    ? labels.title
                       : Slot == LabelSlot::XLabel ? labels.xLabel
                                                   : labels.yLabel;
    label.text = textOf(*args[0]);
    if (args.size() == 2)
        applyStyle(textArgument(*args[1], name, "style argument must be a string"), label.pen,
                   context.figures().colours());
    int index = 0;
    for (size_t i = 0; i < f.currentFrame().items().size(); ++i)
        if (f.currentFrame().items()[i].get() == &labels) index = int(i);
    refresh(f);
    idsResult(outputs[0], {currentItemId(f, index)});
}

// ---- replot -------------------------------------------------------------------

double scalarId(const Value& v) {
    if (!isRealNumbers(v) || v.n != 1) raiseRuntime("replot", "non-scalar id");
    return numberAt(v, 0);
}

void newCurveData(Curve& curve, std::span<const Value* const> data) {
    for (const Value* v : data)
        if (!isRealNumbers(*v)) raiseRuntime("replot", "non-matching x,y sizes");
    if (data.size() == 1) {
        if (size_t(data[0]->n) != curve.ys.size()) raiseRuntime("replot", "wrong number of points");
        curve.ys = numbersOf(*data[0]);
        return;
    }
    if (data[0]->n != data[1]->n) raiseRuntime("replot", "non-matching x,y sizes");
    curve.xs = numbersOf(*data[0]);
    curve.ys = numbersOf(*data[1]);
}

// The position [x, y] (one value of two, or two scalars) of a point or text.
std::pair<double, double> newPosition(std::span<const Value* const> data, const char* message) {
    for (const Value* v : data)
        if (!isRealNumbers(*v)) raiseRuntime("replot", message);
    if (data.size() == 1 && data[0]->n == 2) return {numberAt(*data[0], 0), numberAt(*data[0], 1)};
    if (data.size() == 2 && data[0]->n == 1 && data[1]->n == 1)
        return {numberAt(*data[0], 0), numberAt(*data[1], 0)};
    raiseRuntime("replot", message);
}

void newItemData(PlotItem& item, std::span<const Value* const> data) {
    switch (item.kind()) {
    case ItemKind::Curve:
        if (auto* curve = dynamic_cast<Curve*>(&item)) return newCurveData(*curve, data);
        break;
    case ItemKind::Point:
    case ItemKind::Text: {
        auto [x, y] = newPosition(data, "x,y must be scalar for a single point");
        item.x = x;
        item.y = y;
        return;
    }
    case ItemKind::Box: {
        auto& box = static_cast<Box&>(item);
        if (data.size() != 1 || !isRealNumbers(*data[0]) || data[0]->n != 4)
            raiseRuntime("replot", "a box must be indicated by [x,y,w,h]");
        std::vector<double> v = numbersOf(*data[0]);
        box.x = v[0], box.y = v[1], box.width = v[2], box.height = v[3];
        return;
    }
    default:
        break;
    }
    raiseRuntime("replot", "the plot item is not a curve, point, box or text");
}

void replot(BuiltinContext& context, std::span<const Value* const> args,
            std::span<ValuePtr> outputs) {
    Figure* f = context.figures().current();
    if (!f) raiseRuntime("replot", "there is no figure");
    if (args.empty()) {
        refresh(*f);
        return idsResult(outputs[0], {0});
    }
    double id = scalarId(*args[0]);
    if (args.size() == 1) {
        if (id != std::floor(id) || id < 1 || id > double(f->frames().size()))
            raiseRuntime("replot", "invalid frame id");
        f->selectFrame(int(id) - 1);
        refresh(*f);
        return idsResult(outputs[0], {int(id)});
    }
    ItemRef ref = itemOfId(*f, id, "replot");
    if (isText(*args[1])) {
        if (args.size() != 2) raiseRuntime("replot", "invalid syntax");
        if (ref.index == 0 || dynamic_cast<AxisTicks*>(ref.item) ||
            dynamic_cast<MainLabels*>(ref.item))
            raiseRuntime("replot", "failed");
        std::string style = args[1]->toString();
        applyStyle(style, ref.item->pen, context.figures().colours());
        if (auto* ring = dynamic_cast<Circle*>(ref.item))
            ring->filled = ring->filled || style.find('#') != std::string::npos;
    } else {
        f->selectFrame(ref.frameIndex);
        newItemData(*ref.item, args.subspan(1));
    }
    refresh(*f);
    idsResult(outputs[0], {int(id)});
}

void replotMove(BuiltinContext& context, const Value& ids, const Value* dxy, ValuePtr& result) {
    if (!dxy || !isRealNumbers(*dxy) || dxy->n != 2 || !isRealNumbers(ids) || ids.n == 0)
        raiseRuntime("replot_move", "missing id or invalid dxy");
    Figure& f = requiredFigure(context);
    std::vector<double> moves = numbersOf(*dxy);
    std::vector<int> moved;
    for (double id : numbersOf(ids)) {
        ItemRef ref = itemOfId(f, id, "replot_move");
        ref.item->move(moves[0], moves[1]);
        moved.push_back(int(id));
    }
    refresh(f);
    idsResult(result, moved);
}

} // namespace

std::span<const BuiltinDefinition> itemCommandsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("text", text, DOUBLE_VAL, 2, 5),
        defineBuiltin("title", mainLabel<LabelSlot::Title>, DOUBLE_VAL, 1, 2),
        defineBuiltin("xlabel", mainLabel<LabelSlot::XLabel>, DOUBLE_VAL, 1, 2),
        defineBuiltin("ylabel", mainLabel<LabelSlot::YLabel>, DOUBLE_VAL, 1, 2),
        defineBuiltin("replot", replot, DOUBLE_VAL, 0, 3),
        defineBuiltin("replot_move", replotMove),
    };
    return table;
}

} // namespace vemlor
