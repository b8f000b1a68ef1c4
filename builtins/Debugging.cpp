// The debugger from the language: `debug` stops at the next statement (a
// breakpoint written as a call) or switches the stops of the running input
// on and off; `debugtest` says how values are held.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "console/Debugger.h"
#include "core/Errors.h"
#include "core/OutputSink.h"

namespace vemlor {

namespace {

using namespace detail;

// debug: stepping from the next statement on, result 1. debug(on): stops on
// (nonzero) or off for the rest of the input, result the previous state.
void debug(BuiltinContext& context, std::span<const Value* const> arguments,
           std::span<ValuePtr> outputs) {
    check(arguments.size() <= 1, "debug", "takes no argument or one");
    Debugger* debugger = context.debugger();
    double result = 1;
    if (arguments.empty()) {
        if (debugger) debugger->startStepping();
    } else {
        bool on = scalarOf(*arguments[0], "debug", "argument was not scalar") != 0;
        result = debugger ? debugger->setEnabled(on) : 0;
    }
    resultAs<DoubleValue>(outputs[0]).assignScalar(result);
}

// One line per argument; the result is the number of arguments.
void debugtest(BuiltinContext& context, std::span<const Value* const> arguments,
               std::span<ValuePtr> outputs) {
    for (const Value* v : arguments)
        context.output().print(valueDescription(*v), true, PRINT_LITERAL);
    resultAs<DoubleValue>(outputs[0]).assignScalar(double(arguments.size()));
}

} // namespace

std::span<const BuiltinDefinition> debuggingTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("debug", debug, DOUBLE_VAL, 0, kUnlimitedArgs),
        defineBuiltin("debugtest", debugtest, DOUBLE_VAL, 0, kUnlimitedArgs),
    };
    return table;
}

} // namespace vemlor
