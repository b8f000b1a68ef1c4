// Shared reading of plot arguments and item ids.
#include "builtins/PlotSupport.h"

#include "builtins/Arguments.h"

#include <cmath>

namespace vemlor::detail {

bool isText(const Value& v) {
    return v.type() != LIST_VAL && v.isString();
}

bool isRealNumbers(const Value& v) {
    return (v.type() == INTEGER_VAL || v.type() == DOUBLE_VAL) && !v.isString();
}

std::vector<double> numbersOf(const Value& v) {
    std::vector<double> out(size_t(v.n));
    for (int i = 0; i < v.n; ++i)
        out[size_t(i)] = numberAt(v, i);
    return out;
}

std::string textArgument(const Value& v, std::string_view context, std::string_view message) {
    if (!isText(v)) raiseRuntime(context, message);
    return v.toString();
}

std::string userPath(BuiltinContext& context, std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    if (name.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        return std::string(home ? home : "") + name.substr(1);
    }
    if (!name.empty() && name[0] == '/') return name;
    return context.currentDirectory() + "/" + name;
}

Figure& figureForPlot(BuiltinContext& context) {
    return context.figures().select(-1);
}

Figure& requiredFigure(BuiltinContext& context) {
    return context.figures().required();
}

void refresh(Figure& figure) {
    figure.changed();
}

int currentItemId(const Figure& figure, int index) {
    return figure.currentFrameIndex() * kItemsPerFrame + index;
}

ItemRef itemOfId(Figure& figure, double id, std::string_view context) {
    if (!std::isfinite(id) || id < 0 || id != std::floor(id) || id > 1e9)
        raiseRuntime(context, "id not recognized: invalid frame");
    ItemRef ref;
    ref.frame = figure.frameOfId(int(id), ref.index);
    if (!ref.frame) raiseRuntime(context, "id not recognized: invalid frame");
    ref.frameIndex = int(id) / kItemsPerFrame;
    ref.item = ref.frame->item(ref.index);
    if (!ref.item) raiseRuntime(context, "invalid id: no such item in the frame");
    return ref;
}

void idsResult(ValuePtr& slot, const std::vector<int>& ids) {
    auto& out = resultAs<DoubleValue>(slot);
    out.setShapeKind(int(ids.size()), ids.empty() ? 0 : 1, KIND_NUMERIC);
    for (size_t i = 0; i < ids.size(); ++i)
        out[int(i)] = ids[i];
}

} // namespace vemlor::detail
