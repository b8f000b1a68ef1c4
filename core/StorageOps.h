// Storage-level operations shared by the numeric matrices and the list:
// gathering parts into a result, erasing positions, transposing, finding
// extremes. They work on JMatrix<T> through its public interface, so the
// same code moves numbers and (deep-copies or moves) list items.
//
// Positions handed in by callers are 1-based; anything outside the indexed
// dimension raises ErrorCode::OutOfBounds before any value changes.
// Internal to the value classes: other layers use the Value interface.
#pragma once

#include "core/Errors.h"
#include "core/MathMatrix.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <type_traits>
#include <vector>

namespace vemlor::detail {

// The type code of an element type, ordered by width (list items widest).
template <class T> constexpr int typeCodeOf() {
    if constexpr (std::is_same_v<T, int>)
        return INTEGER_VAL;
    else if constexpr (std::is_same_v<T, double>)
        return DOUBLE_VAL;
    else if constexpr (std::is_same_v<T, complexd>)
        return COMPLEX_VAL;
    else
        return LIST_VAL;
}

// An element of type From widened to To (never narrowed).
template <class To, class From> To widened(const From& x) {
    if constexpr (std::is_same_v<To, From>)
        return x;
    else if constexpr (std::is_same_v<To, complexd>)
        return complexd(double(x), 0.0);
    else
        return To(x);
}

// Truncation toward zero; NaN and doubles outside the int range give
// INT_MIN, as the hardware conversion does, instead of undefined behaviour.
inline int truncateToInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT_MIN;
    return int(x);
}

// The concrete class that holds storage of element type T.
template <class T> struct ConcreteValue { using type = MathMatrix<T>; };
template <> struct ConcreteValue<ListItem> { using type = ListValue; };

// Mode -1 resolved: page of a 3-D array, element of a vector, column otherwise.
inline int resolveMode(const Value& v, int mode) {
    if (mode != SELECT_AUTO) return mode;
    if (v.is3D()) return SELECT_PAGE;
    return v.isVector() ? SELECT_ELEMENT : SELECT_COLUMN;
}

// SELECT_AUTO resolved: pages of a 3-D array, elements of a vector, columns
// of any other matrix.
inline int resolvedSelectMode(const Value& v, int mode) {
    if (mode != SELECT_AUTO) return mode;
    if (v.is3D()) return SELECT_PAGE;
    return v.isVector() ? SELECT_ELEMENT : SELECT_COLUMN;
}

// Length of the dimension a mode indexes. Pages need a 3-D value
// (ncol3D raises an internal fault otherwise).
inline int dimensionSize(const Value& v, int mode) {
    switch (mode) {
    case SELECT_ELEMENT:
        return v.n;
    case SELECT_ROW:
        return v.nrow;
    case SELECT_COLUMN:
        return v.ncol();
    case SELECT_PAGE:
        v.ncol3D();
        return pageCount(v.kind);
    default:
        raiseBug("BUG: invalid selection mode " + std::to_string(mode));
    }
}

inline void checkPosition(int position, int size) {
    if (position < 1 || position > size) raiseCode(ErrorCode::OutOfBounds);
}

inline void checkPositions(const std::vector<int>& positions, int size) {
    for (int p : positions)
        checkPosition(p, size);
}

// Kind word of a part taken from `source`: the source's own, except that a
// part of a 3-D array which is no longer whole pages (an element, a column,
// a single page, a submatrix) is a plain matrix.
inline int partKind(const Value& source, bool keeps3D) {
    if (source.is3D() && !keeps3D) return KIND_NUMERIC;
    return source.kind;
}

// Writes a part of `self` into `result`: `fill` receives the element buffer
// of a count-element, rows-row value. A result of the same class is filled
// in place (reusing its buffer); any other result, or `self` itself, gets
// the part through assignConverted (widening, or AssignmentMismatch when it cannot).
template <class T, class Fill>
void writePart(const JMatrix<T>& self, Value& result, int count, int rows, int kindWord,
               Fill fill) {
    if (result.type() == self.type() && &result != &self) {
        auto& target = static_cast<JMatrix<T>&>(result);
        target.setShapeKind(count, rows, kindWord);
        fill(target.data());
        return;
    }
    typename ConcreteValue<T>::type part;
    part.setShapeKind(count, rows, kindWord);
    fill(part.data());
    result.assignConverted(part);
}

