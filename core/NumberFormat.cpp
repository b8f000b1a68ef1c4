// Number formatting for display. Doubles use the shortest of fixed and
// scientific notation at the given number of significant digits (the "%g"
// rule, always with '.' as the decimal point) and then lose the exponent's
// '+' sign and one leading zero, so exponents read 1e5 and 2.5e-7.
#include "core/NumberFormat.h"

#include <charconv>
#include <cmath>

namespace vemlor {

namespace {

// Parts smaller than this fraction of the other part are rounding noise.
constexpr double NEGLIGIBLE_PART = 1.1102230246251565e-15;
constexpr int MAX_PRECISION = 100;

// "1e+05" -> "1e5", "2.5e-07" -> "2.5e-7", "1e+100" -> "1e100".
void tidyExponent(std::string& text) {
    size_t e = text.find('e');
    if (e == std::string::npos) return;
    size_t digits = e + 1;
    if (digits < text.size() && text[digits] == '+') text.erase(digits, 1);
    if (digits < text.size() && text[digits] == '-') ++digits;
    if (text.size() - digits > 1 && text[digits] == '0') text.erase(digits, 1);
}

} // namespace

std::string formatDouble(double x, int precision) {
    if (precision < 0) precision = 6; // what a stream does with a negative precision
    if (precision > MAX_PRECISION) precision = MAX_PRECISION;
    // A NaN's sign bit means nothing to the user; sqrt(-4) should read "nan".
    if (std::isnan(x)) return "nan";
    char buffer[MAX_PRECISION + 32];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, precision);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    tidyExponent(text);
    return text;
}

std::string formatInt(int x) {
    return std::to_string(x);
}

std::string formatComplex(std::complex<double> z, int precision) {
    double re = z.real();
    double im = z.imag();
    if (std::fabs(im) < std::fabs(re) * NEGLIGIBLE_PART) return formatDouble(re, precision);
    if (std::fabs(re) < std::fabs(im) * NEGLIGIBLE_PART) return formatDouble(im, precision) + "i";
    std::string imaginary = formatDouble(im, precision);
    if (imaginary.front() != '-') imaginary.insert(0, 1, '+');
    return formatDouble(re, precision) + imaginary + "i";
}

} // namespace vemlor
