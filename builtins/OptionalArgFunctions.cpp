// Family 2: built-ins taking no argument or one, with a result of any type.
//
// `ans` gives a copy of the instance's answer. `true` and `false` give the
// boolean scalar, or with a shape argument a boolean matrix of that shape
// (the shape rule of Arguments.h). `exepath` gives the program directory as
// a string; with a string argument, that name inside the program directory.
// `oclock` gives the local time of day as the string "hh:mm:ss" and `today`
// the date as "yyyy-mm-dd"; with any argument they give the numbers instead,
// the integer row [hours minutes seconds] or [year month day].
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "core/Errors.h"

#include <array>
#include <cstdio>
#include <ctime>

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

void booleanFilled(const Value* argument, ValuePtr& result, int bit, std::string_view name) {
    IntValue& out = resultAs<IntValue>(result);
    if (!argument) {
        out.assignScalarInt(bit);
    } else {
        detail::Shape shape = detail::shapeArgument(*argument, name);
        out.resizeFill(shape.count(), shape.rows, bit);
        out.kind = shape.kindWord();
    }
    // A 3-D boolean array cannot say both in its kind word; it stays 3-D.
    if (!out.is3D()) out.kind = KIND_BOOL;
}

void trueValue(BuiltinContext&, const Value* argument, ValuePtr& result) {
    booleanFilled(argument, result, 1, "true");
}

void falseValue(BuiltinContext&, const Value* argument, ValuePtr& result) {
    booleanFilled(argument, result, 0, "false");
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

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return parts;
}

void threeNumbers(IntValue& out, int a, int b, int c) {
    out.setShapeKind(3, 1, KIND_NUMERIC);
    out[0] = a;
    out[1] = b;
    out[2] = c;
}

void oclock(BuiltinContext&, const Value* argument, ValuePtr& result) {
    std::tm t = localNow();
    IntValue& out = resultAs<IntValue>(result);
    if (argument) return threeNumbers(out, t.tm_hour, t.tm_min, t.tm_sec);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    out.assignString(text);
}

void today(BuiltinContext&, const Value* argument, ValuePtr& result) {
    std::tm t = localNow();
    IntValue& out = resultAs<IntValue>(result);
    if (argument) return threeNumbers(out, t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    out.assignString(text);
}

const void* entry(handler::OptionalArg h) {
    return reinterpret_cast<const void*>(h);
}

} // namespace

// `ans` has the type of whatever the answer holds when the call is built;
// kSameAsFirstArgument stands for that, since it has no argument to follow.
std::span<const BuiltinDefinition> optionalArgTable() {
    static const std::array<BuiltinDefinition, 6> table = {{
        {"ans", entry(answer), kSameAsFirstArgument},
        {"true", entry(trueValue), INTEGER_VAL},
        {"false", entry(falseValue), INTEGER_VAL},
        {"exepath", entry(exepath), INTEGER_VAL},
        {"oclock", entry(oclock), INTEGER_VAL},
        {"today", entry(today), INTEGER_VAL},
    }};
    return table;
}

} // namespace vemlor
