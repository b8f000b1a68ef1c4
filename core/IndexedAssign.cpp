// Indexed assignment into values: JMatrix<T>::IndexedAssign stores a right
// side into selected elements, rows, columns or pages; mathIndexedAssign
// combines it with the old elements by one of the four arithmetic operators.
//
// A selected part (one element, row, column or page) is a run of `length`
// elements `stride` apart; part k of the right side is read from the right
// side's elements in order, as if it were shaped count-by-length for rows and
// length-by-count otherwise. Every check runs before the first store, so a
// refused assignment leaves the left value as it was. The right side is read
// in its own element type and widened per element, so `x[i] = 3` into a
// double vector needs no temporary.
#include "core/IndexedAssign.h"
#include "core/ScalarOps.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/StorageOps.h"

#include <type_traits>

namespace vemlor {
namespace {

using detail::widened;

template <class T> constexpr int rankOf() {
    return detail::typeCodeOf<T>();
}

// Where the parts selected by irc lie in a value.
struct PartLayout {
    int size = 0;     // number of parts: the length of the indexed dimension
    int length = 0;   // elements per part
    int stride = 0;   // distance between consecutive elements of a part
    int partStep = 0; // distance between the first elements of parts p and p + 1
};

PartLayout layoutOf(const Value& v, int irc) {
    switch (irc) {
    case IRC_ELEMENTS:
        return {v.n, 1, 1, 1};
    case IRC_ROWS:
        return {v.nrow, v.ncol(), v.nrow, 1};
    case IRC_COLUMNS:
        return {v.ncol(), v.nrow, 1, v.nrow};
    case IRC_PAGES: {
        int page = v.nrow * v.ncol3D(); // raises the BUG for a value that is not 3-D
        return {pageCount(v.kind), page, 1, page};
    }
    default:
        raiseBug("BUG: indexed assignment to an unknown kind of part");
    }
}

// Positions inside the dimension and a right side that fills every selected
// place (one element, or exactly one per place).
void checkSelection(const PartLayout& layout, const int* positions, int count, int rightCount) {
    if (count < 0) raiseBug("BUG: negative index count in indexed assignment");
    for (int k = 0; k < count; ++k)
        if (positions[k] < 1 || positions[k] > layout.size) raiseCode(ErrorCode::OutOfBounds);
    long places = long(count) * layout.length;
    if (rightCount != 1 && rightCount != places)
        raiseBug("BUG: indexed assignment with a right-hand value of the wrong size");
}

// Part k of the right side, element j: rows read it as count-by-length,
// the other selectors as length-by-count (both column-major).
inline size_t rightIndex(int irc, int k, int j, int count, int length) {
    return irc == IRC_ROWS ? size_t(j) * count + k : size_t(k) * length + j;
}

template <class T, class From, class Combine>
void assignParts(JMatrix<T>& left, int irc, const PartLayout& layout, const int* positions,
                 int count, const JMatrix<From>& right, Combine combine) {
    checkSelection(layout, positions, count, right.n);
    if constexpr (std::is_same_v<T, From>) {
        if (&right == &left && right.n != 1) { // reading what is being written
            ValuePtr copy = newValueCopy(right);
            assignParts(left, irc, layout, positions, count, static_cast<const JMatrix<T>&>(*copy),
                        combine);
            return;
        }
    }
    T* d = left.data();
    const From* r = right.data();
    for (int k = 0; k < count; ++k) {
        T* part = d + size_t(positions[k] - 1) * size_t(layout.partStep);
        for (int j = 0; j < layout.length; ++j) {
            const From& x = right.n == 1 ? r[0] : r[rightIndex(irc, k, j, count, layout.length)];
            combine(part[size_t(j) * layout.stride], x);
        }
    }
}

// Runs assignParts with the right side read in its own element type; a
// right side that would have to narrow raises AssignmentMismatch. `prepare` sees the typed
// right side before anything is stored (the integer division check).
template <class T, class Combine, class Prepare>
void withTypedRight(JMatrix<T>& left, int irc, const int* positions, int count, const Value& right,
                    Combine combine, Prepare prepare) {
    PartLayout layout = layoutOf(left, irc);
    auto run = [&](const auto& typed) {
        prepare(typed);
        assignParts(left, irc, layout, positions, count, typed, combine);
    };
    int type = right.type();
    if (rankOf<T>() == LIST_VAL || type == LIST_VAL) {
        if (type != rankOf<T>()) raiseCode(ErrorCode::AssignmentMismatch);
        run(static_cast<const JMatrix<T>&>(right));
        return;
    }
    if (type > rankOf<T>()) raiseCode(ErrorCode::AssignmentMismatch);
    switch (type) {
    case INTEGER_VAL:
        if constexpr (!std::is_same_v<T, ListItem>) run(static_cast<const JMatrix<int>&>(right));
        break;
    case DOUBLE_VAL:
        if constexpr (rankOf<T>() >= DOUBLE_VAL && rankOf<T>() <= COMPLEX_VAL)
            run(static_cast<const JMatrix<double>&>(right));
        break;
    case COMPLEX_VAL:
        if constexpr (rankOf<T>() == COMPLEX_VAL) run(static_cast<const JMatrix<complexd>&>(right));
        break;
    default:
        raiseCode(ErrorCode::AssignmentMismatch);
    }
}

// place op x as the arithmetic operators compute it (core/ScalarOps.h); an
// integer result beyond 32 bits is refused.
template <class T, class Op> T combined(T a, T b) {
    auto wide = Op{}(a, b);
    if constexpr (std::is_same_v<T, int>) {
        if (!ops::fitsInt(wide)) raiseRuntime("integer overflow");
        return int(wide);
    } else {
        return wide;
    }
}
template <class T> T addOf(T a, T b) {
    return combined<T, ops::Plus<T>>(a, b);
}
template <class T> T subtractOf(T a, T b) {
    return combined<T, ops::Minus<T>>(a, b);
}
template <class T> T multiplyOf(T a, T b) {
    return combined<T, ops::Times<T>>(a, b);
}
template <class T> T divideOf(T a, T b) {
    return combined<T, ops::Divide<T>>(a, b);
}

// Integer division by zero is refused before anything changes.
template <class T> auto zeroDivisorCheck(char op) {
    return [op](const auto& typed) {
        if (op != 'D') return;
        if constexpr (std::is_same_v<T, int>) {
            for (int i = 0; i < typed.n; ++i)
                if (typed[i] == 0) raiseRuntime("division by zero");
        }
    };
}

} // namespace

template <class T>
void JMatrix<T>::IndexedAssign(int irc, const int* positions, int count, const Value& right) {
    withTypedRight(
        *this, irc, positions, count, right,
        [](T& place, const auto& x) {
            if constexpr (std::is_same_v<T, std::decay_t<decltype(x)>>)
                place = x; // list items: one deep copy
            else
                place = widened<T>(x);
        },
        [](const auto&) {});
}

template <class T>
void MathMatrix<T>::mathIndexedAssign(int irc, const int* positions, int count, const Value& right,
                                      char op) {
    auto check = zeroDivisorCheck<T>(op);
    switch (op) {
    case 'P':
        withTypedRight(
            *this, irc, positions, count, right,
            [](T& place, const auto& x) { place = addOf(place, widened<T>(x)); }, check);
        break;
    case 'M':
        withTypedRight(
            *this, irc, positions, count, right,
            [](T& place, const auto& x) { place = subtractOf(place, widened<T>(x)); }, check);
        break;
    case 'T':
        withTypedRight(
            *this, irc, positions, count, right,
            [](T& place, const auto& x) { place = multiplyOf(place, widened<T>(x)); }, check);
        break;
    case 'D':
        withTypedRight(
            *this, irc, positions, count, right,
            [](T& place, const auto& x) { place = divideOf(place, widened<T>(x)); }, check);
        break;
    default:
        raiseBug(std::string("BUG: invalid operator '") + op + "' in indexed assignment");
    }
}

void indexedAssign(Value& left, int irc, const int* positions, int count, const Value& right) {
    switch (left.type()) {
    case INTEGER_VAL:
        static_cast<JMatrix<int>&>(left).IndexedAssign(irc, positions, count, right);
        break;
    case DOUBLE_VAL:
        static_cast<JMatrix<double>&>(left).IndexedAssign(irc, positions, count, right);
        break;
    case COMPLEX_VAL:
        static_cast<JMatrix<complexd>&>(left).IndexedAssign(irc, positions, count, right);
        break;
    case LIST_VAL:
        static_cast<JMatrix<ListItem>&>(left).IndexedAssign(irc, positions, count, right);
        break;
    default:
        raiseCode(ErrorCode::AssignmentMismatch);
    }
}

void mathIndexedAssign(Value& left, int irc, const int* positions, int count, const Value& right,
                       char op) {
    switch (left.type()) {
    case INTEGER_VAL:
        static_cast<MathMatrix<int>&>(left).mathIndexedAssign(irc, positions, count, right, op);
        break;
    case DOUBLE_VAL:
        static_cast<MathMatrix<double>&>(left).mathIndexedAssign(irc, positions, count, right, op);
        break;
    case COMPLEX_VAL:
        static_cast<MathMatrix<complexd>&>(left).mathIndexedAssign(irc, positions, count, right,
                                                                   op);
        break;
    default:
        raiseCode(ErrorCode::AssignmentMismatch);
    }
}

template void JMatrix<int>::IndexedAssign(int, const int*, int, const Value&);
template void JMatrix<double>::IndexedAssign(int, const int*, int, const Value&);
template void JMatrix<complexd>::IndexedAssign(int, const int*, int, const Value&);
template void JMatrix<ListItem>::IndexedAssign(int, const int*, int, const Value&);
template void MathMatrix<int>::mathIndexedAssign(int, const int*, int, const Value&, char);
template void MathMatrix<double>::mathIndexedAssign(int, const int*, int, const Value&, char);
template void MathMatrix<complexd>::mathIndexedAssign(int, const int*, int, const Value&, char);

} // namespace vemlor
