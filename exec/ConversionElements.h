// Type conversions the builder and the parser insert around an element.
//
//   IntToDoubleElement   an integer child delivered into a double workspace;
//   DoubleToIntElement   indices and conditions: a double child truncated
//                        toward zero into an integer workspace;
//   TypeCheckElement     a child whose type is only known at run time,
//                        delivered as an integer or a double;
//   ToComplexElement     an integer or double child made complex.
//
// Each keeps a scratch value of the child's type; the child is always
// evaluated completely before the scratch is read, so a recursive call
// through the child cannot disturb it.
#pragma once

#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"

namespace vemlor {

class IntToDoubleElement final : public WithEvaluatable {
  public:
    explicit IntToDoubleElement(EvaluatablePtr child) : WithEvaluatable(std::move(child)) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return DOUBLE_VAL; }

  private:
    IntValue scratch_;
};

class DoubleToIntElement final : public WithEvaluatable {
  public:
    explicit DoubleToIntElement(EvaluatablePtr child);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }

  private:
    ValuePtr scratch_;
};

class TypeCheckElement final : public WithEvaluatable {
  public:
    // `type` is what the element announces (integer or double).
    TypeCheckElement(EvaluatablePtr child, int type);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return type_; }

  private:
    int type_;
    DoubleValue scratch_;
};

class ToComplexElement final : public WithEvaluatable {
  public:
    explicit ToComplexElement(EvaluatablePtr child);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return COMPLEX_VAL; }

  private:
    ValuePtr scratch_;
};

// Shape and kind of `source` into `target`, each element truncated toward
// zero (complex: the real part); NaN and values beyond the integer range give
// INT_MIN. A list raises AssignmentMismatch.
void truncateInto(const Value& source, IntValue& target);

} // namespace vemlor
