// Lists of values and lists of strings: `list` builds one, `split` cuts a
// string into a list of strings, and `join` puts the items of a list (or
// the rows of a matrix) together into one string.
//
// Choices beyond the documented behaviour: `split` yields no field after a
// final separator ("a,b," gives two fields) and an empty field is an empty
// string; `join` takes an optional second argument, a separator (string or
// number) put between the joined items or rows.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

// `list` of one number n: n empty items. Far too large counts are passed on
// as such so that the refusal names them.
long itemCount(double n) {
    if (!(n > 0)) return 0;
    return n >= 1e8 ? 100000000L : long(n);
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    size_t i = 0;
    auto space = [&](size_t k) { return std::isspace(static_cast<unsigned char>(text[k])) != 0; };
    while (i < text.size()) {
        while (i < text.size() && space(i))
            ++i;
        size_t start = i;
        while (i < text.size() && !space(i))
            ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

char singleCharacter(const Value& v, const char* message) {
    std::string text = v.toString();
    if (text.size() != 1) raiseRuntime(message);
    return text[0];
}

std::vector<std::string> fields(const std::string& text, char separator, int delimiter) {
    std::vector<std::string> out;
    std::string field;
    bool quoted = false;
    for (char c : text) {
        if (delimiter >= 0 && c == char(delimiter)) quoted = !quoted;
        if (c == separator && !quoted) {
            out.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty()) out.push_back(field);
    return out;
}

// Appends the elements of a numeric value, truncated, to `row`.
void appendTruncated(const Value& v, std::vector<int>& row) {
    for (int i = 0; i < v.n; ++i)
        row.push_back(truncated(numberAt(v, i)));
}

void appendRows(const Value& m, const Value* separator, std::vector<int>& row) {
    int rows = m.nrow, cols = m.ncol();
    for (int r = 0; r < rows; ++r) {
        if (r > 0 && separator) appendTruncated(*separator, row);
        for (int c = 0; c < cols; ++c)
            row.push_back(truncated(numberAt(m, c * rows + r)));
    }
}

void list(BuiltinContext& context, std::span<const Value* const> arguments,
          std::span<ValuePtr> outputs) {
    ListValue& list = resultAs<ListValue>(outputs[0]);
    if (arguments.size() == 1 && arguments[0]->n == 1 && arguments[0]->type() != LIST_VAL &&
        !arguments[0]->isString()) {
        makeEmptyItemList(list, itemCount(numberAt(*arguments[0], 0)), &context.output());
        return;
    }
    int count = int(arguments.size());
    ListValue built;
    built.setShapeKind(count, count, KIND_TEXT);
    for (int i = 0; i < count; ++i)
        built[i].value = newValueCopy(*arguments[size_t(i)]);
    list.takeFrom(built);
}

void split(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    check(arguments[0]->type() != LIST_VAL, "split", "argument must be a string");
    std::string text = arguments[0]->toString();
    if (arguments.size() == 1) return makeStringList(words(text), outputs[0]);
    char separator = singleCharacter(*arguments[1], "only single-character separator allowed");
    int delimiter = -1;
    if (arguments.size() > 2)
        delimiter = static_cast<unsigned char>(
            singleCharacter(*arguments[2], "only single-character delimiter allowed"));
    makeStringList(fields(text, separator, delimiter), outputs[0]);
}

void join(BuiltinContext&, std::span<const Value* const> arguments, std::span<ValuePtr> outputs) {
    const Value& x = *arguments[0];
    const Value* separator = arguments.size() > 1 ? arguments[1] : nullptr;
    check(!separator || separator->type() != LIST_VAL, "join", "separator must be a string");
    std::vector<int> row;
    int kind = kindCode(x.kind);
    if (x.type() == LIST_VAL) {
        const auto& list = static_cast<const ListValue&>(x);
        kind = list.n && list[0].value ? kindCode(list[0].value->kind) : KIND_NUMERIC;
        for (int i = 0; i < list.n; ++i) {
            if (i > 0 && separator) appendTruncated(*separator, row);
            const Value* item = list[i].value.get();
            if (!item) continue;
            if (item->type() == LIST_VAL) raiseRuntime("join not yet implemented for nested lists");
            appendTruncated(*item, row);
        }
    } else {
        appendRows(x, separator, row);
    }
    if (kind == KIND_3D) kind = KIND_NUMERIC;
    IntValue& out = resultAs<IntValue>(outputs[0]);
    int count = int(row.size());
    out.setShapeKind(count, count ? 1 : 0, kind);
    std::copy(row.begin(), row.end(), out.data());
}

} // namespace

std::span<const BuiltinDefinition> listsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("list", list, LIST_VAL, 0, kUnlimitedArgs),
        defineBuiltin("split", split, LIST_VAL, 1, 3),
        defineBuiltin("join", join, INTEGER_VAL, 1, 2),
    };
    return table;
}

} // namespace vemlor
