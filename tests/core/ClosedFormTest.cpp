// The closed-form recogniser on constants whose forms are known by hand, and
// the fraction table it is built on.
#include "core/ClosedForm.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <numeric>
#include <set>

namespace vemlor {
namespace {

using detail::fractionTable;
constexpr double PI = std::numbers::pi;
constexpr double E = std::numbers::e;
constexpr double TOL = 1e-11;

TEST(FractionTable, OrderedByLargestPartThenAsDescribed) {
    const auto& table = fractionTable();
    ASSERT_EQ(table.size(), 116u);
    const int expected[][2] = {{0, 1}, {1, 1}, {2, 1}, {1, 2}, {3, 1}, {3, 2},
                               {2, 3}, {1, 3}, {4, 1}, {4, 3}, {3, 4}, {1, 4}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(table[i].p, expected[i][0]) << i;
        EXPECT_EQ(table[i].q, expected[i][1]) << i;
    }
    EXPECT_EQ(table.back().p, 1);
    EXPECT_EQ(table.back().q, 13);
}

TEST(FractionTable, EveryReducedFractionUpTo13ExactlyOnce) {
    std::set<std::pair<int, int>> seen;
    for (auto f : fractionTable()) {
        EXPECT_EQ(std::gcd(f.p, f.q), 1);
        EXPECT_LE(std::max(f.p, f.q), 13);
        EXPECT_TRUE(seen.insert({f.p, f.q}).second) << f.p << "/" << f.q;
    }
    // 12 is the largest part of 2 * phi(12) = 8 entries: 12/1 12/5 12/7 12/11 and back.
    int twelve = 0;
    for (auto f : fractionTable())
        twelve += std::max(f.p, f.q) == 12;
    EXPECT_EQ(twelve, 8);
}

TEST(ClosedForm, IntegersAreNotExamined) {
    EXPECT_EQ(closedForm(3.0, TOL), "3");
    // Within 1e-12 of an integer: the digits as they are, no formula.
    EXPECT_EQ(closedForm(3.0 * (1 + 1e-13), TOL), "3.0000000000003");
    EXPECT_EQ(closedForm(0.0, TOL), "0");
    EXPECT_EQ(closedForm(-7.0, TOL), "-7");
    EXPECT_EQ(closedForm(1e20, TOL), "1e20");
}

TEST(ClosedForm, SquareRootForms) {
    EXPECT_EQ(closedForm(0.7071067811865476, TOL), "sqrt1/2");
    EXPECT_EQ(closedForm(std::sqrt(2.0) / 3 + 1, TOL), "1+sqrt2/9");
    EXPECT_EQ(closedForm(-std::sqrt(2.0), TOL), "-sqrt 2");
    EXPECT_EQ(closedForm((1 + std::sqrt(5.0)) / 2, TOL), "1/2+sqrt5/4");
    EXPECT_EQ(closedForm(-0.75 - std::sqrt(5.0), TOL), "-3/4-sqrt 5");
    EXPECT_EQ(closedForm(2 - std::sqrt(3.0), TOL), "2-sqrt 3");
}

TEST(ClosedForm, FractionsAndPowersOfPi) {
    EXPECT_EQ(closedForm(22.0 / 7.0, TOL), "22/7");
    EXPECT_EQ(closedForm(PI, TOL), "pi");
    EXPECT_EQ(closedForm(PI / 4, TOL), "(1/4 pi)");
    EXPECT_EQ(closedForm(-PI / 4, TOL), "(-1/4 pi)");
    EXPECT_EQ(closedForm(2 / PI, TOL), "(2/pi)");
    EXPECT_EQ(closedForm(1 / PI, TOL), "(1/pi)");
    EXPECT_EQ(closedForm(PI * PI / 6, TOL), "(1/6 pi^2)");
    EXPECT_EQ(closedForm(-0.75, TOL), "-3/4");
    EXPECT_EQ(closedForm(0.1, TOL), "1/10");
    EXPECT_EQ(closedForm(1.0 / 7.0, TOL), "1/7");
    EXPECT_EQ(closedForm(std::sqrt(3.0) * PI / 2, TOL), "(1/2 pi) sqrt 3");
}

TEST(ClosedForm, ExponentialsAndLogarithms) {
    EXPECT_EQ(closedForm(E, TOL), "exp[1]");
    EXPECT_EQ(closedForm(std::exp(1.0 / 3.0), TOL), "exp[1/3]");
    EXPECT_EQ(closedForm(std::exp(PI), TOL), "exp[pi]");
    EXPECT_EQ(closedForm(std::log(3.0), TOL), "ln[3]");
    EXPECT_EQ(closedForm(std::log(0.5), TOL), "ln[1/2]");
}

TEST(ClosedForm, LeastComplexCandidateWins) {
    // 1001 sqrt 6 is also 2002 sqrt(3/2) and 3003 sqrt(2/3), which are met
    // first; the whole radicand makes the simplest formula.
    EXPECT_EQ(closedForm(1001 * std::sqrt(6.0), TOL), "1001 sqrt 6");
}

TEST(ClosedForm, NumbersWithoutAFormComeBackAsDigits) {
    // e/2 is neither a product form nor the exp or ln of one.
    EXPECT_EQ(closedForm(E / 2, TOL), "1.35914091422952");
    EXPECT_EQ(closedForm(0.123456789, TOL), "0.123456789");
    // 3333/10000 is too complex a fraction to count.
    EXPECT_EQ(closedForm(0.3333, TOL), "0.3333");
    EXPECT_EQ(closedForm(NAN, TOL), "nan");
}

TEST(ClosedForm, ToleranceIsRelative) {
    double nearPi = PI * (1 + 1e-9);
    EXPECT_NE(closedForm(nearPi, TOL), "pi");
    EXPECT_EQ(closedForm(nearPi, 1e-8), "pi");
    EXPECT_EQ(closedForm(1e-5, TOL), "1/100000");
}

} // namespace
} // namespace vemlor
