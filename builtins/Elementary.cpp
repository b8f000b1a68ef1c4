// Family 3: the elementwise scalar functions.
//
// Variant 1 maps double to double; the complex side map gives some of those
// names a complex counterpart (complex result, tag 2, or double result,
// tag 1). Variant 0 maps integer to integer. Every handler is a plain
// function of one scalar so the calling element can loop over a matrix
// without any per-element dispatch beyond one pointer call. Special functions
// come from GSL; their domain errors go through the math error handler and
// yield GSL's value (NaN or an infinity).
#include "builtins/FamilyTables.h"
#include "builtins/Random.h"

#include <gsl/gsl_cdf.h>
#include <gsl/gsl_mode.h>
#include <gsl/gsl_sf_airy.h>
#include <gsl/gsl_sf_bessel.h>
#include <gsl/gsl_sf_zeta.h>

#include <bit>
#include <cmath>
#include <complex>

namespace vemlor {

namespace {

// ---- double -> double ----------------------------------------------------

double sqrtD(double x) {
    return std::sqrt(x);
}
double expD(double x) {
    return std::exp(x);
}
double sinD(double x) {
    return std::sin(x);
}
double cosD(double x) {
    return std::cos(x);
}
double tanD(double x) {
    return std::tan(x);
}
double asinD(double x) {
    return std::asin(x);
}
double acosD(double x) {
    return std::acos(x);
}
double atanD(double x) {
    return std::atan(x);
}
double logD(double x) {
    return std::log(x);
}
double log10D(double x) {
    return std::log10(x);
}
double sinhD(double x) {
    return std::sinh(x);
}
double coshD(double x) {
    return std::cosh(x);
}
double tanhD(double x) {
    return std::tanh(x);
}
double asinhD(double x) {
    return std::asinh(x);
}
double acoshD(double x) {
    return std::acosh(x);
}
double atanhD(double x) {
    return std::atanh(x);
}
double absD(double x) {
    return std::fabs(x);
}
double erfD(double x) {
    return std::erf(x);
}
double erfcD(double x) {
    return std::erfc(x);
}
double gammaD(double x) {
    return std::tgamma(x);
}
double lgammaD(double x) {
    return std::lgamma(x);
}
double floorD(double x) {
    return std::floor(x);
}
double ceilD(double x) {
    return std::ceil(x);
}
double roundD(double x) {
    return std::round(x);
}

// The added epsilon lifts exact powers of two to (or just above) their
// integer, so floor(log2(x)) counts bits as users expect.
double log2D(double x) {
    return std::log(x) * 1.4426950408889634 + 2.220446049250313e-16;
}

double signD(double x) {
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}
double fstepD(double x) {
    return x > 0 ? 1.0 : (x == 0 ? 0.5 : 0.0);
}

double tophatD(double x) {
    if (x > 0 && x < 1) return 1.0;
    if (x == 0 || x == 1) return 0.5;
    return 0.0;
}

double sincD(double x) {
    return x == 0 ? 1.0 : std::sin(x) / x;
}

// On doubles, conj and real are the identity, imag is 0 and arg is the
// angle of the point (x, 0): 0 or pi.
double identityD(double x) {
    return x;
}
double imagD(double) {
    return 0.0;
}
double argD(double x) {
    return std::atan2(0.0, x);
}

double besselJ0D(double x) {
    return gsl_sf_bessel_J0(x);
}
double besselJ1D(double x) {
    return gsl_sf_bessel_J1(x);
}
double airyD(double x) {
    return gsl_sf_airy_Ai(x, GSL_PREC_DOUBLE);
}
double isnanD(double x) {
    return std::isnan(x) ? 1.0 : 0.0;
}
// Despite the name, the standard normal quantile: erfinv(0.975) is 1.96.
double erfinvD(double x) {
    return gsl_cdf_gaussian_Pinv(x, 1.0);
}
double zetaD(double x) {
    return gsl_sf_zeta(x);
}

// ---- complex -> complex and complex -> double -----------------------------

complexd sqrtC(complexd z) {
    return std::sqrt(z);
}
complexd expC(complexd z) {
    return std::exp(z);
}
complexd logC(complexd z) {
    return std::log(z);
}
complexd sinC(complexd z) {
    return std::sin(z);
}
complexd cosC(complexd z) {
    return std::cos(z);
}
complexd tanC(complexd z) {
    return std::tan(z);
}
complexd sinhC(complexd z) {
    return std::sinh(z);
}
complexd coshC(complexd z) {
    return std::cosh(z);
}
complexd tanhC(complexd z) {
    return std::tanh(z);
}
complexd conjC(complexd z) {
    return std::conj(z);
}

double realC(complexd z) {
    return z.real();
}
double imagC(complexd z) {
    return z.imag();
}
double absC(complexd z) {
    return std::abs(z);
}
double argC(complexd z) {
    return std::arg(z);
}

// ---- int -> int ------------------------------------------------------------

int randseedI(int seed) {
    seedRandom(seed);
    return seed;
}

// Text is single-byte (code page 1252): besides A-Z, the accented capitals
// 0xC0-0xDE (except the multiplication sign 0xD7) and the four capitals
// placed among the punctuation have lower-case partners.
int lowerI(int c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    switch (c) {
    case 0x8A:
        return 0x9A; // S caron
    case 0x8C:
        return 0x9C; // OE ligature
    case 0x8E:
        return 0x9E; // Z caron
    case 0x9F:
        return 0xFF; // Y diaeresis
    default:
        return c;
    }
}

// Set bits of the 32-bit pattern (a negative number counts its two's
// complement bits).
int bitweightI(int x) {
    return std::popcount(static_cast<unsigned>(x));
}

template <class F> const void* asHandler(F f) {
    return reinterpret_cast<const void*>(f);
}

const BuiltinDefinition kDoubleTable[] = {
    {"sqrt", asHandler(&sqrtD)},         {"exp", asHandler(&expD)},
    {"sin", asHandler(&sinD)},           {"cos", asHandler(&cosD)},
    {"tan", asHandler(&tanD)},           {"asin", asHandler(&asinD)},
    {"acos", asHandler(&acosD)},         {"atan", asHandler(&atanD)},
    {"log", asHandler(&logD)},           {"ln", asHandler(&logD)},
    {"log10", asHandler(&log10D)},       {"sinh", asHandler(&sinhD)},
    {"cosh", asHandler(&coshD)},         {"tanh", asHandler(&tanhD)},
    {"asinh", asHandler(&asinhD)},       {"acosh", asHandler(&acoshD)},
    {"atanh", asHandler(&atanhD)},       {"abs", asHandler(&absD)},
    {"erf", asHandler(&erfD)},           {"erfc", asHandler(&erfcD)},
    {"gamma", asHandler(&gammaD)},       {"lgamma", asHandler(&lgammaD)},
    {"log2", asHandler(&log2D)},         {"sign", asHandler(&signD)},
    {"fstep", asHandler(&fstepD)},       {"tophat", asHandler(&tophatD)},
    {"floor", asHandler(&floorD)},       {"ceil", asHandler(&ceilD)},
    {"ceiling", asHandler(&ceilD)},      {"round", asHandler(&roundD)},
    {"sinc", asHandler(&sincD)},         {"conj", asHandler(&identityD)},
    {"real", asHandler(&identityD)},     {"imag", asHandler(&imagD)},
    {"arg", asHandler(&argD)},           {"G", asHandler(&gammaD)},
    {"besselj0", asHandler(&besselJ0D)}, {"besselj1", asHandler(&besselJ1D)},
    {"airy", asHandler(&airyD)},         {"isnan", asHandler(&isnanD)},
    {"erfinv", asHandler(&erfinvD)},     {"zeta", asHandler(&zetaD)},
};

static_assert(std::size(kDoubleTable) == 42);

const BuiltinDefinition kIntTable[] = {
    {"randseed", asHandler(&randseedI), INTEGER_VAL},
    {"lower", asHandler(&lowerI), INTEGER_VAL},
    {"bitweight", asHandler(&bitweightI), INTEGER_VAL},
};

const ComplexCounterpart kComplexTable[] = {
    {"sqrt", asHandler(&sqrtC), 2}, {"exp", asHandler(&expC), 2},   {"log", asHandler(&logC), 2},
    {"ln", asHandler(&logC), 2},    {"sin", asHandler(&sinC), 2},   {"cos", asHandler(&cosC), 2},
    {"tan", asHandler(&tanC), 2},   {"sinh", asHandler(&sinhC), 2}, {"cosh", asHandler(&coshC), 2},
    {"tanh", asHandler(&tanhC), 2}, {"conj", asHandler(&conjC), 2}, {"real", asHandler(&realC), 1},
    {"imag", asHandler(&imagC), 1}, {"abs", asHandler(&absC), 1},   {"arg", asHandler(&argC), 1},
};

using VF = VectorFunction;
const VectorCounterpart kVectorTable[] = {
    {"sin", VF::Sin},   {"cos", VF::Cos},     {"tan", VF::Tan},     {"asin", VF::Asin},
    {"acos", VF::Acos}, {"atan", VF::Atan},   {"exp", VF::Exp},     {"log", VF::Log},
    {"ln", VF::Log},    {"log10", VF::Log10}, {"sinh", VF::Sinh},   {"cosh", VF::Cosh},
    {"tanh", VF::Tanh}, {"asinh", VF::Asinh}, {"acosh", VF::Acosh}, {"atanh", VF::Atanh},
    {"erf", VF::Erf},   {"erfc", VF::Erfc},
};

} // namespace

std::span<const VectorCounterpart> elementaryVectorTable() {
    return kVectorTable;
}

std::span<const BuiltinDefinition> elementaryDoubleTable() {
    return kDoubleTable;
}

std::span<const BuiltinDefinition> elementaryIntTable() {
    return kIntTable;
}

std::span<const ComplexCounterpart> elementaryComplexTable() {
    return kComplexTable;
}

} // namespace vemlor
