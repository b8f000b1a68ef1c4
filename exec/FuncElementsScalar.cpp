// Evaluation of the elementwise (Family::Elementwise), per-column (Column)
// and whole-value (ValueToScalar) built-in calls.
//
// The elementwise loops call the handler through its plain function pointer
// once per element; the result keeps the argument's shape (and its kind for
// integer functions and complex results, only a 3-D array's kind for double
// results, since a string or boolean is no longer one after sqrt).
#include "exec/FuncElementClasses.h"
#include "exec/FuncElementSupport.h"

namespace vemlor {

namespace {

template <class S, class D, class F>
void mapElements(const MathMatrix<S>& in, MathMatrix<D>& out, F f, int kindWord) {
    if (static_cast<const void*>(&in) != static_cast<const void*>(&out))
        out.setShapeKind(in.n, in.nrow, kindWord);
    else
        out.kind = kindWord;
    const S* x = in.data();
    D* y = out.data();
    const int n = in.n;
    for (int i = 0; i < n; ++i)
        y[i] = f(x[i]);
}

int realResultKind(const Value& argument) {
    return argument.is3D() ? argument.kind : 0;
}

} // namespace

// ---- Family::Elementwise ----------------------------------------------------

Value* SimpleFuncElement::pValue(Value* workspace) {
    DoubleValue& out = detail::resultValue(workspace, own_);
    Value* argument =
        child_->resultType() == INTEGER_VAL ? child_->pValue(&intScratch_) : child_->pValue(&out);
    int kindWord = realResultKind(*argument);
    switch (argument->type()) {
    case DOUBLE_VAL:
        mapElements(static_cast<const DoubleValue&>(*argument), out, f_, kindWord);
        break;
    case INTEGER_VAL:
        mapElements(static_cast<const IntValue&>(*argument), out, f_, kindWord);
        break;
    case COMPLEX_VAL:
        detail::refuseComplex();
    default:
        detail::refuseList();
    }
    return &out;
}

Value* SimpleFuncIntElement::pValue(Value* workspace) {
    IntValue& out = detail::resultValue(workspace, own_);
    Value* argument =
        child_->resultType() == DOUBLE_VAL ? child_->pValue(&doubleScratch_) : child_->pValue(&out);
    switch (argument->type()) {
    case INTEGER_VAL:
        mapElements(static_cast<const IntValue&>(*argument), out, f_, argument->kind);
        break;
    case DOUBLE_VAL: {
        handler::IntToInt f = f_;
        mapElements(
            static_cast<const DoubleValue&>(*argument), out,
            [f](double x) { return f(detail::truncatedInt(x)); }, argument->kind);
        break;
    }
    case COMPLEX_VAL:
        detail::refuseComplex();
    default:
        detail::refuseList();
    }
    return &out;
}

Value* ContextFuncIntElement::pValue(Value* workspace) {
    IntValue& out = detail::resultValue(workspace, own_);
    Value* argument =
        child_->resultType() == DOUBLE_VAL ? child_->pValue(&doubleScratch_) : child_->pValue(&out);
    if (argument->type() == COMPLEX_VAL) detail::refuseComplex();
    if (argument->type() == LIST_VAL) detail::refuseList();
    handler::IntToIntInContext f = f_;
    BuiltinContext& context = *context_;
    auto apply = [f, &context](auto x) { return f(context, detail::truncatedInt(double(x))); };
    if (argument->type() == INTEGER_VAL)
        mapElements(static_cast<const IntValue&>(*argument), out, apply, argument->kind);
    else
        mapElements(static_cast<const DoubleValue&>(*argument), out, apply, argument->kind);
    return &out;
}

Value* SimpleFuncComplexElement::pValue(Value* workspace) {
    ComplexValue& out = detail::resultValue(workspace, own_);
    Value* argument = child_->pValue(&out);
    if (argument->type() == LIST_VAL) detail::refuseList();
    if (argument->type() != COMPLEX_VAL) {
        converted_.assignConverted(*argument);
        argument = &converted_;
    }
    mapElements(static_cast<const ComplexValue&>(*argument), out, f_, argument->kind);
    return &out;
}

Value* SimpleFuncCtoDElement::pValue(Value* workspace) {
    DoubleValue& out = detail::resultValue(workspace, own_);
    Value* argument = child_->pValue(&scratch_);
    if (argument->type() == LIST_VAL) detail::refuseList();
    if (argument->type() != COMPLEX_VAL) {
        scratch_.assignConverted(*argument);
        argument = &scratch_;
    }
    mapElements(static_cast<const ComplexValue&>(*argument), out, f_, realResultKind(*argument));
    return &out;
}

// ---- Family::Column ---------------------------------------------------------

namespace detail {

ColumnSource::ColumnSource(int argumentType) : scratch_(newValue(argumentType)) {}

void ColumnSource::evaluate(Evaluatable& argument) {
    Value* v = argument.pValue(scratch_.get());
    switch (v->type()) {
    case DOUBLE_VAL:
        data_ = static_cast<const DoubleValue*>(v)->data();
        break;
    case INTEGER_VAL:
        doubles_.assignConverted(*v);
        data_ = doubles_.data();
        break;
    case COMPLEX_VAL:
        refuseType();
    default:
        refuseList();
    }
    vector_ = v->isVector();
    rows_ = vector_ ? v->n : v->nrow;
    columns_ = vector_ ? 1 : v->n / v->nrow;
}

} // namespace detail

ColumnWiseFuncD_Element::ColumnWiseFuncD_Element(EvaluatablePtr argument, handler::ColumnToDouble f)
    : WithEvaluatable(std::move(argument)), f_(f), source_(child_->resultType()) {}

Value* ColumnWiseFuncD_Element::pValue(Value* workspace) {
    source_.evaluate(*child_);
    DoubleValue& out = detail::resultValue(workspace, own_);
    const int columns = source_.columns();
    out.setShapeKind(columns, 1, KIND_NUMERIC);
    for (int c = 0; c < columns; ++c)
        out[c] = f_(source_.column(c), source_.rows());
    return &out;
}

ColumnWiseFuncI_Element::ColumnWiseFuncI_Element(EvaluatablePtr argument, handler::ColumnToInt f)
    : WithEvaluatable(std::move(argument)), f_(f), source_(child_->resultType()) {}

Value* ColumnWiseFuncI_Element::pValue(Value* workspace) {
    source_.evaluate(*child_);
    IntValue& out = detail::resultValue(workspace, own_);
    const int columns = source_.columns();
    out.setShapeKind(columns, 1, KIND_NUMERIC);
    for (int c = 0; c < columns; ++c)
        out[c] = f_(source_.column(c), source_.rows());
    return &out;
}

// ---- Family::ValueToScalar --------------------------------------------------

Value2ScalarD_Element::Value2ScalarD_Element(EvaluatablePtr argument, handler::ValueToDouble f,
                                             BuiltinContext& context)
    : WithEvaluatable(std::move(argument)), f_(f), context_(&context),
      scratch_(newValue(child_->resultType())) {}

Value* Value2ScalarD_Element::pValue(Value* workspace) {
    const Value* argument = child_->pValue(scratch_.get());
    double result = f_(*context_, *argument);
    DoubleValue& out = detail::resultValue(workspace, own_);
    out.assignScalar(result);
    return &out;
}

Value2ScalarI_Element::Value2ScalarI_Element(EvaluatablePtr argument, handler::ValueToInt f,
                                             BuiltinContext& context)
    : WithEvaluatable(std::move(argument)), f_(f), context_(&context),
      scratch_(newValue(child_->resultType())) {}

Value* Value2ScalarI_Element::pValue(Value* workspace) {
    const Value* argument = child_->pValue(scratch_.get());
    int result = f_(*context_, *argument);
    IntValue& out = detail::resultValue(workspace, own_);
    out.assignScalarInt(result);
    return &out;
}

} // namespace vemlor
