// Matrices as a whole: diagonals, new shapes, row exchanges and the trace.
//
// `diag` puts a vector onto the k-th diagonal of a square matrix, or takes
// the k-th diagonal of a matrix as a column (k > 0 above the main
// diagonal); `cdiag` does the same for complex results. `reshape` gives the
// same elements a new shape: a scalar r means r rows, [r c] and [r c p] as
// for zeros; no second argument means one column. Results are built aside
// and then moved into the result slot, so an argument that is the slot
// itself is read intact. `swaprows` changes its first argument in place.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

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

// diag for complex results: a vector onto the diagonal of a square matrix,
// or the diagonal of a matrix as a column.
void cdiag(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    const Value& x = *arguments[0];
    check(x.type() != LIST_VAL, "cdiag", "argument must be a matrix");
    ComplexValue source;
    source.assignConverted(x);
    ComplexValue built;
    if (source.isVector()) {
        int size = source.n;
        check(size < 46341, "cdiag", "matrix too large");
        built.setShapeKind(size * size, size, KIND_NUMERIC);
        std::fill(built.data(), built.data() + built.n, complexd{});
        for (int i = 0; i < size; ++i)
            built[i * size + i] = source[i];
    } else {
        int count = std::min(source.nrow, source.ncol());
        built.setShapeKind(count, count, KIND_NUMERIC);
        for (int i = 0; i < count; ++i)
            built[i] = source[i * source.nrow + i];
    }
    resultAs<ComplexValue>(outputs[0]).takeFrom(built);
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

template <class T> double diagonalSum(const MathMatrix<T>& m) {
    int rows = m.nrow, cols = m.ncol();
    double sum = 0;
    for (int k = 0; k < rows && k < cols; ++k)
        sum += double(m[k * rows + k]);
    return sum;
}

// Sum of the main diagonal; a non-square matrix sums min(rows, cols) terms.
double trace(BuiltinContext&, const Value& m) {
    switch (m.type()) {
    case INTEGER_VAL:
        return diagonalSum(static_cast<const IntValue&>(m));
    case DOUBLE_VAL:
        return diagonalSum(static_cast<const DoubleValue&>(m));
    default:
        raiseRuntime("trace", "illegal argument type");
    }
}

} // namespace

std::span<const BuiltinDefinition> matricesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("diag", diag, kSameAsFirstArgument),
        defineBuiltin("cdiag", cdiag, COMPLEX_VAL, 1, 1),
        defineBuiltin("reshape", reshape, kSameAsFirstArgument),
        defineBuiltin("swaprows", swaprows, INTEGER_VAL),
        defineBuiltin("trace", trace),
    };
    return table;
}

} // namespace vemlor
