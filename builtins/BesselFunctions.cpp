// Special functions of two arguments: besselj(n, x) is the Bessel function
// J_n of whole order n at every element of x, a plain double of x's shape.
// (The one-argument special functions are among the elementary ones.)
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <gsl/gsl_sf_bessel.h>

#include <cmath>

namespace vemlor {

namespace {

using namespace detail;

// GSL is asked only for finite points: J_n vanishes at infinity and NaN
// stays NaN, which spares its error handler.
void besselj(BuiltinContext&, const Value& order, const Value& x, DoubleValue& out) {
    int n = wholeScalarOf(order, "besselj", "the order must be a whole number");
    applyToEach(x, out, [n](double t) {
        if (std::isnan(t)) return t;
        if (std::isinf(t)) return 0.0;
        return gsl_sf_bessel_Jn(n, t);
    });
}

} // namespace

std::span<const BuiltinDefinition> specialFunctionsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("besselj", besselj),
    };
    return table;
}

} // namespace vemlor
