// Family 7: built-ins of one or two arguments, and the table of the family
// (whose first ten rows are functors that end in family 8).
//
// This file holds the shape built-ins: `diag` (a vector onto the k-th
// diagonal of a square matrix, or the k-th diagonal of a matrix as a column;
// k > 0 above the main diagonal), `reshape` (the same elements in a new
// shape: a scalar r means r rows, [r c] and [r c p] as for zeros; no second
// argument means one column), `sort` and `swaprows`. Results are built
// aside and then moved into the result slot, so an argument that is the slot
// itself is read intact. `swaprows` changes its first argument in place.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/TwoArgHandlers.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numeric>
#include <type_traits>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

template <class M> using Plain = std::remove_cvref_t<M>;

template <class M> void diagonalMatrix(const M& v, int k, M& built) {
    int size = v.n + std::abs(k);
    built.setShapeKind(size * size, size, KIND_NUMERIC);
    std::fill(built.data(), built.data() + built.n, typename M::element_type{});
    int rowShift = k < 0 ? -k : 0, colShift = k > 0 ? k : 0;
    for (int i = 0; i < v.n; ++i)
        built[(i + colShift) * size + i + rowShift] = v[i];
}

template <class M> void diagonalOf(const M& m, int k, M& built) {
    int rows = m.nrow, cols = m.ncol();
    int firstRow = k < 0 ? -k : 0, firstCol = k > 0 ? k : 0;
    int count = std::max(0, std::min(rows - firstRow, cols - firstCol));
    built.setShapeKind(count, count, KIND_NUMERIC);
    for (int i = 0; i < count; ++i)
        built[i] = m[(firstCol + i) * rows + firstRow + i];
}

void diag(BuiltinContext&, const Value& x, const Value* offset, ValuePtr& result) {
    int k = offset ? wholeScalarOf(*offset, "diag", "invalid diagonal number") : 0;
    check(std::abs(double(k)) < 46340, "diag", "invalid diagonal number");
    visitNumbers(x, [&](const auto& m) {
        Plain<decltype(m)> built;
        if (m.isVector()) {
            check(double(m.n) + std::abs(k) < 46341, "diag", "matrix too large");
            diagonalMatrix(m, k, built);
        } else {
            diagonalOf(m, k, built);
        }
        resultAs<Plain<decltype(m)>>(result).takeFrom(built);
    });
}

void reshape(BuiltinContext&, const Value& x, const Value* shapeArgument, ValuePtr& result) {
    Shape shape{x.n, x.n ? 1 : 0, 1};
    if (shapeArgument && shapeArgument->n == 1) {
        int rows = wholeScalarOf(*shapeArgument, "reshape", "invalid shape argument");
        check(rows > 0 && x.n % rows == 0, "reshape", "number of elements must not change");
        shape = Shape{rows, x.n / rows, 1};
    } else if (shapeArgument) {
        shape = detail::shapeArgument(*shapeArgument, "reshape");
    }
    check(shape.count() == x.n, "reshape", "number of elements must not change");
    int kind = shape.pages > 1 ? kind3D(shape.pages) : x.is3D() ? KIND_NUMERIC : x.kind;
    visitNumbers(x, [&](const auto& m) {
        Plain<decltype(m)> built;
        built.setShapeKind(m.n, shape.rows, kind);
        std::copy(m.data(), m.data() + m.n, built.data());
        resultAs<Plain<decltype(m)>>(result).takeFrom(built);
    });
}

