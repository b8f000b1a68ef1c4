// The meaning of every elementwise operator on one pair of elements.
//
// This is the only place where an operator's arithmetic is written: the
// matrix kernels apply these functors element by element, and the scalar
// paths of the evaluator (the tree's one-by-one case and the compiled scalar
// form) call the same functors on plain numbers. Integer operators compute in
// 64 bits and hand the wide result back; whoever stores it checks it with
// fitsInt and raises "integer overflow" when it leaves the 32-bit range, so
// no integer ever wraps silently. Integer division by zero and 0 to a negative
// power are refused by the callers before they compute (see divisionRefused).
#pragma once

#include "core/OperatorCodes.h"

#include <climits>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <type_traits>

namespace vemlor {

using complexd = std::complex<double>;

namespace ops {

template <class T> constexpr bool kIsInt = std::is_same_v<T, int>;

// The result type of an arithmetic operator: 64-bit for integers.
template <class T> using Wide = std::conditional_t<kIsInt<T>, long long, T>;

inline bool fitsInt(long long x) {
    return x >= INT_MIN && x <= INT_MAX;
}

// Whether an integer operator must refuse the pair with "division by zero".
inline bool divisionRefused(int code, int a, int b) {
    switch (code) {
    case OP_DIVIDE:
    case OP_INT_DIVIDE:
    case OP_MOD:
        return b == 0;
    case OP_POWER:
        return a == 0 && b < 0;
    default:
        return false;
    }
}

// a to the power b by repeated squaring in 64 bits; a result beyond the
// 32-bit range comes back as some value beyond it (the exact number does not
// matter, it is refused). A negative exponent gives 1 / a^|b| truncated as in
// C: 1 for a == 1, +-1 for a == -1, 0 for |a| >= 2.
inline long long intPower(int a, int b) {
    if (b < 0) {
        if (a == 1) return 1;
        if (a == -1) return (b & 1) ? -1 : 1;
        return 0;
    }
    constexpr long long kBeyond = 1LL << 32;
    long long result = 1, base = a;
    for (unsigned e = unsigned(b); e != 0; e >>= 1) {
        if (e & 1u) {
            result *= base;
            if (!fitsInt(result)) return result > 0 ? kBeyond : -kBeyond;
        }
        if (e > 1) {
            if (std::llabs(base) > 46341)
                base = kBeyond; // its square leaves the range
            else
                base *= base;
        }
    }
    return result;
}

// Complex power. Whole real exponents use repeated squaring, so that
// (1+1i)^2 is exactly 2i and 0^0 is 1; anything else is exp(b log a).
inline complexd complexPower(complexd a, complexd b) {
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

// fmod, computed on whole numbers as integers (several times faster), zero
// keeping the dividend's sign as fmod gives it. NaN fails every range test.
inline double remainder(double a, double b) {
    constexpr double kInt32 = 2147483647.0, kExact = 9007199254740992.0; // 2^31 - 1, 2^53
    double r;
    if (std::fabs(a) < kInt32 && std::fabs(b) < kInt32) {
        int ia = int(a), ib = int(b); // a 32-bit division is the quicker one
        if (ia != a || ib != b || ib == 0) return std::fmod(a, b);
        r = ia % ib;
    } else if (std::fabs(a) < kExact && std::fabs(b) < kExact) {
        auto ia = static_cast<long long>(a), ib = static_cast<long long>(b);
        if (double(ia) != a || double(ib) != b || ib == 0) return std::fmod(a, b);
        r = double(ia % ib);
    } else {
        return std::fmod(a, b);
    }
    return r == 0 ? std::copysign(0.0, a) : r;
}

// Whole-number quotient and remainder of complex numbers, componentwise so
// that on the real axis they agree with floor(a / b) and fmod(a, b).
inline complexd complexFloorQuotient(complexd a, complexd b) {
    complexd q = a / b;
    return {std::floor(q.real()), std::floor(q.imag())};
}
inline complexd complexRemainder(complexd a, complexd b) {
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
    Wide<T> operator()(T a, T b) const { return Wide<T>(a) + b; }
};
template <class T> struct Minus {
    Wide<T> operator()(T a, T b) const { return Wide<T>(a) - b; }
};
template <class T> struct Times {
    Wide<T> operator()(T a, T b) const { return Wide<T>(a) * b; }
};
// Integers truncate (the divisor is never 0 here); INT_MIN / -1 leaves the
// range and is refused by the caller's check.
template <class T> struct Divide {
    Wide<T> operator()(T a, T b) const { return Wide<T>(a) / b; }
};
template <class T> struct FloorQuotient {
    Wide<T> operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return (long long)a / b;
        else if constexpr (std::is_same_v<T, double>)
            return std::floor(a / b);
        else
            return complexFloorQuotient(a, b);
    }
};
template <class T> struct Remainder {
    Wide<T> operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return b == -1 ? 0 : a % b;
        else if constexpr (std::is_same_v<T, double>)
            return remainder(a, b);
        else
            return complexRemainder(a, b);
    }
};
// a^0.5 as a square root: correctly rounded and several times sooner than
// pow, with pow's values where the two differ (+0 for -0, +inf for -inf).
inline double squareRootPower(double a) {
    if (a == 0) return 0.0;
    if (std::isinf(a)) return HUGE_VAL;
    return std::sqrt(a);
}

template <class T> struct Power {
    Wide<T> operator()(T a, T b) const {
        if constexpr (kIsInt<T>)
            return intPower(a, b);
        else if constexpr (std::is_same_v<T, double>)
            return b == 2.0 ? a * a : b == 0.5 ? squareRootPower(a) : std::pow(a, b);
        else
            return complexPower(a, b);
    }
};

// Bitwise operators of the integer parts; complex values have none.
template <class T> int bitwise(int code, T a, T b) {
    int x, y;
    if constexpr (kIsInt<T>) {
        x = a;
        y = b;
    } else {
        x = truncToInt(a);
        y = truncToInt(b);
    }
    switch (code) {
    case OP_BITAND:
        return x & y;
    case OP_BITOR:
        return x | y;
    default:
        return x ^ y;
    }
}

// Logical operators: 1 or 0 from the truth (nonzero) of both operands.
template <class T> struct LogicalAnd {
    T operator()(T a, T b) const { return T(int(a != T(0)) & int(b != T(0))); }
};
template <class T> struct LogicalOr {
    T operator()(T a, T b) const { return T(int(a != T(0)) | int(b != T(0))); }
};
template <class T> struct LogicalXor {
    T operator()(T a, T b) const { return T((a != T(0)) != (b != T(0))); }
};

// The comparisons. Complex numbers are ordered by their real parts (equality
// compares whole numbers).
template <class T> auto orderKey(const T& x) {
    if constexpr (std::is_same_v<T, complexd>)
        return x.real();
    else
        return x;
}
struct Less {
    template <class T> bool operator()(const T& a, const T& b) const {
        return orderKey(a) < orderKey(b);
    }
};
struct LessEqual {
    template <class T> bool operator()(const T& a, const T& b) const {
        return orderKey(a) <= orderKey(b);
    }
};
struct Greater {
    template <class T> bool operator()(const T& a, const T& b) const {
        return orderKey(a) > orderKey(b);
    }
};
struct GreaterEqual {
    template <class T> bool operator()(const T& a, const T& b) const {
        return orderKey(a) >= orderKey(b);
    }
};
struct Equal {
    template <class T> bool operator()(const T& a, const T& b) const { return a == b; }
};
struct NotEqual {
    template <class T> bool operator()(const T& a, const T& b) const { return a != b; }
};

// Whether a scalar condition holds: its value truncated toward zero is not 0.
inline bool conditionHolds(double x) {
    return std::trunc(x) != 0.0;
}

// a op b for one of the operators that combine plain numbers into a plain
// number (+ - * / ^ \ mod), on doubles.
inline double arithmetic(int code, double a, double b) {
    switch (code) {
    case OP_PLUS:
        return a + b;
    case OP_MINUS:
        return a - b;
    case OP_TIMES:
        return a * b;
    case OP_DIVIDE:
        return a / b;
    case OP_POWER:
        return Power<double>{}(a, b);
    case OP_INT_DIVIDE:
        return FloorQuotient<double>{}(a, b);
    default:
        return remainder(a, b);
    }
}

// The same on integers, wide; the caller has checked divisionRefused.
inline long long arithmetic(int code, int a, int b) {
    switch (code) {
    case OP_PLUS:
        return Plus<int>{}(a, b);
    case OP_MINUS:
        return Minus<int>{}(a, b);
    case OP_TIMES:
        return Times<int>{}(a, b);
    case OP_DIVIDE:
        return Divide<int>{}(a, b);
    case OP_POWER:
        return Power<int>{}(a, b);
    case OP_INT_DIVIDE:
        return FloorQuotient<int>{}(a, b);
    default:
        return Remainder<int>{}(a, b);
    }
}

// Whether a code combines plain numbers into a plain number.
inline bool isArithmetic(int code) {
    return code == OP_PLUS || code == OP_MINUS || code == OP_TIMES || code == OP_DIVIDE ||
           code == OP_POWER || code == OP_INT_DIVIDE || code == OP_MOD;
}

} // namespace ops
} // namespace vemlor
