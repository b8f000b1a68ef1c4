// Ordering: sorting, reversing, shuffling and stepping through the
// permutations of the elements.
//
// Results that only move elements keep the argument's kind. `sortit`,
// `nextPerm` and `prevPerm` rearrange their argument itself: the calling
// element hands over the variable's own value, so the change is what the
// user sees. NaN sorts after every number.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/Random.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <type_traits>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

template <class M> using Plain = std::remove_cvref_t<M>;

// Rows reordered (stably) so that column `column` ascends.
template <class M> void sortRowsBy(const M& m, int column, M& built) {
    int rows = m.nrow, cols = m.ncol();
    std::vector<int> order(static_cast<size_t>(rows));
    std::iota(order.begin(), order.end(), 0);
    const auto* key = m.data() + size_t(column) * rows;
    std::stable_sort(order.begin(), order.end(),
                     [key](int a, int b) { return orderedLess(key[a], key[b]); });
    built.setShapeKind(m.n, rows, m.kind);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            built[c * rows + r] = m[c * rows + order[size_t(r)]];
}

void sort(BuiltinContext&, const Value& x, const Value* column, ValuePtr& result) {
    check(x.type() == INTEGER_VAL || x.type() == DOUBLE_VAL, "sort", "invalid return type");
    int c = -1;
    if (column) {
        double d = scalarOf(*column, "sort", "invalid column number (not a scalar)");
        check(d >= 1 && d <= x.ncol() && d == std::floor(d), "sort",
              "invalid column number (out of range)");
        c = int(d) - 1;
    }
    visitReal(x, [&](const auto& m) {
        Plain<decltype(m)> built;
        if (c >= 0) {
            sortRowsBy(m, c, built);
        } else {
            built.copyFrom(m);
            std::sort(built.data(), built.data() + built.n,
                      [](double a, double b) { return orderedLess(a, b); });
        }
        resultAs<Plain<decltype(m)>>(result).takeFrom(built);
    });
}

// Stable, so equal elements keep their order.
void sortind(BuiltinContext&, const Value& v, IntValue& out) {
    DoubleValue source(v);
    out.setShapeKind(v.n, v.nrow, KIND_NUMERIC);
    std::iota(out.data(), out.data() + out.n, 1);
    std::stable_sort(out.data(), out.data() + out.n, [&](int a, int b) {
        return detail::orderedLess(source[a - 1], source[b - 1]);
    });
}

// Sorts the argument itself.
void sortit(BuiltinContext&, const Value& v, IntValue& out) {
    Value& target = const_cast<Value&>(v);
    if (target.type() == INTEGER_VAL) {
        auto& m = static_cast<IntValue&>(target);
        std::sort(m.data(), m.data() + m.n);
    } else if (target.type() == DOUBLE_VAL) {
        auto& m = static_cast<DoubleValue&>(target);
        std::sort(m.data(), m.data() + m.n, detail::orderedLess);
    }
    out.assignScalarInt(0);
}

template <class T> bool nextOf(T* d, int n) {
    return std::next_permutation(d, d + n);
}
template <class T> bool previousOf(T* d, int n) {
    return std::prev_permutation(d, d + n);
}

// std::next_permutation already wraps from the last arrangement to the first.
void permute(const Value& v, IntValue& out, bool forward) {
    Value& target = const_cast<Value&>(v);
    if (target.type() == INTEGER_VAL) {
        auto& m = static_cast<IntValue&>(target);
        forward ? nextOf(m.data(), m.n) : previousOf(m.data(), m.n);
    } else if (target.type() == DOUBLE_VAL) {
        auto& m = static_cast<DoubleValue&>(target);
        forward ? nextOf(m.data(), m.n) : previousOf(m.data(), m.n);
    }
    out.setShapeKind(0, 0, KIND_NUMERIC);
}

void nextPerm(BuiltinContext&, const Value& v, IntValue& out) {
    permute(v, out, true);
}
void prevPerm(BuiltinContext&, const Value& v, IntValue& out) {
    permute(v, out, false);
}

// The order of the rows that sorts them lexicographically, first column first.
void sortrows(BuiltinContext&, const Value& v, IntValue& out) {
    DoubleValue source(v);
    int rows = v.nrow, cols = v.ncol();
    out.setShapeKind(rows, rows ? 1 : 0, KIND_NUMERIC);
    std::iota(out.data(), out.data() + rows, 1);
    std::stable_sort(out.data(), out.data() + rows, [&](int a, int b) {
        for (int c = 0; c < cols; ++c) {
            double x = source[c * rows + a - 1], y = source[c * rows + b - 1];
            if (detail::orderedLess(x, y)) return true;
            if (detail::orderedLess(y, x)) return false;
        }
        return false;
    });
}

void reverse(BuiltinContext&, const Value& v, DoubleValue& out) {
    out.assignConverted(v);
    std::reverse(out.data(), out.data() + out.n);
}

// Each position from the second on is swapped with a uniformly chosen one up
// to it; a matrix has its columns permuted that way.
void shuffle(BuiltinContext&, const Value& v, DoubleValue& out) {
    check(kindCode(v.kind) <= KIND_COMPLEX, "", "incorrect value type for shuffle");
    out.assignConverted(v);
    // A vector's elements, or a matrix's columns: how many, how long.
    int count = v.isVector() ? v.n : v.ncol();
    int length = v.isVector() ? 1 : v.nrow;
    double* d = out.data();
    for (int i = 1; i < count; ++i) {
        int j = randomBelow(i + 1);
        std::swap_ranges(d + i * length, d + (i + 1) * length, d + j * length);
    }
}

} // namespace

std::span<const BuiltinDefinition> orderingTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("sort", sort, kSameAsFirstArgument),
        defineBuiltin("sortind", sortind),
        defineBuiltin("sortit", sortit),
        defineBuiltin("sortrows", sortrows),
        defineBuiltin("reverse", reverse),
        defineBuiltin("shuffle", shuffle),
        defineBuiltin("nextPerm", nextPerm),
        defineBuiltin("prevPerm", prevPerm),
    };
    return table;
}

} // namespace vemlor
