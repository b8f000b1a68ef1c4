// Built-ins about the interpreter itself: the last answer, the program
// directory, the stray `end`, and the hand-over of a multiple assignment.
//
// `ans` gives a copy of the instance's answer. `exepath` gives the program
// directory as a string; with a string argument, that name inside the
// program directory.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "core/Errors.h"

namespace vemlor {

namespace {

using detail::resultAs;

void answer(BuiltinContext& context, const Value*, ValuePtr& result) {
    const Value& current = context.answer();
    if (result && result->type() == current.type())
        result->assign(current);
    else
        result = newValueCopy(current);
}

void exepath(BuiltinContext& context, const Value* argument, ValuePtr& result) {
    std::string path = context.programDirectory();
    if (argument) {
        check(argument->type() == INTEGER_VAL && argument->isString(), "exepath",
              "argument must be a string");
        path += "/" + argument->toString();
    }
    resultAs<IntValue>(result).assignString(path);
}

// The parser turns `end` inside an index into the index's end and refuses it
// elsewhere, so reaching this handler means a call built by other means.
double strayEnd(BuiltinContext&) {
    raiseRuntime("stray 'end' keyword");
}

// Integers become doubles, the type a multiple assignment stores; other
// values are handed over as they are for the assignment to judge.
void multiassign(BuiltinContext&, std::span<const Value* const> arguments,
                 std::span<ValuePtr> outputs) {
    check(arguments.size() == outputs.size(), "multiple assignment", "non-matching items");
    for (size_t i = 0; i < arguments.size(); ++i) {
        const Value& v = *arguments[i];
        if (v.type() == INTEGER_VAL)
            resultAs<DoubleValue>(outputs[i]).assignConverted(v);
        else if (outputs[i] && outputs[i]->type() == v.type())
            outputs[i]->assign(v);
        else
            outputs[i] = newValueCopy(v);
    }
}

// The switch words, for commands such as grid(on).
double on(BuiltinContext&) {
    return 1;
}

double off(BuiltinContext&) {
    return 0;
}

} // namespace

// `ans` has the type of whatever the answer holds when the call is built;
// kSameAsFirstArgument stands for that, since it has no argument to follow.
std::span<const BuiltinDefinition> interpreterTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("ans", answer, kSameAsFirstArgument),
        defineBuiltin("exepath", exepath, INTEGER_VAL),
        defineBuiltin("end", strayEnd),
        defineBuiltin("multiassign", multiassign, DOUBLE_VAL, 1, kUnlimitedArgs),
        defineBuiltin("on", on),
        defineBuiltin("off", off),
    };
    return table;
}

} // namespace vemlor
