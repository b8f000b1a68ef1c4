// Elementwise arithmetic of MathMatrix<T>: the binary operators with a
// broadcast scalar operand, the logical and bitwise operators, adding a row or
// column vector to every row or column, and the two concatenations.
//
// Every routine works in place on the left operand (the evaluator's
// workspace), which keeps its kind word. A shape failure raises the operator's
// character before either operand changes. Integer arithmetic wraps around in
// 32 bits (the integer expression classes look for overflow in the result);
// integer division by zero raises "division by zero" before anything changes,
// and INT_MIN / -1 wraps to INT_MIN instead of trapping. The operator is
// dispatched once per call, so each per-element loop is a plain loop over a
// small inline functor that the compiler can vectorise.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OperatorCodes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vemlor {
namespace {

// Operator character of each elementwise code (code i is character i); the
// digits hold places of codes that are not elementwise operators.
constexpr std::string_view kElementwiseChars = "^1234567*/012_45+-u";

template <class T> constexpr bool kIsInt = std::is_same_v<T, int>;

// 32-bit wrap-around, well defined through unsigned arithmetic.
inline int wrapAdd(int a, int b) {
    return int(unsigned(a) + unsigned(b));
}
inline int wrapSub(int a, int b) {
    return int(unsigned(a) - unsigned(b));
}
inline int wrapMul(int a, int b) {
    return int(unsigned(a) * unsigned(b));
}

// Truncating quotient and remainder; b == 0 is refused before the loop.
// Dividing by -1 is a wrapping negation, so INT_MIN / -1 gives INT_MIN.
inline int truncQuotient(int a, int b) {
    return b == -1 ? wrapSub(0, a) : a / b;
}
inline int truncRemainder(int a, int b) {
    return b == -1 ? 0 : a % b;
}

// a to the power b by repeated squaring, wrapping in 32 bits. A negative
// exponent gives 1 / a^|b| truncated as in C: 1 for a == 1, +-1 for a == -1,
// 0 for |a| >= 2; a == 0 with b < 0 is refused before the loop.
inline int intPower(int a, int b) {
    if (b < 0) {
        if (a == 1) return 1;
        if (a == -1) return (b & 1) ? -1 : 1;
        return 0;
    }
    unsigned result = 1, base = unsigned(a), e = unsigned(b);
    while (e != 0) {
        if (e & 1u) result *= base;
        e >>= 1;
        if (e != 0) base *= base;
    }
    return int(result);
}

// Complex power. Whole real exponents use repeated squaring, so that
// (1+1i)^2 is exactly 2i and 0^0 is 1; anything else is exp(b log a).
complexd complexPower(complexd a, complexd b) {
    if (b == complexd(0.0)) return 1.0;
    double e = b.real();
    if (b.imag() == 0.0 && e == std::floor(e) && std::fabs(e) <= 2147483647.0) {
        unsigned long k = (unsigned long)std::fabs(e);
        complexd result = 1.0, base = a;
        while (k != 0) {
            if (k & 1ul) result *= base;
            k >>= 1;
            if (k != 0) base *= base;
        }
        return e < 0 ? 1.0 / result : result;
    }
    if (a == complexd(0.0)) {
        // log(0) is -inf: decide by the exponent, as the real power does.
        if (b.real() > 0) return 0.0;
        return b.imag() == 0.0 ? complexd(HUGE_VAL, 0.0) : complexd(NAN, NAN);
    }
    return std::exp(b * std::log(a));
}

// Whole-number quotient and remainder of complex numbers, componentwise so
// that on the real axis they agree with floor(a / b) and fmod(a, b).
complexd complexFloorQuotient(complexd a, complexd b) {
    complexd q = a / b;
    return {std::floor(q.real()), std::floor(q.imag())};
}
complexd complexRemainder(complexd a, complexd b) {
    complexd q = a / b;
    return a - b * complexd(std::trunc(q.real()), std::trunc(q.imag()));
}

// Doubles truncated to 32-bit integers for the bitwise operators; NaN and
// out-of-range values give INT_MIN, as the hardware conversion does.
inline int truncToInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT_MIN;
    return int(x);
}

