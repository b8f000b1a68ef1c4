#include "exec/ComparisonElements.h"

#include "core/ScalarOps.h"

#include "core/Errors.h"
#include "exec/ExpressionSupport.h"

#include <optional>
#include <string>

namespace vemlor {
namespace {

constexpr const char* kSizeMismatch = "incompatible matrix sizes";

// Orderings of complex numbers look at the real parts only.
using ops::Equal;
using ops::Greater;
using ops::GreaterEqual;
using ops::Less;
using ops::LessEqual;
using ops::NotEqual;

bool sameShape(const Value& a, const Value& b) {
    return a.nrow == b.nrow && a.ncol() == b.ncol();
}

template <class T, class Cmp>
void compareAll(const MathMatrix<T>& a, const MathMatrix<T>& b, IntValue& out) {
    Cmp cmp;
    const T* x = a.data();
    const T* y = b.data();
    if (a.n == 1 && b.n != 1) {
        T scalar = x[0];
        out.setShapeKind(b.n, b.nrow, KIND_BOOL);
        for (int i = 0; i < b.n; ++i)
            out[i] = cmp(scalar, y[i]);
    } else if (b.n == 1) {
        T scalar = y[0];
        out.setShapeKind(a.n, a.nrow, KIND_BOOL);
        for (int i = 0; i < a.n; ++i)
            out[i] = cmp(x[i], scalar);
    } else {
        if (!sameShape(a, b)) raiseRuntime(kSizeMismatch);
        out.setShapeKind(a.n, a.nrow, KIND_BOOL);
        for (int i = 0; i < a.n; ++i)
            out[i] = cmp(x[i], y[i]);
    }
}

template <class T> typename ComparatorElement<T>::CompareFunction compareFunctionFor(int op) {
    switch (op) {
    case OP_LESS:
        return &compareAll<T, Less>;
    case OP_LESS_EQUAL:
        return &compareAll<T, LessEqual>;
    case OP_EQUAL:
        return &compareAll<T, Equal>;
    case OP_NOT_EQUAL:
        return &compareAll<T, NotEqual>;
    case OP_GREATER_EQUAL:
        return &compareAll<T, GreaterEqual>;
    case OP_GREATER:
        return &compareAll<T, Greater>;
    default:
        raiseBug("BUG: comparison with operator code " + std::to_string(op));
    }
}

// first becomes first & second elementwise (a scalar side broadcasts).
void andInto(IntValue& first, const IntValue& second) {
    if (second.n == 1) {
        for (int i = 0; i < first.n; ++i)
            first[i] = first[i] != 0 && second[0] != 0;
        return;
    }
    if (first.n == 1) {
        int x = first[0];
        first.setShapeKind(second.n, second.nrow, KIND_BOOL);
        for (int i = 0; i < first.n; ++i)
            first[i] = x != 0 && second[i] != 0;
        return;
    }
    if (!sameShape(first, second)) raiseRuntime(kSizeMismatch);
    for (int i = 0; i < first.n; ++i)
        first[i] = first[i] != 0 && second[i] != 0;
}

} // namespace

template <class T> ComparatorElement<T>::Operand::Operand(Evaluatable* e) : element(e) {
    if (!e) return;
    int type = detail::plannedType(e->resultType());
    if (type != JMatrix<T>::kTypeCode) native = newValue(type);
    converted = newValue(JMatrix<T>::kTypeCode);
}

template <class T> const MathMatrix<T>& ComparatorElement<T>::Operand::read() {
    return detail::readOperand(*element, static_cast<MathMatrix<T>&>(*converted), native.get());
}

template <class T>
ComparatorElement<T>::ComparatorElement(EvaluatablePtr a, EvaluatablePtr b, EvaluatablePtr c,
                                        int op1, int op2)
    : With3Evaluatable(std::move(a), std::move(b), std::move(c)), op1_(op1), op2_(op2),
      compare1_(compareFunctionFor<T>(op1)), compare2_(c_ ? compareFunctionFor<T>(op2) : nullptr),
      scratch_(a_.get(), b_.get(), c_.get()) {
    if (!a_ || !b_) raiseBug("BUG: comparison without two operands");
}

template <class T> void ComparatorElement<T>::evaluate(IntValue& out, Scratch& s) {
    const MathMatrix<T>& a = s.a.read();
    const MathMatrix<T>& b = s.b.read();
    compare1_(a, b, out);
    if (!s.c.element || !out.anyNonzero()) return;
    compare2_(b, s.c.read(), s.second);
    andInto(out, s.second);
}

template <class T> Value* ComparatorElement<T>::pValue(Value* workspace) {
    detail::ReentryGuard guard(busy_);
    std::optional<Scratch> local;
    if (guard.nested()) local.emplace(a_.get(), b_.get(), c_.get());
    Scratch& s = local ? *local : scratch_;
    if (workspace->type() == INTEGER_VAL) {
        evaluate(static_cast<IntValue&>(*workspace), s);
        return workspace;
    }
    evaluate(result_, s);
    workspace->assign(result_);
    return workspace;
}

template class ComparatorElement<int>;
template class ComparatorElement<double>;
template class ComparatorElement<complexd>;

// ---- ===

namespace {

double elementAsDouble(const Value& v, int i) {
    if (v.type() == INTEGER_VAL) return static_cast<const IntValue&>(v)[i];
    return static_cast<const DoubleValue&>(v)[i];
}

template <class T> bool sameElements(const Value& a, const Value& b) {
    const T* x = static_cast<const JMatrix<T>&>(a).data();
    const T* y = static_cast<const JMatrix<T>&>(b).data();
    return std::equal(x, x + a.n, y);
}

bool sameItems(const ListValue& a, const ListValue& b) {
    for (int i = 0; i < a.n; ++i) {
        const Value* x = a[i].value.get();
        const Value* y = b[i].value.get();
        if (!x || !y) {
            if (x != y) return false;
            continue;
        }
        if (!fullyEqual(*x, *y)) return false;
    }
    return true;
}

} // namespace

bool fullyEqual(const Value& a, const Value& b) {
    int ta = a.type(), tb = b.type();
    bool numbers = ta <= DOUBLE_VAL && tb <= DOUBLE_VAL;
    if (ta != tb && !numbers) return false;
    if (kindCode(a.kind) != kindCode(b.kind)) return false;
    if (a.n == 0 && b.n == 0) return a.nrow == b.nrow && a.kind == b.kind;
    if (a.n != b.n || a.nrow != b.nrow || a.kind != b.kind) return false;
    if (ta != tb) {
        for (int i = 0; i < a.n; ++i)
            if (elementAsDouble(a, i) != elementAsDouble(b, i)) return false;
        return true;
    }
    switch (ta) {
    case INTEGER_VAL:
        return sameElements<int>(a, b);
    case DOUBLE_VAL:
        return sameElements<double>(a, b);
    case COMPLEX_VAL:
        return sameElements<complexd>(a, b);
    default:
        return sameItems(static_cast<const ListValue&>(a), static_cast<const ListValue&>(b));
    }
}

FullyCompareElement::FullyCompareElement(EvaluatablePtr a, EvaluatablePtr b)
    : With2Evaluatable(std::move(a), std::move(b)) {
    if (!first_ || !second_) raiseBug("BUG: whole-value comparison without two operands");
    firstScratch_ = detail::newScratch(first_->resultType());
    secondScratch_ = detail::newScratch(second_->resultType());
}

Value* FullyCompareElement::pValue(Value* workspace) {
    detail::ReentryGuard guard(busy_);
    ValuePtr localFirst, localSecond;
    if (guard.nested()) {
        localFirst = detail::newScratch(first_->resultType());
        localSecond = detail::newScratch(second_->resultType());
    }
    const Value* a = first_->pValue(localFirst ? localFirst.get() : firstScratch_.get());
    const Value* b = second_->pValue(localSecond ? localSecond.get() : secondScratch_.get());
    workspace->assignScalarInt(fullyEqual(*a, *b) ? 1 : 0);
    return workspace;
}

} // namespace vemlor
