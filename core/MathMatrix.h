// MathMatrix<T>: the numeric matrices (T = int, double, complexd) and the
// four leaf value classes.
//
// The value-interface operations live in ValueOps.cpp, the arithmetic in
// Arithmetic.cpp and LinearAlgebra.cpp; all are explicitly instantiated for
// the three element types. Arithmetic works in place on the left operand (the
// evaluator's workspace), keeps the left operand's kind word, and raises the
// IncompatibleOperands CodeError with the operator's character when the
// shapes do not fit.
#pragma once

#include "core/JMatrix.h"

namespace vemlor {

template <class T> class MathMatrix : public JMatrix<T> {
  public:
    using JMatrix<T>::n;
    using JMatrix<T>::nrow;
    using JMatrix<T>::kind;

    MathMatrix() = default;

    void assignString(std::string_view text) override;
    void copyFrom(const Value& v) override;
    void assignScalar(double x) override;
    void assignScalarInt(int x) override;
    void assignConverted(const Value& v) override;
    bool anyNonzero() const override;
    bool allNonzero() const override;
    int indexOfMin() const override;
    int indexOfMax() const override;
    int firstNonzero() const override;
    int lastNonzero() const override;
    std::string stringItem(int i, int precision) const override;
    std::string toString() const override;
    void subValue(int i, Value& result, int mode) const override;
    void selectIndexed(const std::vector<int>& indices, Value& result, int mode) const override;
    void selectRowsCols(const std::vector<int>& rows, const std::vector<int>& cols,
                        Value& result) const override;
    void erase(int mode, const int* indices, int count) override;
    void item(int i, Value& result) const override;
    void transpose() override;
    void conjugate() override;
    void logicalNot() override;
    void negate() override;

    // Arithmetic, each in place on this (the left operand).
    // '+' '-' '*' '/' '^' '_' 'u' by numeric operator code, with broadcasting.
    void elementwise(const MathMatrix<T>& r, int opCode);
    // this = l op r in one pass, as copying l and then elementwise(r) would
    // leave it; this may be l or r.
    void assignElementwise(const MathMatrix<T>& l, const MathMatrix<T>& r, int opCode);
    // 'a' 'r' 'X' '&' '|' 'x' (and '^', 'u' when routed here): double results.
    void scalarFunction(const MathMatrix<T>& r, int opCode);
    void matrixProduct(const MathMatrix<T>& r);
    void matrixPower(const MathMatrix<T>& p);
    void kronecker(const MathMatrix<T>& r);
    void cross(const MathMatrix<T>& r);
    void vectorAdd(const MathMatrix<T>& r, int sign);
    void concatHorizontal(const MathMatrix<T>& r);
    void concatVertical(const MathMatrix<T>& r);
    // The op-assign form of IndexedAssign: the selected elements are
    // combined with `right` by 'P' (+), 'M' (-), 'T' (*) or 'D' (/).
    void mathIndexedAssign(int irc, const int* positions, int count, const Value& right, char op);
};

class IntValue : public MathMatrix<int> {
  public:
    IntValue() = default;
    explicit IntValue(int x) { assignScalarInt(x); }
};

class DoubleValue : public MathMatrix<double> {
  public:
    DoubleValue() = default;
    explicit DoubleValue(double x) { assignScalar(x); }
    // Shape and kind copied, integers converted.
    explicit DoubleValue(const Value& v) { assignConverted(v); }
};

class ComplexValue : public MathMatrix<complexd> {
  public:
    ComplexValue() = default;
    explicit ComplexValue(complexd z) {
        resize(1);
        nrow = 1;
        kind = 0;
        data_[0] = z;
    }
    void assignString(std::string_view text) override;
};

class ListValue : public JMatrix<ListItem> {
  public:
    ListValue() = default;
    void assignString(std::string_view text) override;
    void copyFrom(const Value& v) override;
    void assignScalar(double x) override;
    void assignScalarInt(int x) override;
    void assignConverted(const Value& v) override;
    bool anyNonzero() const override;
    bool allNonzero() const override;
    int indexOfMin() const override;
    int indexOfMax() const override;
    int firstNonzero() const override;
    int lastNonzero() const override;
    std::string stringItem(int i, int precision) const override;
    std::string toString() const override;
    void subValue(int i, Value& result, int mode) const override;
    void selectIndexed(const std::vector<int>& indices, Value& result, int mode) const override;
    void selectRowsCols(const std::vector<int>& rows, const std::vector<int>& cols,
                        Value& result) const override;
    void erase(int mode, const int* indices, int count) override;
    void item(int i, Value& result) const override;
    void transpose() override;
    void conjugate() override {}
    void logicalNot() override {}
    void negate() override {}
    // Every item a deep copy of x; x itself is consumed.
    void resizeFillItems(int newN, int rows, ValuePtr x);
};

// Makes `list` the n-by-1 text list (kind 5) of `count` empty DoubleValue
// items that the list-creating built-in returns for a single number. More
// than 10 million items are refused; above 100000 the warning "creating a
// very large list" goes to `warn` (when given) first.
void makeEmptyItemList(ListValue& list, long count, OutputSink* warn);

extern template class MathMatrix<int>;
extern template class MathMatrix<double>;
extern template class MathMatrix<complexd>;

} // namespace vemlor
