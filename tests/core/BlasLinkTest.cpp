// GSL's BLAS calls must run on OpenBLAS, not on GSL's reference CBLAS (which
// libgsl itself pulls in). Checks which shared object the program's
// cblas_dgemm comes from, and that GSL's product through it is right.
#include <dlfcn.h>
#include <gsl/gsl_blas.h>
#include <gsl/gsl_cblas.h>
#include <gsl/gsl_matrix.h>

#include <string>

#include <gtest/gtest.h>

namespace {

std::string objectHolding(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return "(unknown)";
    return info.dli_fname;
}

TEST(BlasLink, CblasComesFromOpenBlas) {
    // The address as this program resolves it, and as the global lookup that
    // libgsl's own references go through resolves it.
    std::string direct = objectHolding(reinterpret_cast<const void*>(&cblas_dgemm));
    EXPECT_NE(direct.find("openblas"), std::string::npos) << direct;
    void* global = dlsym(RTLD_DEFAULT, "cblas_dgemm");
    ASSERT_NE(global, nullptr);
    std::string resolved = objectHolding(global);
    EXPECT_NE(resolved.find("openblas"), std::string::npos) << resolved;
    EXPECT_EQ(resolved.find("gslcblas"), std::string::npos) << resolved;
}

TEST(BlasLink, GslProductIsRight) {
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
}

} // namespace
