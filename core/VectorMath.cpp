// Opens SLEEF on first use and picks, once, the widest kernels this
// processor runs: 8 lanes with AVX-512, 4 with AVX2 and FMA. The loops that
// call them live in files of their own compiled for that instruction set
// (VectorKernels512.cpp, VectorKernels256.cpp), so the rest of the program
// keeps its baseline code.
#include "core/VectorMath.h"

#include "core/VectorKernels.h"

#include <array>
#include <cstring>
#include <dlfcn.h>
#include <string>

namespace vemlor {
namespace {

// SLEEF's name stem and accuracy suffix of each function, in enum order.
struct KernelName {
    const char* stem;
    const char* accuracy;
};
constexpr KernelName kNames[] = {
    {"", ""},         {"sin", "u10"},  {"cos", "u10"},  {"tan", "u10"},   {"asin", "u10"},
    {"acos", "u10"},  {"atan", "u10"}, {"exp", "u10"},  {"log", "u10"},   {"log10", "u10"},
    {"sinh", "u10"},  {"cosh", "u10"}, {"tanh", "u10"}, {"asinh", "u10"}, {"acosh", "u10"},
    {"atanh", "u10"}, {"erf", "u10"},  {"erfc", "u15"},
};
static_assert(std::size(kNames) == size_t(VectorFunction::Count));

enum class Width { None, Lanes4, Lanes8 };

struct Kernels {
    Width width = Width::None;
    std::array<void*, size_t(VectorFunction::Count)> functions{};
    void* power = nullptr;
};

#if defined(__x86_64__)

Width widestUsable() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return Width::Lanes8;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return Width::Lanes4;
    return Width::None;
}

// Every kernel of one width, or none: a half-filled table would make the
// choice between vector and scalar code depend on the function.
Kernels load() {
    Kernels kernels;
    Width width = widestUsable();
    if (width == Width::None) return kernels;
    void* library = dlopen("libsleef.so.3", RTLD_NOW | RTLD_LOCAL);
    if (!library) return kernels;
    const char* suffix = width == Width::Lanes8 ? "d8_" : "d4_";
    const char* unit = width == Width::Lanes8 ? "avx512f" : "avx2";
    for (size_t i = 1; i < kernels.functions.size(); ++i) {
        std::string symbol =
            std::string("Sleef_") + kNames[i].stem + suffix + kNames[i].accuracy + unit;
        kernels.functions[i] = dlsym(library, symbol.c_str());
        if (!kernels.functions[i]) return Kernels{};
    }
    kernels.power = dlsym(library, (std::string("Sleef_pow") + suffix + "u10" + unit).c_str());
    if (!kernels.power) return Kernels{};
    kernels.width = width;
    return kernels;
}

#else

Kernels load() {
    return Kernels{};
}

#endif

const Kernels& loadedKernels() {
    static const Kernels kernels = load();
    return kernels;
}

} // namespace

bool applyVector(VectorFunction f, const double* x, double* y, int n) {
    const Kernels& kernels = loadedKernels();
    if (f == VectorFunction::None || kernels.width == Width::None) return false;
    void* kernel = kernels.functions[size_t(f)];
#if defined(__x86_64__)
    if (kernels.width == Width::Lanes8)
        vector_kernels::map8(kernel, x, y, n);
    else
        vector_kernels::map4(kernel, x, y, n);
    return true;
#else
    (void)kernel, (void)x, (void)y, (void)n;
    return false;
#endif
}

bool applyVectorPower(const double* x, double y, double* z, int n) {
    if (applyWholePower(x, y, z, n)) return true;
    const Kernels& kernels = loadedKernels();
    if (kernels.width == Width::None) return false;
#if defined(__x86_64__)
    if (kernels.width == Width::Lanes8)
        vector_kernels::power8(kernels.power, x, y, z, n);
    else
        vector_kernels::power4(kernels.power, x, y, z, n);
    return true;
#else
    (void)x, (void)y, (void)z, (void)n;
    return false;
#endif
}

} // namespace vemlor
