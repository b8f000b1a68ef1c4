// Argument reading shared by the value built-ins: numbers of any numeric
// class, scalar checks, the shape rule, result slots, and console lines that
// carry user text.
//
// The shape rule of zeros, ones, eye, rand, randexp, true and false: the
// argument holds whole non-negative numbers; one number n means n by n (as
// eye(n) must), two numbers r, c mean r by c, three numbers r, c, p mean a
// 3-D array of p pages (one page is an ordinary matrix). An empty argument
// gives an empty value. Anything else is refused with "invalid shape
// argument" in the built-in's context.
#pragma once

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vemlor::detail {

// Element i of an integer or double value (the real part of a complex one).
double numberAt(const Value& v, int i);

// The only element of a one-element value; refuses anything else with
// "in context; message".
double scalarOf(const Value& v, std::string_view context, std::string_view message);

// A whole number held in a one-element value; anything else (a fraction,
// NaN, a value out of the int range) is refused with "in context; message".
int wholeScalarOf(const Value& v, std::string_view context, std::string_view message);

// The second argument of a built-in taking one or two that needs both;
// refuses its absence with "in context; two arguments needed".
const Value& secondOf(const Value* second, std::string_view context);

// Truncation toward zero; NaN and numbers outside the int range give INT_MIN,
// as the hardware conversion does, instead of undefined behaviour.
int truncated(double x);

// Ascending order with NaN after every number, a strict weak order that the
// standard sorts can rely on.
inline bool orderedLess(double a, double b) {
    if (a != a) return false;
    return b != b || a < b;
}

struct Shape {
    int rows = 0;
    int cols = 0;
    int pages = 1;
    int count() const { return rows * cols * pages; }
    int kindWord() const { return pages > 1 ? kind3D(pages) : KIND_NUMERIC; }
};

Shape shapeArgument(const Value& v, std::string_view name);

// Gives `m` the shape (undefined contents) and plain kind of `shape`.
void applyShape(Value& m, const Shape& shape);

// The value in a result slot as class V: the slot's own value when it already
// is one (its buffer is reused), else a fresh one stored in the slot.
template <class V> V& resultAs(ValuePtr& slot) {
    if (auto* existing = dynamic_cast<V*>(slot.get())) return *existing;
    auto fresh = std::make_unique<V>();
    V& ref = *fresh;
    slot = std::move(fresh);
    return ref;
}

// Calls f with the value as its concrete numeric class: IntValue or
// DoubleValue, and ComplexValue too in visitNumbers. Lists are a BUG here:
// the calling elements refuse them before any handler runs.
template <class F> decltype(auto) visitReal(const Value& v, F&& f) {
    switch (v.type()) {
    case INTEGER_VAL:
        return f(static_cast<const IntValue&>(v));
    case DOUBLE_VAL:
        return f(static_cast<const DoubleValue&>(v));
    default:
        raiseBug("BUG: real numbers expected, got type " + std::to_string(v.type()));
    }
}

template <class F> decltype(auto) visitNumbers(const Value& v, F&& f) {
    if (v.type() == COMPLEX_VAL) return f(static_cast<const ComplexValue&>(v));
    return visitReal(v, std::forward<F>(f));
}

// out = f(x) for every element of x, with x's shape; the result is a plain
// double (a 3-D array stays 3-D). `x` and `out` may be the same value: every
// element is read before it is overwritten and the count does not change.
template <class F> void applyToEach(const Value& x, DoubleValue& out, F f) {
    int kind = x.is3D() ? x.kind : KIND_NUMERIC;
    if (&x != &out) out.setShapeKind(x.n, x.nrow, kind);
    out.kind = kind;
    for (int i = 0; i < x.n; ++i)
        out[i] = f(numberAt(x, i));
}

// Prints markupPrefix followed by `text` shown literally (braces and all) on
// a line of its own; further lines of `text` follow as literal lines.
void printPrefixedText(OutputSink& out, std::string_view markupPrefix, std::string_view text);

// The value as text when it is a string; numbers are laid out as `str` does.
std::string textOf(const Value& v);

// A column list of strings (kind 5), one item per text, in the slot.
void makeStringList(const std::vector<std::string>& texts, ValuePtr& slot);

} // namespace vemlor::detail
