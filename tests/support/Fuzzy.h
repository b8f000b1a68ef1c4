// Floating-point comparison for tests: one relative tolerance helper.
#pragma once

#include <cmath>
#include <gtest/gtest.h>

namespace vemlor::test {

inline testing::AssertionResult fuzzyEqual(double actual, double expected, double rel = 1e-12) {
    double scale = std::max({std::fabs(actual), std::fabs(expected), 1e-300});
    if (std::fabs(actual - expected) <= rel * scale || actual == expected)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << actual << " differs from " << expected << " by more than relative " << rel;
}

} // namespace vemlor::test
