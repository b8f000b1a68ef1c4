// The loops that run SLEEF's array kernels over a whole vector, one pair for
// each instruction set. Each pair lives in a file compiled for its
// instruction set alone: the vectors are handed to the kernels in registers
// of that set, which only a whole file built for it passes reliably through
// a function pointer. Callers check the processor first.
#pragma once

namespace vemlor::vector_kernels {

// y[i] = kernel(x[i]) and z[i] = kernel(x[i], y) for i < n.
void map8(void* kernel, const double* x, double* y, int n);
void power8(void* kernel, const double* x, double y, double* z, int n);
void map4(void* kernel, const double* x, double* y, int n);
void power4(void* kernel, const double* x, double y, double* z, int n);

} // namespace vemlor::vector_kernels
