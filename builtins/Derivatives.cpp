// Derivatives, of a function argument and of sampled data.
//
//   differ(f, x [, h])  f'(x) at every element of x, in x's shape, by the
//                       five-point central formula with one step h for all
//                       points: 1e-5 times the spread of x (1e-5 when every
//                       point is the same) unless h is given
//   vdiffer(y)          the derivative of samples y taken at unit spacing,
//                       same length: central differences inside, one-sided
//                       at the ends. A two-column matrix [x y] (or two-row
//                       [x; y]) gives dy/dx at uneven spacing x.
//   diff2(y)            second differences y(i+1) - 2 y(i) + y(i-1): n - 2 of
//                       them for a vector, one column each for a matrix
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/FunctionArgument.h"

#include <algorithm>
#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

void checkReal(const Value& v, const char* name) {
    check(v.type() == INTEGER_VAL || v.type() == DOUBLE_VAL, name, "invalid argument");
}

double automaticStep(const Value& x) {
    double low = INFINITY, high = -INFINITY;
    for (int i = 0; i < x.n; ++i) {
        low = std::min(low, numberAt(x, i));
        high = std::max(high, numberAt(x, i));
    }
    double spread = (high - low) * 1e-5;
    return spread > 0 && std::isfinite(spread) ? spread : 1e-5;
}

void differ(BuiltinContext& context, std::span<const Value* const> arguments,
            std::span<ValuePtr> outputs) {
    CheckedFunction f(context, *arguments[0], "differ");
    check(arguments.size() >= 2, "differ", "no points given");
    const Value& x = *arguments[1];
    checkReal(x, "differ");
    double h =
        arguments.size() > 2 ? scalarOf(*arguments[2], "differ", "invalid step") : automaticStep(x);
    check(h != 0 && std::isfinite(h), "differ", "invalid step");
    DoubleValue derivatives;
    applyToEach(x, derivatives, [&](double t) {
        return (f(t - 2 * h) - 8 * f(t - h) + 8 * f(t + h) - f(t + 2 * h)) / (12 * h);
    });
    resultAs<DoubleValue>(outputs[0]).takeFrom(derivatives);
}

// Central differences of y over x (both `count` long, `stride` apart).
void slopes(const DoubleValue& m, int xAt, int yAt, int stride, int count, DoubleValue& out) {
    auto x = [&](int i) { return xAt < 0 ? double(i) : m[xAt + i * stride]; };
    auto y = [&](int i) { return m[yAt + i * stride]; };
    for (int i = 0; i < count; ++i) {
        int lo = std::max(0, i - 1), hi = std::min(count - 1, i + 1);
        out[i] = hi == lo ? 0.0 : (y(hi) - y(lo)) / (x(hi) - x(lo));
    }
}

void vdiffer(BuiltinContext&, const Value& v, DoubleValue& result) {
    checkReal(v, "vdiffer");
    DoubleValue m(v), out;
    if (v.isVector()) {
        out.setShapeKind(v.n, v.nrow, KIND_NUMERIC);
        slopes(m, -1, 0, 1, v.n, out);
    } else if (v.ncol() == 2 && !v.is3D()) {
        out.setShapeKind(v.nrow, v.nrow, KIND_NUMERIC);
        slopes(m, 0, v.nrow, 1, v.nrow, out);
    } else {
        check(v.nrow == 2 && !v.is3D(), "vdiffer", "data must be a vector, [x y] or [x; y]");
        out.setShapeKind(v.ncol(), 1, KIND_NUMERIC);
        slopes(m, 0, 1, 2, v.ncol(), out);
    }
    result.takeFrom(out);
}

void diff2(BuiltinContext&, const Value& v, DoubleValue& result) {
    checkReal(v, "diff2");
    DoubleValue m(v), out;
    bool vector = v.isVector();
    int length = vector ? v.n : v.nrow, columns = vector ? 1 : v.ncol();
    int count = std::max(0, length - 2);
    if (count == 0)
        out.setShapeKind(0, 0, KIND_NUMERIC);
    else
        out.setShapeKind(count * columns, vector && v.nrow == 1 ? 1 : count, KIND_NUMERIC);
    for (int c = 0; c < columns && count > 0; ++c)
        for (int i = 0; i < count; ++i) {
            const double* y = m.data() + c * length + i;
            out[c * count + i] = y[2] - 2 * y[1] + y[0];
        }
    result.takeFrom(out);
}

} // namespace

std::span<const BuiltinDefinition> derivativesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("differ", differ, DOUBLE_VAL, 1, 3),
        defineBuiltin("vdiffer", vdiffer),
        defineBuiltin("diff2", diff2),
    };
    return table;
}

} // namespace vemlor
