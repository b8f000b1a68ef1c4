// Indexed assignments; the rules (shape checks, masks, growth) are listed in
// IndexedAssignStatements.h.
#include "exec/IndexedAssignStatements.h"

#include "core/StorageOps.h"

#include "core/Errors.h"
#include "core/IndexedAssign.h"

#include <algorithm>

namespace vemlor {

namespace detail {

namespace {

constexpr std::string_view kOutOfBounds = "lhs index out of bounds";

void checkOperator(char op) {
    if (op != '=' && op != 'P' && op != 'M' && op != 'T' && op != 'D')
        raiseBug(std::string("BUG: invalid operator '") + op + "' in indexed assignment");
}

// Number of parts a mode selects from, and elements per part.
int partCount(const Value& v, int mode) {
    switch (mode) {
    case SELECT_ELEMENT:
        return v.n;
    case SELECT_ROW:
        return v.nrow;
    case SELECT_COLUMN:
        return v.ncol();
    default:
        return v.is3D() ? pageCount(v.kind) : 0;
    }
}

int partLength(const Value& v, int mode) {
    switch (mode) {
    case SELECT_ELEMENT:
        return 1;
    case SELECT_ROW:
        return v.ncol();
    case SELECT_COLUMN:
        return v.nrow;
    default:
        return v.nrow * v.ncol3D();
    }
}

// The right side as the target can take it: into a list, a value that is not
// a list is one item (wrapped into `wrapper`); into a number, a list or a
// wider type is AssignmentMismatch.
const Value& storable(const Value& target, const Value& right, ListValue& wrapper) {
    if (target.type() == LIST_VAL) {
        if (right.type() == LIST_VAL) return right;
        wrapper.copyFrom(right);
        return wrapper;
    }
    if (right.type() > target.type()) raiseCode(ErrorCode::AssignmentMismatch);
    return right;
}

// A scalar fills any selection, even none; but an index written empty
// takes no value at all.
void checkCount(const Value& right, long places, int selected, bool emptyIndex) {
    if ((emptyIndex || selected == 0) && right.n > 0 && (emptyIndex || right.n != 1))
        raiseRuntime("empty lhs index with non-empty rhs");
    if (right.n == 1 || right.n == places) return;
    raiseCode(ErrorCode::AssignmentMismatch);
}

void store(Value& target, int irc, const std::vector<int>& positions, const Value& right, char op) {
    if (op == '=')
        indexedAssign(target, irc, positions.data(), int(positions.size()), right);
    else
        mathIndexedAssign(target, irc, positions.data(), int(positions.size()), right, op);
}

template <class T> void zeroFill(Value& v, int from) {
    T* first = static_cast<T*>(v.elementPtr(from));
    std::fill(first, first + (v.n - from), T(0));
}

} // namespace

AssignIndex::AssignIndex(Evaluatable* index)
    : index_(index), whole_(index && index->category() == CAT_OPEN_SEQUENCE),
      ints_(whole_ ? nullptr : index) {
    if (!index) raiseBug("BUG: indexed assignment without an index");
}

const std::vector<int>& AssignIndex::read(int size) {
    positions_.clear();
    empty_ = false;
    if (whole_) {
        for (int i = 1; i <= size; ++i)
            positions_.push_back(i);
        return positions_;
    }
    const MathMatrix<int>& index = ints_.evaluate();
    if (kindCode(index.kind) == KIND_BOOL) {
        if (index.n != size) raiseRuntime("invalid mask size");
        for (int i = 0; i < index.n; ++i)
            if (index[i] != 0) positions_.push_back(i + 1);
        return positions_;
    }
    empty_ = index.n == 0;
    positions_.assign(index.data(), index.data() + index.n);
    for (int p : positions_)
        if (p < 1) raiseRuntime(kOutOfBounds);
    return positions_;
}

SingleIndexTarget::SingleIndexTarget(Value* target, Evaluatable* index, int selectMode, char op)
    : target_(target), index_(index), selectMode_(selectMode), op_(op) {
    if (!target) raiseBug("BUG: indexed assignment without a target");
    checkOperator(op);
}

// Indices first, then the right side; every check before the first store.
void SingleIndexTarget::assign(AnyResult& value) {
    Value& target = *target_;
    int mode = detail::resolvedSelectMode(target, selectMode_);
    int size = partCount(target, mode);
    const std::vector<int>& positions = index_.read(size);
    const Value& right =
        storable(target, value.evaluate("indexed assignment of unknown type"), wrapped_);
    int highest = positions.empty() ? 0 : *std::max_element(positions.begin(), positions.end());
    bool grows = highest > size;
    if (grows) {
        if (op_ != '=' || mode != SELECT_ELEMENT) raiseRuntime(kOutOfBounds);
        if (!target.isVector()) raiseRuntime("an array cannot grow by only one item");
    }
    int length = grows ? 1 : partLength(target, mode);
    checkCount(right, long(positions.size()) * length, int(positions.size()), index_.wasEmpty());
    const Value& source = grows ? unaliased(right) : right;
    if (grows) grow(highest);
    store(target, mode, positions, source, op_);
}

// A right side that is the target itself is copied before the target grows.
const Value& SingleIndexTarget::unaliased(const Value& right) {
    if (&right != target_) return right;
    aliasCopy_ = newValueCopy(right);
    return *aliasCopy_;
}

// New places are zero (empty items in a list); a row or column keeps its
// orientation, a single element or an empty value becomes a row.
void SingleIndexTarget::grow(int newCount) {
    Value& target = *target_;
    int old = target.n;
    bool row = old <= 1 || target.nrow == 1;
    target.resizeKeep(newCount);
    switch (target.type()) {
    case INTEGER_VAL:
        zeroFill<int>(target, old);
        break;
    case DOUBLE_VAL:
        zeroFill<double>(target, old);
        break;
    case COMPLEX_VAL:
        zeroFill<complexd>(target, old);
        break;
    default:
        break; // list storage keeps the room beyond its items empty
    }
    target.nrow = row ? 1 : target.n;
}

TwoIndexTarget::TwoIndexTarget(Value* target, Evaluatable* rows, Evaluatable* cols, char op)
    : target_(target), rows_(rows), cols_(cols), op_(op) {
    if (!target) raiseBug("BUG: indexed assignment without a target");
    checkOperator(op);
}

// The selected submatrix is written as element positions in column-major
// order, which is the order the right side's elements are taken in.
void TwoIndexTarget::assign(AnyResult& value) {
    Value& target = *target_;
    int nrow = target.nrow, ncol = target.ncol();
    const std::vector<int>& rows = rows_.read(nrow);
    const std::vector<int>& cols = cols_.read(ncol);
    for (int r : rows)
        if (r > nrow) raiseRuntime(kOutOfBounds);
    for (int c : cols)
        if (c > ncol) raiseRuntime(kOutOfBounds);
    const Value& right =
        storable(target, value.evaluate("indexed assignment of unknown type"), wrapped_);
    places_.clear();
    for (int c : cols)
        for (int r : rows)
            places_.push_back((c - 1) * nrow + r);
    checkCount(right, long(places_.size()), int(places_.size()),
               rows_.wasEmpty() || cols_.wasEmpty());
    store(target, IRC_ELEMENTS, places_, right, op_);
}

} // namespace detail

namespace {

Value* requireNumericTarget(Value* target) {
    if (!target || target->type() == LIST_VAL)
        raiseBug("BUG: numeric indexed assignment with a target of the wrong type");
    return target;
}

Evaluatable* indexAt(const std::vector<EvaluatablePtr>& indices, size_t k) {
    if (indices.size() != 2) raiseBug("BUG: indexed assignment needs exactly two indices");
    return indices[k].get();
}

bool anyRefers(const std::vector<EvaluatablePtr>& indices, const Value* v) {
    for (const EvaluatablePtr& index : indices)
        if (index && index->refersTo(v)) return true;
    return false;
}

} // namespace

IndexedAssignStm::IndexedAssignStm(EvaluatablePtr expr, int line, Value* target,
                                   std::vector<EvaluatablePtr> indices, char op)
    : AssignStm(std::move(expr), line, requireNumericTarget(target)), indices_(std::move(indices)),
      value_(expr_.get()), places_(target, indexAt(indices_, 0), indexAt(indices_, 1), op) {}

Flow IndexedAssignStm::execute() {
    places_.assign(value_);
    return Flow::Normal;
}

bool IndexedAssignStm::refersTo(const Value* v) const {
    return anyRefers(indices_, v) || AssignStm::refersTo(v);
}

SingleIndexedAssignStm::SingleIndexedAssignStm(EvaluatablePtr expr, int line, Value* target,
                                               EvaluatablePtr index, char op, int selectMode)
    : AssignStm(std::move(expr), line, requireNumericTarget(target)), index_(std::move(index)),
      value_(expr_.get()), places_(target, index_.get(), selectMode, op) {}

Flow SingleIndexedAssignStm::execute() {
    places_.assign(value_);
    return Flow::Normal;
}

bool SingleIndexedAssignStm::refersTo(const Value* v) const {
    return (index_ && index_->refersTo(v)) || AssignStm::refersTo(v);
}

SingleIndexed_SeqAssignStm::SingleIndexed_SeqAssignStm(EvaluatablePtr expr, int line, Value* target,
                                                       EvaluatablePtr index, int selectMode)
    : AssignStm(std::move(expr), line, target), index_(std::move(index)), value_(expr_.get()),
      places_(target, index_.get(), selectMode, '=') {}

Flow SingleIndexed_SeqAssignStm::execute() {
    places_.assign(value_);
    return Flow::Normal;
}

bool SingleIndexed_SeqAssignStm::refersTo(const Value* v) const {
    return (index_ && index_->refersTo(v)) || AssignStm::refersTo(v);
}

IndexedAnyAssignStm::IndexedAnyAssignStm(EvaluatablePtr expr, int line, Value* target,
                                         std::vector<EvaluatablePtr> indices)
    : WithAnyValueStm(std::move(expr), line, target), indices_(std::move(indices)),
      places_(target, indexAt(indices_, 0), indexAt(indices_, 1), '=') {}

Flow IndexedAnyAssignStm::execute() {
    places_.assign(rhs_);
    return Flow::Normal;
}

bool IndexedAnyAssignStm::refersTo(const Value* v) const {
    return anyRefers(indices_, v) || WithAnyValueStm::refersTo(v);
}

} // namespace vemlor
