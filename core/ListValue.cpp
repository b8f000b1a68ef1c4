// The list value: an nrow-by-ncol matrix of ListItems, each owning its value
// or empty. Every copy into or out of a list is deep; items beyond `n` in
// spare room are always empty. Also ComplexValue's refusal of strings and
// the construction of the big empty lists of the list-creating built-in.
//
// Lists have no numbers of their own, so the numeric queries look at item
// sizes: an item "is nonzero" when it holds at least one element, and min
// and max compare element counts (an empty item counts 0).
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "core/StorageOps.h"

namespace vemlor {

// The display layout of a value, one string per line.
std::vector<std::string> stringForm(int precision, const Value& v, int columnGroup, int maxRows,
                                    int maxCols);

namespace {

constexpr long LIST_ITEM_LIMIT = 10000000;
constexpr long LARGE_LIST_WARNING = 100000;

bool itemHolds(const ListItem& item) {
    return item.count() > 0;
}

} // namespace

void ComplexValue::assignString(std::string_view) {
    raiseRuntime("you can't assign a character string to a complex value");
}

void ListValue::assignString(std::string_view text) {
    auto string = std::make_unique<IntValue>();
    string->assignString(text);
    setShapeKind(1, 1, KIND_TEXT);
    data_[0].value = std::move(string);
}

// The copy is made first so that a list can wrap itself.
void ListValue::copyFrom(const Value& v) {
    ValuePtr copy = newValueCopy(v);
    setShapeKind(1, 1, KIND_NUMERIC);
    data_[0].value = std::move(copy);
}

void ListValue::assignScalar(double x) {
    setShapeKind(1, 1, KIND_NUMERIC);
    data_[0].value = std::make_unique<DoubleValue>(x);
}

void ListValue::assignScalarInt(int x) {
    setShapeKind(1, 1, KIND_NUMERIC);
    data_[0].value = std::make_unique<IntValue>(x);
}

// The items are copied before the old ones go, so a list may take over a
// copy of a list nested inside it.
void ListValue::assignConverted(const Value& v) {
    if (&v == this) return;
    if (v.type() != LIST_VAL) raiseCode(ErrorCode::AssignmentMismatch);
    const auto& source = static_cast<const JMatrix<ListItem>&>(v);
    std::unique_ptr<ListItem[]> items;
    if (source.n > 0) items = std::make_unique<ListItem[]>(size_t(source.n));
    for (int i = 0; i < source.n; ++i)
        items[i] = source[i];
    adopt(items.release(), source.n, source.nrow, source.kind);
}

bool ListValue::anyNonzero() const {
    return std::any_of(data(), data() + n, itemHolds);
}

bool ListValue::allNonzero() const {
    return std::all_of(data(), data() + n, itemHolds);
}

int ListValue::indexOfMin() const {
    return detail::indexOfExtreme(data(), n, false, [](const ListItem& x) { return x.count(); });
}

int ListValue::indexOfMax() const {
    return detail::indexOfExtreme(data(), n, true, [](const ListItem& x) { return x.count(); });
}

int ListValue::firstNonzero() const {
    for (int i = 0; i < n; ++i)
        if (itemHolds(data_[i])) return i + 1;
    return 0;
}

int ListValue::lastNonzero() const {
    for (int i = n - 1; i >= 0; --i)
        if (itemHolds(data_[i])) return i + 1;
    return 0;
}

// The item's display lines joined by newlines; an empty item is empty text.
std::string ListValue::stringItem(int i, int precision) const {
    detail::checkPosition(i + 1, n);
    const Value* v = data_[i].value.get();
    if (!v) return {};
    if (v->type() == LIST_VAL) raiseRuntime("text of a nested list not yet implemented");
    std::string text;
    for (const std::string& line : stringForm(precision, *v, 0, 0, 0)) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

std::string ListValue::toString() const {
    raiseRuntime("text of a list not implemented yet");
}

void ListValue::subValue(int i, Value& result, int mode) const {
    detail::subValueOf(*this, i, result, mode);
}

void ListValue::selectIndexed(const std::vector<int>& indices, Value& result, int mode) const {
    detail::selectIndexedOf(*this, indices, result, mode);
}

void ListValue::selectRowsCols(const std::vector<int>& rows, const std::vector<int>& cols,
                               Value& result) const {
    detail::selectRowsColsOf(*this, rows, cols, result);
}

void ListValue::erase(int mode, const int* indices, int count) {
    detail::eraseStorage(*this, mode, indices, count);
}

// A deep copy of item i (0-based) into result; an empty item empties it.
void ListValue::item(int i, Value& result) const {
    detail::checkPosition(i + 1, n);
    const Value* v = data_[i].value.get();
    if (!v) {
        result.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    if (v == &result) return;
    result.assignConverted(*v);
}

void ListValue::transpose() {
    detail::transposeStorage(*this);
}

void ListValue::resizeFillItems(int newN, int rows, ValuePtr x) {
    resize(newN);
    for (int i = 0; i < n; ++i)
        data_[i].value = x ? newValueCopy(*x) : nullptr;
    nrow = rows;
}

void makeEmptyItemList(ListValue& list, long count, OutputSink* warn) {
    if (count > LIST_ITEM_LIMIT)
        raiseRuntime("attempt to create list of more than 10 million items");
    if (count > LARGE_LIST_WARNING && warn) warn->print("creating a very large list");
    int items = int(std::max(count, 0L));
    list.setShapeKind(items, items, KIND_TEXT);
    ListItem* d = list.data();
    for (int i = 0; i < items; ++i)
        d[i].value = std::make_unique<DoubleValue>();
}

} // namespace vemlor
