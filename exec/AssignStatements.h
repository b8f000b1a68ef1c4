// Assignments without an index, `return`, erasure and multiple assignment.
//
// The parser picks the class from the types it sees (the target's type is
// fixed while the statement lives). Targets are variable objects owned by
// the workspace or a function frame; the statements only point at them.
// Assignments copy the whole value, kind word included, so a string stays a
// string. Each statement evaluates into scratch values of its own, so an
// assignment in a loop allocates nothing once the sizes have settled.
#pragma once

#include "exec/ExpressionSupport.h"
#include "exec/MultiOutputSource.h"
#include "exec/Statement.h"

#include <span>
#include <vector>

namespace vemlor {

// x = expr into a double variable: an integer result is converted.
class AssignStm : public Statement {
  public:
    AssignStm(EvaluatablePtr expr, int line, Value* target);
    Flow execute() override;
    // The target counts: a function body that writes a variable uses it.
    bool refersTo(const Value* v) const override;
    Value* target() const { return target_; }

  protected:
    Value* target_; // may be null only for ReturnStm
    detail::DoubleResult rhs_;
};

// x += expr and the like on a double target: the in-place elementwise
// operator with broadcasting; a size mismatch is the operator's code.
class OpAssignDStm : public AssignStm {
  public:
    Flow execute() override;
    int opCode() const { return opCode_; }

  protected:
    OpAssignDStm(EvaluatablePtr expr, int line, Value* target, int opCode);

  private:
    int opCode_;
};

class AssignPlusDStm : public OpAssignDStm {
  public:
    AssignPlusDStm(EvaluatablePtr expr, int line, Value* target);
};

class AssignMinusDStm : public OpAssignDStm {
  public:
    AssignMinusDStm(EvaluatablePtr expr, int line, Value* target);
};

class AssignTimesDStm : public OpAssignDStm {
  public:
    AssignTimesDStm(EvaluatablePtr expr, int line, Value* target);
};

class AssignDivideDStm : public OpAssignDStm {
  public:
    AssignDivideDStm(EvaluatablePtr expr, int line, Value* target);
};

// An op-assign whose right side is an integer: `op` is the assignment code
// 'P' (+=), 'M' (-=), 'T' (*=) or 'D' (/=). An integer target uses integer
// arithmetic (division truncates), a double target converts the right side.
class OpAssignIntStm : public AssignStm {
  public:
    OpAssignIntStm(EvaluatablePtr expr, int line, Value* target, char op);
    Flow execute() override;
    int opCode() const { return opCode_; }

  private:
    int opCode_;
    detail::IntResult ints_;
};

// x ,= expr (direction 'C') or x ;= expr (any other direction) on a double
// target. Appending to a column needs no moves, and the target keeps spare
// room, so repeated growth is amortised.
class GrowAssignDStm : public AssignStm {
  public:
    GrowAssignDStm(EvaluatablePtr expr, int line, Value* target, char direction);
    Flow execute() override;

  private:
    bool horizontal_;
};

// `return expr` in a function body: target is the function's output variable
// (or null); expr may be absent. Clears the run flag, which ends every loop
// and block up to the call.
class ReturnStm : public AssignStm {
  public:
    ReturnStm(EvaluatablePtr expr, int line, Value* target);
    Flow execute() override;

  private:
    detail::AnyResult value_;
};

// Assignments whose target may be of any type.
class WithAnyValueStm : public Statement {
  public:
    WithAnyValueStm(EvaluatablePtr expr, int line, Value* target);
    bool refersTo(const Value* v) const override;
    Value* target() const { return target_; }

  protected:
    Value* target_;
    detail::AnyResult rhs_;
};

// z = expr into a complex variable.
class ComplexAssignStm : public WithAnyValueStm {
  public:
    ComplexAssignStm(EvaluatablePtr expr, int line, Value* target);
    Flow execute() override;
};

// x = expr where the type of expr was not known while parsing: the widening
// rule is checked when it runs.
class CheckedAssignStm : public WithAnyValueStm {
  public:
    CheckedAssignStm(EvaluatablePtr expr, int line, Value* target);
    Flow execute() override;
};

// Assignments into a list variable.
class WithListValueStm : public Statement {
  public:
    WithListValueStm(EvaluatablePtr expr, int line, Value* list);
    bool refersTo(const Value* v) const override;

  protected:
    ListValue* list_;
    detail::AnyResult rhs_;
};

// L = expr: a list is copied; anything else makes L a 1 by 1 list holding a
// copy of it.
class ListAssignStm : public WithListValueStm {
  public:
    ListAssignStm(EvaluatablePtr expr, int line, Value* list);
    Flow execute() override;

  private:
    // The right side is a built-in call whose result the call element makes
    // afresh on every evaluation: the list takes its items over instead of
    // copying them (a file of a million lines is not copied once more).
    bool takesCallResult_;
};

// L ,= expr (direction 'C') or L ;= expr: a list result is concatenated; any
// other result is appended as one new item.
class GrowListStm : public WithListValueStm {
  public:
    GrowListStm(EvaluatablePtr expr, int line, Value* list, char direction);
    Flow execute() override;

  private:
    bool horizontal_;

    void appendItem(const Value& v);
};

// x = [] (no index: x becomes empty) and x[index] = []. dimension: 0
// elements, 1 rows, 2 columns, 3 pages, negative to choose from the target's
// shape (pages of a 3-D array, elements of a vector, else columns).
class ErasureStm : public Statement {
  public:
    ErasureStm(EvaluatablePtr index, int line, Value* target, int dimension = -1);
    Flow execute() override;
    bool refersTo(const Value* v) const override;

  private:
    Value* target_;
    int dimension_;
    detail::IntResult index_;
    std::vector<int> positions_;
};

// [a, b, ...] = f(...): `call` must implement MultiOutputSource; the outputs
// are copied into the targets in order (integers converted for doubles).
class MultiAssignStm : public Statement {
  public:
    MultiAssignStm(EvaluatablePtr call, int line, std::vector<Value*> targets);
    Flow execute() override;
    bool refersTo(const Value* v) const override;
    const std::vector<Value*>& targets() const { return targets_; }

  private:
    MultiOutputSource* source_;
    std::vector<Value*> targets_;
    std::vector<ValuePtr> outputs_;
};

} // namespace vemlor
