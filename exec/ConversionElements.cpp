#include "exec/ConversionElements.h"

#include <cmath>

#include "core/Errors.h"
#include "exec/ExpressionBuilder.h"
#include "exec/ExpressionSupport.h"

#include <climits>

namespace vemlor {
namespace {

int truncated(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT_MIN;
    return int(x);
}

template <class T> void truncateElements(const JMatrix<T>& source, IntValue& target) {
    target.setShapeKind(source.n, source.nrow, source.kind);
    const T* in = source.data();
    int* out = target.data();
    for (int i = 0; i < source.n; ++i) {
        if constexpr (std::is_same_v<T, complexd>)
            out[i] = truncated(in[i].real());
        else
            out[i] = truncated(in[i]);
    }
}

} // namespace

void truncateInto(const Value& source, IntValue& target) {
    switch (source.type()) {
    case INTEGER_VAL:
        target.copyFrom(source);
        return;
    case DOUBLE_VAL:
        truncateElements(static_cast<const JMatrix<double>&>(source), target);
        return;
    case COMPLEX_VAL:
        truncateElements(static_cast<const JMatrix<complexd>&>(source), target);
        return;
    default:
        raiseCode(ErrorCode::AssignmentMismatch);
    }
}

Value* IntToDoubleElement::pValue(Value* workspace) {
    Value* r = child_->pValue(&scratch_);
    if (r->type() != INTEGER_VAL) raiseCode(ErrorCode::AssignmentMismatch);
    workspace->assignConverted(*r);
    return workspace;
}

DoubleToIntElement::DoubleToIntElement(EvaluatablePtr child)
    : WithEvaluatable(std::move(child)), scratch_(detail::newScratch(child_->resultType())) {}

Value* DoubleToIntElement::pValue(Value* workspace) {
    if (workspace->type() != INTEGER_VAL) return child_->pValue(workspace);
    truncateInto(*child_->pValue(scratch_.get()), static_cast<IntValue&>(*workspace));
    return workspace;
}

TypeCheckElement::TypeCheckElement(EvaluatablePtr child, int type)
    : WithEvaluatable(std::move(child)), type_(type) {}

Value* TypeCheckElement::pValue(Value* workspace) {
    int type = workspace->type();
    if (type != INTEGER_VAL && type != DOUBLE_VAL) raiseRuntime("invalid argument type");
    if (type == DOUBLE_VAL) return child_->pValue(workspace);
    truncateInto(*child_->pValue(&scratch_), static_cast<IntValue&>(*workspace));
    return workspace;
}

ToComplexElement::ToComplexElement(EvaluatablePtr child)
    : WithEvaluatable(std::move(child)), scratch_(detail::newScratch(child_->resultType())) {}

Value* ToComplexElement::pValue(Value* workspace) {
    workspace->assignConverted(*child_->pValue(scratch_.get()));
    return workspace;
}

EvaluatablePtr makeDoubleToInt(EvaluatablePtr child) {
    if (!child) raiseBug("BUG: conversion to integer without an operand");
    if (child->resultType() == INTEGER_VAL) return child;
    return std::make_unique<DoubleToIntElement>(std::move(child));
}

} // namespace vemlor
