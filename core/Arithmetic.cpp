// Elementwise arithmetic of MathMatrix<T>: the binary operators with a
// broadcast scalar operand, the logical and bitwise operators, adding a row or
// column vector to every row or column, and the two concatenations.
//
// Every routine works in place on the left operand (the evaluator's
// workspace), which keeps its kind word. A shape failure raises the operator's
// character before either operand changes. What each operator does to one
// pair of elements is defined in ScalarOps.h. Integer results that leave the
// 32-bit range raise "integer overflow", and integer division by zero raises
// "division by zero", both before anything changes. The operator is
// dispatched once per call, so each per-element loop is a plain loop over a
// small inline functor that the compiler can vectorise.
#include "core/Errors.h"
#include "core/Interrupt.h"
#include "core/MathMatrix.h"
#include "core/OperatorCodes.h"
#include "core/ScalarOps.h"
#include "core/VectorMath.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vemlor {
namespace {

// Operator character of each elementwise code (code i is character i); the
// digits hold places of codes that are not elementwise operators.
constexpr std::string_view kElementwiseChars = "^1234567*/012_45+-u";

using ops::kIsInt;

template <class T> using Plus = ops::Plus<T>;
template <class T> using Minus = ops::Minus<T>;
template <class T> using Times = ops::Times<T>;
template <class T> using Divide = ops::Divide<T>;
template <class T> using FloorQuotient = ops::FloorQuotient<T>;
template <class T> using Remainder = ops::Remainder<T>;
template <class T> using Power = ops::Power<T>;
template <class T> using LogicalAnd = ops::LogicalAnd<T>;
template <class T> using LogicalOr = ops::LogicalOr<T>;
template <class T> using LogicalXor = ops::LogicalXor<T>;

template <class T> struct Bitwise {
    int code;
    T operator()(T a, T b) const { return T(ops::bitwise(code, a, b)); }
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
template <class T> void checkDivisors(const MathMatrix<T>& l, const MathMatrix<T>& r, int opCode) {
    if constexpr (kIsInt<T>) {
        if (anyPair(l, r, [opCode](int a, int b) { return ops::divisionRefused(opCode, a, b); }))
            raiseRuntime("division by zero");
    }
}

// Integer results must fit 32 bits: every pair is tried before anything is
// stored, so a refused operation leaves both operands as they were.
template <class T, class Op>
void checkOverflow(const MathMatrix<T>& l, const MathMatrix<T>& r, Op op) {
    if constexpr (kIsInt<T> && std::is_same_v<decltype(op(0, 0)), long long>) {
        if (anyPair(l, r, [op](int a, int b) { return !ops::fitsInt(op(a, b)); }))
            raiseRuntime("integer overflow");
    }
}

// out[i] = a[i] op y; out may be a.
template <class T, class Op> void applyScalarRight(const T* a, T y, T* out, int n, Op op) {
    inInterruptibleBlocks(n, [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            out[i] = T(op(a[i], y));
    });
}

// Powers of many numbers to one exponent go to the array kernel of pow
// (squares and square roots keep their own faster way, see Power).
void applyScalarRight(const double* a, double y, double* out, int n, Power<double> op) {
    bool vectorised = y != 2.0 && y != 0.5 && n >= kVectorMinimum;
    inInterruptibleBlocks(n, [&](int begin, int end) {
        if (vectorised) vectorised = applyVectorPower(a + begin, y, out + begin, end - begin);
        if (!vectorised)
            for (int i = begin; i < end; ++i)
                out[i] = op(a[i], y);
    });
}

template <class T, class Op> void applyPairwise(T* a, const T* b, int n, Op op) {
    inInterruptibleBlocks(n, [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            a[i] = T(op(a[i], b[i]));
    });
}

template <class T, class Op> void applyScalarLeft(T x, const T* b, T* out, int n, Op op) {
    inInterruptibleBlocks(n, [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            out[i] = T(op(x, b[i]));
    });
}

// The broadcasting combination; the caller has checked broadcastFits.
template <class T, class Op> void combine(MathMatrix<T>& l, const MathMatrix<T>& r, Op op) {
    checkOverflow(l, r, op);
    if (r.n == 1) {
        applyScalarRight(l.data(), r[0], l.data(), l.n, op);
        return;
    }
    if (l.n == 1) {
        T x = l[0]; // resizing may free the buffer x lives in
        l.setShapeKind(r.n, r.nrow, l.kind);
        applyScalarLeft(x, r.data(), l.data(), l.n, op);
        return;
    }
    applyPairwise(l.data(), r.data(), l.n, op);
}

template <class T> void combineBitwise(MathMatrix<T>& l, const MathMatrix<T>& r, int opCode) {
    if constexpr (std::is_same_v<T, complexd>) {
        raiseRuntime("bitwise operator applied to a complex value");
    } else {
        combine(l, r, Bitwise<T>{opCode});
    }
}

// The overflow check of addVector, over the pairs it will combine; a shape
// it cannot combine is left for addVector to refuse.
template <class Op>
void refuseVectorOverflow(const MathMatrix<int>& l, const MathMatrix<int>& r, Op op) {
    int rows = l.nrow;
    auto partner = [&](int i) -> int {
        if (r.n == l.n && r.nrow == l.nrow) return r[i];
        if (r.nrow == rows && r.n == rows) return r[i % rows];
        return r[i / rows];
    };
    bool fits = (r.n == l.n && r.nrow == l.nrow) || (r.nrow == rows && r.n == rows) ||
                (r.nrow == 1 && r.n == l.ncol());
    if (!fits) return;
    for (int i = 0; i < l.n; ++i)
        if (!ops::fitsInt(op(l[i], partner(i)))) raiseRuntime("integer overflow");
}

// Adds (or with Minus subtracts) a column vector to every column or a row
// vector to every row; the same shape combines element by element.
template <class T, class Op> void addVector(MathMatrix<T>& l, const MathMatrix<T>& r, Op op) {
    if constexpr (kIsInt<T>) refuseVectorOverflow(l, r, op);
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
            applyScalarRight(a + long(j) * rows, b[j], a + long(j) * rows, rows, op);
    } else {
        raiseIncompatible('@');
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
        raiseBug("BUG: elementwise operation of unknown operator code " + std::to_string(opCode));
    char c = kElementwiseChars[size_t(opCode)];
    if (c >= '0' && c <= '9') raiseIncompatible(c);
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
        raiseIncompatible(c);
    }
}

// out = l op r in one pass, with the shape and kind word that combining in
// place on a copy of l would leave. out may be r: a broadcast scalar is read
// before out is resized, and otherwise out keeps its size.
template <class T, class Op>
void combineInto(MathMatrix<T>& out, const MathMatrix<T>& l, const MathMatrix<T>& r, Op op) {
    checkOverflow(l, r, op);
    int kindWord = l.kind;
    if (r.n == 1) {
        T y = r[0];
        out.setShapeKind(l.n, l.nrow, kindWord);
        applyScalarRight(l.data(), y, out.data(), out.n, op);
        return;
    }
    const MathMatrix<T>& shape = l.n == 1 ? r : l;
    T x = l.n == 1 ? l[0] : T();
    out.setShapeKind(shape.n, shape.nrow, kindWord);
    const T* b = r.data();
    T* z = out.data();
    if (l.n == 1) {
        applyScalarLeft(x, b, z, out.n, op);
        return;
    }
    const T* a = l.data();
    inInterruptibleBlocks(out.n, [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            z[i] = T(op(a[i], b[i]));
    });
}

} // namespace

