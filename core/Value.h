// The run-time value: base class of the four concrete value classes.
//
// Every datum of the language is a Value: an integer, double or complex
// matrix (up to three dimensions), or a list. The shape lives here so that
// code holding a plain Value& can read it: `n` elements, `nrow` rows (columns
// are n / nrow, never stored) and the `kind` word whose low 4 bits qualify the
// value (string, bool, 3-D array, ...) and whose higher bits hold the page
// count of a 3-D array. Elements are column-major. Values are never shared:
// one owner each, deep copies everywhere.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vemlor {

enum TypeCode : int { INTEGER_VAL = 0, DOUBLE_VAL = 1, COMPLEX_VAL = 2, LIST_VAL = 3 };

// Low 4 bits of the kind word.
enum KindCode : int {
    KIND_NUMERIC = 0,
    KIND_STRING = 1,
    KIND_BOOL = 2,
    KIND_COMPLEX = 3,
    KIND_LIST = 4,
    KIND_TEXT = 5,
    KIND_ARRAY = 6,
    KIND_3D = 7,
    KIND_STACK = 8,
    KIND_QUEUE = 9,
    KIND_FUNCREF = 11,
};

inline int kindCode(int kind) {
    return kind & 15;
}
inline int pageCount(int kind) {
    return kind >> 4;
}
inline int kind3D(int pages) {
    return pages * 16 + KIND_3D;
}

// The widening rule of assignments, returns and quick functions: a value of
// type `from` may be stored into type `to` when equal, or when from < to <= 2.
inline bool widensTo(int from, int to) {
    return from == to || (from < to && to <= COMPLEX_VAL);
}

// Name of a type code ("int", "double", "complex", "list") and of a kind code
// ("numeric", "string", ...; empty for codes without a name).
std::string_view typeName(int type);
std::string_view kindName(int kind);

// Selection modes of subValue and selectIndexed.
enum SelectMode : int {
    SELECT_AUTO = -1,
    SELECT_ELEMENT = 0,
    SELECT_ROW = 1,
    SELECT_COLUMN = 2,
    SELECT_PAGE = 3
};

class Value;
// How a string value is described: "string" for one string (a row or a
// column), "array of strings" for a matrix of them.
std::string_view stringShapeName(const Value& v);

class Value {
  public:
    int n = 0;    // number of elements
    int nrow = 0; // number of rows
    int kind = 0; // kind code in the low 4 bits, page count above for 3-D arrays
    // A workspace of the evaluator: its buffer is kept however small the
    // values it holds for a while, because the next evaluation will want it
    // again (a variable, in contrast, gives back room it no longer needs).
    bool keepsBuffer = false;

    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    virtual ~Value() = default;

    // The type code. A plain field rather than a virtual call: the
    // evaluator asks for it around every operation.
    int type() const { return type_; }
    virtual void assign(const Value& v) { assignConverted(v); }
    virtual void assignString(std::string_view text) = 0;
    virtual void copyFrom(const Value& v) = 0;
    virtual void assignScalar(double x) = 0;
    virtual void assignScalarInt(int x) = 0;
    virtual void assignConverted(const Value& v) = 0;
    virtual void setShape(int rows, int cols) = 0;
    virtual void setShapeKind(int count, int rows, int kindWord) = 0;
    virtual void resizeKeep(int newN) = 0;
    virtual int elementSize() const = 0;
    virtual bool anyNonzero() const = 0;
    virtual bool allNonzero() const = 0;
    virtual int indexOfMin() const = 0;
    virtual int indexOfMax() const = 0;
    virtual int firstNonzero() const = 0;
    virtual int lastNonzero() const = 0;
    virtual std::string stringItem(int i, int precision) const = 0;
    virtual std::string toString() const = 0;
    double scalarDouble() const;
    int scalarInt() const;
    virtual void* rawData() = 0;
    virtual const void* rawData() const = 0;
    virtual void* elementPtr(int i) = 0;
    virtual void subValue(int i, Value& result, int mode) const = 0;
    virtual void selectIndexed(const std::vector<int>& indices, Value& result, int mode) const = 0;
    virtual void selectRowsCols(const std::vector<int>& rows, const std::vector<int>& cols,
                                Value& result) const = 0;
    virtual void erase(int mode, const int* indices, int count) = 0;
    virtual void item(int i, Value& result) const = 0;
    virtual void transpose() = 0;
    virtual void conjugate() = 0;
    virtual void release() = 0;
    virtual void clear() = 0;
    virtual void logicalNot() = 0;
    virtual void negate() = 0;
    virtual void resize(int newN) = 0;

    int ncol() const { return nrow > 0 ? n / nrow : 0; }
    // Columns of one page; an internal fault unless the value is 3-D.
    int ncol3D() const;
    bool isVector() const { return nrow == 1 || nrow == n; }
    bool isString() const { return kindCode(kind) == KIND_STRING; }
    bool is3D() const { return kindCode(kind) == KIND_3D; }
    bool isEmpty() const { return n == 0; }

  protected:
    explicit Value(int typeCode) : type_(typeCode) {}

    int type_; // fixed by the storage class; test doubles may pretend otherwise
};

using ValuePtr = std::unique_ptr<Value>;

// A new value of the same class, shape, kind and a deep copy of the elements.
ValuePtr newValueCopy(const Value& v);
// A new empty value of the class of a type code. An unknown code prints a
// warning through `warn` (when given) and yields an empty DoubleValue.
class OutputSink;
ValuePtr newValue(int type, OutputSink* warn = nullptr);

// Raises std::bad_alloc (reported as "out of memory") for a buffer larger
// than the memory the machine has free: the system would promise it and then
// end the process when the elements are written.
void checkAllocation(size_t count, size_t elementBytes);

// Exchanges the elements, shapes and kinds of two values of the same type
// without copying an element (BUG error for different types).
void swapContents(Value& a, Value& b);

} // namespace vemlor
