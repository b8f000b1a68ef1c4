// Powers to a whole exponent over many elements, for the array path of '^'.
//
// x^m is built by binary powering in double-double arithmetic (exact
// products: fused multiply-add where the processor has it, Dekker's
// splitting otherwise), so it carries about 100 bits before it is rounded
// once: the correctly rounded power. The one-number pow agrees but for about
// one element in a thousand, where it is off by its last bit; the loops
// vectorise, which makes this several times sooner. A negative exponent
// divides once at the end with the same care. Where the partial powers could
// leave the double range (zero, huge, tiny, infinite or NaN elements), the
// element takes pow itself, so every special value and every overflow is
// pow's.
#include "core/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace vemlor {
namespace {

constexpr int kBlock = 256;
constexpr double kSafeLow = 0x1p-960, kSafeHigh = 0x1p960;

// The rounding error of the product p = a * b, exactly.
struct FusedProduct {
    [[gnu::always_inline]] static double error(double a, double b, double p) {
        return std::fma(a, b, -p);
    }
};

struct SplitProduct {
    [[gnu::always_inline]] static double error(double a, double b, double p) {
        constexpr double kSplitter = 134217729.0; // 2^27 + 1
        double ca = kSplitter * a, cb = kSplitter * b;
        double ah = ca - (ca - a), al = a - ah;
        double bh = cb - (cb - b), bl = b - bh;
        return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    }
};

// (h, l) *= (bh, bl), renormalised.
template <class Product>
[[gnu::always_inline]] inline void multiply(double& h, double& l, double bh, double bl) {
    double p = h * bh;
    double e = Product::error(h, bh, p) + (h * bl + l * bh);
    h = p + e;
    l = e - (h - p);
}

template <class Product>
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
                multiply<Product>(rh[i], rl[i], bh[i], bl[i]);
        if (e > 1)
            for (int i = 0; i < n; ++i)
                multiply<Product>(bh[i], bl[i], bh[i], bl[i]);
    }
    for (int i = 0; i < n; ++i) {
        double h = rh[i], l = rl[i];
        if (invert) {
            double q = 1 / h, hq = h * q;
            double r = ((1 - hq) - Product::error(h, q, hq)) - l * q;
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

// The blocks are looped over inside each function, so that the block code is
// inlined, and vectorised, with that function's instruction set.
void powersPlain(const double* x, int m, bool invert, double* z, int n) {
    for (int begin = 0; begin < n; begin += kBlock)
        powerBlock<SplitProduct>(x + begin, m, invert, z + begin, std::min(kBlock, n - begin));
}

#if defined(__x86_64__)

__attribute__((target("avx512f,avx2,fma"))) void powers8(const double* x, int m, bool invert,
                                                         double* z, int n) {
    for (int begin = 0; begin < n; begin += kBlock)
        powerBlock<FusedProduct>(x + begin, m, invert, z + begin, std::min(kBlock, n - begin));
}

__attribute__((target("avx2,fma"))) void powers4(const double* x, int m, bool invert, double* z,
                                                 int n) {
    for (int begin = 0; begin < n; begin += kBlock)
        powerBlock<FusedProduct>(x + begin, m, invert, z + begin, std::min(kBlock, n - begin));
}

using Powers = void (*)(const double*, int, bool, double*, int);

Powers fastestPowers() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return powers8;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return powers4;
    return powersPlain;
}

#else

using Powers = void (*)(const double*, int, bool, double*, int);

Powers fastestPowers() {
    return powersPlain;
}

#endif

} // namespace

bool applyWholePower(const double* x, double y, double* z, int n) {
    if (!(y == std::floor(y) && std::fabs(y) >= 3 && std::fabs(y) <= 64) && y != -1 && y != -2)
        return false;
    static const Powers powers = fastestPowers();
    powers(x, int(std::fabs(y)), y < 0, z, n);
    return true;
}

} // namespace vemlor
