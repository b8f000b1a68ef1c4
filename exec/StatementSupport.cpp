#include "exec/StatementSupport.h"

#include "core/Errors.h"
#include "core/ScalarOps.h"
#include "exec/IndexElementClasses.h"

#include <climits>
#include <cmath>

namespace vemlor::detail {

namespace {

bool isValueType(int type) {
    return type >= INTEGER_VAL && type <= LIST_VAL;
}

} // namespace

AnyResult::AnyResult(Evaluatable* expr)
    : expr_(expr), type_(expr ? expr->resultType() : -1),
      listItem_(dynamic_cast<ListItemElement*>(expr)) {}

const Value& AnyResult::evaluate(std::string_view listItemMessage) {
    if (!expr_) raiseBug("BUG: evaluating an absent expression");
    if (listItem_) return selectedItem();
    if (type_ == LIST_ITEM_TYPE) raiseRuntime(listItemMessage);
    if (!isValueType(type_)) raiseBug("BUG: expression of unknown type " + std::to_string(type_));
    if (!scratch_) scratch_ = newValue(type_);
    return *expr_->pValue(scratch_.get());
}

// The item is handed out in place: nothing is copied for a statement that
// only reads it.
const Value& AnyResult::selectedItem() {
    const Value* item = listItem_->selectItem();
    if (item) return *item;
    emptyItem_.setShapeKind(0, 0, KIND_NUMERIC);
    return emptyItem_;
}

DoubleResult::DoubleResult(Evaluatable* expr)
    : expr_(expr), type_(expr ? expr->resultType() : -1), other_(expr) {
    doubles_.keepsBuffer = true;
}

const MathMatrix<double>& DoubleResult::evaluate() {
    if (type_ == DOUBLE_VAL)
        return static_cast<const MathMatrix<double>&>(*expr_->pValue(&doubles_));
    if (type_ == INTEGER_VAL) {
        doubles_.assignConverted(*expr_->pValue(&ints_));
        return doubles_;
    }
    const Value& v = other_.evaluate("BUG: expression of unknown type where a double is needed");
    if (v.type() == DOUBLE_VAL) return static_cast<const MathMatrix<double>&>(v);
    doubles_.assignConverted(v);
    return doubles_;
}

IntResult::IntResult(Evaluatable* expr)
    : expr_(expr), type_(expr ? expr->resultType() : -1), other_(expr) {}

// Doubles are truncated toward zero; the kind word (a mask stays a mask)
// is kept.
const MathMatrix<int>& IntResult::evaluate() {
    if (type_ == INTEGER_VAL) return static_cast<const MathMatrix<int>&>(*expr_->pValue(&ints_));
    const Value& v = other_.evaluate("BUG: expression of unknown type where an integer is needed");
    if (v.type() == INTEGER_VAL) return static_cast<const MathMatrix<int>&>(v);
    if (v.type() != DOUBLE_VAL) raiseCode(ErrorCode::AssignmentMismatch);
    const auto& d = static_cast<const MathMatrix<double>&>(v);
    ints_.setShapeKind(d.n, d.nrow, d.kind);
    // Beyond the integer range a value becomes INT_MIN, which every index
    // check refuses.
    for (int i = 0; i < d.n; ++i)
        ints_[i] = d[i] > -2147483649.0 && d[i] < 2147483648.0 ? int(std::trunc(d[i])) : INT_MIN;
    return ints_;
}

bool Condition::evaluate() {
    const Value& v = value_.evaluate("BUG: condition of unknown type");
    if (v.n != 1) raiseRuntime(message_);
    switch (v.type()) {
    case INTEGER_VAL:
        return static_cast<const JMatrix<int>&>(v)[0] != 0;
    case DOUBLE_VAL:
        return ops::conditionHolds(static_cast<const JMatrix<double>&>(v)[0]);
    case COMPLEX_VAL:
        return ops::conditionHolds(static_cast<const JMatrix<complexd>&>(v)[0].real());
    default:
        return v.anyNonzero();
    }
}

} // namespace vemlor::detail