// '+' '-' '*' '/' '^' '_' 'u', by numeric operator code.
template <class T> void MathMatrix<T>::elementwise(const MathMatrix<T>& r, int opCode) {
    char c = elementwiseChar(opCode);
    if (!broadcastFits(*this, r)) raiseIncompatible(c);
    checkDivisors(*this, r, opCode);
    withElementwiseOp<T>(c, [&](auto op) { combine(*this, r, op); });
}

template <class T>
void MathMatrix<T>::assignElementwise(const MathMatrix<T>& l, const MathMatrix<T>& r, int opCode) {
    if (&l == this) {
        elementwise(r, opCode);
        return;
    }
    char c = elementwiseChar(opCode);
    if (!broadcastFits(l, r)) raiseIncompatible(c);
    checkDivisors(l, r, opCode);
    withElementwiseOp<T>(c, [&](auto op) { combineInto(*this, l, r, op); });
}

// The logical and bitwise operators (and '^', 'u' when the evaluator routes
// them here). A size mismatch is IncompatibleOperands at 'i'; a code without a function here is an
// evaluator fault.
template <class T> void MathMatrix<T>::scalarFunction(const MathMatrix<T>& r, int opCode) {
    bool known = opCode == OP_BITAND || opCode == OP_BITOR || opCode == OP_BITXOR ||
                 opCode == OP_AND || opCode == OP_OR || opCode == OP_XOR || opCode == OP_POWER ||
                 opCode == OP_MOD;
    if (!known)
        raiseBug("BUG: no logical or bitwise function for operator code " + std::to_string(opCode));
    if (!broadcastFits(*this, r)) raiseIncompatible('i');
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
        checkDivisors(*this, r, OP_POWER);
        combine(*this, r, Power<T>{});
        return;
    case OP_MOD:
        checkDivisors(*this, r, OP_MOD);
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
    if (nrow != r.nrow) raiseIncompatible(',');
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
    if (cols != r.ncol()) raiseIncompatible(';');
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
    template void MathMatrix<T>::assignElementwise(const MathMatrix<T>&, const MathMatrix<T>&,     \
                                                   int);                                           \
    template void MathMatrix<T>::scalarFunction(const MathMatrix<T>&, int);                        \
    template void MathMatrix<T>::vectorAdd(const MathMatrix<T>&, int);                             \
    template void MathMatrix<T>::concatHorizontal(const MathMatrix<T>&);                           \
    template void MathMatrix<T>::concatVertical(const MathMatrix<T>&);

VEMLOR_INSTANTIATE_ARITHMETIC(int)
VEMLOR_INSTANTIATE_ARITHMETIC(double)
VEMLOR_INSTANTIATE_ARITHMETIC(complexd)

#undef VEMLOR_INSTANTIATE_ARITHMETIC

} // namespace vemlor
