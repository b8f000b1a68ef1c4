// Reads with two indices, m[r, c]: the submatrix at the listed rows and
// columns (masks, sequences and ':' allowed, positions may repeat), or a
// string lookup in a character matrix.
//
// String lookup: m[key, "row"] is the row of m that spells `key`, and
// m[key, "col"] the column; only the first letter of the second string
// counts ('r' or 'c'). A row or column matches when it starts with the key's
// characters and holds only blanks (or zeros) after them, so the padding of
// a character matrix does not get in the way.
#include "exec/IndexElementClasses.h"

#include "core/Errors.h"

namespace vemlor {

namespace {

const char* const ROW_MASK = "boolean mask has wrong size for rows";
const char* const COL_MASK = "boolean mask has wrong size for columns";
const char* const ROW_BOUNDS = "row index out of bounds";
const char* const COL_BOUNDS = "column index out of bounds";
const char* const NOT_STRING = "string indexing with non-string 2nd index";
const char* const NO_KEY = "key not recognized";

// Whether the `length` elements at(0..length-1) spell the key, blank-padded.
template <class T, class At> bool spells(const JMatrix<int>& key, int length, At at) {
    if (key.n > length) return false;
    for (int i = 0; i < length; ++i) {
        T expected = i < key.n ? T(key[i]) : T(' ');
        if (at(i) != expected && (i < key.n || at(i) != T(0))) return false;
    }
    return true;
}

// 1-based row (mode 1) or column (mode 2) of x that spells the key; 0 if none.
template <class T> int findLine(const JMatrix<T>& x, const JMatrix<int>& key, int mode) {
    const T* d = x.data();
    int rows = x.nrow, cols = x.ncol();
    if (mode == SELECT_ROW) {
        for (int r = 0; r < rows; ++r)
            if (spells<T>(key, cols, [&](int i) { return d[size_t(i) * rows + r]; })) return r + 1;
    } else {
        for (int c = 0; c < cols; ++c)
            if (spells<T>(key, rows, [&](int i) { return d[size_t(c) * rows + i]; })) return c + 1;
    }
    return 0;
}

int findLineOf(const Value& x, const JMatrix<int>& key, int mode) {
    switch (x.type()) {
    case INTEGER_VAL:
        return findLine(static_cast<const JMatrix<int>&>(x), key, mode);
    case DOUBLE_VAL:
        return findLine(static_cast<const JMatrix<double>&>(x), key, mode);
    case COMPLEX_VAL:
        return findLine(static_cast<const JMatrix<complexd>&>(x), key, mode);
    default:
        return 0;
    }
}

} // namespace

Value* IndexedElementDouble::pValue(Value* workspace) {
    const Value& x = *variable_;
    if (x.type() == LIST_VAL) raiseRuntime("two indices but it is not a matrix");
    const std::vector<int>* rows = nullptr;
    if (rowSource_.whole || rowSource_.sequence) {
        rows = &rows_.read(rowSource_, x.nrow, ROW_MASK, ROW_BOUNDS);
    } else {
        const JMatrix<int>& r = rows_.evaluate(*rowSource_.element);
        if (r.isString()) return lookUp(r, workspace);
        rows = &rows_.fromValue(r, x.nrow, ROW_MASK, ROW_BOUNDS);
    }
    const std::vector<int>& cols = cols_.read(colSource_, x.ncol(), COL_MASK, COL_BOUNDS);
    x.selectRowsCols(*rows, cols, *workspace);
    return workspace;
}

Value* IndexedElementDouble::lookUp(const JMatrix<int>& key, Value* workspace) {
    if (colSource_.whole || colSource_.sequence) raiseRuntime(NOT_STRING);
    const JMatrix<int>& which = cols_.evaluate(*colSource_.element);
    if (!which.isString()) raiseRuntime(NOT_STRING);
    int letter = which.n > 0 ? which[0] : 0;
    int mode = letter == 'r' || letter == 'R'   ? SELECT_ROW
               : letter == 'c' || letter == 'C' ? SELECT_COLUMN
                                                : SELECT_AUTO;
    if (mode == SELECT_AUTO) raiseRuntime(NO_KEY);
    const Value& x = *variable_;
    int found = findLineOf(x, key, mode);
    if (found == 0) raiseRuntime(NO_KEY);
    if (found > detail::dimensionSize(x, mode)) raiseRuntime("index out of bounds");
    x.subValue(found, *workspace, mode);
    return workspace;
}

} // namespace vemlor
