// makeBuiltinCall: the build-time checks of a built-in call and the choice
// of the element class from the family, the variant and the argument types.
//
// Lists are refused everywhere except in the ValueToScalar family (whole-value
// queries) and the General one, whose handlers take arguments of every kind
// and check each one themselves (lists to join, display, assert or hand on in
// a multiple assignment). The mixed-argument flag is the parser's business
// only. Complex arguments go to an Elementwise name's counterpart when it has
// one.
#include "exec/FuncElements.h"

#include "builtins/BuiltinContext.h"
#include "core/Errors.h"
#include "exec/ConstantElements.h"
#include "exec/FuncElementClasses.h"

#include <algorithm>
#include <iterator>

namespace vemlor {

namespace {

template <class H> H handlerAs(const void* p) {
    return reinterpret_cast<H>(const_cast<void*>(p)); // clang refuses the cast from const
}

bool listsAllowed(const BuiltinInfo& function) {
    Family family = function.entry.family;
    return family == Family::ValueToScalar || family == Family::General;
}

void checkArguments(const BuiltinInfo& function, const std::vector<EvaluatablePtr>& arguments) {
    for (const EvaluatablePtr& argument : arguments)
        if (!argument) raiseBug("BUG: built-in call with a missing argument");
    if (function.entry.family == Family::Functor && arguments.size() < 2)
        throw SyntaxError("function missing a parameter");
    Registry::checkArity(function.name, function.minArgs, function.maxArgs, int(arguments.size()));
    if (!function.handler) raiseBug("BUG: built-in " + function.name + " has no handler");
    if (listsAllowed(function)) return;
    for (size_t i = function.listFirstArgument ? 1 : 0; i < arguments.size(); ++i)
        if (arguments[i]->resultType() == LIST_VAL)
            throw SyntaxError("function may not be applied to a list");
}

// The type an OptionalArg, OneOrTwoArgs or General call delivers, known
// before it runs.
int callResultType(const BuiltinInfo& function, const std::vector<EvaluatablePtr>& arguments,
                   BuiltinContext& context) {
    if (function.resultTypeOfFile && !arguments.empty())
        if (auto* name = dynamic_cast<const StringLiteralElement*>(arguments[0].get()))
            return function.resultTypeOfFile(context, name->text());
    if (function.resultType != kSameAsFirstArgument) return function.resultType;
    if (!arguments.empty()) return arguments[0]->resultType();
    // Without an argument the only candidate is the answer itself (`ans`).
    return function.entry.family == Family::OptionalArg ? context.answer().type() : DOUBLE_VAL;
}

EvaluatablePtr makeElementwiseCall(const BuiltinInfo& function, EvaluatablePtr argument,
                                   BuiltinContext& context) {
    int type = argument->resultType();
    if (function.entry.variant == Variant::Integer) {
        if (type == COMPLEX_VAL)
            throw SyntaxError("this function does not accept a complex argument");
        if (function.takesContext)
            return std::make_unique<ContextFuncIntElement>(
                std::move(argument), handlerAs<handler::IntToIntInContext>(function.handler),
                context);
        return std::make_unique<SimpleFuncIntElement>(
            std::move(argument), handlerAs<handler::IntToInt>(function.handler));
    }
    if (type != COMPLEX_VAL)
        return std::make_unique<SimpleFuncElement>(
            std::move(argument), handlerAs<handler::DoubleToDouble>(function.handler),
            function.vectorFunction);
    switch (function.complexKind) {
    case ComplexCounterpartKind::ComplexResult:
        return std::make_unique<SimpleFuncComplexElement>(
            std::move(argument), handlerAs<handler::ComplexToComplex>(function.complexHandler));
    case ComplexCounterpartKind::DoubleResult:
        return std::make_unique<SimpleFuncCtoDElement>(
            std::move(argument), handlerAs<handler::ComplexToDouble>(function.complexHandler));
    default:
        throw SyntaxError("this function does not accept a complex argument");
    }
}

EvaluatablePtr makeColumnCall(const BuiltinInfo& function, EvaluatablePtr argument) {
    if (argument->resultType() == COMPLEX_VAL) throw SyntaxError("illegal argument type");
    if (function.entry.variant == Variant::Integer)
        return std::make_unique<ColumnWiseFuncI_Element>(
            std::move(argument), handlerAs<handler::ColumnToInt>(function.handler));
    return std::make_unique<ColumnWiseFuncD_Element>(
        std::move(argument), handlerAs<handler::ColumnToDouble>(function.handler));
}

EvaluatablePtr makeScalarCall(const BuiltinInfo& function, EvaluatablePtr argument,
                              BuiltinContext& context) {
    if (function.entry.variant == Variant::Integer)
        return std::make_unique<Value2ScalarI_Element>(
            std::move(argument), handlerAs<handler::ValueToInt>(function.handler), context);
    return std::make_unique<Value2ScalarD_Element>(
        std::move(argument), handlerAs<handler::ValueToDouble>(function.handler), context);
}

EvaluatablePtr makeVectorCall(const BuiltinInfo& function, EvaluatablePtr argument,
                              BuiltinContext& context) {
    if (argument->resultType() == COMPLEX_VAL)
        throw SyntaxError("this function does not accept a complex argument");
    if (function.entry.variant == Variant::Integer)
        return std::make_unique<DVal_IValFuncElement>(
            std::move(argument), handlerAs<handler::ValueToIntValue>(function.handler), context);
    return std::make_unique<DVal_DValFuncElement>(
        std::move(argument), handlerAs<handler::ValueToDoubleValue>(function.handler), context);
}

// The built-ins that change their first argument: a variable is changed
// for the user to see, a constant only in a copy.
bool changesFirstArgument(const std::string& name) {
    static const char* const names[] = {"push",     "pop",      "qpop",    "sortit",
                                        "nextPerm", "prevPerm", "swaprows"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

EvaluatablePtr takeArgument(std::vector<EvaluatablePtr>& arguments, size_t i) {
    return i < arguments.size() ? std::move(arguments[i]) : nullptr;
}

} // namespace

EvaluatablePtr makeBuiltinCall(const BuiltinInfo& function, std::vector<EvaluatablePtr> arguments,
                               BuiltinContext& context) {
    if (function.entry.family == Family::None)
        raiseBug("BUG: call of " + function.name + ", which is not a built-in");
    if (function.entry.family == Family::NoArg && function.name == "end")
        throw SyntaxError("stray 'end' keyword");
    checkArguments(function, arguments);
    if (!arguments.empty() && arguments[0]->category() == CAT_NUMBER &&
        changesFirstArgument(function.name))
        arguments[0] = std::make_unique<ConstantCopyElement>(std::move(arguments[0]));
    const void* h = function.handler;
    switch (function.entry.family) {
    case Family::NoArg:
        return std::make_unique<TicLikeFuncElement>(handlerAs<handler::NoArg>(h), context);
    case Family::OptionalArg: {
        int type = callResultType(function, arguments, context);
        return std::make_unique<AnsFuncElement>(takeArgument(arguments, 0),
                                                handlerAs<handler::OptionalArg>(h), context, type,
                                                function.name);
    }
    case Family::Elementwise:
        return makeElementwiseCall(function, std::move(arguments[0]), context);
    case Family::Column:
        return makeColumnCall(function, std::move(arguments[0]));
    case Family::ValueToScalar:
        return makeScalarCall(function, std::move(arguments[0]), context);
    case Family::ValueToValue:
        return makeVectorCall(function, std::move(arguments[0]), context);
    case Family::OneOrTwoArgs: {
        int type = callResultType(function, arguments, context);
        auto call = std::make_unique<TwoArgFuncElement>(
            takeArgument(arguments, 0), takeArgument(arguments, 1), handlerAs<handler::OneOrTwo>(h),
            context, type, function.name);
        if (function.listFirstArgument) call->acceptListFirst();
        if (function.handlerForUnusedResult)
            call->setHandlerForUnusedResult(
                handlerAs<handler::OneOrTwo>(function.handlerForUnusedResult));
        return call;
    }
    case Family::Functor:
        return std::make_unique<SimpleFunctorElement>(std::move(arguments[0]),
                                                      std::move(arguments[1]),
                                                      handlerAs<handler::Functor>(h), context);
    case Family::General: {
        int type = callResultType(function, arguments, context);
        return std::make_unique<GeneralFuncElement>(
            std::move(arguments), handlerAs<handler::General>(h), context, type, function.name);
    }
    default:
        raiseBug("BUG: built-in " + function.name + " of an unknown family");
    }
}

} // namespace vemlor
