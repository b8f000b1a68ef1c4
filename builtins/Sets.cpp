// Sorted vectors as sets, each result built in one merge pass over the two
// arguments (ascending; only issubset checks that they are), and `unique`,
// which makes a set of any vector.
//
// Repeated values: `intersect` keeps a value once per matching pair and
// `union` keeps every value of both with each matching pair once (so
// [1 2 2] and [2 3] give [2] and [1 2 2 3]); `setminus` and `setxor` are
// about values: a value that occurs in the other vector at all is dropped
// however often it repeats. The merged results are rows of doubles of kind
// 0; issubset gives a boolean scalar.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

bool ascending(const DoubleValue& v) {
    for (int i = 1; i < v.n; ++i)
        if (v[i] < v[i - 1]) return false;
    return true;
}

void storeRow(const std::vector<double>& values, ValuePtr& result) {
    DoubleValue& out = resultAs<DoubleValue>(result);
    int count = int(values.size());
    out.setShapeKind(count, count ? 1 : 0, KIND_NUMERIC);
    std::copy(values.begin(), values.end(), out.data());
}

// Elements of `from` whose value does not occur in `other`, appended to out.
void valuesNotIn(const DoubleValue& from, const DoubleValue& other, std::vector<double>& out) {
    int j = 0;
    for (int i = 0; i < from.n; ++i) {
        while (j < other.n && other[j] < from[i])
            ++j;
        if (j == other.n || other[j] != from[i]) out.push_back(from[i]);
    }
}

void issubset(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result) {
    DoubleValue x(a), y(secondOf(b, "issubset"));
    check(ascending(x) && ascending(y), "issubset", "non-sorted argument");
    bool subset = true;
    int j = 0;
    for (int i = 0; i < x.n && subset; ++i) {
        while (j < y.n && y[j] < x[i])
            ++j;
        subset = j < y.n && y[j] == x[i];
    }
    IntValue& out = resultAs<IntValue>(result);
    out.assignScalarInt(subset);
    out.kind = KIND_BOOL;
}

void intersect(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result) {
    DoubleValue x(a), y(secondOf(b, "intersect"));
    std::vector<double> values;
    std::set_intersection(x.data(), x.data() + x.n, y.data(), y.data() + y.n,
                          std::back_inserter(values));
    storeRow(values, result);
}

void unionOf(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result) {
    DoubleValue x(a), y(secondOf(b, "union"));
    std::vector<double> values;
    std::set_union(x.data(), x.data() + x.n, y.data(), y.data() + y.n, std::back_inserter(values));
    storeRow(values, result);
}

void setminus(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result) {
    DoubleValue x(a), y(secondOf(b, "setminus"));
    std::vector<double> values;
    valuesNotIn(x, y, values);
    storeRow(values, result);
}

void setxor(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result) {
    DoubleValue x(a), y(secondOf(b, "setxor"));
    std::vector<double> onlyX, onlyY, values;
    valuesNotIn(x, y, onlyX);
    valuesNotIn(y, x, onlyY);
    std::merge(onlyX.begin(), onlyX.end(), onlyY.begin(), onlyY.end(), std::back_inserter(values));
    storeRow(values, result);
}

// Sorted ascending without repeats; a row stays a row, anything else gives a
// column. NaN never equals itself, so every NaN is kept, after the numbers.
void unique(BuiltinContext&, const Value& v, DoubleValue& out) {
    bool row = v.nrow == 1;
    int kind = v.is3D() ? KIND_NUMERIC : v.kind;
    out.assignConverted(v);
    double* d = out.data();
    std::sort(d, d + out.n, detail::orderedLess);
    int count = int(std::unique(d, d + out.n) - d);
    out.resizeKeep(count);
    out.nrow = row ? (count ? 1 : 0) : count;
    out.kind = kind;
}

} // namespace

std::span<const BuiltinDefinition> setsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("issubset", issubset, INTEGER_VAL),
        defineBuiltin("intersect", intersect),
        defineBuiltin("union", unionOf),
        defineBuiltin("setminus", setminus),
        defineBuiltin("setxor", setxor),
        defineBuiltin("unique", unique),
    };
    return table;
}

} // namespace vemlor
