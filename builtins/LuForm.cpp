// The LU form: GSL's factorisation for the regular case, the program's own
// scaled elimination with the 1e-40 pivot rule when a pivot is zero.
#include "builtins/LuForm.h"

#include "core/Errors.h"
#include "core/OutputSink.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_linalg.h>
#include <gsl/gsl_matrix.h>
#include <gsl/gsl_permutation.h>

#include <cmath>
#include <utility>
#include <vector>

namespace vemlor {

namespace {

constexpr double kReplacementPivot = 1e-40;

// GSL reports a failed allocation (through the math-error line) and
// returns null.
gsl_matrix* newMatrix(int rows, int columns) {
    gsl_matrix* m = gsl_matrix_alloc(size_t(rows), size_t(columns));
    if (!m) raiseRuntime("out of memory");
    return m;
}

// Row-major copy of the column-major n-by-n `a`.
void copyTransposed(const double* a, int n, gsl_matrix* m) {
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            gsl_matrix_set(m, size_t(i), size_t(j), a[long(j) * n + i]);
}

// The largest magnitude of every row; a row of zeros is an error.
std::vector<double> rowScales(const gsl_matrix* m) {
    std::vector<double> scales(m->size1);
    for (size_t i = 0; i < m->size1; ++i) {
        double largest = 0;
        for (size_t j = 0; j < m->size2; ++j)
            largest = std::max(largest, std::fabs(gsl_matrix_get(m, i, j)));
        if (largest == 0) raiseRuntime("LUform: matrix has a row of zeros");
        scales[i] = largest;
    }
    return scales;
}

bool allFinite(const gsl_matrix* m) {
    for (size_t i = 0; i < m->size1; ++i)
        for (size_t j = 0; j < m->size2; ++j)
            if (!std::isfinite(gsl_matrix_get(m, i, j))) return false;
    return true;
}

// A factorisation GSL finished without meeting a zero pivot: it divides by
// such a pivot instead of stopping, so a zero on the diagonal or a
// non-finite element (from finite input) betrays one.
bool regularFactors(const gsl_matrix* lu, bool inputFinite) {
    for (size_t k = 0; k < lu->size1; ++k)
        if (gsl_matrix_get(lu, k, k) == 0) return false;
    return !inputFinite || allFinite(lu);
}

} // namespace

struct LuForm::Factors {
    gsl_matrix* lu = nullptr;
    gsl_permutation* permutation = nullptr;
    int sign = 1;

    explicit Factors(int n)
        : lu(gsl_matrix_alloc(size_t(n), size_t(n))),
          permutation(gsl_permutation_alloc(size_t(n))) {
        if (!lu || !permutation) {
            gsl_permutation_free(permutation);
            gsl_matrix_free(lu);
            raiseRuntime("out of memory");
        }
    }
    ~Factors() {
        gsl_permutation_free(permutation);
        gsl_matrix_free(lu);
    }
    Factors(const Factors&) = delete;
    Factors& operator=(const Factors&) = delete;

    // Partial pivoting on the element largest relative to its row's
    // largest; returns whether a zero pivot was replaced.
    bool eliminateWithScaling(std::vector<double> scales) {
        size_t n = lu->size1;
        gsl_permutation_init(permutation);
        sign = 1;
        bool replaced = false;
        for (size_t k = 0; k < n; ++k) {
            size_t pivotRow = k;
            double best = -1;
            for (size_t i = k; i < n; ++i) {
                double weight = std::fabs(gsl_matrix_get(lu, i, k)) / scales[i];
                if (weight > best) {
                    best = weight;
                    pivotRow = i;
                }
            }
            if (pivotRow != k) {
                gsl_matrix_swap_rows(lu, k, pivotRow);
                std::swap(scales[k], scales[pivotRow]);
                gsl_permutation_swap(permutation, k, pivotRow);
                sign = -sign;
            }
            double* pivotLine = gsl_matrix_ptr(lu, k, 0);
            if (pivotLine[k] == 0) {
                pivotLine[k] = kReplacementPivot;
                replaced = true;
            }
            for (size_t i = k + 1; i < n; ++i) {
                double* line = gsl_matrix_ptr(lu, i, 0);
                double factor = line[k] /= pivotLine[k];
                if (factor == 0) continue;
                for (size_t j = k + 1; j < n; ++j)
                    line[j] -= factor * pivotLine[j];
            }
        }
        return replaced;
    }
};

LuForm::LuForm(const double* a, int n, OutputSink* out)
    : n_(n), factors_(std::make_unique<Factors>(n)) {
    gsl_matrix* lu = factors_->lu;
    copyTransposed(a, n, lu);
    std::vector<double> scales = rowScales(lu);
    bool inputFinite = allFinite(lu);
    gsl_linalg_LU_decomp(lu, factors_->permutation, &factors_->sign);
    if (regularFactors(lu, inputFinite)) return;
    copyTransposed(a, n, lu);
    singular_ = factors_->eliminateWithScaling(std::move(scales));
    if (singular_ && out)
        out->print("matrix is singular or close to singular", true, PRINT_LITERAL);
}

LuForm::~LuForm() = default;

double LuForm::determinant() const {
    return gsl_linalg_LU_det(factors_->lu, factors_->sign);
}

void LuForm::solveInPlace(double* b, int columns) const {
    const gsl_matrix* lu = factors_->lu;
    const gsl_permutation* p = factors_->permutation;
    if (columns == 1) {
        gsl_vector_view x = gsl_vector_view_array(b, size_t(n_));
        gsl_linalg_LU_svx(lu, p, &x.vector);
        return;
    }
    // Row-major right-hand sides, rows in pivot order, then the two
    // triangular solves as blocked BLAS calls.
    gsl_matrix* x = newMatrix(n_, columns);
    for (int c = 0; c < columns; ++c)
        for (int i = 0; i < n_; ++i)
            gsl_matrix_set(x, size_t(i), size_t(c), b[long(c) * n_ + long(p->data[i])]);
    gsl_blas_dtrsm(CblasLeft, CblasLower, CblasNoTrans, CblasUnit, 1.0, lu, x);
    gsl_blas_dtrsm(CblasLeft, CblasUpper, CblasNoTrans, CblasNonUnit, 1.0, lu, x);
    for (int c = 0; c < columns; ++c)
        for (int i = 0; i < n_; ++i)
            b[long(c) * n_ + i] = gsl_matrix_get(x, size_t(i), size_t(c));
    gsl_matrix_free(x);
}

void LuForm::inverse(double* out) const {
    gsl_matrix* inverse = newMatrix(n_, n_);
    gsl_linalg_LU_invert(factors_->lu, factors_->permutation, inverse);
    for (int j = 0; j < n_; ++j)
        for (int i = 0; i < n_; ++i)
            out[long(j) * n_ + i] = gsl_matrix_get(inverse, size_t(i), size_t(j)) + 0.0; // no -0
    gsl_matrix_free(inverse);
}

} // namespace vemlor
