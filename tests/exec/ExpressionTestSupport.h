// Shared by the expression tests: a fluent wrapper over ExpressionBuilder,
// evaluation into a fresh workspace, element access and error capture.
#pragma once

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "exec/ExpressionBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vemlor::test {

// Appends operands and writes operators in source order:
//   Build().num(7).op('/').num(2).finish()
class Build {
  public:
    Build& num(int x) { return add(makeIntConstant(x)); }
    Build& real(double x) { return add(makeDoubleConstant(x)); }
    Build& imag(double y) { return add(makeComplexConstant(complexd(0, y))); }
    Build& var(Value& v) { return add(makeVariable(&v)); }
    Build& text(const std::string& s) { return add(makeStringLiteral(s)); }
    Build& add(EvaluatablePtr e) {
        builder_.append(std::move(e));
        return *this;
    }
    Build& op(char c) {
        builder_.setOperator(c);
        return *this;
    }
    Build& unary(char c) {
        builder_.applyUnary(c);
        return *this;
    }
    Build& percent() {
        builder_.percentStep();
        return *this;
    }
    EvaluatablePtr finish() { return builder_.finish(); }

  private:
    ExpressionBuilder builder_;
};

// Evaluates into a fresh workspace of the announced type; the copy survives
// the element.
inline ValuePtr evaluate(Evaluatable& e) {
    ValuePtr workspace = newValue(e.resultType() > LIST_VAL ? DOUBLE_VAL : e.resultType());
    return newValueCopy(*e.pValue(workspace.get()));
}

// The elements of an integer or double value as doubles, column-major.
inline std::vector<double> elements(const Value& v) {
    std::vector<double> out;
    for (int i = 0; i < v.n; ++i) {
        if (v.type() == INTEGER_VAL)
            out.push_back(static_cast<const IntValue&>(v)[i]);
        else
            out.push_back(static_cast<const DoubleValue&>(v)[i]);
    }
    return out;
}

inline double scalar(const Value& v) {
    EXPECT_EQ(v.n, 1);
    return v.n == 1 ? elements(v)[0] : 0.0;
}

// The text of the exception `action` throws ("" when none).
inline std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    } catch (const CodeError& e) {
        return e.message();
    }
    return "";
}

// A SyntaxError's text is "syntax error, {g " followed by the message.
inline std::string syntaxText(const std::string& message) {
    return "syntax error, {g " + message;
}

// Makes v the column-major matrix of `values` with `rows` rows.
template <class V, class T> void fill(V& v, std::initializer_list<T> values, int rows) {
    v.setShapeKind(int(values.size()), rows, KIND_NUMERIC);
    int i = 0;
    for (T x : values)
        v[i++] = x;
}

// An operand that counts its evaluations and delivers a fixed integer.
class CountingElement : public Evaluatable {
  public:
    CountingElement(int value, int& counter) : value_(value), counter_(counter) {}
    Value* pValue(Value* workspace) override {
        ++counter_;
        workspace->assignScalarInt(value_);
        return workspace;
    }
    int resultType() const override { return INTEGER_VAL; }
    bool refersTo(const Value*) const override { return false; }

  private:
    int value_;
    int& counter_;
};

inline EvaluatablePtr counting(int value, int& counter) {
    return std::make_unique<CountingElement>(value, counter);
}

} // namespace vemlor::test
