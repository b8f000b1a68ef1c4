// Discrete Fourier transforms: fft(x) is the unscaled forward transform,
// ifft(x) the inverse divided by n, so ifft(fft(x)) gives x back.
//
// Every length works in n log n time: powers of two go through GSL's radix-2
// routine, lengths made of small prime factors through its mixed-radix one,
// and a length with a large prime factor (where mixed radix would cost up to
// n^2) as a chirp convolution (Bluestein's method) of radix-2 transforms. A
// vector is one signal; a matrix is transformed column by column. Integers
// and doubles count as real signals; the result is always complex.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <gsl/gsl_fft_complex.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

enum class Direction { Forward, Inverse };

bool powerOfTwo(int n) {
    return (n & (n - 1)) == 0;
}

// Mixed radix does work proportional to n times the largest prime factor.
bool smallFactors(int n) {
    constexpr int kLargestCheapFactor = 64;
    for (int p = 2; p <= kLargestCheapFactor && n > 1; ++p)
        while (n % p == 0)
            n /= p;
    return n == 1;
}

void radix2(complexd* data, int n, Direction direction) {
    auto* packed = reinterpret_cast<double*>(data);
    if (direction == Direction::Forward)
        gsl_fft_complex_radix2_forward(packed, 1, size_t(n));
    else
        gsl_fft_complex_radix2_inverse(packed, 1, size_t(n));
}

// The transform of any length n as a convolution: with the chirp
// c(j) = exp(-+ i pi j^2 / n), X(k) = c(k) sum_j x(j) c(j) conj(c(k - j)), a
// convolution done by radix-2 transforms of a power-of-two length >= 2n - 1.
void bluestein(complexd* data, int n, Direction direction) {
    int m = 1;
    while (m < 2 * n - 1)
        m *= 2;
    double sign = direction == Direction::Forward ? -1.0 : 1.0;
    std::vector<complexd> chirp(static_cast<size_t>(n)), a(static_cast<size_t>(m)),
        b(static_cast<size_t>(m));
    for (long j = 0; j < n; ++j) {
        double turns = double((j * j) % (2L * n)) / n; // j^2 / n, reduced exactly
        chirp[size_t(j)] = std::polar(1.0, sign * std::numbers::pi * turns);
        a[size_t(j)] = data[j] * chirp[size_t(j)];
        b[size_t(j)] = std::conj(chirp[size_t(j)]);
        if (j > 0) b[size_t(m - j)] = b[size_t(j)];
    }
    radix2(a.data(), m, Direction::Forward);
    radix2(b.data(), m, Direction::Forward);
    for (int k = 0; k < m; ++k)
        a[size_t(k)] *= b[size_t(k)];
    radix2(a.data(), m, Direction::Inverse);
    double scale = direction == Direction::Forward ? 1.0 : 1.0 / n;
    for (int k = 0; k < n; ++k)
        data[k] = a[size_t(k)] * chirp[size_t(k)] * scale;
}

// Transforms `columns` signals of `length` contiguous elements each.
void transform(complexd* data, int length, int columns, Direction direction) {
    auto* packed = reinterpret_cast<double*>(data);
    if (!smallFactors(length)) {
        for (int c = 0; c < columns; ++c)
            bluestein(data + long(c) * length, length, direction);
        return;
    }
    if (powerOfTwo(length)) {
        for (int c = 0; c < columns; ++c) {
            double* signal = packed + 2L * c * length;
            if (direction == Direction::Forward)
                gsl_fft_complex_radix2_forward(signal, 1, size_t(length));
            else
                gsl_fft_complex_radix2_inverse(signal, 1, size_t(length));
        }
        return;
    }
    std::unique_ptr<gsl_fft_complex_wavetable, void (*)(gsl_fft_complex_wavetable*)> table(
        gsl_fft_complex_wavetable_alloc(size_t(length)), gsl_fft_complex_wavetable_free);
    std::unique_ptr<gsl_fft_complex_workspace, void (*)(gsl_fft_complex_workspace*)> work(
        gsl_fft_complex_workspace_alloc(size_t(length)), gsl_fft_complex_workspace_free);
    for (int c = 0; c < columns; ++c) {
        double* signal = packed + 2L * c * length;
        if (direction == Direction::Forward)
            gsl_fft_complex_forward(signal, 1, size_t(length), table.get(), work.get());
        else
            gsl_fft_complex_inverse(signal, 1, size_t(length), table.get(), work.get());
    }
}

void fourier(const Value& x, ValuePtr& output, Direction direction) {
    bool numeric = (x.type() == INTEGER_VAL && !x.isString()) || x.type() == DOUBLE_VAL ||
                   x.type() == COMPLEX_VAL;
    check(numeric, {}, "argument has wrong type (should be double or complex)");
    ComplexValue signal;
    signal.assignConverted(x);
    signal.kind = KIND_NUMERIC;
    if (signal.n > 0) {
        bool vector = x.isVector() && !x.is3D();
        int length = vector ? x.n : x.nrow;
        transform(signal.data(), length, x.n / length, direction);
    }
    resultAs<ComplexValue>(output).takeFrom(signal);
}

void fft(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    fourier(*arguments[0], outputs[0], Direction::Forward);
}

void ifft(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    fourier(*arguments[0], outputs[0], Direction::Inverse);
}

} // namespace

std::span<const BuiltinDefinition> fourierTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("fft", fft, COMPLEX_VAL, 1, 1),
        defineBuiltin("ifft", ifft, COMPLEX_VAL, 1, 1),
    };
    return table;
}

} // namespace vemlor
