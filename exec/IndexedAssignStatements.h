// Indexed assignments: x[i] = v, x[i, j] = v, their op-assign forms
// (operator codes 'P', 'M', 'T', 'D'; '=' for plain assignment) and indexed
// assignment into lists.
//
// Every check runs before anything is stored, so a refused assignment leaves
// the target as it was. The rules:
//   - Indices are 1-based; a position below 1 is "lhs index out of bounds".
//     A boolean index is a mask: it must have as many elements as the indexed
//     dimension ("invalid mask size") and selects its non-zero positions.
//   - The right side has one element (stored into every selected place) or
//     exactly one element per place, taken in column-major order. An index
//     written empty ([]) takes no value ("empty lhs index with non-empty
//     rhs"), nor does a mask selecting nothing take more than one element;
//     any other mismatch is AssignmentMismatch ("incompatible lhs, rhs
//     in assignment").
//     Into a list, a right side that is not a list is one item, stored as a
//     copy into every selected place.
//   - Growth: a plain "=" that selects elements of a vector (a row, a column,
//     a single element or an empty value) beyond its end extends the vector
//     up to the highest position; the new places in between are zero (empty
//     items in a list). A row or column keeps its orientation; a single
//     element or an empty value grows into a row. Elements beyond the end of
//     a matrix that is not a vector are "an array cannot grow by only one
//     item". Rows, columns or pages beyond their dimension, and any
//     op-assign beyond the end, are "lhs index out of bounds".
#pragma once

#include "exec/AssignStatements.h"

#include <vector>

namespace vemlor {

namespace detail {

// One index of an indexed assignment, read into 1-based positions. The
// element is not owned (the statement owns its index list).
class AssignIndex {
  public:
    explicit AssignIndex(Evaluatable* index);
    // Positions for a dimension of `size` places: a lone ':' selects all of
    // them, a mask its non-zero positions (checked against size), anything
    // else its elements. Positions beyond size are returned as they are.
    const std::vector<int>& read(int size);
    // Whether the index last read held no element at all (a mask that
    // selects nothing is not empty).
    bool wasEmpty() const { return empty_; }

  private:
    Evaluatable* index_;
    bool whole_;
    bool empty_ = false;
    IntResult ints_;
    std::vector<int> positions_;
};

// Stores a right side into the places one index selects, growing a vector
// when the growth rule allows it.
class SingleIndexTarget {
  public:
    SingleIndexTarget(Value* target, Evaluatable* index, int selectMode, char op);
    // Reads the index, then evaluates the right side, checks, and stores.
    void assign(AnyResult& value);
    int selectMode() const { return selectMode_; }
    char op() const { return op_; }

  private:
    Value* target_;
    AssignIndex index_;
    int selectMode_;
    char op_;
    ListValue wrapped_; // a non-list right side stored into a list
    ValuePtr aliasCopy_;

    void grow(int newCount);
    const Value& unaliased(const Value& right);
};

// Stores a right side into the submatrix that a row index and a column
// index select.
class TwoIndexTarget {
  public:
    TwoIndexTarget(Value* target, Evaluatable* rows, Evaluatable* cols, char op);
    void assign(AnyResult& value);

  private:
    Value* target_;
    AssignIndex rows_, cols_;
    char op_;
    ListValue wrapped_;
    std::vector<int> places_;
};

} // namespace detail

// x[i, j] = v or x[i, j] op= v on a double target (exactly two indices).
class IndexedAssignStm : public AssignStm {
  public:
    IndexedAssignStm(EvaluatablePtr expr, int line, Value* target,
                     std::vector<EvaluatablePtr> indices, char op);
    Flow execute() override;
    bool refersTo(const Value* v) const override;

  private:
    std::vector<EvaluatablePtr> indices_;
    detail::AnyResult value_;
    detail::TwoIndexTarget places_;
};

// x[i] = v or x[i] op= v with one index that is not a sequence; selectMode
// as for indexed reads (SELECT_AUTO: pages of a 3-D array, elements of a
// vector, else columns).
class SingleIndexedAssignStm : public AssignStm {
  public:
    SingleIndexedAssignStm(EvaluatablePtr expr, int line, Value* target, EvaluatablePtr index,
                           char op, int selectMode = SELECT_AUTO);
    Flow execute() override;
    bool refersTo(const Value* v) const override;
    Evaluatable* index() const { return index_.get(); }
    int selectMode() const { return places_.selectMode(); }
    char op() const { return places_.op(); }

  private:
    EvaluatablePtr index_;
    detail::AnyResult value_;
    detail::SingleIndexTarget places_;
};

// x[a:b] = v (a sequence index) on a double target, and L[i] = v into a list.
class SingleIndexed_SeqAssignStm : public AssignStm {
  public:
    SingleIndexed_SeqAssignStm(EvaluatablePtr expr, int line, Value* target, EvaluatablePtr index,
                               int selectMode = SELECT_AUTO);
    Flow execute() override;
    bool refersTo(const Value* v) const override;

  private:
    EvaluatablePtr index_;
    detail::AnyResult value_;
    detail::SingleIndexTarget places_;
};

// L[i, j] = v into a list (exactly two indices).
class IndexedAnyAssignStm : public WithAnyValueStm {
  public:
    IndexedAnyAssignStm(EvaluatablePtr expr, int line, Value* target,
                        std::vector<EvaluatablePtr> indices);
    Flow execute() override;
    bool refersTo(const Value* v) const override;

  private:
    std::vector<EvaluatablePtr> indices_;
    detail::TwoIndexTarget places_;
};

} // namespace vemlor
