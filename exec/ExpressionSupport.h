// Internal helpers shared by the expression classes, the comparison and the
// conversion elements: reading an operand as a matrix of the evaluation's
// element type, the one-by-one case of the four arithmetic operators, the
// integer range check and the guard that makes re-entered elements use fresh
// scratch values.
//
// An operand receives a workspace of the type it announced; `native` is such
// a scratch value when that type differs from the evaluation's element type
// (an integer operand of a double evaluation), and null otherwise.
#pragma once

#include "core/Errors.h"
#include "core/JMatrix.h"
#include "core/MathMatrix.h"
#include "core/OperatorCodes.h"
#include "core/ScalarOps.h"
#include "exec/Evaluatable.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace vemlor::detail {

// A type code the builder can plan with: codes above LIST_VAL stand for
// values whose type is only known when they are evaluated (list items); they
// accept a double workspace and are planned as doubles.
inline int plannedType(int type) {
    return type > LIST_VAL ? DOUBLE_VAL : type;
}

// A scratch value for an operand of announced type `type`.
inline ValuePtr newScratch(int type) {
    ValuePtr v = newValue(plannedType(type));
    v->keepsBuffer = true;
    return v;
}

// dst becomes a copy of src, widened when src is narrower (a wider src raises
// AssignmentMismatch). Nothing happens when src is dst.
template <class T> void copyValue(MathMatrix<T>& dst, const Value& src) {
    if (static_cast<const Value*>(&dst) == &src) return;
    if (src.type() == JMatrix<T>::kTypeCode)
        dst.copyFrom(src);
    else
        dst.assignConverted(src);
}

// The value of `e` for reading: the operand's own value when it has the
// element type (a constant or a variable, not copied), else `scratch`.
template <class T>
const MathMatrix<T>& readOperand(Evaluatable& e, MathMatrix<T>& scratch, Value* native) {
    Value* r = e.pValue(native ? native : &scratch);
    if (r->type() == JMatrix<T>::kTypeCode) return static_cast<const MathMatrix<T>&>(*r);
    scratch.assignConverted(*r);
    return scratch;
}

// The value of `e` in `dst`, which the caller may then change in place.
template <class T> void evaluateOperandInto(Evaluatable& e, MathMatrix<T>& dst, Value* native) {
    copyValue(dst, *e.pValue(native ? native : &dst));
}

// a op b for the codes of '+', '-', '*' and '/', with the same results and
// refusals as the elementwise routine.
template <class T> T arithmeticScalar(T a, T b, int code) {
    if constexpr (std::is_same_v<T, int>) {
        if (ops::divisionRefused(code, a, b)) raiseRuntime("division by zero");
        long long wide = ops::arithmetic(code, a, b);
        if (!ops::fitsInt(wide)) raiseRuntime("integer overflow");
        return int(wide);
    } else {
        switch (code) {
        case OP_PLUS:
            return ops::Plus<T>{}(a, b);
        case OP_MINUS:
            return ops::Minus<T>{}(a, b);
        case OP_TIMES:
            return ops::Times<T>{}(a, b);
        default:
            return ops::Divide<T>{}(a, b);
        }
    }
}

inline bool isArithmetic(int code) {
    return code == OP_PLUS || code == OP_MINUS || code == OP_TIMES || code == OP_DIVIDE;
}

// l op= r for an arithmetic code: two scalars are combined right here, all
// else goes to the elementwise routine (which keeps l's kind word either way).
template <class T>
inline void combineArithmetic(MathMatrix<T>& l, const MathMatrix<T>& r, int code) {
    if (l.n == 1 && r.n == 1) {
        l[0] = arithmeticScalar(l[0], r[0], code);
        return;
    }
    l.elementwise(r, code);
}

// dst = a op b for an arithmetic code, where a is a value of its own (a
// variable or a constant) rather than dst: the result of copying a into dst
// and combining there, in one pass instead of two.
template <class T>
inline void combineArithmeticInto(MathMatrix<T>& dst, const MathMatrix<T>& a,
                                  const MathMatrix<T>& b, int code) {
    if (&a == &dst) {
        combineArithmetic(dst, b, code);
    } else if (a.n == 1 && b.n == 1) {
        T x = arithmeticScalar(a[0], b[0], code);
        dst.setShapeKind(1, a.nrow, a.kind);
        dst[0] = x;
    } else {
        dst.assignElementwise(a, b, code);
    }
}

// Whether evaluating an operand only reads a value (a variable, a constant,
// a constant index): nothing it does can change another operand's value.
inline bool isPlainOperand(const Evaluatable& e) {
    return e.category() == CAT_NUMBER || e.category() == CAT_VARIABLE;
}

// Whether a scalar condition holds: its value truncated toward zero is not 0.
template <class T> bool truncatedNonzero(const MathMatrix<T>& v) {
    if constexpr (std::is_same_v<T, int>)
        return v[0] != 0;
    else if constexpr (std::is_same_v<T, double>)
        return ops::conditionHolds(v[0]);
    else
        return ops::conditionHolds(v[0].real());
}

// Marks an element busy while it evaluates. An element whose evaluation runs
// a user function can be entered again (recursion) while its scratch values
// hold partial results; the nested call must then use scratch of its own.
class ReentryGuard {
  public:
    explicit ReentryGuard(bool& busy) : busy_(busy), nested_(busy) { busy_ = true; }
    ~ReentryGuard() {
        if (!nested_) busy_ = false;
    }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;
    bool nested() const { return nested_; }

  private:
    bool& busy_;
    bool nested_;
};

// Counts the evaluations of one element in progress: a recursive function
// call among its operands evaluates it again before the first evaluation has
// finished. Level 0 is the outermost evaluation.
class NestingGuard {
  public:
    explicit NestingGuard(int& depth) : depth_(depth), level_(depth++) {}
    ~NestingGuard() { --depth_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
    int level() const { return level_; }

  private:
    int& depth_;
    int level_;
};

// Scratch of the nested evaluations, one set per nesting level, kept for
// reuse so that a warm recursion allocates nothing. A nested evaluation
// builds its result here rather than in the caller's workspace, which the
// outer evaluation of the same caller may still be filling.
template <class S> class NestedScratch {
  public:
    template <class... A> S& at(int level, A&&... arguments) {
        while (pool_.size() < size_t(level))
            pool_.push_back(std::make_unique<S>(arguments...));
        return *pool_[size_t(level) - 1];
    }

  private:
    std::vector<std::unique_ptr<S>> pool_;
};

} // namespace vemlor::detail
