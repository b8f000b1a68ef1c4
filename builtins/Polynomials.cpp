// Polynomials: poly(c, x) evaluates c(1) + c(2) x + c(3) x^2 + ...
// (ascending powers) at every element of x, giving a plain double of x's
// shape.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

namespace vemlor {

namespace {

using namespace detail;

// Horner's scheme from the highest power down.
void poly(BuiltinContext&, const Value& coefficients, const Value& x, DoubleValue& out) {
    DoubleValue c(coefficients);
    applyToEach(x, out, [&](double t) {
        double sum = 0.0;
        for (int i = c.n - 1; i >= 0; --i)
            sum = sum * t + c[i];
        return sum;
    });
}

} // namespace

std::span<const BuiltinDefinition> polynomialsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("poly", poly),
    };
    return table;
}

} // namespace vemlor