template <class T> struct Plus {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return wrapAdd(a, b);
        else
            return a + b;
    }
};
template <class T> struct Minus {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return wrapSub(a, b);
        else
            return a - b;
    }
};
template <class T> struct Times {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return wrapMul(a, b);
        else
            return a * b;
    }
};
template <class T> struct Divide {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return truncQuotient(a, b);
        else
            return a / b;
    }
};
template <class T> struct FloorQuotient {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return truncQuotient(a, b);
        else if constexpr (std::is_same_v<T, double>)
            return std::floor(a / b);
        else
            return complexFloorQuotient(a, b);
    }
};
template <class T> struct Remainder {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return truncRemainder(a, b);
        else if constexpr (std::is_same_v<T, double>)
            return std::fmod(a, b);
        else
            return complexRemainder(a, b);
    }
};
template <class T> struct Power {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return intPower(a, b);
        else if constexpr (std::is_same_v<T, double>)
            return b == 2.0 ? a * a : std::pow(a, b); // the same number, far sooner
        else
            return complexPower(a, b);
    }
};

// Bitwise operators of the integer parts; complex values have none.
template <class T, class IntOp> struct Bitwise {
    T operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return IntOp{}(a, b);
        else
            return double(IntOp{}(truncToInt(a), truncToInt(b)));
    }
};

// Logical operators: 1 or 0 from the truth (nonzero) of both operands.
template <class T> struct LogicalAnd {
    T operator()(T a, T b) const { return T((a != T(0)) & (b != T(0))); }
};
template <class T> struct LogicalOr {
    T operator()(T a, T b) const { return T((a != T(0)) | (b != T(0))); }
};
template <class T> struct LogicalXor {
    T operator()(T a, T b) const { return T((a != T(0)) != (b != T(0))); }
};

// Whether the broadcasting rule can combine l and r.
bool broadcastFits(const Value& l, const Value& r) {
    return r.n == 1 || l.n == 1 || (l.n == r.n && l.nrow == r.nrow);
}

// Whether pred holds for some pair (a, b) that the broadcasting combination
// of l and r visits. Used to refuse a whole operation before it starts.
template <class T, class Pred>
bool anyPair(const MathMatrix<T>& l, const MathMatrix<T>& r, Pred pred) {
    if (r.n == 1) return std::any_of(l.data(), l.data() + l.n, [&](T a) { return pred(a, r[0]); });
    if (l.n == 1) return std::any_of(r.data(), r.data() + r.n, [&](T b) { return pred(l[0], b); });
    for (int i = 0; i < l.n; ++i)
        if (pred(l[i], r[i])) return true;
    return false;
}

// Integer operators that would divide by zero are refused as a whole.
template <class T> void checkDivisors(const MathMatrix<T>& l, const MathMatrix<T>& r, char op) {
    if constexpr (kIsInt<T>) {
        bool bad = false;
        if (op == '/' || op == '_' || op == 'u')
            bad = anyPair(l, r, [](int, int b) { return b == 0; });
        else if (op == '^')
            bad = anyPair(l, r, [](int a, int b) { return a == 0 && b < 0; });
        if (bad) raiseRuntime("division by zero");
    }
}

template <class T, class Op> void applyScalar(T* a, int n, T b, Op op) {
    for (int i = 0; i < n; ++i)
        a[i] = op(a[i], b);
}

template <class T, class Op> void applyPairwise(T* a, const T* b, int n, Op op) {
    for (int i = 0; i < n; ++i)
        a[i] = op(a[i], b[i]);
}

// The broadcasting combination; the caller has checked broadcastFits.
template <class T, class Op> void combine(MathMatrix<T>& l, const MathMatrix<T>& r, Op op) {
    if (r.n == 1) {
        applyScalar(l.data(), l.n, r[0], op);
        return;
    }
    if (l.n == 1) {
        T x = l[0]; // resizeFill may free the buffer x lives in
        l.resizeFill(r.n, r.nrow, x);
    }
    applyPairwise(l.data(), r.data(), l.n, op);
}

template <class T> void combineBitwise(MathMatrix<T>& l, const MathMatrix<T>& r, int opCode) {
    if constexpr (std::is_same_v<T, complexd>) {
        raiseRuntime("bitwise operator applied to a complex value");
    } else {
        switch (opCode) {
        case OP_BITAND:
            combine(l, r, Bitwise<T, std::bit_and<int>>{});
            return;
        case OP_BITOR:
            combine(l, r, Bitwise<T, std::bit_or<int>>{});
            return;
        default:
            combine(l, r, Bitwise<T, std::bit_xor<int>>{});
            return;
        }
    }
}

