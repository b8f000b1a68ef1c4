// Loads the BLAS behind the jump table of LazyBlas.S on the first CBLAS call:
// OpenBLAS, or the reference CBLAS that comes with GSL when OpenBLAS cannot
// be opened (the same results, only slower).
#include "platform/blas/LazyBlas.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

extern "C" {
extern void* vemlorBlasTargets[];
void vemlorLoadBlas();
}

namespace vemlor::blas {
namespace {

constexpr const char* kNames[] = {
#define BLAS_SYMBOL(name, index) #name,
#include "platform/blas/BlasSymbols.def"
#undef BLAS_SYMBOL
};

bool isLoaded = false;

void* open(const char* library) {
    return dlopen(library, RTLD_NOW | RTLD_LOCAL);
}

} // namespace

bool loaded() {
    return isLoaded;
}

const void* target(const char* name) {
    for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; ++i)
        if (std::strcmp(kNames[i], name) == 0) return vemlorBlasTargets[i];
    return nullptr;
}

} // namespace vemlor::blas

// Called from the stub with every argument register saved: fills the whole
// table at once. Nothing here may throw (the assembly has no unwind tables).
extern "C" void vemlorLoadBlas() {
    using namespace vemlor::blas;
    if (isLoaded) return;
    void* fast = open("libopenblas.so.0");
    void* reference = fast ? nullptr : open("libgslcblas.so.0");
    for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; ++i) {
        void* function = fast ? dlsym(fast, kNames[i]) : nullptr;
        if (!function) {
            if (!reference) reference = open("libgslcblas.so.0");
            function = reference ? dlsym(reference, kNames[i]) : nullptr;
        }
        if (!function) {
            std::fprintf(stderr, "vemlor: no BLAS library provides %s\n", kNames[i]);
            std::_Exit(70);
        }
        vemlorBlasTargets[i] = function;
    }
    isLoaded = true;
}
