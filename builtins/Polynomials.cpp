// Polynomials: poly(c, x) evaluates c(1) + c(2) x + c(3) x^2 + ...
// (ascending powers) at every element of x, giving a plain double of x's
// shape. polyshow(c) writes the same polynomial as a string in that order,
// "1 - 2x + 3x^2", leaving out zero terms (all zero: "0") and unit factors.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include "core/NumberFormat.h"

#include <cmath>
#include <string>

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

// One term c x^power with its sign written apart: " - 2x^3".
std::string term(double c, int power, bool first) {
    std::string text = first ? (c < 0 ? "-" : "") : (c < 0 ? " - " : " + ");
    double magnitude = std::fabs(c);
    if (power == 0 || magnitude != 1) text += formatDouble(magnitude, 9);
    if (power >= 1) text += "x";
    if (power >= 2) text += "^" + std::to_string(power);
    return text;
}

void polyshow(BuiltinContext&, const Value& coefficients, IntValue& out) {
    check(coefficients.type() == INTEGER_VAL || coefficients.type() == DOUBLE_VAL, "polyshow",
          "coefficients must be real");
    std::string text;
    for (int i = 0; i < coefficients.n; ++i) {
        double c = numberAt(coefficients, i);
        if (c != 0) text += term(c, i, text.empty());
    }
    out.assignString(text.empty() ? "0" : text);
}

} // namespace

std::span<const BuiltinDefinition> polynomialsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("poly", poly),
        defineBuiltin("polyshow", polyshow),
    };
    return table;
}

} // namespace vemlor