// Rows reordered (stably) so that column `column` ascends.
template <class M> void sortRowsBy(const M& m, int column, M& built) {
    int rows = m.nrow, cols = m.ncol();
    std::vector<int> order(static_cast<size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    const auto* key = m.data() + size_t(column) * rows;
    std::stable_sort(order.begin(), order.end(),
                     [key](int a, int b) { return orderedLess(key[a], key[b]); });
    built.setShapeKind(m.n, rows, m.kind);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            built[c * rows + r] = m[c * rows + order[size_t(r)]];
}

void sort(BuiltinContext&, const Value& x, const Value* column, ValuePtr& result) {
    check(x.type() == INTEGER_VAL || x.type() == DOUBLE_VAL, "sort", "invalid return type");
    int c = -1;
    if (column) {
        double d = scalarOf(*column, "sort", "invalid column number (not a scalar)");
        check(d >= 1 && d <= x.ncol() && d == std::floor(d), "sort",
              "invalid column number (out of range)");
        c = int(d) - 1;
    }
    visitReal(x, [&](const auto& m) {
        Plain<decltype(m)> built;
        if (c >= 0) {
            sortRowsBy(m, c, built);
        } else {
            built.copyFrom(m);
            std::sort(built.data(), built.data() + built.n,
                      [](double a, double b) { return orderedLess(a, b); });
        }
        resultAs<Plain<decltype(m)>>(result).takeFrom(built);
    });
}

// Every pair is checked before the first exchange, so a bad pair leaves M
// as it was.
void swaprows(BuiltinContext&, const Value& matrix, const Value* pairs, ValuePtr& result) {
    check(pairs != nullptr && pairs->nrow == 2, "swaprows", "requires 2 rows of numbers");
    int rows = matrix.nrow, cols = matrix.ncol();
    for (int i = 0; i < pairs->n; ++i) {
        double r = numberAt(*pairs, i);
        check(r >= 1 && r <= rows && r == std::floor(r), "swaprows", "invalid row numbers");
    }
    Value& target = const_cast<Value&>(matrix);
    visitNumbers(target, [&](const auto& constM) {
        auto& m = const_cast<Plain<decltype(constM)>&>(constM);
        for (int k = 0; k + 1 < pairs->n; k += 2) {
            int a = int(numberAt(*pairs, k)) - 1, b = int(numberAt(*pairs, k + 1)) - 1;
            for (int c = 0; c < cols; ++c)
                std::swap(m[c * rows + a], m[c * rows + b]);
        }
    });
    IntValue& out = resultAs<IntValue>(result);
    out.assignScalarInt(1);
    out.kind = KIND_BOOL;
}

template <const char* Name>
void unavailable(BuiltinContext&, const Value&, const Value*, ValuePtr&) {
    notYetAvailable(Name);
}

template <const char* Name>
void unavailableFunctor(BuiltinContext&, const Value&, const Value&, DoubleValue&) {
    notYetAvailable(Name);
}

constexpr char kInterp[] = "interp";
constexpr char kQfind[] = "qfind";
constexpr char kLinterp[] = "linterp";
constexpr char kDragable[] = "dragable";
constexpr char kPush[] = "push";
constexpr char kReplotMove[] = "replot_move";
constexpr char kFopen[] = "fopen";
constexpr char kFread[] = "fread";
constexpr char kFwrite[] = "fwrite";
constexpr char kSolve[] = "solve";
constexpr char kSmooth[] = "smooth";
constexpr char kCircle[] = "circle";
constexpr char kGetpixel[] = "getpixel";
constexpr char kLoadBitmap[] = "loadBitmap";

const void* entry(handler::OneOrTwo h) {
    return reinterpret_cast<const void*>(h);
}
const void* entry(handler::Functor h) {
    return reinterpret_cast<const void*>(h);
}

constexpr int kSame = kSameAsFirstArgument;

} // namespace

std::span<const BuiltinDefinition> twoArgTable() {
    static const std::array<BuiltinDefinition, 37> table = {{
        {"poly", entry(polyFunctor)},
        {"poisson", entry(poissonFunctor)},
        {"bnc", entry(binomialCoefficientFunctor)},
        {"interp", entry(unavailableFunctor<kInterp>)},
        {"qfind", entry(unavailableFunctor<kQfind>)},
        {"gauss", entry(gaussFunctor)},
        {"lor", entry(lorentzFunctor)},
        {"besselj", entry(besselFunctor)},
        {"linterp", entry(unavailableFunctor<kLinterp>)},
        {"binomial", entry(binomialFunctor)},
        {"diag", entry(diag), kSame},
        {"reshape", entry(reshape), kSame},
        {"dragable", entry(unavailable<kDragable>)},
        {"str", entry(strHandler), INTEGER_VAL},
        {"push", entry(unavailable<kPush>), kSame},
        {"replot_move", entry(unavailable<kReplotMove>)},
        {"sort", entry(sort), kSame},
        {"issubset", entry(issubsetHandler), INTEGER_VAL},
        {"intersect", entry(intersectHandler)},
        {"union", entry(unionHandler)},
        {"setminus", entry(setminusHandler)},
        {"setxor", entry(setxorHandler)},
        {"fopen", entry(unavailable<kFopen>), INTEGER_VAL},
        {"fread", entry(unavailable<kFread>), INTEGER_VAL},
        {"fwrite", entry(unavailable<kFwrite>), INTEGER_VAL},
        {"swaprows", entry(swaprows), INTEGER_VAL},
        {"solve", entry(unavailable<kSolve>)},
        {"strfind", entry(strfindHandler), INTEGER_VAL},
        {"findstr", entry(strfindHandler), INTEGER_VAL},
        {"str2num", entry(str2numHandler)},
        {"before", entry(beforeHandler), INTEGER_VAL},
        {"error", entry(errorHandler)},
        {"smooth", entry(unavailable<kSmooth>)},
        {"circle", entry(unavailable<kCircle>)},
        {"getpixel", entry(unavailable<kGetpixel>)},
        {"loadBitmap", entry(unavailable<kLoadBitmap>)},
        {"binary", entry(binaryHandler), INTEGER_VAL},
    }};
    return table;
}

} // namespace vemlor
