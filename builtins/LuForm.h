// The LU form of a square double matrix, behind solve, inv, det and setLU.
//
// P A = L U with partial pivoting. A nonsingular matrix is factorised by
// GSL's blocked LU (its BLAS calls run on OpenBLAS), so large systems cost
// what a LAPACK factorisation costs. When that meets an exactly zero pivot,
// the factorisation is redone by the program's own elimination with
// implicit row scaling (each row judged relative to its largest element),
// which replaces a zero pivot by 1e-40 and goes on, so a singular matrix
// still gives finite (if huge) numbers together with the console line
// "matrix is singular or close to singular". A row of zeros is refused
// before anything is computed.
#pragma once

#include <memory>

namespace vemlor {

class OutputSink;

class LuForm {
  public:
    // Factorises the n-by-n column-major matrix `a` (n >= 1); the singular
    // line goes to `out` (null: a caller that factorises again and again
    // reports on its own).
    LuForm(const double* a, int n, OutputSink* out);
    ~LuForm();
    LuForm(const LuForm&) = delete;
    LuForm& operator=(const LuForm&) = delete;

    int size() const { return n_; }
    // Whether a zero pivot had to be replaced.
    bool singular() const { return singular_; }
    double determinant() const;
    // Overwrites the n-by-columns column-major `b` with the solution X of
    // A X = b.
    void solveInPlace(double* b, int columns) const;
    // The inverse, column-major, into `out` (n * n elements).
    void inverse(double* out) const;

  private:
    struct Factors; // GSL's matrix and permutation, kept out of this header

    int n_;
    std::unique_ptr<Factors> factors_;
    bool singular_ = false;
};

} // namespace vemlor
