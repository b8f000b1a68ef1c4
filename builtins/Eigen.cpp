// Eigensystems of symmetric matrices: eigval(A) is the column of
// eigenvalues, eigvec(A) the matrix whose columns are the unit eigenvectors,
// [vals, vecs] = eigvv(A) both; all in order of ascending absolute
// eigenvalue.
//
// GSL's symmetric solver reads one triangle only, so a matrix that is not
// symmetric (to a relative 1e-10 per element pair) is refused rather than
// answered with the eigenvalues of a different matrix; a non-symmetric
// matrix can have complex eigenvalues, which these double-valued built-ins
// could not return anyway.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include "core/Lapack.h"

#include <gsl/gsl_eigen.h>
#include <gsl/gsl_matrix.h>
#include <gsl/gsl_vector.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vemlor {

namespace {

using namespace detail;

struct GslFree {
    void operator()(gsl_matrix* p) const { gsl_matrix_free(p); }
    void operator()(gsl_vector* p) const { gsl_vector_free(p); }
    void operator()(gsl_eigen_symm_workspace* p) const { gsl_eigen_symm_free(p); }
    void operator()(gsl_eigen_symmv_workspace* p) const { gsl_eigen_symmv_free(p); }
};
template <class G> using GslPtr = std::unique_ptr<G, GslFree>;

// GSL reports a failed allocation (through the math-error line) and
// returns null.
template <class G> GslPtr<G> allocated(G* p) {
    if (!p) raiseRuntime("out of memory");
    return GslPtr<G>(p);
}

bool symmetric(const Value& a) {
    int n = a.nrow;
    for (int j = 0; j < n; ++j)
        for (int i = j + 1; i < n; ++i) {
            double x = numberAt(a, j * n + i), y = numberAt(a, i * n + j);
            if (!(std::fabs(x - y) <= 1e-10 * (std::fabs(x) + std::fabs(y)))) return false;
        }
    return true;
}

// The matrix in GSL's form (symmetric: row- and column-major agree).
GslPtr<gsl_matrix> symmetricMatrix(const Value& a, const char* name) {
    check(a.type() == INTEGER_VAL || a.type() == DOUBLE_VAL, name, "matrix must be real");
    check(a.n > 0 && !a.is3D() && a.nrow * a.nrow == a.n, name, "non-square matrix");
    check(symmetric(a), name, "matrix is not symmetric");
    size_t n = size_t(a.nrow);
    GslPtr<gsl_matrix> m = allocated(gsl_matrix_alloc(n, n));
    for (int i = 0; i < a.n; ++i)
        m->data[i] = numberAt(a, i);
    return m;
}

void storeValues(const gsl_vector* values, DoubleValue& out) {
    int n = int(values->size);
    out.setShapeKind(n, n, KIND_NUMERIC);
    for (int i = 0; i < n; ++i)
        out[i] = gsl_vector_get(values, size_t(i));
}

void storeVectors(const gsl_matrix* vectors, DoubleValue& out) {
    int n = int(vectors->size1);
    out.setShapeKind(n * n, n, KIND_NUMERIC);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            out[j * n + i] = gsl_matrix_get(vectors, size_t(i), size_t(j));
}

// Eigenvalues and eigenvectors, sorted.
void eigensystem(const Value& a, const char* name, DoubleValue* values, DoubleValue* vectors) {
    GslPtr<gsl_matrix> m = symmetricMatrix(a, name);
    size_t n = m->size1;
    GslPtr<gsl_vector> lambda = allocated(gsl_vector_alloc(n));
    GslPtr<gsl_matrix> v = allocated(gsl_matrix_alloc(n, n));
    GslPtr<gsl_eigen_symmv_workspace> work = allocated(gsl_eigen_symmv_alloc(n));
    gsl_eigen_symmv(m.get(), lambda.get(), v.get(), work.get());
    gsl_eigen_symmv_sort(lambda.get(), v.get(), GSL_EIGEN_SORT_ABS_ASC);
    if (values) storeValues(lambda.get(), *values);
    if (vectors) storeVectors(v.get(), *vectors);
}

// The values alone come from LAPACK's blocked divide-and-conquer solver when
// it is there (several times faster on large matrices), else from GSL.
void eigval(BuiltinContext&, const Value& a, DoubleValue& result) {
    GslPtr<gsl_matrix> m = symmetricMatrix(a, "eigval");
    size_t n = m->size1;
    GslPtr<gsl_vector> lambda = allocated(gsl_vector_alloc(n));
    if (!lapack::symmetricEigenvalues(int(n), m->data, lambda->data)) {
        GslPtr<gsl_eigen_symm_workspace> work = allocated(gsl_eigen_symm_alloc(n));
        gsl_eigen_symm(m.get(), lambda.get(), work.get());
    }
    std::sort(lambda->data, lambda->data + n,
              [](double x, double y) { return std::fabs(x) < std::fabs(y); });
    storeValues(lambda.get(), result);
}

void eigvec(BuiltinContext&, const Value& a, DoubleValue& result) {
    DoubleValue vectors;
    eigensystem(a, "eigvec", nullptr, &vectors);
    result.takeFrom(vectors);
}

void eigvv(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    DoubleValue values, vectors;
    eigensystem(*arguments[0], "eigvv", &values, &vectors);
    resultAs<DoubleValue>(outputs[0]).takeFrom(values);
    if (outputs.size() > 1) resultAs<DoubleValue>(outputs[1]).takeFrom(vectors);
}

} // namespace

std::span<const BuiltinDefinition> eigenTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("eigval", eigval),
        defineBuiltin("eigvec", eigvec),
        defineBuiltin("eigvv", eigvv, DOUBLE_VAL, 1, 1),
    };
    return table;
}

} // namespace vemlor
