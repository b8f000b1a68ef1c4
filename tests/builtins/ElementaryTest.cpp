// The Elementwise handlers, called through the registry's pointers. Reference
// values come from published tables (Abramowitz and Stegun, DLMF) or from
// closed forms worked out by hand, never from this code.
#include "BuiltinTestSupport.h"

#include "builtins/MathErrors.h"
#include "builtins/Random.h"
#include "core/Errors.h"
#include "support/Fuzzy.h"

#include <cmath>
#include <numbers>

namespace vemlor {
namespace {

using std::numbers::pi;
using test::builtin;
using test::fuzzyEqual;

double call(const std::string& name, double x) {
    return reinterpret_cast<handler::DoubleToDouble>(builtin(name).handler)(x);
}
int callInt(const std::string& name, int x) {
    return reinterpret_cast<handler::IntToInt>(builtin(name).handler)(x);
}
complexd callComplex(const std::string& name, complexd z) {
    EXPECT_EQ(builtin(name).complexKind, ComplexCounterpartKind::ComplexResult) << name;
    return reinterpret_cast<handler::ComplexToComplex>(builtin(name).complexHandler)(z);
}
double callCtoD(const std::string& name, complexd z) {
    EXPECT_EQ(builtin(name).complexKind, ComplexCounterpartKind::DoubleResult) << name;
    return reinterpret_cast<handler::ComplexToDouble>(builtin(name).complexHandler)(z);
}

TEST(Elementary, SpecialFunctionsAgainstTables) {
    EXPECT_TRUE(fuzzyEqual(call("erfinv", 0.975), 1.959963984540054));
    EXPECT_TRUE(fuzzyEqual(call("erfinv", 0.5), 0.0));
    EXPECT_TRUE(fuzzyEqual(call("besselj0", 1), 0.7651976865579666));
    EXPECT_TRUE(fuzzyEqual(call("besselj1", 1), 0.4400505857449335));
    EXPECT_LT(std::fabs(call("besselj0", 2.404825557695773)), 1e-14); // first zero
    EXPECT_TRUE(fuzzyEqual(call("airy", 0), 0.3550280538878172));
    EXPECT_TRUE(fuzzyEqual(call("airy", 1), 0.1352924163128814));
    EXPECT_TRUE(fuzzyEqual(call("zeta", 2), pi * pi / 6));
    EXPECT_TRUE(fuzzyEqual(call("zeta", 4), std::pow(pi, 4) / 90));
    EXPECT_TRUE(fuzzyEqual(call("erf", 1), 0.8427007929497149));
    EXPECT_TRUE(fuzzyEqual(call("erfc", 1), 0.1572992070502851));
}

TEST(Elementary, GammaFamily) {
    EXPECT_TRUE(fuzzyEqual(call("gamma", 5), 24));
    EXPECT_TRUE(fuzzyEqual(call("G", 0.5), std::sqrt(pi)));
    EXPECT_TRUE(fuzzyEqual(call("lgamma", 10), std::log(362880.0)));
}

TEST(Elementary, Logarithms) {
    // ln(8) / ln(2) plus one unit of the added epsilon term.
    EXPECT_TRUE(fuzzyEqual(call("log2", 8), 3 + 2.220446049250313e-16, 1e-15));
    EXPECT_TRUE(fuzzyEqual(call("log2", 0.5), -1, 1e-15));
    EXPECT_TRUE(fuzzyEqual(call("log", std::exp(2.0)), 2));
    EXPECT_EQ(call("ln", 1), 0);
    EXPECT_TRUE(fuzzyEqual(call("log10", 1000), 3));
    EXPECT_TRUE(std::isnan(call("sqrt", -4))); // stays real
}

TEST(Elementary, InverseAndHyperbolic) {
    EXPECT_TRUE(fuzzyEqual(call("asinh", 1), 0.881373587019543));
    EXPECT_TRUE(fuzzyEqual(call("acosh", 2), 1.3169578969248166));
    EXPECT_TRUE(fuzzyEqual(call("atanh", 0.5), 0.5493061443340549));
    EXPECT_TRUE(fuzzyEqual(call("atan", 1), pi / 4));
    EXPECT_TRUE(fuzzyEqual(call("tanh", 1), 0.7615941559557649));
}

TEST(Elementary, PiecewiseFunctions) {
    EXPECT_EQ(call("sign", -3), -1);
    EXPECT_EQ(call("sign", 0), 0);
    EXPECT_EQ(call("sign", 1e-300), 1);
    EXPECT_EQ(call("fstep", 0), 0.5);
    EXPECT_EQ(call("fstep", -1e-9), 0);
    EXPECT_EQ(call("fstep", 2), 1);
    EXPECT_EQ(call("tophat", 0), 0.5);
    EXPECT_EQ(call("tophat", 1), 0.5);
    EXPECT_EQ(call("tophat", 0.5), 1);
    EXPECT_EQ(call("tophat", 1.5), 0);
    EXPECT_EQ(call("tophat", -0.5), 0);
    EXPECT_EQ(call("sinc", 0), 1);
    EXPECT_TRUE(fuzzyEqual(call("sinc", pi / 2), 2 / pi));
    EXPECT_EQ(call("isnan", std::nan("")), 1);
    EXPECT_EQ(call("isnan", INFINITY), 0);
    EXPECT_EQ(call("abs", -2.5), 2.5);
}

TEST(Elementary, Rounding) {
    EXPECT_EQ(call("floor", -1.5), -2);
    EXPECT_EQ(call("ceil", -1.5), -1);
    EXPECT_EQ(call("ceiling", 1.2), 2);
    EXPECT_EQ(call("round", 2.5), 3); // halves away from zero
    EXPECT_EQ(call("round", -2.5), -3);
    EXPECT_EQ(call("round", 0.49999999999999994), 0);
}

TEST(Elementary, ComplexPartsOfDoubles) {
    EXPECT_EQ(call("conj", 7), 7);
    EXPECT_EQ(call("real", -7), -7);
    EXPECT_EQ(call("imag", 7), 0);
    EXPECT_EQ(call("arg", 2), 0);
    EXPECT_TRUE(fuzzyEqual(call("arg", -1), pi));
}

TEST(Elementary, ComplexCounterparts) {
    complexd r = callComplex("sqrt", {-4, 0});
    EXPECT_TRUE(fuzzyEqual(r.real(), 0.0));
    EXPECT_TRUE(fuzzyEqual(r.imag(), 2));
    r = callComplex("exp", {0, pi});
    EXPECT_TRUE(fuzzyEqual(r.real(), -1));
    EXPECT_LT(std::fabs(r.imag()), 1e-15);
    r = callComplex("ln", {-1, 0});
    EXPECT_TRUE(fuzzyEqual(r.imag(), pi));
    EXPECT_EQ(r.real(), 0);
    r = callComplex("sin", {0, 1}); // i sinh 1
    EXPECT_TRUE(fuzzyEqual(r.imag(), 1.1752011936438014));
    r = callComplex("cosh", {0, 1}); // cos 1
    EXPECT_TRUE(fuzzyEqual(r.real(), 0.5403023058681398));
    EXPECT_EQ(callComplex("conj", {1, 2}), complexd(1, -2));
    EXPECT_EQ(callCtoD("real", {3, 4}), 3);
    EXPECT_EQ(callCtoD("imag", {3, 4}), 4);
    EXPECT_TRUE(fuzzyEqual(callCtoD("abs", {3, 4}), 5));
    EXPECT_TRUE(fuzzyEqual(callCtoD("arg", {0, 1}), pi / 2));
}

TEST(Elementary, IntegerFunctions) {
    EXPECT_EQ(callInt("lower", 'A'), 'a');
    EXPECT_EQ(callInt("lower", 'Z'), 'z');
    EXPECT_EQ(callInt("lower", 'a'), 'a');
    EXPECT_EQ(callInt("lower", '1'), '1');
    EXPECT_EQ(callInt("lower", 0xC9), 0xE9); // E acute
    EXPECT_EQ(callInt("lower", 0xD7), 0xD7); // multiplication sign
    EXPECT_EQ(callInt("lower", 0x8A), 0x9A); // S caron
    EXPECT_EQ(callInt("bitweight", 255), 8);
    EXPECT_EQ(callInt("bitweight", 0), 0);
    EXPECT_EQ(callInt("bitweight", -1), 32);
    EXPECT_EQ(callInt("bitweight", 0x40000001), 2);
}

TEST(Elementary, RandseedSeedsTheSharedGenerator) {
    EXPECT_EQ(callInt("randseed", 7), 7);
    int first = nextRandom(), second = nextRandom();
    seedRandom(7);
    EXPECT_EQ(nextRandom(), first);
    EXPECT_EQ(nextRandom(), second);
}

TEST(Elementary, LaterFunctionsSayTheyAreNotAvailable) {
    for (const char* name : {"close", "pause", "wait", "grid", "fclose", "feof"}) {
        try {
            callInt(name, 1);
            ADD_FAILURE() << name;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(std::string(e.what()), std::string(name) + " is not yet available");
        }
    }
}

TEST(Elementary, MathErrorsGoToTheCurrentConsole) {
    builtin("zeta"); // the registry installs the handler
    test::RecordingSink sink;
    setMathErrorOutput(&sink);
    double pole = call("zeta", 1);
    setMathErrorOutput(nullptr);
    EXPECT_TRUE(std::isnan(pole) || std::isinf(pole));
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0], "math error: domain error");
    call("zeta", 1); // with no console the error is dropped, not fatal
    EXPECT_EQ(sink.lines.size(), 1u);
}

} // namespace
} // namespace vemlor
