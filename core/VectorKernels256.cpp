// Built with -mavx2 -mfma (see CMakeLists.txt); called only where the
// processor has both.
#include "core/VectorKernels.h"

#if defined(__x86_64__)
#include <cstring>
#include <immintrin.h>

namespace vemlor::vector_kernels {

namespace {
using Lanes4 = __m256d (*)(__m256d);
using Power4 = __m256d (*)(__m256d, __m256d);
} // namespace

void map4(void* kernel, const double* x, double* y, int n) {
    auto f = reinterpret_cast<Lanes4>(kernel);
    int i = 0;
    for (; i + 4 <= n; i += 4)
        _mm256_storeu_pd(y + i, f(_mm256_loadu_pd(x + i)));
    if (i < n) {
        alignas(32) double tail[4] = {};
        std::memcpy(tail, x + i, sizeof(double) * size_t(n - i));
        _mm256_store_pd(tail, f(_mm256_load_pd(tail)));
        std::memcpy(y + i, tail, sizeof(double) * size_t(n - i));
    }
}

void power4(void* kernel, const double* x, double y, double* z, int n) {
    auto f = reinterpret_cast<Power4>(kernel);
    const __m256d exponent = _mm256_set1_pd(y);
    int i = 0;
    for (; i + 4 <= n; i += 4)
        _mm256_storeu_pd(z + i, f(_mm256_loadu_pd(x + i), exponent));
    if (i < n) {
        alignas(32) double tail[4] = {};
        std::memcpy(tail, x + i, sizeof(double) * size_t(n - i));
        _mm256_store_pd(tail, f(_mm256_load_pd(tail), exponent));
        std::memcpy(z + i, tail, sizeof(double) * size_t(n - i));
    }
}

} // namespace vemlor::vector_kernels
#endif
