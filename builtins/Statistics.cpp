// Statistics of columns and sums: reductions of each column to one number
// (sums, products, moments, extremes, norms), running sums and differences,
// and the sums of rows, of columns and of a range of elements.
//
// A reduction receives each column of a matrix, or the whole of a vector, as
// a contiguous run of doubles; an empty run gives the value of the empty sum
// or product where one exists and NaN otherwise. Results that are sums or
// differences are plain numbers (kind 0, 3-D arrays stay 3-D). `sum`
// (x [, first [, last]]) adds the elements of x, or those from position
// `first` to `last` (default: the last element); an empty range sums to 0;
// it keeps x's number class, and integer sums that leave the integer range
// raise "integer overflow" rather than wrap.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <type_traits>

namespace vemlor {

namespace {

using namespace detail;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double elsum(const double* x, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += x[i];
    return sum;
}

double sumsq(const double* x, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += x[i] * x[i];
    return sum;
}

double mean(const double* x, int n) {
    return n > 0 ? elsum(x, n) / n : kNaN;
}

// Population variance, divisor n. Rounding can make sumsq/n - mean^2 dip
// below zero for a constant column; a variance is never negative.
double variance(const double* x, int n) {
    if (n == 0) return kNaN;
    double m = elsum(x, n) / n;
    double v = sumsq(x, n) / n - m * m;
    return v < 0 ? 0.0 : v;
}

double stdev(const double* x, int n) {
    return std::sqrt(variance(x, n));
}

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

double range(const double* x, int n) {
    return maximum(x, n) - minimum(x, n);
}

double product(const double* x, int n) {
    double p = 1;
    for (int i = 0; i < n; ++i)
        p *= x[i];
    return p;
}

// Integral of the samples by the trapezoidal rule with unit spacing.
double binteg(const double* x, int n) {
    if (n < 2) return 0.0;
    return elsum(x, n) - 0.5 * (x[0] + x[n - 1]);
}

double lastElement(const double* x, int n) {
    return n > 0 ? x[n - 1] : kNaN;
}

// Euclidean norm, scaled so that large or tiny elements neither overflow
// nor underflow in the squares.
double norm(const double* x, int n) {
    double scale = 0;
    for (int i = 0; i < n; ++i)
        scale = std::max(scale, std::fabs(x[i]));
    if (scale == 0 || std::isinf(scale)) return scale;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        double r = x[i] / scale;
        sum += r * r;
    }
    return scale * std::sqrt(sum);
}

// Kind of a result computed from the numbers of `source`.
int arithmeticKind(const Value& source) {
    return source.is3D() ? source.kind : KIND_NUMERIC;
}

// Runs of a vector (one run) or the columns of a matrix: how many, how long.
struct Runs {
    int count;
    int length;
};

Runs columnRuns(const Value& v) {
    if (v.isVector()) return {v.n ? 1 : 0, v.n};
    return {v.ncol(), v.nrow};
}

void cumsum(BuiltinContext&, const Value& v, DoubleValue& out) {
    Runs runs = columnRuns(v);
    DoubleValue source(v); // the argument may be the result slot itself
    out.setShapeKind(v.n, v.nrow, arithmeticKind(v));
    for (int c = 0; c < runs.count; ++c) {
        double sum = 0.0;
        for (int r = 0; r < runs.length; ++r) {
            int i = c * runs.length + r;
            sum += source[i];
            out[i] = sum;
        }
    }
}

// Differences of neighbours: a vector gives n - 1 of them in its own
// orientation, a matrix one row fewer.
void diff(BuiltinContext&, const Value& v, DoubleValue& out) {
    DoubleValue source(v);
    if (v.n <= 1) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    if (v.isVector()) {
        int count = v.n - 1;
        out.setShapeKind(count, v.nrow == 1 ? 1 : count, KIND_NUMERIC);
        for (int i = 0; i < count; ++i)
            out[i] = source[i + 1] - source[i];
        return;
    }
    int rows = v.nrow - 1, cols = v.ncol();
    out.setShapeKind(rows * cols, rows, KIND_NUMERIC);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            out[c * rows + r] = source[c * v.nrow + r + 1] - source[c * v.nrow + r];
}

// Sums of the columns as a row (a row vector's columns are its elements).
void colsums(BuiltinContext&, const Value& v, DoubleValue& out) {
    DoubleValue source(v);
    int rows = v.nrow, cols = v.ncol();
    out.setShapeKind(cols, cols ? 1 : 0, KIND_NUMERIC);
    for (int c = 0; c < cols; ++c) {
        double sum = 0.0;
        for (int r = 0; r < rows; ++r)
            sum += source[c * rows + r];
        out[c] = sum;
    }
}

// Sums of the rows as a column.
void rowsums(BuiltinContext&, const Value& v, DoubleValue& out) {
    DoubleValue source(v);
    int rows = v.nrow, cols = v.ncol();
    out.setShapeKind(rows, rows, KIND_NUMERIC);
    for (int r = 0; r < rows; ++r) {
        double sum = 0.0;
        for (int c = 0; c < cols; ++c)
            sum += source[c * rows + r];
        out[r] = sum;
    }
}

struct Range {
    int first;
    int end; // one past the last element
};

Range sumRange(const Value& x, std::span<const Value* const> arguments) {
    Range range{0, x.n};
    if (arguments.size() > 1) {
        int first = wholeScalarOf(*arguments[1], "sum", "invalid range");
        check(first >= 1, "sum", "invalid range");
        range.first = first - 1;
    }
    if (arguments.size() > 2) {
        int last = wholeScalarOf(*arguments[2], "sum", "invalid range");
        check(last <= x.n, "sum", "invalid range");
        range.end = last;
    }
    check(range.first <= x.n, "sum", "invalid range");
    if (range.end < range.first) range.end = range.first;
    return range;
}

void sum(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    const Value& x = *arguments[0];
    check(x.type() != LIST_VAL, "sum", "argument must not be a list");
    Range range = sumRange(x, arguments);
    visitNumbers(x, [&](const auto& m) {
        using M = std::remove_cvref_t<decltype(m)>;
        using T = typename M::element_type;
        using Accumulator = std::conditional_t<std::is_same_v<T, int>, long long, T>;
        Accumulator total{};
        for (int i = range.first; i < range.end; ++i)
            total += m[i];
        if constexpr (std::is_same_v<T, int>) {
            if (total < INT_MIN || total > INT_MAX) raiseRuntime("integer overflow");
            resultAs<M>(outputs[0]).assignScalarInt(int(total));
        } else {
            M& out = resultAs<M>(outputs[0]);
            out.setShapeKind(1, 1, KIND_NUMERIC);
            out[0] = total;
        }
    });
}

} // namespace

std::span<const BuiltinDefinition> statisticsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("mean", mean),
        defineBuiltin("sumsq", sumsq),
        defineBuiltin("variance", variance),
        defineBuiltin("stdev", stdev),
        defineBuiltin("elsum", elsum),
        defineBuiltin("min", minimum),
        defineBuiltin("max", maximum),
        defineBuiltin("range", range),
        defineBuiltin("prod", product),
        defineBuiltin("binteg", binteg),
        defineBuiltin("lastElement", lastElement),
        defineBuiltin("norm", norm),
        defineBuiltin("cumsum", cumsum),
        defineBuiltin("diff", diff),
        defineBuiltin("colsums", colsums),
        defineBuiltin("rowsums", rowsums),
        defineBuiltin("sum", sum, kSameAsFirstArgument, 1, 3),
    };
    return table;
}

} // namespace vemlor
