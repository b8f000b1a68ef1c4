// Built with -mavx512f (see CMakeLists.txt); called only where the
// processor has AVX-512.
#include "core/VectorKernels.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace vemlor::vector_kernels {

namespace {
using Lanes8 = __m512d (*)(__m512d);
using Power8 = __m512d (*)(__m512d, __m512d);
} // namespace

void map8(void* kernel, const double* x, double* y, int n) {
    auto f = reinterpret_cast<Lanes8>(kernel);
    int i = 0;
    for (; i + 8 <= n; i += 8)
        _mm512_storeu_pd(y + i, f(_mm512_loadu_pd(x + i)));
    if (i < n) {
        auto lanes = static_cast<__mmask8>((1u << (n - i)) - 1);
        _mm512_mask_storeu_pd(y + i, lanes, f(_mm512_maskz_loadu_pd(lanes, x + i)));
    }
}

void power8(void* kernel, const double* x, double y, double* z, int n) {
    auto f = reinterpret_cast<Power8>(kernel);
    const __m512d exponent = _mm512_set1_pd(y);
    int i = 0;
    for (; i + 8 <= n; i += 8)
        _mm512_storeu_pd(z + i, f(_mm512_loadu_pd(x + i), exponent));
    if (i < n) {
        auto lanes = static_cast<__mmask8>((1u << (n - i)) - 1);
        _mm512_mask_storeu_pd(z + i, lanes, f(_mm512_maskz_loadu_pd(lanes, x + i), exponent));
    }
}

} // namespace vemlor::vector_kernels
#endif
