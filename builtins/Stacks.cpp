// Matrices used as stacks and queues of rows: the last row is the top of a
// stack, the first row the head of a queue.
//
// `push`, `pop` and `qpop` change their first argument in place: for a
// variable the calling element hands over the variable's own value, so the
// user sees the change; for any other expression the value is a temporary
// and only the result counts. A row pushed onto a stack must widen to the
// stack's type (a real stack takes no complex row). Rows taken off keep
// the stack's kind code, so a stack of strings yields strings.
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <type_traits>

namespace vemlor {

namespace {

using namespace detail;

template <class M> using Plain = std::remove_cvref_t<M>;

// The kind of a row taken off a stack: the stack's kind code (a string, a
// boolean), but a row of a 3-D array is a plain row.
int rowKind(const Value& stack) {
    return stack.is3D() ? KIND_NUMERIC : kindCode(stack.kind);
}

// Row `r` of m as a 1-row value of out's type and m's kind code.
template <class M> void copyRow(const M& m, int r, DoubleValue& out) {
    int rows = m.nrow, cols = m.ncol();
    out.setShapeKind(cols, 1, rowKind(m));
    for (int c = 0; c < cols; ++c)
        out[c] = double(m[c * rows + r]);
}

// Removes row `r` from m, keeping the rest in order; the last row leaves an
// empty value.
template <class M> void removeRow(M& m, int r) {
    int rows = m.nrow, cols = m.ncol();
    if (rows <= 1) {
        m.setShapeKind(0, 0, m.kind);
        return;
    }
    if (cols == 1 && r == rows - 1) { // the top of a column stack
        m.resizeKeep(rows - 1);
        return;
    }
    auto* d = m.data();
    int kept = 0;
    for (int c = 0; c < cols; ++c)
        for (int i = 0; i < rows; ++i)
            if (i != r) d[kept++] = d[c * rows + i];
    bool column = cols == 1;
    m.resizeKeep(kept);
    m.nrow = column ? kept : rows - 1;
}

// The row taken off a stack (the last) or a queue (the first).
void takeRow(const Value& v, DoubleValue& out, bool last) {
    check(v.n > 0, "", "popped an empty value");
    Value& target = const_cast<Value&>(v);
    visitReal(target, [&](const auto& constM) {
        auto& m = const_cast<Plain<decltype(constM)>&>(constM);
        int r = last ? m.nrow - 1 : 0;
        copyRow(m, r, out);
        removeRow(m, r);
    });
}

// Appends the row to the stack in place; the stack as it now is.
template <class M> M& pushedOnto(const Value& stack, const Value& entry) {
    auto& m = const_cast<M&>(static_cast<const M&>(stack));
    if (entry.type() == m.type()) {
        if (m.n > 0 && m.nrow == m.n && entry.n == 1) { // a column: no columns to spread
            m.resizeKeep(m.n + 1);
            m[m.n - 1] = static_cast<const M&>(entry)[0];
        } else {
            m.concatVertical(static_cast<const M&>(entry));
        }
    } else {
        M converted;
        converted.assignConverted(entry);
        m.concatVertical(converted);
    }
    return m;
}

void pushRow(const Value& stack, const Value* row, ValuePtr* result) {
    const Value& entry = secondOf(row, "push");
    if (!widensTo(entry.type(), stack.type())) raiseIncompatible(';');
    visitNumbers(stack, [&](const auto& m) {
        using M = Plain<decltype(m)>;
        M& pushed = pushedOnto<M>(stack, entry);
        if (result) resultAs<M>(*result).copyFrom(pushed);
    });
}

void push(BuiltinContext&, const Value& stack, const Value* row, ValuePtr& result) {
    pushRow(stack, row, &result);
}

// A push whose result nobody reads does not copy the stack, so a loop of
// pushes takes time in proportion to the rows pushed.
void pushUnused(BuiltinContext&, const Value& stack, const Value* row, ValuePtr&) {
    pushRow(stack, row, nullptr);
}

void top(BuiltinContext&, const Value& stack, DoubleValue& out) {
    if (stack.n == 0) {
        out.setShapeKind(0, 0, rowKind(stack));
        return;
    }
    visitReal(stack, [&](const auto& m) { copyRow(m, m.nrow - 1, out); });
}

void pop(BuiltinContext&, const Value& stack, DoubleValue& out) {
    takeRow(stack, out, true);
}

void qpop(BuiltinContext&, const Value& queue, DoubleValue& out) {
    takeRow(queue, out, false);
}

BuiltinDefinition withHandlerForUnusedResult(BuiltinDefinition row, handler::OneOrTwo unused) {
    row.handlerForUnusedResult = reinterpret_cast<const void*>(unused);
    return row;
}

} // namespace

std::span<const BuiltinDefinition> stacksTable() {
    static const BuiltinDefinition table[] = {
        withHandlerForUnusedResult(defineBuiltin("push", push, kSameAsFirstArgument), pushUnused),
        defineBuiltin("top", top),
        defineBuiltin("pop", pop),
        defineBuiltin("qpop", qpop),
    };
    return table;
}

} // namespace vemlor
