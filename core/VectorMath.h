// Elementary functions over whole arrays, several elements per instruction.
//
// The kernels come from the SLEEF library (its 1-ulp functions), opened on
// first use so that starting the program costs nothing when no large vector
// is ever evaluated. Where the library or a wide enough vector unit is
// missing, applyVector answers false and the caller maps the scalar function.
// Results agree with the scalar functions to within an ulp or so (well below
// display precision); NaN, infinities and domain errors give the same values
// (NaN for sqrt of a negative, -inf for log 0, and so on).
#pragma once

namespace vemlor {

enum class VectorFunction : unsigned char {
    None,
    Sin,
    Cos,
    Tan,
    Asin,
    Acos,
    Atan,
    Exp,
    Log,
    Log10,
    Sinh,
    Cosh,
    Tanh,
    Asinh,
    Acosh,
    Atanh,
    Erf,
    Erfc,
    Count
};

// Shorter arrays are mapped one element at a time: the vector kernels win
// only once their set-up is spread over enough elements, and scalars keep
// exactly the values the compiled scalar code computes.
inline constexpr int kVectorMinimum = 16;

// y[i] = f(x[i]) for i < n (x may be y); false when no vector kernel for f
// is available here, in which case y is untouched.
bool applyVector(VectorFunction f, const double* x, double* y, int n);

// z[i] = x[i]^y for i < n (x may be z); false, with z untouched, when no
// vector kernel is available here.
bool applyVectorPower(const double* x, double y, double* z, int n);

// The same for a whole exponent y (3 to 64 either way, -1, -2), correctly
// rounded on every processor (WholePowers.cpp); false for any other y.
bool applyWholePower(const double* x, double y, double* z, int n);

} // namespace vemlor
