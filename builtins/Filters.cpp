// Savitzky-Golay smoothing.
//
// SGfilter(form) gives the filter coefficients: the least-squares polynomial
// of order m over the window of offsets -nl .. nr, evaluated (or, for ld > 0,
// differentiated ld times and multiplied by ld!) at offset 0. form is [] (the
// identity), [n] (nl = nr = n/2, m = 2), [n, m], [nl, nr, m] or
// [nl, nr, m, ld]. The row has np = 2 max(nl, nr) + 1 elements in
// wrap-around order: offset 0 first, offset -j at position j, offset +j at
// np - j.
//
// smooth(y [, form]) applies SGfilter(form) (form [5], a five-point
// quadratic, when absent) to the vector y, extended at both ends by
// repeating its end values; the result has y's shape.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/LuForm.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

constexpr const char* kInconsistent = "inconsistent arguments for smoothing filter";

struct FilterForm {
    int left = 0, right = 0, order = 0, derivative = 0;
    int width() const { return 2 * std::max(left, right) + 1; }
};

FilterForm filterForm(const Value& v) {
    check(v.type() == INTEGER_VAL || v.type() == DOUBLE_VAL, {}, kInconsistent);
    check(v.n <= 4, {}, kInconsistent);
    std::vector<int> p(size_t(v.n));
    for (int i = 0; i < v.n; ++i) {
        double x = numberAt(v, i);
        check(std::fabs(x) < 1e6, {}, kInconsistent);
        p[size_t(i)] = truncated(x);
    }
    FilterForm s;
    switch (v.n) {
    case 1:
        s = {truncated(p[0] * 0.5), truncated(p[0] * 0.5), 2, 0};
        break;
    case 2:
        s = {truncated(p[0] * 0.5), truncated(p[0] * 0.5), p[1], 0};
        break;
    case 3:
        s = {p[0], p[1], p[2], 0};
        break;
    case 4:
        s = {p[0], p[1], p[2], p[3]};
        break;
    default:
        break;
    }
    bool consistent = s.left >= 0 && s.right >= 0 && s.derivative >= 0 && s.order >= 0 &&
                      s.derivative <= s.order && s.order <= s.left + s.right;
    check(consistent, {}, kInconsistent);
    return s;
}

// The coefficients in wrap-around order.
std::vector<double> coefficients(const FilterForm& s, OutputSink& out) {
    int size = s.order + 1;
    // Normal equations: element (i, j) is the sum of k^(i+j) over the
    // window, so one sum per power serves them all.
    std::vector<double> powerSums(size_t(2 * size - 1), 0.0);
    for (int k = -s.left; k <= s.right; ++k) {
        double power = 1;
        for (double& sum : powerSums) {
            sum += power;
            power *= k;
        }
    }
    std::vector<double> normal(size_t(size * size)), solution(size_t(size), 0.0);
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j)
            normal[size_t(j * size + i)] = powerSums[size_t(i + j)];
    solution[size_t(s.derivative)] = 1.0;
    LuForm(normal.data(), size, &out).solveInPlace(solution.data(), 1);
    int width = s.width();
    std::vector<double> c(size_t(width), 0.0);
    for (int k = -s.left; k <= s.right; ++k) {
        double sum = 0, power = 1;
        for (int j = 0; j < size; ++j, power *= k)
            sum += solution[size_t(j)] * power;
        c[size_t((width - k) % width)] = sum;
    }
    return c;
}

void SGfilter(BuiltinContext& context, const Value& form, DoubleValue& result) {
    std::vector<double> c = coefficients(filterForm(form), context.output());
    result.setShapeKind(int(c.size()), 1, KIND_NUMERIC);
    std::copy(c.begin(), c.end(), result.data());
}

void smooth(BuiltinContext& context, const Value& y, const Value* form, ValuePtr& result) {
    check(y.type() == INTEGER_VAL || y.type() == DOUBLE_VAL, "smooth", "data must be real");
    check(y.isVector() && !y.is3D(), "smooth", "data must be a vector");
    FilterForm s = form ? filterForm(*form) : FilterForm{2, 2, 2, 0};
    std::vector<double> c = coefficients(s, context.output());
    int width = s.width(), n = y.n;
    check(width <= n, {}, "y1 must have fewer points than y2 in convolve");
    DoubleValue data(y), out;
    out.setShapeKind(n, y.nrow, KIND_NUMERIC);
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int k = -s.left; k <= s.right; ++k)
            sum += c[size_t((width - k) % width)] * data[std::clamp(i + k, 0, n - 1)];
        out[i] = sum;
    }
    resultAs<DoubleValue>(result).takeFrom(out);
}

} // namespace

std::span<const BuiltinDefinition> filtersTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("SGfilter", SGfilter),
        defineBuiltin("smooth", smooth),
    };
    return table;
}

} // namespace vemlor
