#include "core/Lapack.h"

#include <dlfcn.h>
#include <memory>
#include <vector>

namespace vemlor::lapack {
namespace {

using Dsyevd = void (*)(const char* jobz, const char* uplo, const int* n, double* a, const int* lda,
                        double* w, double* work, const int* lwork, int* iwork, const int* liwork,
                        int* info);

Dsyevd findDsyevd() {
    void* library = dlopen("libopenblas.so.0", RTLD_NOW | RTLD_LOCAL);
    return library ? reinterpret_cast<Dsyevd>(dlsym(library, "dsyevd_")) : nullptr;
}

} // namespace

bool symmetricEigenvalues(int n, double* a, double* w) {
    static const Dsyevd dsyevd = findDsyevd();
    if (!dsyevd || n <= 0) return false;
    const char values = 'N', lower = 'L';
    int info = 0, query = -1, iworkSize = 0;
    double workSize = 0;
    dsyevd(&values, &lower, &n, a, &n, w, &workSize, &query, &iworkSize, &query, &info);
    if (info != 0) return false;
    int lwork = int(workSize), liwork = iworkSize;
    std::vector<double> work(size_t(lwork > 0 ? lwork : 1));
    std::vector<int> iwork(size_t(liwork > 0 ? liwork : 1));
    dsyevd(&values, &lower, &n, a, &n, w, work.data(), &lwork, iwork.data(), &liwork, &info);
    return info == 0;
}

} // namespace vemlor::lapack
