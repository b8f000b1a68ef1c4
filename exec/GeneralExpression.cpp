// The general expression classes: a precedence climb over the entries.
//
// eval(result, L) leaves in `result` the value of the operand group that
// binds tighter than level L: at or below the lowest level present it is the
// next operand; above, it is eval(result, L-1) combined, left to right, with
// further groups eval(right, L-1) for as long as the operator at the cursor
// is of level L-1. Each right-hand group of level L-1 is evaluated into the
// scratch value of level L, which nothing deeper in the climb touches.
// Short-circuit operators and the query skip groups without evaluating them.
#include "exec/Expression.h"

#include <cmath>

#include "exec/ExpressionSupport.h"

#include <cmath>
#include <optional>
#include <string>
#include <type_traits>

namespace vemlor {

using detail::readOperand;

ClimbScratch::ClimbScratch(int type, int levelCount)
    : result(detail::newScratch(type)), left(detail::newScratch(type)) {
    ints.keepsBuffer = true;
    for (int k = 0; k < levelCount; ++k)
        levels.push_back(detail::newScratch(type));
}

namespace {

constexpr const char* kComplexRefusal = "invalid operation in a complex-number expression";

template <class T> void combineGeneral(MathMatrix<T>& l, const MathMatrix<T>& r, int code) {
    switch (code) {
    case OP_PLUS:
    case OP_MINUS:
    case OP_TIMES:
    case OP_DIVIDE:
        detail::combineArithmetic(l, r, code);
        return;
    case OP_POWER:
    case OP_INT_DIVIDE:
    case OP_MOD:
        l.elementwise(r, code);
        return;
    case OP_MATRIX_POWER:
        l.matrixPower(r);
        return;
    case OP_MATRIX_PRODUCT:
        l.matrixProduct(r);
        return;
    case OP_KRONECKER:
        l.kronecker(r);
        return;
    case OP_CROSS:
        l.cross(r);
        return;
    case OP_VECTOR_ADD:
    case OP_VECTOR_SUB:
        l.vectorAdd(r, code == OP_VECTOR_ADD ? 1 : -1);
        return;
    case OP_BITAND:
    case OP_BITOR:
    case OP_BITXOR:
        if constexpr (std::is_same_v<T, complexd>) raiseRuntime(kComplexRefusal);
        l.scalarFunction(r, code);
        return;
    case OP_AND:
    case OP_OR:
    case OP_XOR:
        l.scalarFunction(r, code);
        return;
    case OP_HCAT:
        l.concatHorizontal(r);
        return;
    case OP_VCAT:
        l.concatVertical(r);
        return;
    default:
        raiseBug("BUG: operator code " + std::to_string(code) + " cannot be evaluated here");
    }
}

// The operators that combine element by element (and plain numbers into
// plain numbers).
bool elementwiseCode(int code) {
    return detail::isArithmetic(code) || code == OP_POWER || code == OP_MOD ||
           code == OP_INT_DIVIDE;
}

template <class T> class Climber {
  public:
    Climber(const ExpressionEntries& entries, const std::vector<char>& intOperand,
            const std::vector<char>& plain, ClimbScratch& scratch, int lowest)
        : entries_(entries), intOperand_(intOperand), plain_(plain), scratch_(scratch),
          lowest_(lowest) {}

    void eval(MathMatrix<T>& result, int level) {
        if (level <= lowest_) {
            detail::evaluateOperandInto(*entries_[next_].operand, result, native(next_));
            ++next_;
            return;
        }
        if (!startedInOnePass(result, level)) eval(result, level - 1);
        while (precedenceLevel(entries_[next_ - 1].op) == level - 1) {
            int code = entries_[next_ - 1].op;
            switch (code) {
            case OP_AND_SHORT:
            case OP_OR_SHORT:
                shortCircuit(result, code, level);
                break;
            case OP_QUERY:
                query(result, level);
                break;
            case OP_QUERY_ELSE:
                raiseBug("BUG: '::' without '?' in an expression");
            default:
                combineGeneral(result, right(level), code);
                break;
            }
        }
    }

    size_t consumed() const { return next_; }

  private:
    Value* native(size_t i) {
        return !intOperand_.empty() && intOperand_[i] ? &scratch_.ints : nullptr;
    }

    // The group right of an operator of level L-1, in the scratch of level L
    // (a single operand is read without a copy).
    const MathMatrix<T>& right(int level) {
        auto& target = static_cast<MathMatrix<T>&>(*scratch_.levels[size_t(level)]);
        if (level - 1 <= lowest_) {
            const MathMatrix<T>& r = readOperand(*entries_[next_].operand, target, native(next_));
            ++next_;
            return r;
        }
        eval(target, level - 1);
        return target;
    }

    // When the groups of level L-1 start with two lone operands X op Y, op
    // elementwise and Y plain, and X is a value of its own (a variable or a
    // constant), `result` gets X op Y in one pass instead of a copy of X and
    // a pass. A lone operand is a group of every level up to the level of the
    // operator after it.
    bool startedInOnePass(MathMatrix<T>& result, int level) {
        size_t i = next_;
        int code = entries_[i].op;
        if (precedenceLevel(code) != level - 1 || !elementwiseCode(code) || !plain_[i + 1] ||
            precedenceLevel(entries_[i + 1].op) < level - 1)
            return false;
        bool converted = native(i) != nullptr;
        auto& left = static_cast<MathMatrix<T>&>(*scratch_.left);
        const MathMatrix<T>& x =
            readOperand(*entries_[i].operand, converted ? left : result, native(i));
        next_ = i + 1;
        if (&x == &result) return true; // evaluated into result: combined as usual
        auto& scratch = static_cast<MathMatrix<T>&>(*scratch_.levels[size_t(level)]);
        const MathMatrix<T>& y = readOperand(*entries_[i + 1].operand, scratch, native(i + 1));
        next_ = i + 2;
        if (detail::isArithmetic(code))
            detail::combineArithmeticInto(result, x, y, code);
        else
            result.assignElementwise(x, y, code);
        return true;
    }

    // Moves the cursor past the group eval(., groupLevel) would evaluate.
    void skipGroup(int groupLevel) {
        size_t j = next_;
        while (precedenceLevel(entries_[j].op) < groupLevel)
            ++j;
        next_ = j + 1;
    }

    void shortCircuit(MathMatrix<T>& result, int code, int level) {
        check(result.n == 1, "logical operator", "non-scalar condition");
        bool left = detail::truncatedNonzero(result);
        if (left == (code == OP_OR_SHORT)) {
            result.assignScalarInt(left ? 1 : 0);
            skipGroup(level - 1);
            return;
        }
        const MathMatrix<T>& r = right(level);
        check(r.n == 1, "logical operator", "non-scalar condition");
        result.assignScalarInt(r[0] != T(0) ? 1 : 0);
    }

    void query(MathMatrix<T>& result, int level) {
        check(result.n == 1, "query", "non-scalar condition");
        if (detail::truncatedNonzero(result)) {
            eval(result, level - 1);
            if (entries_[next_ - 1].op == OP_QUERY_ELSE) skipGroup(level - 1);
            return;
        }
        size_t j = next_;
        while (entries_[j].op != OP_QUERY_ELSE) {
            if (entries_[j].op == OP_END) raiseBug("BUG: '?' without '::' in an expression");
            ++j;
        }
        next_ = j + 1;
        eval(result, level - 1);
    }

    const ExpressionEntries& entries_;
    const std::vector<char>& intOperand_;
    const std::vector<char>& plain_;
    ClimbScratch& scratch_;
    int lowest_;
    size_t next_ = 0;
};

} // namespace

GeneralExpression::GeneralExpression(ExpressionEntries entries, int resultType)
    : Expression(std::move(entries), resultType), scratch_(resultType, 0) {
    for (size_t i = 0; i + 1 < entries_.size(); ++i) {
        int level = precedenceLevel(entries_[i].op);
        lowestLevel_ = std::min(lowestLevel_, level);
        highestLevel_ = std::max(highestLevel_, level);
    }
    for (int k = 0; k < highestLevel_ + 2; ++k)
        scratch_.levels.push_back(detail::newScratch(resultType));
}

template <class T> Value* GeneralExpression::climb(Value* workspace) {
    detail::NestingGuard guard(depth_);
    ClimbScratch& s =
        guard.level() ? nested_.at(guard.level(), resultType_, highestLevel_ + 2) : scratch_;
    Value* target = guard.level() ? s.result.get() : workspace;
    Climber<T> climber(entries_, intOperand_, plainOperand_, s, lowestLevel_);
    climber.eval(static_cast<MathMatrix<T>&>(*target), highestLevel_ + 1);
    if (climber.consumed() != entries_.size())
        raiseBug("BUG: operands left after evaluating an expression");
    return target;
}

GeneralIntegerExpression::GeneralIntegerExpression(ExpressionEntries entries)
    : GeneralExpression(std::move(entries), INTEGER_VAL) {}

Value* GeneralIntegerExpression::pValue(Value* workspace) {
    if (workspace->type() != INTEGER_VAL)
        raiseBug("BUG: integer expression evaluated with a workspace of another type");
    return climb<int>(workspace);
}

GeneralComplexExpression::GeneralComplexExpression(ExpressionEntries entries)
    : GeneralExpression(std::move(entries), COMPLEX_VAL) {}

Value* GeneralComplexExpression::pValue(Value* workspace) {
    if (workspace->type() != COMPLEX_VAL)
        raiseBug("BUG: complex expression evaluated with a workspace of another type");
    return climb<complexd>(workspace);
}

GeneralMixedTypeExpression::GeneralMixedTypeExpression(ExpressionEntries entries)
    : GeneralExpression(std::move(entries), DOUBLE_VAL) {
    for (const ExpressionEntry& e : entries_)
        intOperand_.push_back(e.operand->resultType() == INTEGER_VAL);
    vectorCode_ = VectorCode::compile(entries_);
}

Value* GeneralMixedTypeExpression::pValue(Value* workspace) {
    if (workspace->type() != DOUBLE_VAL)
        raiseBug("BUG: mixed-type expression evaluated into a workspace that is not double");
    if (Value* done = evaluatedAsVectors(workspace)) return done;
    return climb<double>(workspace);
}

} // namespace vemlor
