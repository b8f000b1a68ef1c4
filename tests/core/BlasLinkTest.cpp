// GSL's BLAS calls must run on OpenBLAS, not on GSL's reference CBLAS (which
// libgsl itself pulls in), and OpenBLAS is loaded only when the first CBLAS
// call comes. Checks where the global lookup that libgsl's references go
// through finds cblas_dgemm, and where that jumps once GSL has multiplied.
#include "platform/blas/LazyBlas.h"

#include <dlfcn.h>
#include <gsl/gsl_blas.h>
#include <gsl/gsl_matrix.h>

#include <string>

#include <gtest/gtest.h>

namespace {

std::string objectHolding(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return "(unknown)";
    return info.dli_fname;
}

TEST(BlasLink, GslProductRunsOnOpenBlasLoadedOnFirstUse) {
    void* global = dlsym(RTLD_DEFAULT, "cblas_dgemm");
    ASSERT_NE(global, nullptr);
    std::string resolved = objectHolding(global);
    EXPECT_EQ(resolved.find("gslcblas"), std::string::npos) << resolved;
    EXPECT_EQ(resolved.find("openblas"), std::string::npos) << resolved; // the jump table
    bool loadedBefore = vemlor::blas::loaded();
    if (!loadedBefore) {
        EXPECT_EQ(dlopen("libopenblas.so.0", RTLD_NOW | RTLD_NOLOAD), nullptr);
    }

    // [1 2 3; 4 5 6] * [7 8; 9 10; 11 12] = [58 64; 139 154], row-major.
    double a[] = {1, 2, 3, 4, 5, 6};
    double b[] = {7, 8, 9, 10, 11, 12};
    double c[] = {-1, -1, -1, -1};
    gsl_matrix_view av = gsl_matrix_view_array(a, 2, 3);
    gsl_matrix_view bv = gsl_matrix_view_array(b, 3, 2);
    gsl_matrix_view cv = gsl_matrix_view_array(c, 2, 2);
    ASSERT_EQ(
        gsl_blas_dgemm(CblasNoTrans, CblasNoTrans, 1.0, &av.matrix, &bv.matrix, 0.0, &cv.matrix),
        0);
    EXPECT_EQ(c[0], 58);
    EXPECT_EQ(c[1], 64);
    EXPECT_EQ(c[2], 139);
    EXPECT_EQ(c[3], 154);
    EXPECT_TRUE(vemlor::blas::loaded());
    std::string target = objectHolding(vemlor::blas::target("cblas_dgemm"));
    EXPECT_NE(target.find("openblas"), std::string::npos) << target;
}

} // namespace
