// Discrete Fourier transforms: fft(x) is the unscaled forward transform,
// ifft(x) the inverse divided by n, so ifft(fft(x)) gives x back.
//
// Every length works: powers of two go through GSL's radix-2 routine, other
// lengths through its mixed-radix one (fast for lengths made of small
// factors, down to order n^2 for a large prime length). A vector is one
// signal; a matrix is transformed column by column. Integers and doubles
// count as real signals; the result is always complex.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <gsl/gsl_fft_complex.h>

#include <memory>

namespace vemlor {

namespace {

using namespace detail;

enum class Direction { Forward, Inverse };

bool powerOfTwo(int n) {
    return (n & (n - 1)) == 0;
}

// Transforms `columns` signals of `length` contiguous elements each.
void transform(complexd* data, int length, int columns, Direction direction) {
    auto* packed = reinterpret_cast<double*>(data);
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
