// Evaluation helpers shared by the statement classes.
//
// Each helper belongs to one statement and keeps its scratch values between
// executions, so a statement run in a loop allocates nothing once the sizes
// have settled. A result is read-only for the statement unless it says
// otherwise: it may be a scratch value, or a value that an element or a
// variable owns (a list item is handed out in place, without a copy).
#pragma once

#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"

#include <string_view>

namespace vemlor {
class ListItemElement;
}

namespace vemlor::detail {

// Evaluates an expression of any result type. `expr` may be null (then
// nothing may be evaluated).
class AnyResult {
  public:
    explicit AnyResult(Evaluatable* expr);
    // The type the expression announced (LIST_ITEM_TYPE for a list-item access).
    int declaredType() const { return type_; }
    // Whether the expression is a list-item access.
    bool isListItem() const { return listItem_ != nullptr; }
    // The result. A list-item access gives the item itself (an empty item as
    // an empty double). Any other expression announcing a list item (one
    // that computes with an item) is the RuntimeError `listItemMessage`.
    const Value& evaluate(std::string_view listItemMessage);

  private:
    Evaluatable* expr_;
    int type_;
    ListItemElement* listItem_; // expr_ itself when it is a list-item access

    const Value& selectedItem();
    ValuePtr scratch_;
    DoubleValue emptyItem_;
};

// Evaluates an expression as a double matrix: integers are converted (the
// kind word is kept), doubles come back as they are; a complex or list
// result is AssignmentMismatch.
class DoubleResult {
  public:
    explicit DoubleResult(Evaluatable* expr);
    const MathMatrix<double>& evaluate();
    // The scratch the result lands in when the expression writes it; the
    // caller may take its buffer.
    DoubleValue& scratch() { return doubles_; }

  private:
    Evaluatable* expr_;
    int type_;
    IntValue ints_;
    DoubleValue doubles_;
    AnyResult other_;
};

// Evaluates an expression as an integer matrix; doubles are truncated
// toward zero (so a double index or condition behaves like an integer one).
class IntResult {
  public:
    explicit IntResult(Evaluatable* expr);
    const MathMatrix<int>& evaluate();

  private:
    Evaluatable* expr_;
    int type_;
    IntValue ints_;
    AnyResult other_;
};

// A condition of `if`, `unless` and `while`: exactly one element (else
// RuntimeError `nonScalarMessage`), true when non-zero after truncation
// toward zero.
class Condition {
  public:
    Condition(Evaluatable* expr, std::string_view nonScalarMessage)
        : expr_(expr), value_(expr), message_(nonScalarMessage) {}
    bool evaluate();

  private:
    Evaluatable* expr_;
    AnyResult value_;
    std::string_view message_;
};

// Sets a flag for the lifetime of the guard: a statement re-entered through
// a recursive user-function call then knows its scratch is in use.
class BusyGuard {
  public:
    explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    bool& flag_;
};

} // namespace vemlor::detail
