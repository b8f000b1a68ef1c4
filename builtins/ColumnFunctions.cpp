// Family 4 variant 1: reductions of one column to a double (statistics,
// extremes, products, norms). The calling element hands each column of a
// matrix, or the whole of a vector, as a contiguous run of doubles; an empty
// run gives the value of the empty sum or product where one exists and NaN
// otherwise.
//
// The first three rows (numeric_limits, trace, grindex) end in family 5
// variant 1 and therefore carry whole-value handlers.
#include "builtins/FamilyTables.h"

#include "core/Errors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace vemlor {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- whole value -> double (retagged to family 5) -----------------------

struct LimitKey {
    std::string_view key;
    int code;
};

constexpr std::array<LimitKey, 11> kLimitKeys = {{{"min", 1},
                                                  {"max", 2},
                                                  {"dmin", 3},
                                                  {"dmax", 4},
                                                  {"eps", 5},
                                                  {"mine", 6},
                                                  {"maxe", 7},
                                                  {"mini", 8},
                                                  {"maxi", 9},
                                                  {"int", 9},
                                                  {"bits", 10}}};

std::string stringText(const Value& v) {
    std::string text;
    const auto& codes = static_cast<const IntValue&>(v);
    for (int i = 0; i < v.n; ++i) text.push_back(char(codes[i]));
    return text;
}

// Values by code: 1/2 the smallest positive normal and the largest double,
// 3 the smallest subnormal, 4 the largest double below which every integer
// is exact (2^53), 5 the machine epsilon, 6/7 the binary exponent range,
// 8/9 the integer range, 10 the bits of a double's significand.
double limitValue(int code) {
    using D = std::numeric_limits<double>;
    switch (code) {
    case 1: return D::min();
    case 2: return D::max();
    case 3: return D::denorm_min();
    case 4: return 9007199254740992.0;
    case 5: return D::epsilon();
    case 6: return D::min_exponent;
    case 7: return D::max_exponent;
    case 8: return std::numeric_limits<int>::min();
    case 9: return std::numeric_limits<int>::max();
    default: return D::digits;
    }
}

double numericLimits(BuiltinContext&, const Value& key) {
    if (key.type() == INTEGER_VAL && key.isString()) {
        std::string text = stringText(key);
        for (const LimitKey& entry : kLimitKeys)
            if (entry.key == text) return limitValue(entry.code);
    }
    raiseRuntime("numeric_limits", "unrecognised string parameter");
}

template <class T> double diagonalSum(const MathMatrix<T>& m) {
    int rows = m.nrow, cols = m.ncol();
    double sum = 0;
    for (int k = 0; k < rows && k < cols; ++k) sum += double(m[k * rows + k]);
    return sum;
}

// Sum of the main diagonal; a non-square matrix sums min(rows, cols) terms.
double trace(BuiltinContext&, const Value& m) {
    switch (m.type()) {
    case INTEGER_VAL: return diagonalSum(static_cast<const IntValue&>(m));
    case DOUBLE_VAL: return diagonalSum(static_cast<const DoubleValue&>(m));
    default: raiseRuntime("trace", "illegal argument type");
    }
}

// The graphics index belongs to the figure code.
double grindex(BuiltinContext&, const Value&) { notYetAvailable("grindex"); }

// ---- column -> double ---------------------------------------------------

double elsum(const double* x, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += x[i];
    return sum;
}

double sumsq(const double* x, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += x[i] * x[i];
    return sum;
}

double mean(const double* x, int n) { return n > 0 ? elsum(x, n) / n : kNaN; }

// Population variance, divisor n. Rounding can make sumsq/n - mean^2 dip
// below zero for a constant column; a variance is never negative.
double variance(const double* x, int n) {
    if (n == 0) return kNaN;
    double m = elsum(x, n) / n;
    double v = sumsq(x, n) / n - m * m;
    return v < 0 ? 0.0 : v;
}

double stdev(const double* x, int n) { return std::sqrt(variance(x, n)); }

double minimum(const double* x, int n) {
    if (n == 0) return kNaN;
    double best = x[0];
    for (int i = 1; i < n; ++i)
        if (x[i] < best) best = x[i];
    return best;
}

double maximum(const double* x, int n) {
    if (n == 0) return kNaN;
    double best = x[0];
    for (int i = 1; i < n; ++i)
        if (x[i] > best) best = x[i];
    return best;
}

double range(const double* x, int n) { return maximum(x, n) - minimum(x, n); }

double product(const double* x, int n) {
    double p = 1;
    for (int i = 0; i < n; ++i) p *= x[i];
    return p;
}

// Integral of the samples by the trapezoidal rule with unit spacing.
double binteg(const double* x, int n) {
    if (n < 2) return 0.0;
    return elsum(x, n) - 0.5 * (x[0] + x[n - 1]);
}

double lastElement(const double* x, int n) { return n > 0 ? x[n - 1] : kNaN; }

// Euclidean norm, scaled so that large or tiny elements neither overflow
// nor underflow in the squares.
double norm(const double* x, int n) {
    double scale = 0;
    for (int i = 0; i < n; ++i) scale = std::max(scale, std::fabs(x[i]));
    if (scale == 0 || std::isinf(scale)) return scale;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        double r = x[i] / scale;
        sum += r * r;
    }
    return scale * std::sqrt(sum);
}

template <class F> const void* asHandler(F f) { return reinterpret_cast<const void*>(f); }

const BuiltinDefinition kTable[] = {
    {"numeric_limits", asHandler(handler::ValueToDouble(numericLimits))},
    {"trace", asHandler(handler::ValueToDouble(trace))},
    {"grindex", asHandler(handler::ValueToDouble(grindex))},
    {"mean", asHandler(handler::ColumnToDouble(mean))},
    {"sumsq", asHandler(handler::ColumnToDouble(sumsq))},
    {"variance", asHandler(handler::ColumnToDouble(variance))},
    {"stdev", asHandler(handler::ColumnToDouble(stdev))},
    {"elsum", asHandler(handler::ColumnToDouble(elsum))},
    {"min", asHandler(handler::ColumnToDouble(minimum))},
    {"max", asHandler(handler::ColumnToDouble(maximum))},
    {"range", asHandler(handler::ColumnToDouble(range))},
    {"prod", asHandler(handler::ColumnToDouble(product))},
    {"binteg", asHandler(handler::ColumnToDouble(binteg))},
    {"lastElement", asHandler(handler::ColumnToDouble(lastElement))},
    {"norm", asHandler(handler::ColumnToDouble(norm))},
};

} // namespace

std::span<const BuiltinDefinition> columnToDoubleTable() { return kTable; }

} // namespace vemlor
