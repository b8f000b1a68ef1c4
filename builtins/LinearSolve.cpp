// Linear systems through the LU form: solve(A, b), inv(A), det(A), and
// setLU(A), which keeps A's LU form in the instance so that solve(b) with
// one argument solves further right-hand sides without factorising again.
//
// Integer matrices count as doubles; complex ones are refused. b is a
// vector of n elements (the result has b's shape) or an n-row matrix of
// right-hand sides (one solution column each). An empty matrix gives an
// empty solution and inverse, and 1 as determinant (the empty product).
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/LuForm.h"

#include <vector>

namespace vemlor {

namespace {

using namespace detail;

// A square real matrix as column-major doubles.
std::vector<double> squareMatrix(const Value& a, const char* name) {
    check((a.type() == INTEGER_VAL && !a.isString()) || a.type() == DOUBLE_VAL, name,
          "matrix must be real");
    check(a.n == 0 || (!a.is3D() && a.nrow * a.nrow == a.n), name, "matrix must be square");
    std::vector<double> elements(size_t(a.n));
    for (int i = 0; i < a.n; ++i)
        elements[size_t(i)] = numberAt(a, i);
    return elements;
}

int orderOf(const Value& a) {
    return a.n == 0 ? 0 : a.nrow;
}

// Solves in place for b's columns (or b as one column when it is a vector
// of n elements) and stores the result with b's shape.
void solveWith(const LuForm& lu, const Value& b, ValuePtr& result) {
    int n = lu.size();
    check((b.type() == INTEGER_VAL && !b.isString()) || b.type() == DOUBLE_VAL, "solve",
          "rhs argument has wrong type");
    bool oneVector = b.isVector() && b.n == n;
    check(!b.is3D() && (oneVector || b.nrow == n), "solve", "rhs argument has wrong size");
    DoubleValue x;
    x.setShapeKind(b.n, b.nrow, KIND_NUMERIC);
    for (int i = 0; i < b.n; ++i)
        x[i] = numberAt(b, i);
    if (b.n > 0) lu.solveInPlace(x.data(), oneVector ? 1 : b.ncol());
    resultAs<DoubleValue>(result).takeFrom(x);
}

void solve(BuiltinContext& context, const Value& first, const Value* second, ValuePtr& result) {
    if (!second) {
        const std::unique_ptr<LuForm>& saved = context.savedLuForm();
        check(saved != nullptr, "solve", "no LU form kept: call setLU(A) first");
        solveWith(*saved, first, result);
        return;
    }
    std::vector<double> a = squareMatrix(first, "solve");
    int n = orderOf(first);
    if (n == 0) {
        check(second->n == 0, "solve", "rhs argument has wrong size");
        resultAs<DoubleValue>(result).setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    LuForm lu(a.data(), n, &context.output());
    solveWith(lu, *second, result);
}

void inv(BuiltinContext& context, const Value& a, DoubleValue& result) {
    std::vector<double> elements = squareMatrix(a, "inv");
    int n = orderOf(a);
    DoubleValue inverse;
    inverse.setShapeKind(n * n, n, KIND_NUMERIC);
    if (n > 0) LuForm(elements.data(), n, &context.output()).inverse(inverse.data());
    result.takeFrom(inverse);
}

void det(BuiltinContext& context, const Value& a, DoubleValue& result) {
    std::vector<double> elements = squareMatrix(a, "det");
    int n = orderOf(a);
    result.assignScalar(n == 0 ? 1.0 : LuForm(elements.data(), n, &context.output()).determinant());
}

// 1 when A is regular, 0 when a zero pivot had to be replaced.
int setLU(BuiltinContext& context, const Value& a) {
    std::vector<double> elements = squareMatrix(a, "setLU");
    int n = orderOf(a);
    check(n > 0, "setLU", "matrix must not be empty");
    auto lu = std::make_unique<LuForm>(elements.data(), n, &context.output());
    bool singular = lu->singular();
    context.savedLuForm() = std::move(lu);
    return singular ? 0 : 1;
}

} // namespace

std::span<const BuiltinDefinition> linearSolveTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("solve", solve),
        defineBuiltin("inv", inv),
        defineBuiltin("det", det),
        defineBuiltin("setLU", setLU),
    };
    return table;
}

} // namespace vemlor
