// Strings (and vectors read as strings): searching, ordering, trimming and
// padding.
//
// `strfind` (also `findstr`) gives the position of the first occurrence,
// per row of a matrix, and finds an empty needle at position 1; `before`
// compares lexicographically. `pad` keeps v's orientation, shortens v to L
// elements when L is smaller, and with a fourth argument below 1 aligns v to
// the end instead (padding in front, or keeping the last L elements).
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

// The position of the first occurrence of s in every item of a list, as a
// column; an item that is not a string or a number holds none.
template <class F> void findInItems(const ListValue& list, IntValue& out, F firstIn) {
    out.setShapeKind(list.n, list.n, KIND_NUMERIC);
    for (int i = 0; i < list.n; ++i) {
        const Value* item = list[i].value.get();
        bool searchable = item && item->type() != LIST_VAL && item->type() != COMPLEX_VAL;
        std::vector<double> row;
        for (int k = 0; searchable && k < item->n; ++k)
            row.push_back(numberAt(*item, k));
        out[i] = searchable ? firstIn(row) : 0;
    }
}

void strfind(BuiltinContext&, const Value& haystack, const Value* needle, ValuePtr& result) {
    const Value& wanted = secondOf(needle, "strfind");
    check(wanted.type() != LIST_VAL, "strfind", "the text to find must not be a list");
    DoubleValue s(wanted);
    IntValue& out = resultAs<IntValue>(result);
    auto firstIn = [&](const std::vector<double>& row) {
        auto at = std::search(row.begin(), row.end(), s.data(), s.data() + s.n);
        return at == row.end() && s.n > 0 ? 0 : int(at - row.begin()) + 1;
    };
    if (haystack.type() == LIST_VAL)
        return findInItems(static_cast<const ListValue&>(haystack), out, firstIn);
    DoubleValue h(haystack);
    if (h.isVector()) {
        out.assignScalarInt(firstIn(std::vector<double>(h.data(), h.data() + h.n)));
        return;
    }
    int rows = h.nrow, cols = h.ncol();
    out.setShapeKind(rows, rows, KIND_NUMERIC);
    std::vector<double> row(static_cast<size_t>(cols));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            row[size_t(c)] = h[c * rows + r];
        out[r] = firstIn(row);
    }
}

void before(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result) {
    IntValue& out = resultAs<IntValue>(result);
    if (!b) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    DoubleValue x(a), y(*b);
    out.assignScalarInt(
        std::lexicographical_compare(x.data(), x.data() + x.n, y.data(), y.data() + y.n));
}

// Pad elements (blank for a string, 0 otherwise) cut from both ends.
void trim(BuiltinContext&, const Value& v, IntValue& out) {
    double pad = v.isString() ? 32 : 0;
    int first = 0, last = v.n;
    while (first < last && numberAt(v, first) == pad)
        ++first;
    while (last > first && numberAt(v, last - 1) == pad)
        --last;
    int count = last - first;
    bool column = v.nrow == v.n && v.n > 1;
    IntValue kept;
    kept.setShapeKind(count, column ? count : (count ? 1 : 0), v.kind);
    for (int i = 0; i < count; ++i)
        kept[i] = detail::truncated(numberAt(v, first + i));
    out.takeFrom(kept);
}

// pad(v, L [, fill [, alignment]]): blanks pad a string, zeros anything else.
void pad(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    const Value& v = *arguments[0];
    if (v.type() == LIST_VAL || !v.isVector()) raiseRuntime("pad does not take matrix input");
    auto scalarArgument = [&](size_t i) {
        if (arguments[i]->n != 1 || arguments[i]->type() == LIST_VAL)
            raiseRuntime("invalid argument");
        return numberAt(*arguments[i], 0);
    };
    double length = scalarArgument(1);
    if (!(length >= 0 && length <= 1e9)) raiseRuntime("invalid argument");
    int count = int(length);
    int fill = v.isString() ? ' ' : 0;
    if (arguments.size() > 2) fill = truncated(scalarArgument(2));
    bool atEnd = arguments.size() > 3 && scalarArgument(3) < 1;
    bool column = v.nrow == v.n && v.n > 1;
    IntValue built;
    built.setShapeKind(count, column ? count : (count ? 1 : 0), v.kind);
    int kept = std::min(count, v.n);
    int firstKept = atEnd ? v.n - kept : 0;
    int firstPlace = atEnd ? count - kept : 0;
    std::fill(built.data(), built.data() + count, fill);
    for (int i = 0; i < kept; ++i)
        built[firstPlace + i] = truncated(numberAt(v, firstKept + i));
    resultAs<IntValue>(outputs[0]).takeFrom(built);
}

} // namespace

std::span<const BuiltinDefinition> stringsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("strfind", strfind, INTEGER_VAL),
        defineBuiltin("findstr", strfind, INTEGER_VAL),
        defineBuiltin("before", before, INTEGER_VAL),
        defineBuiltin("trim", trim),
        defineBuiltin("pad", pad, INTEGER_VAL, 2, 4),
    };
    return table;
}

} // namespace vemlor
