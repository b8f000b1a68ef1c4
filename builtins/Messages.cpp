// What a program says to its user: `disp` shows values, `error` stops the
// program with the user's own message (level nonzero) or prints it as a
// warning (level 0), `assert` stops it when a condition fails, and
// `messageBox` shows a text in a box (on the console in the terminal) and
// waits until it is closed.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "core/Display.h"
#include "platform/Dialogs.h"

namespace vemlor {

namespace {

using namespace detail;

void emptyResult(std::span<ValuePtr> outputs) {
    resultAs<DoubleValue>(outputs[0]).setShapeKind(0, 0, KIND_NUMERIC);
}

void disp(BuiltinContext& context, std::span<const Value* const> arguments,
          std::span<ValuePtr> outputs) {
    for (const Value* v : arguments)
        display(*v, context.output());
    emptyResult(outputs);
}

// A failed assertion names itself with the strings among the further values
// on one line, then displays the other values, then stops the program.
void assertion(BuiltinContext& context, std::span<const Value* const> arguments,
               std::span<ValuePtr> outputs) {
    double condition = scalarOf(*arguments[0], "assert", "condition was not scalar");
    if (condition != 0) return emptyResult(outputs);
    std::string text;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const Value& v = *arguments[i];
        if (v.type() == LIST_VAL || !v.isString()) continue;
        if (!text.empty()) text += ' ';
        text += v.toString();
    }
    printPrefixedText(context.output(), "{r assertion} ", text);
    for (size_t i = 1; i < arguments.size(); ++i) {
        const Value& v = *arguments[i];
        if (v.type() == LIST_VAL || !v.isString()) display(v, context.output());
    }
    raiseRuntime("assertion failed");
}

void error(BuiltinContext& context, const Value& level, const Value* text, ValuePtr& result) {
    double severity = scalarOf(level, "error", "level was not scalar");
    std::string message = text ? textOf(*text) : std::string();
    if (severity != 0) throw RuntimeError(message);
    printPrefixedText(context.output(), "{r warning:} ", message);
    resultAs<DoubleValue>(result).setShapeKind(0, 0, KIND_NUMERIC);
}

int messageBox(BuiltinContext& context, const Value& text) {
    if (!context.isolated()) context.dialogs().inform(textOf(text), "Vemlor");
    return 1;
}

} // namespace

std::span<const BuiltinDefinition> messagesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("disp", disp, DOUBLE_VAL, 1, kUnlimitedArgs),
        defineBuiltin("error", error),
        defineBuiltin("assert", assertion, DOUBLE_VAL, 1, kUnlimitedArgs),
        defineBuiltin("messageBox", messageBox),
    };
    return table;
}

} // namespace vemlor
