// The value-interface operations of the numeric matrices MathMatrix<T>
// (T = int, double, complexd): assignment and conversion, the queries used
// by conditions and built-ins, text conversion, selection and erasure, and
// the in-place unary operations. The arithmetic lives elsewhere.
//
// Conversions only ever widen (int -> double -> complex); a complex element
// is "nonzero" for conditions by its real part alone, as conditions on
// complex values have always behaved.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/NumberFormat.h"
#include "core/StorageOps.h"

#include <algorithm>
#include <climits>
#include <type_traits>

namespace vemlor {

namespace {

using detail::widened;

template <class T> constexpr int widthRank() {
    return detail::typeCodeOf<T>();
}

// Shape, kind and widened elements of src into dst.
template <class T, class From> void copyWidened(MathMatrix<T>& dst, const JMatrix<From>& src) {
    if constexpr (widthRank<From>() > widthRank<T>()) {
        raiseCode(ErrorCode::AssignmentMismatch);
    } else {
        dst.setShapeKind(src.n, src.nrow, src.kind);
        const From* in = src.data();
        T* out = dst.data();
        for (int i = 0; i < src.n; ++i)
            out[i] = widened<T>(in[i]);
    }
}

template <class T> T fromInt(int code) {
    if constexpr (std::is_same_v<T, complexd>)
        return complexd(code, 0.0);
    else
        return T(code);
}

// Nonzero as conditions see it: complex by the real part.
template <class T> bool conditionTrue(const T& x) {
    if constexpr (std::is_same_v<T, complexd>)
        return x.real() != 0.0;
    else
        return x != T(0);
}

// Key by which elements are ordered for min and max: complex by modulus.
template <class T> auto orderKey(const T& x) {
    if constexpr (std::is_same_v<T, complexd>)
        return std::abs(x);
    else
        return x;
}

// The character an element stands for: its low 8 bits (doubles and complex
// real parts truncated to an integer first).
template <class T> char characterOf(const T& x) {
    int code;
    if constexpr (std::is_same_v<T, int>)
        code = x;
    else if constexpr (std::is_same_v<T, double>)
        code = detail::truncateToInt(x);
    else
        code = detail::truncateToInt(x.real());
    return char(static_cast<unsigned char>(code & 0xFF));
}

} // namespace

// Characters are stored as signed 8-bit codes: 200 becomes -56.
template <class T> void MathMatrix<T>::assignString(std::string_view text) {
    this->setShapeKind(int(text.size()), 1, KIND_STRING);
    T* out = this->data();
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = fromInt<T>(static_cast<signed char>(text[i]));
}

template <class T> void MathMatrix<T>::copyFrom(const Value& v) {
    if (&v == this) return;
    if (v.type() != this->type()) raiseBug("BUG: copy between values of different classes");
    copyWidened(*this, static_cast<const JMatrix<T>&>(v));
}

template <class T> void MathMatrix<T>::assignScalar(double x) {
    this->setShapeKind(1, 1, KIND_NUMERIC);
    if constexpr (std::is_same_v<T, int>)
        this->data()[0] = detail::truncateToInt(x);
    else
        this->data()[0] = T(x);
}

template <class T> void MathMatrix<T>::assignScalarInt(int x) {
    this->setShapeKind(1, 1, KIND_NUMERIC);
    this->data()[0] = fromInt<T>(x);
}

template <class T> void MathMatrix<T>::assignConverted(const Value& v) {
    if (&v == this) return;
    switch (v.type()) {
    case INTEGER_VAL:
        copyWidened(*this, static_cast<const JMatrix<int>&>(v));
        break;
    case DOUBLE_VAL:
        copyWidened(*this, static_cast<const JMatrix<double>&>(v));
        break;
    case COMPLEX_VAL:
        copyWidened(*this, static_cast<const JMatrix<complexd>&>(v));
        break;
    default:
        raiseCode(ErrorCode::AssignmentMismatch);
    }
}

template <class T> bool MathMatrix<T>::anyNonzero() const {
    const T* d = this->data();
    return std::any_of(d, d + n, [](const T& x) { return conditionTrue(x); });
}

template <class T> bool MathMatrix<T>::allNonzero() const {
    const T* d = this->data();
    return std::all_of(d, d + n, [](const T& x) { return conditionTrue(x); });
}

template <class T> int MathMatrix<T>::indexOfMin() const {
    return detail::indexOfExtreme(this->data(), n, false, [](const T& x) { return orderKey(x); });
}

template <class T> int MathMatrix<T>::indexOfMax() const {
    return detail::indexOfExtreme(this->data(), n, true, [](const T& x) { return orderKey(x); });
}

// Positions count an element as nonzero when any part of it is.
template <class T> int MathMatrix<T>::firstNonzero() const {
    const T* d = this->data();
    for (int i = 0; i < n; ++i)
        if (d[i] != T(0)) return i + 1;
    return 0;
}

template <class T> int MathMatrix<T>::lastNonzero() const {
    const T* d = this->data();
    for (int i = n - 1; i >= 0; --i)
        if (d[i] != T(0)) return i + 1;
    return 0;
}

template <class T> std::string MathMatrix<T>::stringItem(int i, int precision) const {
    detail::checkPosition(i + 1, n);
    const T& x = this->data()[i];
    if constexpr (std::is_same_v<T, int>)
        return std::to_string(x);
    else if constexpr (std::is_same_v<T, double>)
        return formatDouble(x, precision);
    else
        return formatComplex(x, precision);
}

// A matrix that is neither a row nor a column is read row by row.
template <class T> std::string MathMatrix<T>::toString() const {
    std::string text;
    text.reserve(size_t(n));
    const T* d = this->data();
    if (this->isVector()) {
        for (int i = 0; i < n; ++i)
            text += characterOf(d[i]);
        return text;
    }
    int cols = this->ncol();
    for (int r = 0; r < nrow; ++r)
        for (int c = 0; c < cols; ++c)
            text += characterOf(d[size_t(c) * nrow + r]);
    return text;
}

template <class T> void MathMatrix<T>::subValue(int i, Value& result, int mode) const {
    detail::subValueOf(*this, i, result, mode);
}

template <class T>
void MathMatrix<T>::selectIndexed(const std::vector<int>& indices, Value& result, int mode) const {
    detail::selectIndexedOf(*this, indices, result, mode);
}

template <class T>
void MathMatrix<T>::selectRowsCols(const std::vector<int>& rows, const std::vector<int>& cols,
                                   Value& result) const {
    detail::selectRowsColsOf(*this, rows, cols, result);
}

template <class T> void MathMatrix<T>::erase(int mode, const int* indices, int count) {
    detail::eraseStorage(*this, mode, indices, count);
}

// Item i (0-based) of a numeric value is its row i + 1.
template <class T> void MathMatrix<T>::item(int i, Value& result) const {
    subValue(i + 1, result, SELECT_ROW);
}

template <class T> void MathMatrix<T>::transpose() {
    detail::transposeStorage(*this);
}

template <class T> void MathMatrix<T>::conjugate() {
    if constexpr (std::is_same_v<T, complexd>) {
        T* d = this->data();
        for (int i = 0; i < n; ++i)
            d[i] = std::conj(d[i]);
    }
}

template <class T> void MathMatrix<T>::logicalNot() {
    T* d = this->data();
    for (int i = 0; i < n; ++i)
        d[i] = d[i] == T(0) ? T(1) : T(0);
}

// -INT_MIN has no integer: it is an overflow, refused before anything changes.
template <class T> void MathMatrix<T>::negate() {
    T* d = this->data();
    if constexpr (std::is_same_v<T, int>) {
        if (std::find(d, d + n, INT_MIN) != d + n) raiseRuntime("integer overflow");
    }
    for (int i = 0; i < n; ++i)
        d[i] = -d[i];
}

template class MathMatrix<int>;
template class MathMatrix<double>;
template class MathMatrix<complexd>;

} // namespace vemlor
