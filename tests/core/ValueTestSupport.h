// Builders and probes shared by the value tests: matrices written row by row
// as on paper (stored column-major by the builder), the elements of a value
// in storage order, catchers of the error raised, and an output sink that
// records what was printed.
#pragma once

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace vemlor::test {

// A rows-by-cols value of class V whose elements are given row by row.
template <class V, class E>
std::unique_ptr<V> matrixOf(int rows, int cols, std::initializer_list<E> rowMajor, int kind = 0) {
    auto v = std::make_unique<V>();
    v->setShapeKind(rows * cols, rows, kind);
    const E* e = rowMajor.begin();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            (*v)[c * rows + r] = typename V::element_type(e[r * cols + c]);
    return v;
}

template <class V, class E> std::unique_ptr<V> rowOf(std::initializer_list<E> elements) {
    return matrixOf<V>(1, int(elements.size()), elements);
}

template <class V, class E> std::unique_ptr<V> columnOf(std::initializer_list<E> elements) {
    return matrixOf<V>(int(elements.size()), 1, elements);
}

// The elements in storage (column-major) order.
template <class T> std::vector<T> elementsOf(const JMatrix<T>& v) {
    return std::vector<T>(v.data(), v.data() + v.n);
}

inline std::unique_ptr<IntValue> stringOf(std::string_view text) {
    auto v = std::make_unique<IntValue>();
    v->assignString(text);
    return v;
}

// The message of the RuntimeError that action raises.
template <class F> std::string runtimeMessage(F action) {
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.what();
    }
    return "(no RuntimeError)";
}

// The message of the CodeError that action raises, "" for none.
template <class F> std::string codeOf(F action) {
    try {
        action();
    } catch (const CodeError& e) {
        return e.message();
    }
    return "";
}

class RecordingSink : public OutputSink {
  public:
    std::vector<std::string> lines;
    void print(std::string_view text, bool, int) override { lines.emplace_back(text); }
    char setItemSeparator(char separator) override {
        char old = separator_;
        separator_ = separator;
        return old;
    }

  private:
    char separator_ = 0;
};

} // namespace vemlor::test
