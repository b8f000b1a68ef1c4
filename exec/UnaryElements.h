// Unary operators and the increment/decrement of a variable.
//
// UnaryOpElement copies its operand into the workspace and changes it there:
// '-' negate, '~' logical not, '\'' transpose, '"' transpose and conjugate,
// ':' reshape as one column, '!' factorial. Its type is the operand's; the
// builder has already refused the operators a list or a complex value has no
// meaning for.
//
// IncDecElement changes the variable itself, element by element, before
// anything later in the statement can fail, and returns the variable.
#pragma once

#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"

namespace vemlor {

class UnaryOpElement final : public WithEvaluatable {
  public:
    UnaryOpElement(EvaluatablePtr child, char op);
    Value* pValue(Value* workspace) override;
    int resultType() const override { return type_; }
    char op() const { return op_; }

  private:
    char op_;
    int type_;
};

// The checks of applyUnary: SyntaxError for '-', '!', '~' on a list and for
// '!', '~' on a complex value; an unknown operator is an internal error.
void checkUnaryOperator(char op, int operandType);

template <class V> class IncDecElement final : public Evaluatable {
  public:
    // 'i' increments, any other code decrements.
    IncDecElement(V* variable, char code) : variable_(variable), step_(code == 'i' ? 1 : -1) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return variable_->type(); }
    bool refersTo(const Value* v) const override { return v == variable_; }

  private:
    V* variable_; // owned by the workspace
    int step_;
};

} // namespace vemlor
