// Test helpers for the built-in families: values from literals, constant
// operands (one returning its own value, one writing into the workspace as
// an expression does), a console that records what is printed, and a
// BuiltinContext around it.
#pragma once

#include "builtins/BuiltinContext.h"
#include "builtins/Registry.h"
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/Evaluatable.h"

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vemlor::test {

// A rows-by-cols value from its elements listed row by row.
template <class V>
std::unique_ptr<V> matrix(int rows, int cols,
                          std::initializer_list<typename V::element_type> rowMajor) {
    auto v = std::make_unique<V>();
    v->setShape(rows, cols);
    auto it = rowMajor.begin();
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            (*v)[j * rows + i] = *it++;
    return v;
}

inline std::unique_ptr<IntValue> text(const std::string& s) {
    auto v = std::make_unique<IntValue>();
    v->assignString(s);
    return v;
}

inline std::string textOf(const Value& v) {
    std::string s;
    for (int i = 0; i < v.n; ++i)
        s.push_back(char(static_cast<const IntValue&>(v)[i]));
    return s;
}

// An operand that returns its own value, as constants and variables do.
class Constant : public Evaluatable {
  public:
    explicit Constant(ValuePtr v) : value_(std::move(v)) {}
    Value* pValue(Value*) override { return value_.get(); }
    int resultType() const override { return value_->type(); }
    int category() const override { return CAT_NUMBER; }
    bool refersTo(const Value* v) const override { return v == value_.get(); }

  private:
    ValuePtr value_;
};

// An operand that copies its value into the caller's workspace, as an
// expression does.
class IntoWorkspace : public Evaluatable {
  public:
    explicit IntoWorkspace(ValuePtr v) : value_(std::move(v)) {}
    Value* pValue(Value* workspace) override {
        workspace->assign(*value_);
        return workspace;
    }
    int resultType() const override { return value_->type(); }
    bool refersTo(const Value*) const override { return false; }

  private:
    ValuePtr value_;
};

template <class V> EvaluatablePtr constant(std::unique_ptr<V> v) {
    return std::make_unique<Constant>(std::move(v));
}
inline EvaluatablePtr constant(double x) {
    return constant(std::make_unique<DoubleValue>(x));
}
inline EvaluatablePtr constant(int x) {
    return constant(std::make_unique<IntValue>(x));
}
inline EvaluatablePtr constant(complexd z) {
    return constant(std::make_unique<ComplexValue>(z));
}

class RecordingSink : public OutputSink {
  public:
    std::vector<std::string> lines;
    void print(std::string_view t, bool, int) override { lines.emplace_back(t); }
    char setItemSeparator(char s) override { return s; }
};

class TestContext : public BuiltinContext {
  public:
    RecordingSink sink;
    ValuePtr answerValue = std::make_unique<DoubleValue>(0.0);
    OutputSink& output() override { return sink; }
    const Value& answer() override { return *answerValue; }
    std::unique_ptr<ScalarFunction> scalarFunction(const Value&) override {
        throw RuntimeError("1st argument must be a function");
    }
    int registerAnonymous(ScalarFunction&) override { return 1; }
    void unregisterAnonymous(int) override {}
    const std::string& programDirectory() const override { return programDirectory_; }
    std::string programDirectory_ = ".";
};

inline const BuiltinInfo& builtin(const std::string& name) {
    const BuiltinInfo* info = Registry::instance().find(name);
    if (!info) throw std::runtime_error("no built-in " + name);
    return *info;
}

template <class... A> std::vector<EvaluatablePtr> args(A&&... a) {
    std::vector<EvaluatablePtr> v;
    (v.push_back(std::forward<A>(a)), ...);
    return v;
}

} // namespace vemlor::test