// Copies the grid of rows rowAt(0..nr-1) and columns colAt(0..nc-1) of a
// column-major source with srcRows rows, column by column, into out.
template <class T, class RowAt, class ColAt>
void copyGrid(const T* in, int srcRows, int nr, RowAt rowAt, int nc, ColAt colAt, T* out) {
    if (nr <= 0) return;
    for (int c = 0; c < nc; ++c) {
        const T* column = in + size_t(colAt(c)) * size_t(srcRows);
        for (int r = 0; r < nr; ++r)
            *out++ = column[rowAt(r)];
    }
}

inline int identity(int i) {
    return i;
}

// Part i (1-based) of `self` in the given mode, as described for subValue.
template <class T> void subValueOf(const JMatrix<T>& self, int i, Value& result, int mode) {
    mode = resolveMode(self, mode);
    checkPosition(i, dimensionSize(self, mode));
    const T* in = self.data();
    int rows = self.nrow, k = i - 1;
    switch (mode) {
    case SELECT_ELEMENT:
        writePart(self, result, 1, 1, partKind(self, false), [&](T* out) { out[0] = in[k]; });
        break;
    case SELECT_ROW: {
        int cols = self.ncol();
        writePart(self, result, cols, 1, partKind(self, true), [&](T* out) {
            copyGrid(
                in, rows, 1, [k](int) { return k; }, cols, identity, out);
        });
        break;
    }
    case SELECT_COLUMN:
        writePart(self, result, rows, rows, partKind(self, false), [&](T* out) {
            copyGrid(
                in, rows, rows, identity, 1, [k](int) { return k; }, out);
        });
        break;
    default: { // SELECT_PAGE
        int cols = self.ncol3D();
        writePart(self, result, rows * cols, rows, KIND_NUMERIC, [&](T* out) {
            copyGrid(
                in, rows, rows, identity, cols, [&](int c) { return k * cols + c; }, out);
        });
    }
    }
}

// Gathers the parts at 1-based `positions`, as described for selectIndexed.
template <class T>
void selectIndexedOf(const JMatrix<T>& self, const std::vector<int>& positions, Value& result,
                     int mode) {
    mode = resolveMode(self, mode);
    checkPositions(positions, dimensionSize(self, mode));
    const T* in = self.data();
    const int* at = positions.data();
    int count = int(positions.size()), rows = self.nrow;
    auto listed = [at](int j) { return at[j] - 1; };
    switch (mode) {
    case SELECT_ELEMENT: {
        bool asRow = self.nrow == 1 && self.n > 1;
        writePart(self, result, count, asRow ? 1 : count, partKind(self, false), [&](T* out) {
            for (int j = 0; j < count; ++j)
                out[j] = in[at[j] - 1];
        });
        break;
    }
    case SELECT_ROW: {
        int cols = self.ncol();
        writePart(self, result, count * cols, count, partKind(self, true),
                  [&](T* out) { copyGrid(in, rows, count, listed, cols, identity, out); });
        break;
    }
    case SELECT_COLUMN:
        writePart(self, result, rows * count, rows, partKind(self, false),
                  [&](T* out) { copyGrid(in, rows, rows, identity, count, listed, out); });
        break;
    default: { // SELECT_PAGE
        int cols = self.ncol3D();
        int kindWord = count > 0 ? kind3D(count) : KIND_NUMERIC;
        writePart(self, result, rows * cols * count, rows, kindWord, [&](T* out) {
            auto pageColumn = [&](int c) { return (at[c / cols] - 1) * cols + c % cols; };
            copyGrid(in, rows, rows, identity, cols * count, pageColumn, out);
        });
    }
    }
}

// The submatrix at the listed 1-based rows and columns, in the order given.
template <class T>
void selectRowsColsOf(const JMatrix<T>& self, const std::vector<int>& rowList,
                      const std::vector<int>& colList, Value& result) {
    checkPositions(rowList, self.nrow);
    checkPositions(colList, self.ncol());
    int nr = int(rowList.size()), nc = int(colList.size());
    const int* r = rowList.data();
    const int* c = colList.data();
    writePart(self, result, nr * nc, nr, partKind(self, false), [&](T* out) {
        copyGrid(
            self.data(), self.nrow, nr, [r](int j) { return r[j] - 1; }, nc,
            [c](int j) { return c[j] - 1; }, out);
    });
}

