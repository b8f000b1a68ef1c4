// Family 6 variant 1: one value in, a double value out.
//
// Generators (seq/linspace, zeros, ones, eye, rand, randexp) read their
// argument as a description; the others transform it. Results that are sums
// or differences are plain numbers (kind 0, 3-D arrays stay 3-D); results
// that only move elements keep the argument's kind. A matrix is summed or
// differenced per column; a vector as a whole. Names of later parts
// (figures, stacks, linear algebra, filters) are not available yet.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/Random.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace vemlor {

namespace {

using detail::numberAt;

// Kind of a result computed from the numbers of `source`.
int arithmeticKind(const Value& source) {
    return source.is3D() ? source.kind : KIND_NUMERIC;
}

// seq and linspace share this handler: [n] counts 1 .. n; [a b] steps by 1
// from a toward b (down when b < a), stopping at or before b; [a b n] gives n
// points from a to b, both ends exact (one point is b itself).
void sequence(BuiltinContext&, const Value& v, DoubleValue& out) {
    check(v.n >= 1 && v.n <= 3, "seq", "argument must hold 1 to 3 numbers");
    if (v.n == 1 && !(numberAt(v, 0) >= 1)) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    double a = v.n == 1 ? 1.0 : numberAt(v, 0);
    double b = numberAt(v, v.n == 1 ? 0 : 1);
    check(std::isfinite(a) && std::isfinite(b), "seq", "limits must be finite");
    if (v.n == 3) {
        double points = numberAt(v, 2);
        check(points >= 0 && points <= INT_MAX && points == std::floor(points), "seq",
              "invalid number of points");
        int count = int(points);
        out.setShapeKind(count, count ? 1 : 0, KIND_NUMERIC);
        if (count == 0) return;
        double step = count > 1 ? (b - a) / (count - 1) : 0.0;
        for (int k = 0; k < count - 1; ++k)
            out[k] = a + k * step;
        out[count - 1] = b;
        return;
    }
    double span = std::floor(std::fabs(b - a));
    check(span < INT_MAX, "seq", "matrix too large");
    int count = int(span) + 1;
    double direction = b < a ? -1.0 : 1.0;
    out.setShapeKind(count, 1, KIND_NUMERIC);
    for (int k = 0; k < count; ++k)
        out[k] = a + direction * k;
}

template <class Fill> void shaped(const Value& v, DoubleValue& out, const char* name, Fill fill) {
    detail::applyShape(out, detail::shapeArgument(v, name));
    for (int i = 0; i < out.n; ++i)
        out[i] = fill();
}

void zeros(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "zeros", [] { return 0.0; });
}

void ones(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "ones", [] { return 1.0; });
}

// Every page of a 3-D shape is an identity.
void eye(BuiltinContext&, const Value& v, DoubleValue& out) {
    detail::Shape shape = detail::shapeArgument(v, "eye");
    detail::applyShape(out, shape);
    std::fill(out.data(), out.data() + out.n, 0.0);
    int diagonal = std::min(shape.rows, shape.cols);
    for (int p = 0; p < shape.pages && out.n; ++p)
        for (int i = 0; i < diagonal; ++i)
            out[p * shape.rows * shape.cols + i * shape.rows + i] = 1.0;
}

void rand(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "rand", randomUnit);
}

// Exponential deviates of mean 1 by inversion; the raw value is shifted into
// (0, 1) so that the logarithm stays finite.
void randexp(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "randexp", [] { return -std::log((nextRandom() + 1.0) / (kRandomMax + 2.0)); });
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

void reverse(BuiltinContext&, const Value& v, DoubleValue& out) {
    out.assignConverted(v);
    std::reverse(out.data(), out.data() + out.n);
}

// Each position from the second on is swapped with a uniformly chosen one up
// to it; a matrix has its columns permuted that way.
void shuffle(BuiltinContext&, const Value& v, DoubleValue& out) {
    check(kindCode(v.kind) <= KIND_COMPLEX, "", "incorrect value type for shuffle");
    out.assignConverted(v);
    Runs runs = v.isVector() ? Runs{v.n, 1} : Runs{v.ncol(), v.nrow};
    double* d = out.data();
    for (int i = 1; i < runs.count; ++i) {
        int j = randomBelow(i + 1);
        std::swap_ranges(d + i * runs.length, d + (i + 1) * runs.length, d + j * runs.length);
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

// Sorted ascending without repeats; a row stays a row, anything else gives a
// column. NaN never equals itself, so every NaN is kept, after the numbers.
void unique(BuiltinContext&, const Value& v, DoubleValue& out) {
    bool row = v.nrow == 1;
    int kind = v.is3D() ? KIND_NUMERIC : v.kind;
    out.assignConverted(v);
    double* d = out.data();
    std::sort(d, d + out.n, detail::orderedLess);
    int count = int(std::unique(d, d + out.n) - d);
    out.resizeKeep(count);
    out.nrow = row ? (count ? 1 : 0) : count;
    out.kind = kind;
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

template <const char* Name> void unavailable(BuiltinContext&, const Value&, DoubleValue&) {
    notYetAvailable(Name);
}

constexpr char kErr[] = "err";
constexpr char kDiff2[] = "diff2";
constexpr char kVdiffer[] = "vdiffer";
constexpr char kTop[] = "top";
constexpr char kPop[] = "pop";
constexpr char kGetmouse[] = "getmouse";
constexpr char kSetmouse[] = "setmouse";
constexpr char kGetclick[] = "getclick";
constexpr char kInv[] = "inv";
constexpr char kDet[] = "det";
constexpr char kEigval[] = "eigval";
constexpr char kEigvec[] = "eigvec";
constexpr char kSGfilter[] = "SGfilter";
constexpr char kQpop[] = "qpop";

const void* entry(handler::ValueToDoubleValue h) {
    return reinterpret_cast<const void*>(h);
}

} // namespace

std::span<const BuiltinDefinition> vectorToDoubleTable() {
    static const std::array<BuiltinDefinition, 28> table = {{
        {"seq", entry(sequence)},
        {"linspace", entry(sequence)},
        {"zeros", entry(zeros)},
        {"ones", entry(ones)},
        {"eye", entry(eye)},
        {"rand", entry(rand)},
        {"randexp", entry(randexp)},
        {"err", entry(unavailable<kErr>)},
        {"cumsum", entry(cumsum)},
        {"reverse", entry(reverse)},
        {"shuffle", entry(shuffle)},
        {"diff", entry(diff)},
        {"diff2", entry(unavailable<kDiff2>)},
        {"vdiffer", entry(unavailable<kVdiffer>)},
        {"top", entry(unavailable<kTop>)},
        {"pop", entry(unavailable<kPop>)},
        {"getmouse", entry(unavailable<kGetmouse>)},
        {"setmouse", entry(unavailable<kSetmouse>)},
        {"getclick", entry(unavailable<kGetclick>)},
        {"unique", entry(unique)},
        {"colsums", entry(colsums)},
        {"rowsums", entry(rowsums)},
        {"inv", entry(unavailable<kInv>)},
        {"det", entry(unavailable<kDet>)},
        {"eigval", entry(unavailable<kEigval>)},
        {"eigvec", entry(unavailable<kEigvec>)},
        {"SGfilter", entry(unavailable<kSGfilter>)},
        {"qpop", entry(unavailable<kQpop>)},
    }};
    return table;
}

} // namespace vemlor
