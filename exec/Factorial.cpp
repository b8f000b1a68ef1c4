// The two factorial tables are computed at compile time, so there is nothing
// to fill on first use and nothing mutable to share.
#include "exec/Factorial.h"

#include "core/Errors.h"

#include <array>
#include <cmath>

namespace vemlor {
namespace {

constexpr int kLargestIntFactorial = 12;
constexpr int kDoubleTableSize = 171; // 170! is the largest finite double factorial

constexpr std::array<int, kLargestIntFactorial + 1> makeIntTable() {
    std::array<int, kLargestIntFactorial + 1> table{};
    table[0] = 1;
    for (int i = 1; i <= kLargestIntFactorial; ++i)
        table[size_t(i)] = table[size_t(i - 1)] * i;
    return table;
}

// Successive products, as a running product would give them: exact up to
// 22! and within a few units in the last place beyond.
constexpr std::array<double, kDoubleTableSize> makeDoubleTable() {
    std::array<double, kDoubleTableSize> table{};
    table[0] = 1.0;
    for (int i = 1; i < kDoubleTableSize; ++i)
        table[size_t(i)] = table[size_t(i - 1)] * i;
    return table;
}

constexpr auto kIntFactorials = makeIntTable();
constexpr auto kDoubleFactorials = makeDoubleTable();

} // namespace

int factorialInt(int n) {
    if (n < 0) raiseRuntime("n! with integer n < 0 is not allowed");
    if (n > kLargestIntFactorial) raiseRuntime("integer overflow");
    return kIntFactorials[size_t(n)];
}

double factorialDouble(double x) {
    double n = std::round(x);
    if (n < 0) return HUGE_VAL;
    if (n < kDoubleTableSize) return kDoubleFactorials[size_t(n)];
    return std::exp(std::lgamma(n + 1)); // NaN stays NaN
}

} // namespace vemlor
