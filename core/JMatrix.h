// JMatrix<T>: the storage template shared by all four value classes.
//
// Invariants: `data_` holds `capacity_` elements of which the first `n` are
// the value's (column-major); capacity_ >= n; data_ is null when capacity_ is
// 0. Spare capacity exists only so that repeated growth is amortised; nothing
// observable depends on it. For list storage, items beyond `n` are always
// empty so that no value hides in the spare room.
#pragma once

#include "core/Value.h"

#include <algorithm>
#include <complex>
#include <memory>
#include <type_traits>

namespace vemlor {

using complexd = std::complex<double>;

// One item of a list: owns its value, which may be absent (an empty item).
class ListItem {
  public:
    ValuePtr value;

    ListItem() = default;
    ListItem(const ListItem& other) : value(other.value ? newValueCopy(*other.value) : nullptr) {}
    ListItem& operator=(const ListItem& other) {
        if (this != &other) value = other.value ? newValueCopy(*other.value) : nullptr;
        return *this;
    }
    ListItem(ListItem&&) noexcept = default;
    ListItem& operator=(ListItem&&) noexcept = default;
    bool empty() const { return value == nullptr; }
    int count() const { return value ? value->n : 0; }
};

template <class T> class JMatrix : public Value {
  public:
    using element_type = T;

    JMatrix() : Value(kTypeCode) {}

    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    T& operator[](int i) { return data_[i]; }
    const T& operator[](int i) const { return data_[i]; }
    int capacity() const { return capacity_; }

    void* rawData() override { return data_.get(); }
    const void* rawData() const override { return data_.get(); }
    void* elementPtr(int i) override { return data_.get() + i; }
    int elementSize() const override {
        if constexpr (std::is_same_v<T, ListItem>)
            return 4;
        else
            return int(sizeof(T));
    }

    // Frees the buffer and gets room for newN elements of undefined content
    // (empty items for lists) when newN differs from n. A buffer that is big
    // enough and not wastefully so is kept.
    void resize(int newN) override {
        if (newN == n) return;
        if (newN <= capacity_ && !wasteful(newN)) {
            clearTail(0); // a list gets newN empty items, not leftovers
            n = newN;
            return;
        }
        allocateExactly(newN);
    }

    // Keeps the first min(n, newN) elements. Shrinking reallocates only when
    // much is freed; growing leaves room so that repeated growth is amortised.
    void resizeKeep(int newN) override {
        if (newN == n) return;
        bool column = nrow == n;
        if (newN < n) {
            bool shrinkBuffer = (n - newN >= 4 && n >= 2 * newN) || n - newN > 100000;
            if (shrinkBuffer)
                reallocateKeeping(newN, newN);
            else
                clearTail(newN);
        } else if (newN > capacity_) {
            long grown = long(capacity_) + capacity_ / 2;
            reallocateKeeping(newN, int(std::min<long>(std::max<long>(grown, newN), 0x7fffffff)));
        }
        n = newN;
        if (column) nrow = newN;
    }

    void resizeFill(int newN, int rows, const T& x) {
        resize(newN);
        std::fill(data_.get(), data_.get() + n, x);
        nrow = rows;
    }

    void setShape(int rows, int cols) override {
        nrow = rows;
        if (rows * cols != n) resize(rows * cols);
    }
    void setShapeKind(int count, int rows, int kindWord) override {
        resize(count);
        nrow = rows;
        kind = kindWord;
    }

    void release() override {
        (void)data_.release();
        capacity_ = 0;
        n = 0;
    }
    void clear() override {
        data_.reset();
        capacity_ = 0;
        n = nrow = 0;
    }
    // Takes over a buffer of `count` elements allocated with new T[].
    void adopt(T* buffer, int count, int rows, int kindWord) {
        clear();
        data_.reset(buffer);
        capacity_ = count;
        n = count;
        nrow = rows;
        kind = kindWord;
    }
    // Stores `right` into the places selected by irc (0 elements, 1 rows,
    // 2 columns, 3 pages of a 3-D array) at the 1-based `positions`: a
    // one-element right side goes everywhere, otherwise part k takes part k
    // of `right`. Narrower numeric types widen; the assignment statements
    // check shapes first (core/IndexedAssign.cpp).
    void IndexedAssign(int irc, const int* positions, int count, const Value& right);

    // Takes the buffer and shape of another matrix of the same element type.
    void takeFrom(JMatrix<T>& other) {
        data_ = std::move(other.data_);
        capacity_ = other.capacity_;
        n = other.n;
        nrow = other.nrow;
        kind = other.kind;
        other.capacity_ = 0;
        other.n = other.nrow = 0;
    }

    // Exchanges buffers and shapes with another matrix of the same element type.
    void swapWith(JMatrix<T>& other) {
        std::swap(data_, other.data_);
        std::swap(capacity_, other.capacity_);
        std::swap(n, other.n);
        std::swap(nrow, other.nrow);
        std::swap(kind, other.kind);
    }

    // The type code of a matrix of T.
    static constexpr int kTypeCode = std::is_same_v<T, int>        ? INTEGER_VAL
                                     : std::is_same_v<T, double>   ? DOUBLE_VAL
                                     : std::is_same_v<T, complexd> ? COMPLEX_VAL
                                                                   : LIST_VAL;

  protected:
    std::unique_ptr<T[]> data_;
    int capacity_ = 0;

  public:
    // Whether the buffer is much bigger than the elements it holds.
    bool oversized() const { return capacity_ > 64 && n < capacity_ / 4; }

  protected:
    // Whether a buffer this big is too much for newN elements of a value
    // that is not a workspace.
    bool wasteful(int newN) const { return !keepsBuffer && capacity_ > 64 && newN < capacity_ / 4; }

    void allocateExactly(int newN) {
        data_.reset();
        capacity_ = 0;
        n = 0;
        if (newN > 0) {
            checkAllocation(size_t(newN), sizeof(T));
            data_ = std::make_unique_for_overwrite<T[]>(size_t(newN));
            capacity_ = newN;
        }
        n = newN;
    }

    void reallocateKeeping(int keep, int newCapacity) {
        std::unique_ptr<T[]> fresh;
        if (newCapacity > 0) {
            checkAllocation(size_t(newCapacity), sizeof(T));
            fresh = std::make_unique_for_overwrite<T[]>(size_t(newCapacity));
        }
        std::move(data_.get(), data_.get() + std::min(keep, n), fresh.get());
        data_ = std::move(fresh);
        capacity_ = newCapacity;
    }

    // List items past the new end are emptied so that spare room owns nothing.
    void clearTail(int newN) {
        if constexpr (std::is_same_v<T, ListItem>) {
            for (int i = newN; i < n; ++i)
                data_[i].value.reset();
        }
    }
};

} // namespace vemlor
