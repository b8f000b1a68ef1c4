// Assignments into list variables: L = v, L ,= v and L ;= v.
#include "core/Errors.h"
#include "exec/AssignStatements.h"
#include "exec/FuncElementClasses.h"

#include <algorithm>
#include <climits>

namespace vemlor {

namespace {

ListValue* requireList(Value* list) {
    if (!list || list->type() != LIST_VAL) raiseBug("BUG: list assignment to a non-list");
    return static_cast<ListValue*>(list);
}

int grownCount(long count) {
    if (count > INT_MAX) raiseRuntime("matrix too large");
    return int(count);
}

// ','. The rules of numeric concatenation: an empty right side changes
// nothing, an empty left side becomes a copy, otherwise the row counts must
// agree. Items are deep copies.
void concatItemsHorizontal(ListValue& l, const JMatrix<ListItem>& r) {
    if (l.nrow != r.nrow) raiseIncompatible(',');
    int old = l.n, rows = l.nrow, added = r.n;
    l.resizeKeep(grownCount(long(old) + added));
    for (int k = 0; k < added; ++k)
        l[old + k] = r[k];
    l.nrow = rows;
}

// ';'. The columns of l are spread out from the last one down, so every
// move goes to a place at or after its source; then r's column j fills the
// bottom of column j.
void concatItemsVertical(ListValue& l, const JMatrix<ListItem>& r) {
    int cols = l.ncol();
    if (cols != r.ncol()) raiseIncompatible(';');
    int top = l.nrow, bottom = r.nrow, rows = top + bottom;
    l.resizeKeep(grownCount(long(rows) * cols));
    ListItem* a = l.data();
    for (int j = cols - 1; j >= 0; --j) {
        ListItem* column = a + long(j) * rows;
        std::move_backward(a + long(j) * top, a + long(j + 1) * top, column + top);
        for (int i = 0; i < bottom; ++i)
            column[top + i] = r[long(j) * bottom + i];
    }
    l.nrow = rows;
}

void concatItems(ListValue& l, const JMatrix<ListItem>& r, bool horizontal) {
    if (r.n == 0) return;
    if (&r == &l) { // L ,= L: read from a copy while L changes
        ListValue copy;
        copy.assign(r);
        concatItems(l, copy, horizontal);
        return;
    }
    if (l.n == 0) {
        l.assign(r);
        return;
    }
    if (horizontal)
        concatItemsHorizontal(l, r);
    else
        concatItemsVertical(l, r);
}

} // namespace

WithListValueStm::WithListValueStm(EvaluatablePtr expr, int line, Value* list)
    : Statement(std::move(expr), line), list_(requireList(list)), rhs_(expr_.get()) {}

bool WithListValueStm::refersTo(const Value* v) const {
    return v == list_ || Statement::refersTo(v);
}

ListAssignStm::ListAssignStm(EvaluatablePtr expr, int line, Value* list)
    : WithListValueStm(std::move(expr), line, list),
      takesCallResult_(dynamic_cast<const GeneralFuncElement*>(expr_.get()) != nullptr) {}

// A value that is not a list becomes the only item of a 1 by 1 list (the
// copy is made before the old items go, so an item of L may be assigned).
Flow ListAssignStm::execute() {
    const Value& result = rhs_.evaluate("expression involving a list item not yet handled");
    if (result.type() == LIST_VAL && takesCallResult_)
        list_->takeFrom(const_cast<ListValue&>(static_cast<const ListValue&>(result)));
    else if (result.type() == LIST_VAL)
        list_->assign(result);
    else
        list_->copyFrom(result);
    return Flow::Normal;
}

GrowListStm::GrowListStm(EvaluatablePtr expr, int line, Value* list, char direction)
    : WithListValueStm(std::move(expr), line, list), horizontal_(direction == 'C') {}

Flow GrowListStm::execute() {
    const Value& result = rhs_.evaluate("cannot append a value of unknown type");
    if (result.type() == LIST_VAL)
        concatItems(*list_, static_cast<const JMatrix<ListItem>&>(result), horizontal_);
    else
        appendItem(result);
    return Flow::Normal;
}

// One new item at the end of a vector list: a row or column keeps its
// orientation; a list of at most one item becomes a row for ',=' and a
// column for ';='.
void GrowListStm::appendItem(const Value& v) {
    ListValue& list = *list_;
    if (list.nrow != 1 && list.nrow != list.n)
        raiseRuntime("an array cannot grow by only one item");
    ValuePtr copy = newValueCopy(v);
    int old = list.n;
    bool row = old > 1 ? list.nrow == 1 : horizontal_;
    list.resizeKeep(grownCount(long(old) + 1));
    list[old].value = std::move(copy);
    list.nrow = row ? 1 : list.n;
}

} // namespace vemlor
