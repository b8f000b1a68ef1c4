// Searching: truth tests and positions of elements.
//
// `all`, `any`, `minind`, `maxind`, `find` and `rfind` give one result per
// column (the whole of a vector counts as one column); `findall` gives every
// position of a nonzero element. Positions are 1-based, 0 meaning "none".
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

namespace vemlor {

namespace {

using detail::numberAt;

// An empty column has no zero element, so `all` of it is true.
int all(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (x[i] == 0) return 0;
    return 1;
}

int any(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (x[i] != 0) return 1;
    return 0;
}

// Position of the first smallest element.
int minind(const double* x, int n) {
    if (n == 0) return 0;
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (x[i] < x[best]) best = i;
    return best + 1;
}

int maxind(const double* x, int n) {
    if (n == 0) return 0;
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (x[i] > x[best]) best = i;
    return best + 1;
}

// Position of the first nonzero element.
int find(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (x[i] != 0) return i + 1;
    return 0;
}

// Position of the last nonzero element.
int rfind(const double* x, int n) {
    for (int i = n - 1; i >= 0; --i)
        if (x[i] != 0) return i + 1;
    return 0;
}

// The positions of the nonzero elements, a row for a row argument and a
// column otherwise.
void findall(BuiltinContext&, const Value& v, IntValue& out) {
    int count = 0;
    for (int i = 0; i < v.n; ++i)
        count += numberAt(v, i) != 0;
    bool row = v.nrow == 1;
    out.setShapeKind(count, row ? (count ? 1 : 0) : count, KIND_NUMERIC);
    int k = 0;
    for (int i = 0; i < v.n; ++i)
        if (numberAt(v, i) != 0) out[k++] = i + 1;
}

} // namespace

std::span<const BuiltinDefinition> searchingTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("all", all),         defineBuiltin("any", any),
        defineBuiltin("minind", minind),   defineBuiltin("maxind", maxind),
        defineBuiltin("find", find),       defineBuiltin("rfind", rfind),
        defineBuiltin("findall", findall),
    };
    return table;
}

} // namespace vemlor
