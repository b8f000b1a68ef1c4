// The Expression base and the two flat-loop classes.
//
// The flat loop reads the entries once from left to right: the first operand
// is copied into the workspace, operands joined by '*' or '/' are combined
// into a running term, and each finished term is added to or subtracted from
// the result. The first term accumulates straight in the workspace and a
// term of one operand is combined without being copied, so `a + b * c`
// copies only a and b. Two scalars are combined inline, anything larger goes
// to the elementwise routine once per operator.
#include "exec/Expression.h"

#include "exec/ConstantElements.h"
#include "exec/ValueElement.h"

#include "exec/ExpressionSupport.h"

#include <optional>

namespace vemlor {

using detail::combineArithmetic;
using detail::combineArithmeticInto;
using detail::evaluateOperandInto;
using detail::readOperand;

Expression::Expression(ExpressionEntries entries, int resultType)
    : entries_(std::move(entries)), resultType_(resultType) {
    if (entries_.empty()) raiseBug("BUG: Expression without entries");
    for (const ExpressionEntry& e : entries_)
        plainOperand_.push_back(detail::isPlainOperand(*e.operand));
}

Value* Expression::pValue(Value*) {
    raiseBug("BUG: evaluation of an expression that was never finished");
}

bool Expression::refersTo(const Value* v) const {
    for (const ExpressionEntry& e : entries_)
        if (e.operand && e.operand->refersTo(v)) return true;
    return false;
}

SimpleScratch::SimpleScratch(int type)
    : term(detail::newScratch(type)), operand(detail::newScratch(type)),
      result(detail::newScratch(type)), left(detail::newScratch(type)) {
    ints.keepsBuffer = true;
}

namespace {

// The operand of entry i as its own type wants it: mixed evaluations give an
// integer operand an integer workspace first.
inline Value* nativeFor(const std::vector<char>* intOperand, size_t i, SimpleScratch& s) {
    return intOperand && (*intOperand)[i] ? &s.ints : nullptr;
}

// Leaves in dst the operand of entry i or, when `joinsNext` (its operator
// combines it with the next operand before anything else), the next operand
// is plain and the first a value of its own, the two combined in one pass
// instead of a copy and a pass. Returns the entry evaluation goes on from.
template <class T>
size_t startWith(const ExpressionEntries& entries, const std::vector<char>& plain,
                 const std::vector<char>* intOperand, size_t i, bool joinsNext, MathMatrix<T>& dst,
                 SimpleScratch& s) {
    Evaluatable& first = *entries[i].operand;
    if (!joinsNext || !plain[i + 1]) {
        evaluateOperandInto(first, dst, nativeFor(intOperand, i, s));
        return i;
    }
    Value* native = nativeFor(intOperand, i, s);
    auto& left = static_cast<MathMatrix<T>&>(*s.left);
    const MathMatrix<T>& a = readOperand(first, native ? left : dst, native);
    if (&a == &dst) return i;
    auto& scratch = static_cast<MathMatrix<T>&>(*s.operand);
    const MathMatrix<T>& b =
        readOperand(*entries[i + 1].operand, scratch, nativeFor(intOperand, i + 1, s));
    combineArithmeticInto(dst, a, b, entries[i].op);
    return i + 1;
}

template <class T>
void runFlatLoop(const ExpressionEntries& entries, const std::vector<char>& plain,
                 const std::vector<char>* intOperand, MathMatrix<T>& result, SimpleScratch& s) {
    auto& term = static_cast<MathMatrix<T>&>(*s.term);
    auto& operand = static_cast<MathMatrix<T>&>(*s.operand);
    auto read = [&](size_t i) -> const MathMatrix<T>& {
        return readOperand(*entries[i].operand, operand, nativeFor(intOperand, i, s));
    };
    // The first operand joins the second at once unless a sum's second
    // operand starts a product.
    int firstLevel = precedenceLevel(entries[0].op);
    bool firstJoins = firstLevel == 1 || (firstLevel == 2 && precedenceLevel(entries[1].op) != 1);
    size_t i = startWith(entries, plain, intOperand, 0, firstJoins, result, s);
    while (precedenceLevel(entries[i].op) == 1) {
        int code = entries[i++].op;
        combineArithmetic(result, read(i), code);
    }
    while (entries[i].op != OP_END) {
        int code = entries[i++].op;
        if (precedenceLevel(entries[i].op) != 1) {
            combineArithmetic(result, read(i), code);
            continue;
        }
        i = startWith(entries, plain, intOperand, i, true, term, s);
        while (precedenceLevel(entries[i].op) == 1) {
            int factorCode = entries[i++].op;
            combineArithmetic(term, read(i), factorCode);
        }
        combineArithmetic(result, term, code);
    }
}

void requireWorkspaceType(const Value& workspace, int type, const char* where) {
    if (workspace.type() != type)
        raiseBug(std::string("BUG: ") + where + " with a workspace of another type");
}

} // namespace

SimpleExpression::SimpleExpression(ExpressionEntries entries, int resultType)
    : Expression(std::move(entries), resultType), scratch_(resultType) {
    if (resultType == DOUBLE_VAL) vectorCode_ = VectorCode::compile(entries_);
}

Value* SimpleExpression::pValue(Value* workspace) {
    if (resultType_ < INTEGER_VAL || resultType_ > COMPLEX_VAL)
        raiseBug("BUG: evaluation of an expression of an invalid result type");
    requireWorkspaceType(*workspace, resultType_, "expression evaluated");
    if (Value* done = evaluatedAsVectors(workspace)) return done;
    detail::NestingGuard guard(depth_);
    SimpleScratch& s = guard.level() ? nested_.at(guard.level(), resultType_) : scratch_;
    Value* target = guard.level() ? s.result.get() : workspace;
    switch (resultType_) {
    case INTEGER_VAL: {
        auto& result = static_cast<MathMatrix<int>&>(*target);
        runFlatLoop(entries_, plainOperand_, nullptr, result, s);
        break;
    }
    case DOUBLE_VAL:
        runFlatLoop(entries_, plainOperand_, nullptr, static_cast<MathMatrix<double>&>(*target), s);
        break;
    default:
        runFlatLoop(entries_, plainOperand_, nullptr, static_cast<MathMatrix<complexd>&>(*target),
                    s);
        break;
    }
    return target;
}

SimpleMixedTypeExpression::SimpleMixedTypeExpression(ExpressionEntries entries)
    : Expression(std::move(entries), DOUBLE_VAL), scratch_(DOUBLE_VAL) {
    for (const ExpressionEntry& e : entries_)
        intOperand_.push_back(e.operand->resultType() == INTEGER_VAL);
    vectorCode_ = VectorCode::compile(entries_);
}

Value* SimpleMixedTypeExpression::pValue(Value* workspace) {
    if (workspace->type() != DOUBLE_VAL)
        raiseBug("BUG: mixed-type expression evaluated into a workspace that is not double");
    if (Value* done = evaluatedAsVectors(workspace)) return done;
    detail::NestingGuard guard(depth_);
    SimpleScratch& s = guard.level() ? nested_.at(guard.level(), DOUBLE_VAL) : scratch_;
    Value* target = guard.level() ? s.result.get() : workspace;
    runFlatLoop(entries_, plainOperand_, &intOperand_, static_cast<MathMatrix<double>&>(*target),
                s);
    return target;
}

} // namespace vemlor