// Adds (or with Minus subtracts) a column vector to every column or a row
// vector to every row; the same shape combines element by element.
template <class T, class Op> void addVector(MathMatrix<T>& l, const MathMatrix<T>& r, Op op) {
    int rows = l.nrow, cols = l.ncol();
    T* a = l.data();
    const T* b = r.data();
    if (r.n == l.n && r.nrow == l.nrow) {
        applyPairwise(a, b, l.n, op);
    } else if (r.nrow == rows && r.n == rows) {
        for (int j = 0; j < cols; ++j)
            applyPairwise(a + long(j) * rows, b, rows, op);
    } else if (r.nrow == 1 && r.n == cols) {
        for (int j = 0; j < cols; ++j)
            applyScalar(a + long(j) * rows, rows, b[j], op);
    } else {
        raiseCode('@');
    }
}

// A concatenated matrix is two-dimensional; a 3-D kind word would claim
// pages that the new shape does not have.
void dropDepth(Value& v) {
    if (v.is3D()) v.kind = KIND_NUMERIC;
}

int checkedCount(long count) {
    if (count > INT_MAX) raiseRuntime("matrix too large");
    return int(count);
}

template <class T> void copyWhole(MathMatrix<T>& l, const MathMatrix<T>& r) {
    l.resize(r.n);
    std::copy(r.data(), r.data() + r.n, l.data());
    l.nrow = r.nrow;
    l.kind = r.kind;
}

// The character of an elementwise operator code, from kElementwiseChars; a
// placeholder position is refused with its character.
char elementwiseChar(int opCode) {
    if (opCode < 0 || opCode >= int(kElementwiseChars.size()))
        raiseBug("MathMatrix::elementwise: operator code " + std::to_string(opCode));
    char c = kElementwiseChars[size_t(opCode)];
    if (c >= '0' && c <= '9') raiseCode(c);
    return c;
}

// Calls apply with the functor of an elementwise operator character.
template <class T, class Apply> void withElementwiseOp(char c, Apply apply) {
    switch (c) {
    case '+':
        apply(Plus<T>{});
        return;
    case '-':
        apply(Minus<T>{});
        return;
    case '*':
        apply(Times<T>{});
        return;
    case '/':
        apply(Divide<T>{});
        return;
    case '^':
        apply(Power<T>{});
        return;
    case '_':
        apply(FloorQuotient<T>{});
        return;
    case 'u':
        apply(Remainder<T>{});
        return;
    default:
        raiseCode(c);
    }
}

// out = l op r in one pass, with the shape and kind word that combining in
// place on a copy of l would leave. out may be r: a broadcast scalar is read
// before out is resized, and otherwise out keeps its size.
template <class T, class Op>
void combineInto(MathMatrix<T>& out, const MathMatrix<T>& l, const MathMatrix<T>& r, Op op) {
    int kindWord = l.kind;
    if (r.n == 1) {
        T y = r[0];
        out.setShapeKind(l.n, l.nrow, kindWord);
        const T* a = l.data();
        T* z = out.data();
        for (int i = 0, n = out.n; i < n; ++i)
            z[i] = op(a[i], y);
        return;
    }
    const MathMatrix<T>& shape = l.n == 1 ? r : l;
    T x = l.n == 1 ? l[0] : T();
    out.setShapeKind(shape.n, shape.nrow, kindWord);
    const T* b = r.data();
    T* z = out.data();
    if (l.n == 1) {
        for (int i = 0, n = out.n; i < n; ++i)
            z[i] = op(x, b[i]);
    } else {
        const T* a = l.data();
        for (int i = 0, n = out.n; i < n; ++i)
            z[i] = op(a[i], b[i]);
    }
}

} // namespace

// '+' '-' '*' '/' '^' '_' 'u', by numeric operator code.
template <class T> void MathMatrix<T>::elementwise(const MathMatrix<T>& r, int opCode) {
    char c = elementwiseChar(opCode);
    if (!broadcastFits(*this, r)) raiseCode(c);
    checkDivisors(*this, r, c);
    withElementwiseOp<T>(c, [&](auto op) { combine(*this, r, op); });
}

template <class T>
void MathMatrix<T>::assignElementwise(const MathMatrix<T>& l, const MathMatrix<T>& r, int opCode) {
    if (&l == this) {
        elementwise(r, opCode);
        return;
    }
    char c = elementwiseChar(opCode);
    if (!broadcastFits(l, r)) raiseCode(c);
    checkDivisors(l, r, c);
    withElementwiseOp<T>(c, [&](auto op) { combineInto(*this, l, r, op); });
}

