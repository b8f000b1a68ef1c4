// The closed-form recogniser: tries to write a double as a short formula of
// small fractions, square roots, powers of pi, exp[...] and ln[...].
//
// Texts it produces (p/q, a/b are reduced fractions; "p" alone when q is 1):
//   square-root forms      "1+sqrt2/9", "-3/4-sqrt 5", "sqrt1/2"
//                          (a blank after "sqrt" only when the radicand is whole)
//   fraction times pi^k    "22/7", "pi", "(1/4 pi)", "(1/6 pi^2)", "(2/pi)", "(1/pi)"
//   ... times a root       "1/3 sqrt 2", "(1/4 pi) sqrt 3"
//   transformed            "exp[1]", "exp[1/3]", "ln[3]", "ln[1/2]"
// Integers and numbers without a form come back in the number formatter's
// text at 15 significant digits.
//
// Choices this recogniser makes: powers of pi from -2 to 2; a candidate's
// fraction is the earliest continued-fraction convergent (at most 20 terms)
// that reproduces x within the tolerance; its complexity is the sum of
// log10 of numerator, denominator, radicand numerator and denominator,
// log10(1 + |pi power|) and log10 2 for an exp[ or ln[ transform. The search
// runs transform by transform, pi power 0, 1, -1, 2, -2, radicand 1 first,
// and stops after three candidates; the least complex one is written.
#pragma once

#include <array>
#include <string>

namespace vemlor {

// Tolerance is relative to x.
std::string closedForm(double x, double tolerance);

namespace detail {

struct Fraction {
    int p;
    int q;
};

constexpr int FRACTION_TABLE_SIZE = 116;

// 0/1, then every reduced p/q with max(p, q) = m for m = 1 .. 13: first m/1,
// m/2, ... (q rising), then p/m with p falling.
const std::array<Fraction, FRACTION_TABLE_SIZE>& fractionTable();

} // namespace detail
} // namespace vemlor
