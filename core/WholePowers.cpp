// Powers to a whole exponent over many elements, for the array path of '^'.
//
// x^m is built by binary powering in double-double arithmetic (products made
// exact with fused multiply-add), so it carries about 100 bits before it is
// rounded once: the correctly rounded power. The one-number pow agrees but
// for about one element in a thousand, where it is off by its last bit; the
// loops vectorise, which makes this several times sooner. A negative
// exponent divides once at the end with the same care. Where the partial
// powers could leave the double range (zero, huge, tiny, infinite or NaN
// elements), the element takes pow itself, so every special value and every
// overflow is pow's.
#include "core/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace vemlor {

#if defined(__x86_64__)

namespace {

constexpr int kBlock = 256;
constexpr double kSafeLow = 0x1p-960, kSafeHigh = 0x1p960;

// (h, l) *= (bh, bl), renormalised.
[[gnu::always_inline]] inline void multiply(double& h, double& l, double bh, double bl) {
    double p = h * bh;
    double e = std::fma(h, bh, -p) + (h * bl + l * bh);
    h = p + e;
    l = e - (h - p);
}

[[gnu::always_inline]] inline void powerBlock(const double* x, int m, bool invert, double* z,
                                              int n) {
    alignas(64) double bh[kBlock], bl[kBlock], rh[kBlock], rl[kBlock];
    for (int i = 0; i < n; ++i) {
        bh[i] = x[i];
        bl[i] = 0;
        rh[i] = 1;
        rl[i] = 0;
    }
    for (int e = m; e; e >>= 1) {
        if (e & 1)
            for (int i = 0; i < n; ++i)
                multiply(rh[i], rl[i], bh[i], bl[i]);
        if (e > 1)
            for (int i = 0; i < n; ++i)
                multiply(bh[i], bl[i], bh[i], bl[i]);
    }
    for (int i = 0; i < n; ++i) {
        double h = rh[i], l = rl[i];
        if (invert) {
            double q = 1 / h;
            double r = std::fma(-h, q, 1.0) - l * q;
            z[i] = q + q * r;
        } else {
            z[i] = h + l;
        }
    }
    double exponent = invert ? -m : m;
    for (int i = 0; i < n; ++i) {
        double size = std::fabs(rh[i]);
        if (!(size >= kSafeLow && size <= kSafeHigh)) z[i] = std::pow(x[i], exponent);
    }
}

// The blocks are looped over inside each target function, so that the block
// code is inlined, and vectorised, with that function's instruction set.
__attribute__((target("avx512f,avx2,fma"))) void powers8(const double* x, int m, bool invert,
                                                         double* z, int n) {
    for (int begin = 0; begin < n; begin += kBlock)
        powerBlock(x + begin, m, invert, z + begin, std::min(kBlock, n - begin));
}

__attribute__((target("avx2,fma"))) void powers4(const double* x, int m, bool invert, double* z,
                                                 int n) {
    for (int begin = 0; begin < n; begin += kBlock)
        powerBlock(x + begin, m, invert, z + begin, std::min(kBlock, n - begin));
}

} // namespace

bool applyWholePower(const double* x, double y, double* z, int n, bool wide) {
    if (!(y == std::floor(y) && std::fabs(y) >= 3 && std::fabs(y) <= 64) && y != -1 && y != -2)
        return false;
    int m = int(std::fabs(y));
    if (wide)
        powers8(x, m, y < 0, z, n);
    else
        powers4(x, m, y < 0, z, n);
    return true;
}

#else

bool applyWholePower(const double*, double, double*, int, bool) {
    return false;
}

#endif

} // namespace vemlor
