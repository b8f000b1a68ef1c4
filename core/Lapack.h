// The LAPACK inside OpenBLAS, for the few routines where GSL's own code is
// far slower than a blocked one. Opened on first use; every function answers
// false when the library cannot be opened, and the caller uses GSL instead.
#pragma once

namespace vemlor::lapack {

// The eigenvalues of the symmetric n-by-n matrix a (column-major; destroyed)
// into w, in ascending order.
bool symmetricEigenvalues(int n, double* a, double* w);

} // namespace vemlor::lapack
