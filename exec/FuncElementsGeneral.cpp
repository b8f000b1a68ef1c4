// Evaluation of the built-in calls whose handlers see whole values: no
// argument (Family::NoArg), an optional argument (OptionalArg), value to
// value (ValueToValue), one or two arguments (OneOrTwoArgs), functors
// (Functor) and the general calls (General).
//
// Handlers of the OptionalArg, OneOrTwoArgs and General families produce their result in a value
// the element owns and reuses; the element hands that value out directly when it has the announced
// type, so no result is copied.
#include "exec/FuncElementClasses.h"
#include "exec/FuncElementSupport.h"

namespace vemlor {

namespace detail {

Value* deliverResult(ValuePtr& produced, int announced, ValuePtr& converted,
                     const std::string& name) {
    if (!produced) produced = newValue(announced);
    int type = produced->type();
    if (type == announced) return produced.get();
    if (!widensTo(type, announced))
        raiseRuntime(name, "the result type differs from the one the call was built for");
    if (!converted || converted->type() != announced) converted = newValue(announced);
    converted->assignConverted(*produced);
    return converted.get();
}

void refuseList() {
    raiseRuntime("function may not be applied to a list");
}
void refuseComplex() {
    raiseRuntime("this function does not accept a complex argument");
}
void refuseType() {
    raiseRuntime("illegal argument type");
}

} // namespace detail

namespace {

// Scratch for an argument of the type it announced (none for an absent one).
ValuePtr scratchFor(const EvaluatablePtr& argument) {
    return argument ? newValue(argument->resultType()) : nullptr;
}

// Evaluates a numeric argument; lists are refused (their type may have
// changed since the call was built).
const Value& numericArgument(Evaluatable& argument, ValuePtr& scratch) {
    const Value* v = argument.pValue(scratch.get());
    if (v->type() == LIST_VAL) detail::refuseList();
    return *v;
}

} // namespace

// ---- Family::NoArg ----------------------------------------------------------

Value* TicLikeFuncElement::pValue(Value* workspace) {
    double x = f_(*context_);
    DoubleValue& out = detail::resultValue(workspace, own_);
    out.assignScalar(x);
    return &out;
}

// ---- Family::OptionalArg ----------------------------------------------------

AnsFuncElement::AnsFuncElement(EvaluatablePtr argument, handler::OptionalArg f,
                               BuiltinContext& context, int resultType, std::string name)
    : WithEvaluatable(std::move(argument)), f_(f), context_(&context), resultType_(resultType),
      name_(std::move(name)), argumentScratch_(scratchFor(child_)) {}

Value* AnsFuncElement::pValue(Value*) {
    const Value* argument = child_ ? &numericArgument(*child_, argumentScratch_) : nullptr;
    f_(*context_, argument, result_);
    return detail::deliverResult(result_, resultType_, converted_, name_);
}

// ---- Family::ValueToValue ---------------------------------------------------

namespace {

const Value& vectorArgument(Evaluatable& argument, ValuePtr& scratch) {
    const Value& v = numericArgument(argument, scratch);
    if (v.type() == COMPLEX_VAL) detail::refuseComplex();
    return v;
}

} // namespace

DVal_DValFuncElement::DVal_DValFuncElement(EvaluatablePtr argument, handler::ValueToDoubleValue f,
                                           BuiltinContext& context)
    : WithEvaluatable(std::move(argument)), f_(f), context_(&context),
      scratch_(scratchFor(child_)) {}

Value* DVal_DValFuncElement::pValue(Value* workspace) {
    const Value& argument = vectorArgument(*child_, scratch_);
    DoubleValue& out = detail::resultValue(workspace, own_);
    f_(*context_, argument, out);
    return &out;
}

DVal_IValFuncElement::DVal_IValFuncElement(EvaluatablePtr argument, handler::ValueToIntValue f,
                                           BuiltinContext& context)
    : WithEvaluatable(std::move(argument)), f_(f), context_(&context),
      scratch_(scratchFor(child_)) {}

Value* DVal_IValFuncElement::pValue(Value* workspace) {
    const Value& argument = vectorArgument(*child_, scratch_);
    IntValue& out = detail::resultValue(workspace, own_);
    f_(*context_, argument, out);
    return &out;
}

// ---- Family::OneOrTwoArgs ---------------------------------------------------

TwoArgFuncElement::TwoArgFuncElement(EvaluatablePtr first, EvaluatablePtr second,
                                     handler::OneOrTwo f, BuiltinContext& context, int resultType,
                                     std::string name)
    : With2Evaluatable(std::move(first), std::move(second)), f_(f), context_(&context),
      resultType_(resultType), name_(std::move(name)), firstScratch_(scratchFor(first_)),
      secondScratch_(scratchFor(second_)) {}

Value* TwoArgFuncElement::pValue(Value*) {
    const Value& first =
        listFirst_ ? *first_->pValue(firstScratch_.get()) : numericArgument(*first_, firstScratch_);
    const Value* second = second_ ? &numericArgument(*second_, secondScratch_) : nullptr;
    f_(*context_, first, second, result_);
    return detail::deliverResult(result_, resultType_, converted_, name_);
}

// ---- Family::Functor --------------------------------------------------------

SimpleFunctorElement::SimpleFunctorElement(EvaluatablePtr parameters, EvaluatablePtr x,
                                           handler::Functor f, BuiltinContext& context)
    : With2Evaluatable(std::move(parameters), std::move(x)), f_(f), context_(&context),
      parameterScratch_(scratchFor(first_)), xScratch_(scratchFor(second_)) {}

Value* SimpleFunctorElement::pValue(Value* workspace) {
    if (!second_) raiseRuntime("function missing a parameter");
    const Value& parameters = numericArgument(*first_, parameterScratch_);
    const Value& x = numericArgument(*second_, xScratch_);
    DoubleValue& out = detail::resultValue(workspace, own_);
    f_(*context_, parameters, x, out);
    return &out;
}

// ---- Family::General --------------------------------------------------------

GeneralFuncElement::GeneralFuncElement(std::vector<EvaluatablePtr> arguments, handler::General f,
                                       BuiltinContext& context, int resultType, std::string name)
    : MultiInputOutput_Element(std::move(arguments)), f_(f), context_(&context),
      resultType_(resultType), name_(std::move(name)), outputs_(1) {
    scratch_.reserve(arguments_.size());
    for (const EvaluatablePtr& argument : arguments_)
        scratch_.push_back(scratchFor(argument));
    argumentValues_.resize(arguments_.size());
}

void GeneralFuncElement::evaluateArguments() {
    for (size_t i = 0; i < arguments_.size(); ++i)
        argumentValues_[i] = arguments_[i]->pValue(scratch_[i].get());
}

Value* GeneralFuncElement::pValue(Value*) {
    evaluateArguments();
    f_(*context_, argumentValues_, outputs_);
    return detail::deliverResult(outputs_[0], resultType_, converted_, name_);
}

void GeneralFuncElement::evaluateOutputs(std::span<ValuePtr> outputs) {
    if (outputs.empty()) raiseBug("BUG: general built-in call asked for no outputs");
    evaluateArguments();
    f_(*context_, argumentValues_, outputs);
}

} // namespace vemlor