// The logical and bitwise operators (and '^', 'u' when the evaluator routes
// them here). A size mismatch raises 'i'; a code without a function here is an
// evaluator fault.
template <class T> void MathMatrix<T>::scalarFunction(const MathMatrix<T>& r, int opCode) {
    bool known = opCode == OP_BITAND || opCode == OP_BITOR || opCode == OP_BITXOR ||
                 opCode == OP_AND || opCode == OP_OR || opCode == OP_XOR || opCode == OP_POWER ||
                 opCode == OP_MOD;
    if (!known)
        raiseBug("MathMatrix::scalarFunction: no function for code " + std::to_string(opCode));
    if (!broadcastFits(*this, r)) raiseCode('i');
    switch (opCode) {
    case OP_AND:
        combine(*this, r, LogicalAnd<T>{});
        return;
    case OP_OR:
        combine(*this, r, LogicalOr<T>{});
        return;
    case OP_XOR:
        combine(*this, r, LogicalXor<T>{});
        return;
    case OP_POWER:
        checkDivisors(*this, r, '^');
        combine(*this, r, Power<T>{});
        return;
    case OP_MOD:
        checkDivisors(*this, r, 'u');
        combine(*this, r, Remainder<T>{});
        return;
    default:
        combineBitwise(*this, r, opCode);
        return;
    }
}

// 'p' (sign > 0) and 'm' (sign < 0).
template <class T> void MathMatrix<T>::vectorAdd(const MathMatrix<T>& r, int sign) {
    if (sign < 0)
        addVector(*this, r, Minus<T>{});
    else
        addVector(*this, r, Plus<T>{});
}

// ','. Appending columns is appending storage, so repeated growth reuses the
// spare capacity that resizeKeep leaves.
template <class T> void MathMatrix<T>::concatHorizontal(const MathMatrix<T>& r) {
    if (r.n == 0) return;
    if (n == 0) {
        copyWhole(*this, r);
        return;
    }
    if (nrow != r.nrow) raiseCode(',');
    int oldN = n, rows = nrow, added = r.n;
    this->resizeKeep(checkedCount(long(oldN) + added));
    // Read r only after the resize: r may be this very matrix.
    std::copy(r.data(), r.data() + added, this->data() + oldN);
    nrow = rows;
    dropDepth(*this);
}

// ';'. Each column of the result is L's column followed by R's column. The
// columns are spread out in place from the last one down, so every move goes
// to a position at or after its source.
template <class T> void MathMatrix<T>::concatVertical(const MathMatrix<T>& r) {
    if (r.n == 0) return;
    if (n == 0) {
        copyWhole(*this, r);
        return;
    }
    int cols = this->ncol();
    if (cols != r.ncol()) raiseCode(';');
    std::vector<T> selfCopy;
    const T* b = r.data();
    if (&r == this) {
        selfCopy.assign(r.data(), r.data() + r.n);
        b = selfCopy.data();
    }
    int topRows = nrow, bottomRows = r.nrow;
    long rows = long(topRows) + bottomRows;
    this->resizeKeep(checkedCount(rows * cols));
    T* a = this->data();
    for (int j = cols - 1; j >= 0; --j) {
        T* column = a + j * rows;
        std::copy_backward(a + long(j) * topRows, a + long(j + 1) * topRows, column + topRows);
        std::copy(b + long(j) * bottomRows, b + long(j + 1) * bottomRows, column + topRows);
    }
    nrow = int(rows);
    dropDepth(*this);
}

#define VEMLOR_INSTANTIATE_ARITHMETIC(T)                                                           \
    template void MathMatrix<T>::elementwise(const MathMatrix<T>&, int);                           \
    template void MathMatrix<T>::assignElementwise(const MathMatrix<T>&, const MathMatrix<T>&, int); \
    template void MathMatrix<T>::scalarFunction(const MathMatrix<T>&, int);                        \
    template void MathMatrix<T>::vectorAdd(const MathMatrix<T>&, int);                             \
    template void MathMatrix<T>::concatHorizontal(const MathMatrix<T>&);                           \
    template void MathMatrix<T>::concatVertical(const MathMatrix<T>&);

VEMLOR_INSTANTIATE_ARITHMETIC(int)
VEMLOR_INSTANTIATE_ARITHMETIC(double)
VEMLOR_INSTANTIATE_ARITHMETIC(complexd)

#undef VEMLOR_INSTANTIATE_ARITHMETIC

} // namespace vemlor
