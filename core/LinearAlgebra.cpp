// Matrix operations of MathMatrix<T> that mix elements: the matrix product,
// the matrix power, the Kronecker product and the vector cross product.
//
// Double and complex products go through GSL's BLAS interface, which this
// program links against OpenBLAS; integer products are a plain loop that wraps
// around in 32 bits like the rest of integer arithmetic. Storage is
// column-major while GSL's matrices are row-major, so a column-major m-by-n
// buffer is handed to GSL as the n-by-m row-major transpose and products are
// formed as C' = B' A'. Results keep the left operand's kind word, except that
// a 3-D kind word becomes numeric when the result is an ordinary matrix. Shape
// failures raise the operator's character before the left operand changes.
//
// Matrix power: a whole exponent >= 0 multiplies by repeated squaring for
// every element type. Any other exponent goes through the symmetric
// eigensolver and exists for doubles only: the matrix must be symmetric and
// free of negative eigenvalues, else 'R'. Integer and complex matrices refuse
// such an exponent with a message instead.
#include "core/Errors.h"
#include "core/MathMatrix.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_complex_math.h>
#include <gsl/gsl_eigen.h>
#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <type_traits>
#include <utility>

namespace vemlor {
namespace {

template <class T> using Buffer = std::unique_ptr<T[]>;

template <class T> Buffer<T> newBuffer(int count) {
    return std::make_unique_for_overwrite<T[]>(size_t(count));
}

int checkedCount(long count) {
    if (count > INT_MAX) raiseRuntime("matrix too large");
    return int(count);
}

// Element products and differences; integers wrap around in 32 bits.
template <class T> T times(T a, T b) {
    if constexpr (std::is_same_v<T, int>)
        return int(unsigned(a) * unsigned(b));
    else
        return a * b;
}
template <class T> T minus(T a, T b) {
    if constexpr (std::is_same_v<T, int>)
        return int(unsigned(a) - unsigned(b));
    else
        return a - b;
}

// Makes `count` elements of `buffer` the value of m (rows of them), keeping
// m's kind word unless it describes pages the new shape does not have.
template <class T> void adoptResult(MathMatrix<T>& m, Buffer<T> buffer, int count, int rows) {
    int kindWord = m.is3D() ? int(KIND_NUMERIC) : m.kind;
    m.adopt(buffer.release(), count, rows, kindWord);
}

template <class T> void makeEmpty(MathMatrix<T>& m) {
    m.resize(0);
    m.nrow = 0;
    if (m.is3D()) m.kind = KIND_NUMERIC;
}

// c (m x n) = a (m x k) * b (k x n), column-major, all sizes positive, c
// distinct from a and b.
void multiplyInto(double* c, const double* a, const double* b, int m, int k, int n) {
    gsl_matrix_const_view at = gsl_matrix_const_view_array(a, size_t(k), size_t(m));
    gsl_matrix_const_view bt = gsl_matrix_const_view_array(b, size_t(n), size_t(k));
    gsl_matrix_view ct = gsl_matrix_view_array(c, size_t(n), size_t(m));
    gsl_blas_dgemm(CblasNoTrans, CblasNoTrans, 1.0, &bt.matrix, &at.matrix, 0.0, &ct.matrix);
}

void multiplyInto(complexd* c, const complexd* a, const complexd* b, int m, int k, int n) {
    // std::complex<double> is laid out as two doubles, as gsl_complex is.
    auto raw = [](const complexd* p) { return reinterpret_cast<const double*>(p); };
    gsl_matrix_complex_const_view at =
        gsl_matrix_complex_const_view_array(raw(a), size_t(k), size_t(m));
    gsl_matrix_complex_const_view bt =
        gsl_matrix_complex_const_view_array(raw(b), size_t(n), size_t(k));
    gsl_matrix_complex_view ct =
        gsl_matrix_complex_view_array(reinterpret_cast<double*>(c), size_t(n), size_t(m));
    gsl_blas_zgemm(CblasNoTrans, CblasNoTrans, gsl_complex_rect(1.0, 0.0), &bt.matrix, &at.matrix,
                   gsl_complex_rect(0.0, 0.0), &ct.matrix);
}

void multiplyInto(int* c, const int* a, const int* b, int m, int k, int n) {
    for (int j = 0; j < n; ++j) {
        int* cj = c + long(j) * m;
        std::fill(cj, cj + m, 0);
        for (int p = 0; p < k; ++p) {
            unsigned factor = unsigned(b[long(j) * k + p]);
            const int* ap = a + long(p) * m;
            for (int i = 0; i < m; ++i)
                cj[i] = int(unsigned(cj[i]) + unsigned(ap[i]) * factor);
        }
    }
}

// A whole exponent >= 0 as a double, when the exponent is one.
bool wholeExponent(int e, double& whole) {
    whole = e;
    return e >= 0;
}
bool wholeExponent(double e, double& whole) {
    whole = e;
    return std::isfinite(e) && e >= 0 && e == std::floor(e);
}
bool wholeExponent(complexd e, double& whole) {
    return e.imag() == 0.0 && wholeExponent(e.real(), whole);
}

// m (an r-by-r matrix, r > 0) to the whole power e by binary exponentiation:
// for each bit of e from the lowest, multiply the accumulator by the current
// power when the bit is set, then square the current power. Works on doubles so
// that any whole exponent (beyond 64 bits too) takes at most ~1000 steps.
template <class T> void powerBySquaring(MathMatrix<T>& m, double e) {
    int r = m.nrow, count = m.n;
    Buffer<T> acc = newBuffer<T>(count), current = newBuffer<T>(count),
              scratch = newBuffer<T>(count);
    std::fill(acc.get(), acc.get() + count, T(0));
    for (int i = 0; i < r; ++i)
        acc[long(i) * r + i] = T(1);
    std::copy(m.data(), m.data() + count, current.get());
    while (e > 0) {
        double half = std::floor(e / 2);
        if (e - 2 * half != 0) {
            multiplyInto(scratch.get(), acc.get(), current.get(), r, r, r);
            std::swap(acc, scratch);
        }
        e = half;
        if (e > 0) {
            multiplyInto(scratch.get(), current.get(), current.get(), r, r, r);
            std::swap(current, scratch);
        }
    }
    std::copy(acc.get(), acc.get() + count, m.data());
}

struct GslFree {
    void operator()(gsl_matrix* p) const { gsl_matrix_free(p); }
    void operator()(gsl_vector* p) const { gsl_vector_free(p); }
    void operator()(gsl_eigen_symmv_workspace* p) const { gsl_eigen_symmv_free(p); }
};
template <class G> using GslPtr = std::unique_ptr<G, GslFree>;

// Symmetric up to rounding: the eigensolver reads one triangle only, so a
// matrix that is not symmetric would silently give a meaningless power.
bool isSymmetric(const MathMatrix<double>& m) {
    int r = m.nrow;
    for (int j = 0; j < r; ++j)
        for (int i = j + 1; i < r; ++i) {
            double a = m[j * r + i], b = m[i * r + j];
            if (!(std::fabs(a - b) <= 1e-10 * (std::fabs(a) + std::fabs(b)))) return false;
        }
    return true;
}

// m (r-by-r, r > 0) to the power p as V diag(lambda^p) V' from its
// eigen-decomposition; a negative eigenvalue raises InvalidPower.
void powerByEigen(MathMatrix<double>& m, double p) {
    if (!isSymmetric(m)) raiseCode(ErrorCode::InvalidPower);
    size_t r = size_t(m.nrow);
    GslPtr<gsl_matrix> a(gsl_matrix_alloc(r, r)), vectors(gsl_matrix_alloc(r, r));
    GslPtr<gsl_vector> values(gsl_vector_alloc(r));
    GslPtr<gsl_eigen_symmv_workspace> work(gsl_eigen_symmv_alloc(r));
    std::copy(m.data(), m.data() + m.n, a->data); // symmetric: row- and column-major agree
    gsl_eigen_symmv(a.get(), values.get(), vectors.get(), work.get());
    // a is spent; reuse it for the scaled eigenvectors V diag(lambda^p).
    for (size_t k = 0; k < r; ++k) {
        double lambda = gsl_vector_get(values.get(), k);
        if (lambda < 0) raiseCode(ErrorCode::InvalidPower);
        double scale = std::pow(lambda, p);
        for (size_t i = 0; i < r; ++i)
            gsl_matrix_set(a.get(), i, k, gsl_matrix_get(vectors.get(), i, k) * scale);
    }
    GslPtr<gsl_matrix> product(gsl_matrix_alloc(r, r));
    gsl_blas_dgemm(CblasNoTrans, CblasTrans, 1.0, a.get(), vectors.get(), 0.0, product.get());
    for (size_t i = 0; i < r; ++i)
        for (size_t j = 0; j < r; ++j)
            m[int(j * r + i)] = gsl_matrix_get(product.get(), i, j);
}

template <class T> void powerByEigen(MathMatrix<T>&, T) {
    if constexpr (std::is_same_v<T, int>)
        raiseRuntime("matrix power of an integer matrix needs a whole exponent >= 0");
    else
        raiseRuntime("matrix power of a complex matrix needs a whole exponent >= 0");
}

// A set of 3-vectors inside a matrix: `count` vectors, `component` apart
// between x, y and z of one vector, `step` apart from one vector to the next.
// Three rows make column vectors (checked first, so a 3-by-3 matrix holds
// columns), three columns make row vectors; a single 3-vector is a set of one.
struct VectorSet {
    int count = 0;
    int component = 1;
    int step = 3;
};

bool describeSet(const Value& v, VectorSet& set) {
    if (v.nrow == 3) {
        set = {v.ncol(), 1, 3};
        return true;
    }
    if (v.nrow > 0 && v.ncol() == 3) {
        set = {v.nrow, v.nrow, 1};
        return true;
    }
    return false;
}

template <class T>
void crossInto(T* out, const VectorSet& o, const T* a, const VectorSet& sa, const T* b,
               const VectorSet& sb) {
    for (int v = 0; v < o.count; ++v) {
        const T* x = a + (sa.count == 1 ? 0 : long(v) * sa.step);
        const T* y = b + (sb.count == 1 ? 0 : long(v) * sb.step);
        T x1 = x[0], x2 = x[sa.component], x3 = x[2 * sa.component];
        T y1 = y[0], y2 = y[sb.component], y3 = y[2 * sb.component];
        T* z = out + long(v) * o.step;
        z[0] = minus(times(x2, y3), times(x3, y2));
        z[o.component] = minus(times(x3, y1), times(x1, y3));
        z[2 * o.component] = minus(times(x1, y2), times(x2, y1));
    }
}

} // namespace

// '.': nrow(L)-by-ncol(R); the inner sizes must agree, else '.'.
template <class T> void MathMatrix<T>::matrixProduct(const MathMatrix<T>& r) {
    int rows = nrow, inner = this->ncol(), cols = r.ncol();
    if (inner != r.nrow) raiseIncompatible('.');
    if (n == 0 || r.n == 0) {
        makeEmpty(*this);
        return;
    }
    int count = checkedCount(long(rows) * cols);
    Buffer<T> product = newBuffer<T>(count);
    multiplyInto(product.get(), this->data(), r.data(), rows, inner, cols);
    adoptResult(*this, std::move(product), count, rows);
}

// 'R': the exponent must be a scalar and L square, else '^'.
template <class T> void MathMatrix<T>::matrixPower(const MathMatrix<T>& p) {
    if (p.n != 1) raiseIncompatible('^');
    if (long(nrow) * nrow != n) raiseIncompatible('^');
    T exponent = p[0];
    double whole = 0;
    bool isWhole = wholeExponent(exponent, whole);
    if (n == 0) return;
    if (isWhole)
        powerBySquaring(*this, whole);
    else
        powerByEigen(*this, exponent);
}

// '@': block (i, j) of the result is L(i, j) times R. Written column by
// column of the result, so the output is filled in storage order.
template <class T> void MathMatrix<T>::kronecker(const MathMatrix<T>& r) {
    if (n == 0) return;
    if (r.n == 0) {
        makeEmpty(*this);
        return;
    }
    int leftRows = nrow, leftCols = this->ncol(), rightRows = r.nrow, rightCols = r.ncol();
    int rows = checkedCount(long(leftRows) * rightRows);
    int cols = checkedCount(long(leftCols) * rightCols);
    int count = checkedCount(long(rows) * cols);
    Buffer<T> out = newBuffer<T>(count);
    const T* a = this->data();
    const T* b = r.data();
    for (int j = 0; j < leftCols; ++j)
        for (int l = 0; l < rightCols; ++l) {
            T* column = out.get() + (long(j) * rightCols + l) * rows;
            const T* rightColumn = b + long(l) * rightRows;
            for (int i = 0; i < leftRows; ++i) {
                T factor = a[long(j) * leftRows + i];
                T* block = column + long(i) * rightRows;
                for (int k = 0; k < rightRows; ++k)
                    block[k] = times(factor, rightColumn[k]);
            }
        }
    adoptResult(*this, std::move(out), count, rows);
}

// 'v': pairwise cross products of two sets of 3-vectors of equal count, or of
// one single vector with each vector of the other set. The result has the
// layout of the operand with more vectors (L's when the counts are equal).
template <class T> void MathMatrix<T>::cross(const MathMatrix<T>& r) {
    VectorSet left, right;
    if (!describeSet(*this, left) || !describeSet(r, right)) raiseIncompatible('^');
    bool takeRight = left.count == 1 && right.count != 1;
    if (!takeRight && right.count != 1 && right.count != left.count) raiseIncompatible('^');
    VectorSet out = takeRight ? right : left;
    int rows = takeRight ? r.nrow : nrow;
    int count = 3 * out.count;
    Buffer<T> buffer = newBuffer<T>(count);
    crossInto(buffer.get(), out, this->data(), left, r.data(), right);
    adoptResult(*this, std::move(buffer), count, rows);
}

#define VEMLOR_INSTANTIATE_LINEAR_ALGEBRA(T)                                                       \
    template void MathMatrix<T>::matrixProduct(const MathMatrix<T>&);                              \
    template void MathMatrix<T>::matrixPower(const MathMatrix<T>&);                                \
    template void MathMatrix<T>::kronecker(const MathMatrix<T>&);                                  \
    template void MathMatrix<T>::cross(const MathMatrix<T>&);

VEMLOR_INSTANTIATE_LINEAR_ALGEBRA(int)
VEMLOR_INSTANTIATE_LINEAR_ALGEBRA(double)
VEMLOR_INSTANTIATE_LINEAR_ALGEBRA(complexd)

#undef VEMLOR_INSTANTIATE_LINEAR_ALGEBRA

} // namespace vemlor
