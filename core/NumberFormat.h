// Turning numbers into text for display: doubles with a given number of
// significant digits and a tidied exponent ("1e5", "2.5e-7"), integers in
// plain decimal, complex numbers with negligible parts dropped.
#pragma once

#include <complex>
#include <string>

namespace vemlor {

std::string formatDouble(double x, int precision);
std::string formatInt(int x);
std::string formatComplex(std::complex<double> z, int precision);

} // namespace vemlor
