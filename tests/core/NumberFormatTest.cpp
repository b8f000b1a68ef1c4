// Number formatting: significant digits, the tidied exponent, integers, and
// the complex rule that drops a part below 5 epsilon of the other.
#include "core/NumberFormat.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace vemlor {
namespace {

TEST(FormatDouble, ExponentLosesPlusSignAndOneLeadingZero) {
    EXPECT_EQ(formatDouble(1e5, 5), "1e5");
    EXPECT_EQ(formatDouble(2.5e-7, 5), "2.5e-7");
    EXPECT_EQ(formatDouble(123456.0, 5), "1.2346e5");
    EXPECT_EQ(formatDouble(1e-5, 9), "1e-5");
    EXPECT_EQ(formatDouble(-3e12, 9), "-3e12");
    EXPECT_EQ(formatDouble(1e100, 5), "1e100");
    EXPECT_EQ(formatDouble(-1.5e-300, 9), "-1.5e-300");
}

TEST(FormatDouble, FixedNotationWhileTheExponentIsSmall) {
    EXPECT_EQ(formatDouble(100000.0, 9), "100000");
    EXPECT_EQ(formatDouble(0.0001234, 3), "0.000123");
    EXPECT_EQ(formatDouble(1.0 / 3.0, 9), "0.333333333");
    EXPECT_EQ(formatDouble(2.0 / 3.0, 5), "0.66667");
    EXPECT_EQ(formatDouble(0.5, 9), "0.5");
    EXPECT_EQ(formatDouble(-0.5, 9), "-0.5");
    EXPECT_EQ(formatDouble(0.0, 9), "0");
    EXPECT_EQ(formatDouble(0.1 + 0.2, 17), "0.30000000000000004");
}

TEST(FormatDouble, NonFiniteValues) {
    EXPECT_EQ(formatDouble(INFINITY, 9), "inf");
    EXPECT_EQ(formatDouble(-INFINITY, 9), "-inf");
    EXPECT_EQ(formatDouble(NAN, 9), "nan");
}

TEST(FormatInt, PlainDecimal) {
    EXPECT_EQ(formatInt(0), "0");
    EXPECT_EQ(formatInt(-42), "-42");
    EXPECT_EQ(formatInt(100000), "100000");
    EXPECT_EQ(formatInt(INT_MIN), "-2147483648");
}

TEST(FormatComplex, NegligiblePartsAreDropped) {
    EXPECT_EQ(formatComplex({1, 1e-20}, 9), "1");
    EXPECT_EQ(formatComplex({1e-20, 2}, 9), "2i");
    EXPECT_EQ(formatComplex({-4, 0}, 9), "-4");
    // 1e-15 is below the factor 1.11e-15, 1.2e-15 is not.
    EXPECT_EQ(formatComplex({1, 1e-15}, 9), "1");
    EXPECT_EQ(formatComplex({1, 1.2e-15}, 9), "1+1.2e-15i");
}

TEST(FormatComplex, BothPartsWithTheImaginarySign) {
    EXPECT_EQ(formatComplex({1, -2}, 9), "1-2i");
    EXPECT_EQ(formatComplex({0.5, 0.25}, 9), "0.5+0.25i");
    EXPECT_EQ(formatComplex({1.0 / 3.0, 2.0 / 3.0}, 5), "0.33333+0.66667i");
    EXPECT_EQ(formatComplex({-1e5, 2.5e-7}, 5), "-1e5+2.5e-7i");
    // Neither part is smaller than the other: both are written.
    EXPECT_EQ(formatComplex({0, 0}, 9), "0+0i");
}

} // namespace
} // namespace vemlor
