#include "session/WindowCallbacks.h"

#include "exec/RunFlags.h"
#include "exec/UserFunc.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"

#include <algorithm>

namespace vemlor {

namespace {

void setRow(DoubleValue& value, const double* pair) {
    if (!pair) {
        value.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    value.setShapeKind(2, 1, KIND_NUMERIC);
    value[0] = pair[0];
    value[1] = pair[1];
}

} // namespace

bool WindowCallbacks::defines(const std::string& name) {
    return workspace_.userFunctions().find(name) != nullptr;
}

void WindowCallbacks::call(const std::string& name, const double position[2], const double* pair) {
    UserFunc* function = workspace_.userFunctions().find(name);
    if (!function) return;
    DoubleValue where, given, none;
    setRow(where, position);
    setRow(given, pair);
    setRow(none, nullptr);
    const MouseState& mouse = MouseState::process();
    const Value* arguments[] = {&where, &given, mouse.handed ? mouse.handed.get() : &none};
    size_t count = std::min<size_t>(size_t(function->signature().parameterCount()), 3);
    bool running = RunFlags::run.load();
    RunFlags::run = true;
    try {
        ValuePtr result = newValue(function->outputType());
        function->call(std::span(arguments, count), {}, {}, *result);
    } catch (...) {
        errors_(std::current_exception());
    }
    RunFlags::run = running;
}

} // namespace vemlor
