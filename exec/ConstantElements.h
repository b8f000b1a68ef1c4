// Leaf elements: numeric constants (returned by pointer, never copied), the
// empty set, string literals, and the two leaves that only mean something
// inside an index: `end` and a lone ':'.
//
// Constants are category CAT_NUMBER so that the builder can fold
// expressions made only of them; their values are read-only for callers.
#pragma once

#include <type_traits>

#include "core/MathMatrix.h"
#include "exec/Evaluatable.h"

#include <string>

namespace vemlor {

// What the builder needs of every numeric constant, whatever its class.
class NumberElementBase : public Evaluatable {
  public:
    int category() const override { return CAT_NUMBER; }
    bool refersTo(const Value*) const override { return false; }
    virtual Value& value() = 0;
};

template <class V> class NumberElement : public NumberElementBase {
  public:
    NumberElement() = default;
    // Takes over the buffer, shape and kind of `v`, which is left empty.
    explicit NumberElement(V& v) { value_.takeFrom(v); }
    Value* pValue(Value*) override { return &value_; }
    int resultType() const override { return value_.type(); }
    V& value() override { return value_; }

  protected:
    V value_;
};

class NumberElementInt final : public NumberElement<IntValue> {
  public:
    explicit NumberElementInt(int x) { value_.assignScalarInt(x); }
};

class NumberElementDouble final : public NumberElement<DoubleValue> {
  public:
    explicit NumberElementDouble(double x) { value_.assignScalar(x); }
};

class NumberElementComplex final : public NumberElement<ComplexValue> {
  public:
    explicit NumberElementComplex(complexd z) {
        value_.setShapeKind(1, 1, KIND_NUMERIC);
        value_[0] = z;
    }
};

// `[]`: the empty integer value.
class EmptySetElement final : public NumberElement<IntValue> {
  public:
    EmptySetElement() { value_.setShapeKind(0, 0, KIND_NUMERIC); }
};

// A constant holding `v`'s value (a folded expression); `v` is left empty.
EvaluatablePtr makeNumberElement(Value& v);

// A string in quotes: written into the workspace on every evaluation, so the
// caller may change the result in place.
class StringLiteralElement final : public Evaluatable {
  public:
    explicit StringLiteralElement(std::string text) : text_(std::move(text)) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }
    bool refersTo(const Value*) const override { return false; }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

// A lone ':'. Indexed reads recognise it by its category; evaluated anywhere
// else it is "incorrect use of ':'".
class OpenSequenceElement final : public Evaluatable {
  public:
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }
    int category() const override { return CAT_OPEN_SEQUENCE; }
    bool refersTo(const Value*) const override { return false; }
};

// `end` inside an index of `variable`: the size of dimension 0 (rows),
// 1 (columns), 2 (pages of a 3-D array) or -1 (a single index: the length
// of a vector, else the number of columns), as an integer scalar. It reads
// the variable's current size, so it always claims to refer to a variable.
class EndIndexElement final : public Evaluatable {
  public:
    EndIndexElement(const Value* variable, int dimension)
        : variable_(variable), dimension_(dimension) {}
    Value* pValue(Value* workspace) override;
    int resultType() const override { return INTEGER_VAL; }
    int category() const override { return CAT_END_INDEX; }
    bool refersTo(const Value*) const override { return true; }
    int size() const;

  private:
    const Value* variable_; // owned by the workspace
    int dimension_;
};

} // namespace vemlor
