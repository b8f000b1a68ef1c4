// Factorials of the '!' operator. Integers are exact and limited to 0..12
// (13! does not fit the 30-bit range the integer expressions accept);
// doubles are rounded to whole numbers and reach infinity past 170.
#pragma once

namespace vemlor {

// n! for 0 <= n <= 12; RuntimeError "n! with integer n < 0 is not allowed"
// below, "integer overflow" above.
int factorialInt(int n);
// x rounded to the nearest whole n: +infinity for n < 0, the exact table
// value for n < 171, exp(lgamma(n + 1)) beyond (infinity for every such n).
double factorialDouble(double x);

} // namespace vemlor
