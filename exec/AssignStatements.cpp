// Assignments into numeric variables, `return`, erasure and multiple
// assignment. List targets are in ListAssignStatements.cpp.
#include "exec/AssignStatements.h"

#include "core/Errors.h"
#include "core/Interrupt.h"
#include "core/OperatorCodes.h"
#include "exec/RunFlags.h"

#include <algorithm>
#include <climits>

namespace vemlor {

namespace {

Value* requireType(Value* target, int type, const char* statement) {
    if (!target || target->type() != type)
        raiseBug(std::string("BUG: ") + statement + " with a target of the wrong type");
    return target;
}

MathMatrix<double>& asDouble(Value* v) {
    return static_cast<MathMatrix<double>&>(*v);
}

// The numeric operator of an op-assign code: 'P' +=, 'M' -=, 'T' *=, 'D' /=.
int opCodeOfAssign(char op) {
    switch (op) {
    case 'P':
        return OP_PLUS;
    case 'M':
        return OP_MINUS;
    case 'T':
        return OP_TIMES;
    case 'D':
        return OP_DIVIDE;
    default:
        raiseBug(std::string("BUG: invalid op-assign code '") + op + "'");
    }
}

// Exchanges the buffers, shapes and kinds of two double matrices: the target
// takes the freshly computed result and the scratch keeps the old buffer for
// the next evaluation, so no element is copied.
void exchange(MathMatrix<double>& a, MathMatrix<double>& b) {
    DoubleValue held;
    held.takeFrom(a);
    a.takeFrom(b);
    b.takeFrom(held);
}

// Appends the single column r below the single column t. Only the new
// elements are written, and the target's spare room absorbs repeated growth.
void appendToColumn(MathMatrix<double>& t, const MathMatrix<double>& r) {
    int old = t.n, added = r.n;
    if (long(old) + added > INT_MAX) raiseRuntime("matrix too large");
    t.resizeKeep(old + added);       // a column (or 1 by 1) stays a column
    const double* source = r.data(); // read after the resize: r may be t
    std::copy(source, source + added, t.data() + old);
}

bool singleColumn(const Value& v) {
    return v.n == 0 || (v.ncol() == 1 && !v.is3D());
}

} // namespace

AssignStm::AssignStm(EvaluatablePtr expr, int line, Value* target)
    : Statement(std::move(expr), line), target_(target), rhs_(expr_.get()) {}

Flow AssignStm::execute() {
    const MathMatrix<double>& result = rhs_.evaluate();
    MathMatrix<double>& target = asDouble(requireType(target_, DOUBLE_VAL, "double assignment"));
    // A workspace keeps a big buffer for small results; a variable must not.
    if (&result == &rhs_.scratch() && !result.oversized())
        exchange(target, rhs_.scratch());
    else
        target.copyFrom(result);
    return Flow::Normal;
}

bool AssignStm::refersTo(const Value* v) const {
    return (target_ && v == target_) || Statement::refersTo(v);
}

OpAssignDStm::OpAssignDStm(EvaluatablePtr expr, int line, Value* target, int opCode)
    : AssignStm(std::move(expr), line, requireType(target, DOUBLE_VAL, "op-assign")),
      opCode_(opCode) {}

Flow OpAssignDStm::execute() {
    const MathMatrix<double>& right = rhs_.evaluate();
    InterruptHold whole; // the variable changes in place
    asDouble(target_).elementwise(right, opCode_);
    return Flow::Normal;
}

AssignPlusDStm::AssignPlusDStm(EvaluatablePtr expr, int line, Value* target)
    : OpAssignDStm(std::move(expr), line, target, OP_PLUS) {}
AssignMinusDStm::AssignMinusDStm(EvaluatablePtr expr, int line, Value* target)
    : OpAssignDStm(std::move(expr), line, target, OP_MINUS) {}
AssignTimesDStm::AssignTimesDStm(EvaluatablePtr expr, int line, Value* target)
    : OpAssignDStm(std::move(expr), line, target, OP_TIMES) {}
AssignDivideDStm::AssignDivideDStm(EvaluatablePtr expr, int line, Value* target)
    : OpAssignDStm(std::move(expr), line, target, OP_DIVIDE) {}

OpAssignIntStm::OpAssignIntStm(EvaluatablePtr expr, int line, Value* target, char op)
    : AssignStm(std::move(expr), line, target), opCode_(opCodeOfAssign(op)), ints_(expr_.get()) {
    if (!target || (target->type() != INTEGER_VAL && target->type() != DOUBLE_VAL))
        raiseBug("BUG: integer op-assignment with a target of the wrong type");
}

Flow OpAssignIntStm::execute() {
    if (target_->type() == INTEGER_VAL) {
        const MathMatrix<int>& right = ints_.evaluate();
        InterruptHold whole; // the variable changes in place
        static_cast<MathMatrix<int>&>(*target_).elementwise(right, opCode_);
    } else {
        const MathMatrix<double>& right = rhs_.evaluate();
        InterruptHold whole;
        asDouble(target_).elementwise(right, opCode_);
    }
    return Flow::Normal;
}

GrowAssignDStm::GrowAssignDStm(EvaluatablePtr expr, int line, Value* target, char direction)
    : AssignStm(std::move(expr), line, requireType(target, DOUBLE_VAL, "growing assignment")),
      horizontal_(direction == 'C') {}

Flow GrowAssignDStm::execute() {
    if (!widensTo(expr_->resultType(), DOUBLE_VAL))
        raiseRuntime("rhs type is incompatible with lhs");
    const MathMatrix<double>& right = rhs_.evaluate();
    MathMatrix<double>& target = asDouble(target_);
    if (horizontal_)
        target.concatHorizontal(right);
    else if (target.n > 0 && right.n > 0 && singleColumn(target) && singleColumn(right))
        appendToColumn(target, right);
    else
        target.concatVertical(right);
    return Flow::Normal;
}

ReturnStm::ReturnStm(EvaluatablePtr expr, int line, Value* target)
    : AssignStm(std::move(expr), line, target), value_(expr_.get()) {}

// A list item is judged by the item's own type once it has been selected.
Flow ReturnStm::execute() {
    if (expr_) {
        constexpr std::string_view kMessage = "incompatable data type in return statement";
        if (target_ && !value_.isListItem() && !widensTo(value_.declaredType(), target_->type()))
            raiseRuntime(kMessage);
        const Value& result = value_.evaluate(kMessage);
        if (target_) {
            if (!widensTo(result.type(), target_->type())) raiseRuntime(kMessage);
            target_->assign(result);
        }
    }
    RunFlags::run = false;
    return Flow::Normal;
}

WithAnyValueStm::WithAnyValueStm(EvaluatablePtr expr, int line, Value* target)
    : Statement(std::move(expr), line), target_(target), rhs_(expr_.get()) {
    if (!target) raiseBug("BUG: assignment without a target");
}

bool WithAnyValueStm::refersTo(const Value* v) const {
    return v == target_ || Statement::refersTo(v);
}

ComplexAssignStm::ComplexAssignStm(EvaluatablePtr expr, int line, Value* target)
    : WithAnyValueStm(std::move(expr), line,
                      requireType(target, COMPLEX_VAL, "complex assignment")) {}

Flow ComplexAssignStm::execute() {
    constexpr std::string_view kMessage = "invalid type assigning to complex";
    const Value& result = rhs_.evaluate(kMessage);
    if (result.type() > COMPLEX_VAL) raiseRuntime(kMessage);
    target_->assign(result);
    return Flow::Normal;
}

CheckedAssignStm::CheckedAssignStm(EvaluatablePtr expr, int line, Value* target)
    : WithAnyValueStm(std::move(expr), line, target) {}

Flow CheckedAssignStm::execute() {
    constexpr std::string_view kIncompatible = "incompatible types in assignment or return";
    bool widens = widensTo(rhs_.declaredType(), target_->type());
    if (!widens && !rhs_.isListItem()) raiseRuntime(kIncompatible);
    const Value& result = rhs_.evaluate(kIncompatible);
    if (!widens && !widensTo(result.type(), target_->type()))
        raiseRuntime("list item's type is incompatible with lhs of assignment");
    if (result.type() != INTEGER_VAL && result.type() != DOUBLE_VAL)
        raiseRuntime("this type of checked assignment not yet implemented");
    target_->assign(result);
    return Flow::Normal;
}

ErasureStm::ErasureStm(EvaluatablePtr index, int line, Value* target, int dimension)
    : Statement(std::move(index), line), target_(target), dimension_(dimension),
      index_(expr_.get()) {
    if (!target) raiseBug("BUG: erasure without a target");
}

// Without a dimension, elements go from a vector, pages from a 3-D array
// and columns from any other matrix; only element erasure needs a vector.
Flow ErasureStm::execute() {
    if (!expr_) {
        target_->clear();
        target_->kind = KIND_NUMERIC; // x = [] assigns an empty matrix, kind and all
        return Flow::Normal;
    }
    const MathMatrix<int>& index = index_.evaluate();
    positions_.clear();
    if (kindCode(index.kind) == KIND_BOOL) {
        for (int i = 0; i < index.n; ++i)
            if (index[i] != 0) positions_.push_back(i + 1);
    } else {
        positions_.assign(index.data(), index.data() + index.n);
    }
    int dimension = dimension_;
    if (dimension < 0)
        dimension = target_->is3D()       ? SELECT_PAGE
                    : target_->isVector() ? SELECT_ELEMENT
                                          : SELECT_COLUMN;
    if (dimension == SELECT_ELEMENT && !target_->isVector())
        raiseRuntime("can't erase elements from a non-vector");
    target_->erase(dimension, positions_.data(), int(positions_.size()));
    return Flow::Normal;
}

bool ErasureStm::refersTo(const Value* v) const {
    return v == target_ || Statement::refersTo(v);
}

MultiAssignStm::MultiAssignStm(EvaluatablePtr call, int line, std::vector<Value*> targets)
    : Statement(std::move(call), line), source_(dynamic_cast<MultiOutputSource*>(expr_.get())),
      targets_(std::move(targets)), outputs_(targets_.size()) {
    if (!source_) raiseBug("BUG: multiple assignment from a call of a single output");
    for (Value* t : targets_)
        if (!t) raiseBug("BUG: multiple assignment with an absent target");
}

// Outputs the call leaves out keep their targets unchanged.
Flow MultiAssignStm::execute() {
    source_->evaluateOutputs(outputs_);
    for (size_t i = 0; i < targets_.size(); ++i)
        if (outputs_[i]) targets_[i]->assign(*outputs_[i]);
    return Flow::Normal;
}

bool MultiAssignStm::refersTo(const Value* v) const {
    return std::find(targets_.begin(), targets_.end(), v) != targets_.end() ||
           Statement::refersTo(v);
}

} // namespace vemlor
