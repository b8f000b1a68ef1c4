// Probability distributions and peak shapes, each a function of one
// variable parametrised by the first argument and applied to every element
// of the second:
//   poisson(mu, k)  Poisson probability of k events for the mean mu
//   binomial(p, k)  binomial probability of k successes, p = [n prob]
//   bnc(n, k)       binomial coefficient "n choose k"
//   gauss(p, x)     normal density, p = sigma or [mu sigma]
//   lor(p, x)       Lorentzian (Cauchy) density, p = gamma or [x0 gamma],
//                   gamma being the half width at half maximum
// The discrete ones give 0 where k is not a whole number in their range.
// Results have the second argument's shape and are plain doubles.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <cmath>
#include <numbers>

namespace vemlor {

namespace {

using namespace detail;

bool isWhole(double k) {
    return std::isfinite(k) && k == std::floor(k);
}

// ln(n choose k) for whole 0 <= k <= n.
double logChoose(double n, double k) {
    return std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1);
}

// The scalar or the two-element [centre width] form of gauss and lor.
struct Peak {
    double centre;
    double width;
};

Peak peakParameters(const Value& p, const char* name) {
    check(p.n == 1 || p.n == 2, name, "parameters must be width or [centre width]");
    Peak peak{p.n == 2 ? numberAt(p, 0) : 0.0, numberAt(p, p.n - 1)};
    check(peak.width > 0, name, "width must be positive");
    return peak;
}

void poisson(BuiltinContext&, const Value& mean, const Value& k, DoubleValue& out) {
    double mu = scalarOf(mean, "poisson", "the mean must be a scalar");
    check(mu >= 0 && std::isfinite(mu), "poisson", "the mean must be finite and not negative");
    applyToEach(k, out, [mu](double events) {
        if (!isWhole(events) || events < 0) return 0.0;
        if (mu == 0) return events == 0 ? 1.0 : 0.0;
        return std::exp(events * std::log(mu) - mu - std::lgamma(events + 1));
    });
}

// Multiplying before dividing keeps every partial product a whole number,
// so results stay exact as long as they fit a double's mantissa.
void binomialCoefficient(BuiltinContext&, const Value& n, const Value& k, DoubleValue& out) {
    double total = scalarOf(n, "bnc", "n must be a scalar");
    check(isWhole(total) && total >= 0, "bnc", "n must be a whole number, not negative");
    applyToEach(k, out, [total](double chosen) {
        if (!isWhole(chosen) || chosen < 0 || chosen > total) return 0.0;
        double m = std::min(chosen, total - chosen);
        double c = 1.0;
        for (double i = 1; i <= m; ++i)
            c = c * (total - m + i) / i;
        return c;
    });
}

void binomial(BuiltinContext&, const Value& parameters, const Value& k, DoubleValue& out) {
    check(parameters.n == 2, "binomial", "parameters must be [n p]");
    double n = numberAt(parameters, 0), p = numberAt(parameters, 1);
    check(isWhole(n) && n >= 0, "binomial", "n must be a whole number, not negative");
    check(p >= 0 && p <= 1, "binomial", "p must lie between 0 and 1");
    applyToEach(k, out, [n, p](double successes) {
        if (!isWhole(successes) || successes < 0 || successes > n) return 0.0;
        if (p == 0) return successes == 0 ? 1.0 : 0.0;
        if (p == 1) return successes == n ? 1.0 : 0.0;
        return std::exp(logChoose(n, successes) + successes * std::log(p) +
                        (n - successes) * std::log1p(-p));
    });
}

void gauss(BuiltinContext&, const Value& parameters, const Value& x, DoubleValue& out) {
    Peak p = peakParameters(parameters, "gauss");
    double norm = 1.0 / (p.width * std::sqrt(2.0 * std::numbers::pi));
    applyToEach(x, out, [&](double t) {
        double z = (t - p.centre) / p.width;
        return norm * std::exp(-0.5 * z * z);
    });
}

void lorentz(BuiltinContext&, const Value& parameters, const Value& x, DoubleValue& out) {
    Peak p = peakParameters(parameters, "lor");
    applyToEach(x, out, [&](double t) {
        double d = t - p.centre;
        return p.width / (std::numbers::pi * (d * d + p.width * p.width));
    });
}

} // namespace

std::span<const BuiltinDefinition> distributionsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("poisson", poisson),
        defineBuiltin("binomial", binomial),
        defineBuiltin("bnc", binomialCoefficient),
        defineBuiltin("gauss", gauss),
        defineBuiltin("lor", lorentz),
    };
    return table;
}

} // namespace vemlor
