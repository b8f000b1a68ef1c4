// Interpolation in a table of samples, applied to every element of x:
//
//   interp(t, x)   the natural cubic spline through the samples (second
//                  derivative 0 at both ends)
//   linterp(t, x)  the broken line through the samples
//   qfind(v, x)    in the ordered list v (ascending or descending), the
//                  position i with x between v(i) and v(i+1): 0 before the
//                  first element, numel(v) from the last one on
//
// The table t is [x; y] (two rows) or [x y] (two columns; a 2-by-2 table
// counts as two rows), the x strictly ascending, two samples at least.
// Outside the samples, interp and linterp continue the first or last piece.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

struct Samples {
    std::vector<double> x, y;
};

Samples samplesOf(const Value& t, const char* name) {
    check(t.type() == INTEGER_VAL || t.type() == DOUBLE_VAL, name, "table must be real");
    bool rows = t.nrow == 2 && t.n >= 4, columns = t.ncol() == 2 && t.nrow >= 2;
    check(!t.is3D() && (rows || columns), name, "table must be [x; y] or [x y]");
    Samples s;
    int count = rows ? t.n / 2 : t.nrow;
    for (int i = 0; i < count; ++i) {
        s.x.push_back(numberAt(t, rows ? 2 * i : i));
        s.y.push_back(numberAt(t, rows ? 2 * i + 1 : count + i));
        check(i == 0 || s.x[size_t(i)] > s.x[size_t(i - 1)], name, "x values must be ascending");
    }
    return s;
}

// The piece of the samples that serves t: k with x[k] <= t < x[k+1],
// clamped to the first and last piece.
size_t pieceOf(const std::vector<double>& x, double t) {
    auto above = std::upper_bound(x.begin(), x.end(), t);
    size_t k = above == x.begin() ? 0 : size_t(above - x.begin()) - 1;
    return std::min(k, x.size() - 2);
}

void linterp(BuiltinContext&, const Value& table, const Value& x, DoubleValue& out) {
    Samples s = samplesOf(table, "linterp");
    applyToEach(x, out, [&](double t) {
        size_t k = pieceOf(s.x, t);
        double slope = (s.y[k + 1] - s.y[k]) / (s.x[k + 1] - s.x[k]);
        return s.y[k] + slope * (t - s.x[k]);
    });
}

// Second derivatives of the natural spline, by the tridiagonal solve.
std::vector<double> splineCurvatures(const Samples& s) {
    size_t n = s.x.size();
    std::vector<double> m(n, 0.0), u(n, 0.0);
    for (size_t i = 1; i + 1 < n; ++i) {
        double sigma = (s.x[i] - s.x[i - 1]) / (s.x[i + 1] - s.x[i - 1]);
        double p = sigma * m[i - 1] + 2;
        m[i] = (sigma - 1) / p;
        double d = (s.y[i + 1] - s.y[i]) / (s.x[i + 1] - s.x[i]) -
                   (s.y[i] - s.y[i - 1]) / (s.x[i] - s.x[i - 1]);
        u[i] = (6 * d / (s.x[i + 1] - s.x[i - 1]) - sigma * u[i - 1]) / p;
    }
    m[n - 1] = 0;
    for (size_t k = n - 1; k-- > 0;)
        m[k] = m[k] * m[k + 1] + u[k];
    m[0] = 0;
    return m;
}

void interp(BuiltinContext&, const Value& table, const Value& x, DoubleValue& out) {
    Samples s = samplesOf(table, "interp");
    std::vector<double> m = splineCurvatures(s);
    applyToEach(x, out, [&](double t) {
        size_t k = pieceOf(s.x, t);
        double h = s.x[k + 1] - s.x[k];
        double a = (s.x[k + 1] - t) / h, b = (t - s.x[k]) / h;
        return a * s.y[k] + b * s.y[k + 1] +
               ((a * a * a - a) * m[k] + (b * b * b - b) * m[k + 1]) * h * h / 6;
    });
}

void qfind(BuiltinContext&, const Value& list, const Value& x, DoubleValue& out) {
    check(list.type() == INTEGER_VAL || list.type() == DOUBLE_VAL, "qfind", "list must be real");
    std::vector<double> v(size_t(list.n));
    for (int i = 0; i < list.n; ++i)
        v[size_t(i)] = numberAt(list, i);
    bool descending = v.size() > 1 && v.back() < v.front();
    applyToEach(x, out, [&](double t) {
        auto position = descending ? std::upper_bound(v.begin(), v.end(), t, std::greater<>())
                                   : std::upper_bound(v.begin(), v.end(), t);
        return double(position - v.begin());
    });
}

} // namespace

std::span<const BuiltinDefinition> interpolationTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("interp", interp),
        defineBuiltin("linterp", linterp),
        defineBuiltin("qfind", qfind),
    };
    return table;
}

} // namespace vemlor
