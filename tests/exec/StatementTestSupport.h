// Shared by the statement tests: small expression elements built by hand
// (constants, variables, computed values, failures), a sink that records
// console lines, and value builders. Statements are built directly from
// these, without the parsers.
#pragma once

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/DisplayStatements.h"
#include "exec/RunFlags.h"
#include "exec/ValueElement.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vemlor::test {

// Returns a value it owns (as constants do); never writes the workspace.
class HeldElement : public Evaluatable {
  public:
    explicit HeldElement(ValuePtr v) : value_(std::move(v)) {}
    Value* pValue(Value*) override { return value_.get(); }
    int resultType() const override { return value_->type(); }
    bool refersTo(const Value*) const override { return false; }

  private:
    ValuePtr value_;
};

// Computes into the workspace it is given; `reads` is what refersTo reports.
class ComputedElement : public Evaluatable {
  public:
    ComputedElement(int type, std::function<void(Value&)> fill, const Value* reads = nullptr,
                    int category = CAT_OTHER)
        : type_(type), fill_(std::move(fill)), reads_(reads), category_(category) {}
    Value* pValue(Value* workspace) override {
        fill_(*workspace);
        return workspace;
    }
    int resultType() const override { return type_; }
    int category() const override { return category_; }
    bool refersTo(const Value* v) const override { return v == reads_; }

  private:
    int type_;
    std::function<void(Value&)> fill_;
    const Value* reads_;
    int category_;
};

inline ValuePtr intMatrix(int rows, int cols, std::initializer_list<int> columnMajor) {
    auto v = std::make_unique<IntValue>();
    v->setShapeKind(rows * cols, rows, KIND_NUMERIC);
    int i = 0;
    for (int x : columnMajor)
        (*v)[i++] = x;
    return v;
}

inline ValuePtr doubleMatrix(int rows, int cols, std::initializer_list<double> columnMajor) {
    auto v = std::make_unique<DoubleValue>();
    v->setShapeKind(rows * cols, rows, KIND_NUMERIC);
    int i = 0;
    for (double x : columnMajor)
        (*v)[i++] = x;
    return v;
}

inline ValuePtr row(std::initializer_list<double> xs) {
    return doubleMatrix(1, int(xs.size()), xs);
}

inline ValuePtr mask(std::initializer_list<int> bits) {
    ValuePtr v = intMatrix(1, int(bits.size()), bits);
    v->kind = KIND_BOOL;
    return v;
}

// A list whose items are the given values, shaped rows by n / rows.
inline ValuePtr listOf(std::vector<ValuePtr> items, int rows = 1) {
    auto list = std::make_unique<ListValue>();
    list->setShapeKind(int(items.size()), items.empty() ? 0 : rows, KIND_NUMERIC);
    for (size_t i = 0; i < items.size(); ++i)
        (*list)[int(i)].value = std::move(items[i]);
    return list;
}

inline EvaluatablePtr held(ValuePtr v) {
    return std::make_unique<HeldElement>(std::move(v));
}
inline EvaluatablePtr intConst(int x) {
    return held(std::make_unique<IntValue>(x));
}
inline EvaluatablePtr doubleConst(double x) {
    return held(std::make_unique<DoubleValue>(x));
}
inline EvaluatablePtr var(Value& v) {
    return std::make_unique<ValueElement>(&v);
}

// An element of the given type and category whose evaluation must not happen.
inline EvaluatablePtr opaque(int type, int category = CAT_OTHER) {
    return std::make_unique<ComputedElement>(
        type, [](Value&) { FAIL() << "evaluated an element that should not run"; }, nullptr,
        category);
}

inline EvaluatablePtr computed(int type, std::function<void(Value&)> fill,
                               const Value* reads = nullptr) {
    return std::make_unique<ComputedElement>(type, std::move(fill), reads);
}

// A statement that runs `action` (through an expression statement).
inline StatementPtr action(std::function<void()> f, int line = 0) {
    return std::make_unique<EvalStm>(computed(INTEGER_VAL,
                                              [f](Value& w) {
                                                  f();
                                                  w.assignScalarInt(0);
                                              }),
                                     line);
}

// A statement that fails with RuntimeError(message).
inline StatementPtr failing(std::string message, int line) {
    return action([message] { raiseRuntime(message); }, line);
}

// A condition read from a C++ predicate.
inline EvaluatablePtr condition(std::function<bool()> test) {
    return computed(INTEGER_VAL, [test](Value& w) { w.assignScalarInt(test() ? 1 : 0); });
}

template <class... S> std::vector<StatementPtr> seq(S... parts) {
    std::vector<StatementPtr> out;
    (out.push_back(std::move(parts)), ...);
    return out;
}

// A lone ':' inside an index.
inline EvaluatablePtr wholeDimension() {
    return opaque(INTEGER_VAL, CAT_OPEN_SEQUENCE);
}

inline double doubleAt(const Value& v, int i) {
    return static_cast<const JMatrix<double>&>(v)[i];
}
inline int intAt(const Value& v, int i) {
    return static_cast<const JMatrix<int>&>(v)[i];
}

// The elements of an integer or double value, column-major.
inline std::vector<double> doubles(const Value& v) {
    std::vector<double> out;
    for (int i = 0; i < v.n; ++i)
        out.push_back(v.type() == INTEGER_VAL ? intAt(v, i) : doubleAt(v, i));
    return out;
}

inline std::vector<double> values(std::initializer_list<double> xs) {
    return xs;
}

// The message of the RuntimeError, InternalError or CodeError `action`
// raises, or "" when nothing is raised.
template <class F> std::string failureOf(F action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.what();
    } catch (const InternalError& e) {
        return e.what();
    } catch (const CodeError& e) {
        return e.message();
    }
    return "";
}

struct PrintedLine {
    std::string text;
    bool newLine;
};

class RecordingSink : public OutputSink {
  public:
    std::vector<PrintedLine> lines;
    void print(std::string_view text, bool newLine, int) override {
        lines.push_back({std::string(text), newLine});
    }
    char setItemSeparator(char separator) override {
        char old = separator_;
        separator_ = separator;
        return old;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const PrintedLine& l : lines)
            out.push_back(l.text);
        return out;
    }

  private:
    char separator_ = 0;
};

// Sets the run flag for each test, as the driver does before an input, and
// records what statements print.
class StatementTest : public testing::Test {
  protected:
    RecordingSink sink_;
    void SetUp() override { RunFlags::run = true; }
    void TearDown() override {
        RunFlags::run = false;
        RunFlags::stepping = false;
    }
};

} // namespace vemlor::test