// In place; a vector only swaps its shape.
template <class T> void transposeStorage(JMatrix<T>& m) {
    if (m.nrow == 0) return;
    int rows = m.nrow, cols = m.ncol();
    if (m.isVector() || m.n == 0) {
        m.nrow = cols;
        return;
    }
    auto fresh = std::make_unique_for_overwrite<T[]>(size_t(m.n));
    T* in = m.data();
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            fresh[size_t(r) * cols + c] = std::move(in[size_t(c) * rows + r]);
    m.adopt(fresh.release(), m.n, cols, m.kind);
}

// The 1-based positions sorted, without duplicates, made 0-based; every one
// must lie in 1..size.
inline std::vector<int> erasePositions(const int* indices, int count, int size) {
    std::vector<int> drop(indices, indices + std::max(count, 0));
    for (int p : drop)
        checkPosition(p, size);
    std::sort(drop.begin(), drop.end());
    drop.erase(std::unique(drop.begin(), drop.end()), drop.end());
    for (int& p : drop)
        --p;
    return drop;
}

// Removes the blocks of `width` consecutive elements at the sorted 0-based
// block positions `drop`, closing up the rest, and shrinks to what is left.
template <class T> void removeBlocks(JMatrix<T>& m, const std::vector<int>& drop, int width) {
    T* d = m.data();
    int blocks = width > 0 ? m.n / width : 0;
    size_t write = 0, next = 0;
    for (int b = 0; b < blocks; ++b) {
        if (next < drop.size() && drop[next] == b) {
            ++next;
            continue;
        }
        T* block = d + size_t(b) * width;
        if (write != size_t(b) * width) std::move(block, block + width, d + write);
        write += width;
    }
    int rows = m.nrow;
    m.resizeKeep(int(write));
    m.nrow = rows;
}

// Removes elements (mode 0), rows (1), columns (2) or pages (3) at the given
// 1-based positions; mode -1 chooses as for subValue. Elements of anything
// but a column leave a row. When nothing is left the value is cleared.
template <class T> void eraseStorage(JMatrix<T>& m, int mode, const int* indices, int count) {
    mode = resolveMode(m, mode);
    std::vector<int> drop = erasePositions(indices, count, dimensionSize(m, mode));
    if (drop.empty()) return;
    bool was3D = m.is3D();
    switch (mode) {
    case SELECT_ELEMENT: {
        bool column = m.nrow == m.n;
        removeBlocks(m, drop, 1);
        m.nrow = column ? m.n : 1;
        if (was3D) m.kind = KIND_NUMERIC;
        break;
    }
    case SELECT_ROW:
        transposeStorage(m);
        removeBlocks(m, drop, m.nrow);
        transposeStorage(m);
        break;
    case SELECT_COLUMN:
        if (was3D) { // the same column of every page
            int cols = m.ncol3D(), pages = pageCount(m.kind);
            std::vector<int> every;
            every.reserve(drop.size() * size_t(pages));
            for (int p = 0; p < pages; ++p)
                for (int c : drop)
                    every.push_back(p * cols + c);
            removeBlocks(m, every, m.nrow);
        } else {
            removeBlocks(m, drop, m.nrow);
        }
        break;
    default: { // SELECT_PAGE
        int pages = pageCount(m.kind);
        removeBlocks(m, drop, m.nrow * m.ncol3D());
        m.kind = kind3D(pages - int(drop.size()));
    }
    }
    if (m.n == 0) {
        m.clear();
        if (was3D) m.kind = KIND_NUMERIC;
    }
}

// 0-based index of the first extreme element by key, 0 for an empty range.
template <class T, class Key> int indexOfExtreme(const T* d, int n, bool largest, Key key) {
    if (n <= 0) return 0;
    int best = 0;
    auto bestKey = key(d[0]);
    for (int i = 1; i < n; ++i) {
        auto k = key(d[i]);
        if (largest ? k > bestKey : k < bestKey) {
            best = i;
            bestKey = k;
        }
    }
    return best;
}

} // namespace vemlor::detail
