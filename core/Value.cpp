// The non-virtual parts of Value and the factories: names of types and
// kinds, scalar reads, the column count of a 3-D array, and creation of a
// value (empty, or a deep copy) by type code.
#include "core/Value.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "core/StorageOps.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <new>
#include <unistd.h>

namespace vemlor {

namespace {

constexpr std::array<std::string_view, 4> TYPE_NAMES = {"int", "double", "complex", "list"};
constexpr std::array<std::string_view, 10> KIND_NAMES = {
    "numeric", "string", "bool", "complex", "---list", "text", "array", "set", "stack", "queue"};

} // namespace

std::string_view typeName(int type) {
    if (type < 0 || type >= int(TYPE_NAMES.size())) return {};
    return TYPE_NAMES[size_t(type)];
}

// Only the low 4 bits count, so a 3-D array's whole kind word names "set".
std::string_view kindName(int kind) {
    int code = kindCode(kind);
    if (code >= int(KIND_NAMES.size())) return {};
    return KIND_NAMES[size_t(code)];
}

std::string_view stringShapeName(const Value& v) {
    return v.isVector() ? "string" : "array of strings";
}

double Value::scalarDouble() const {
    if (n == 0) return 0.0;
    switch (type()) {
    case INTEGER_VAL:
        return static_cast<const JMatrix<int>&>(*this)[0];
    case DOUBLE_VAL:
        return static_cast<const JMatrix<double>&>(*this)[0];
    default:
        return 0.0;
    }
}

int Value::scalarInt() const {
    if (n == 0) return 0;
    switch (type()) {
    case INTEGER_VAL:
        return static_cast<const JMatrix<int>&>(*this)[0];
    case DOUBLE_VAL:
        return detail::truncateToInt(static_cast<const JMatrix<double>&>(*this)[0]);
    default:
        return 0;
    }
}

int Value::ncol3D() const {
    if (!is3D()) raiseBug("BUG: page columns asked of a value that is not 3-D");
    int perPage = pageCount(kind) * nrow;
    return perPage > 0 ? n / perPage : 0;
}

ValuePtr newValue(int type, OutputSink* warn) {
    switch (type) {
    case INTEGER_VAL:
        return std::make_unique<IntValue>();
    case DOUBLE_VAL:
        return std::make_unique<DoubleValue>();
    case COMPLEX_VAL:
        return std::make_unique<ComplexValue>();
    case LIST_VAL:
        return std::make_unique<ListValue>();
    default:
        if (warn) warn->print("variable of unknown type declared; double assumed");
        return std::make_unique<DoubleValue>();
    }
}

namespace {

constexpr size_t kLargeAllocation = size_t(256) << 20;

// Memory the system can hand out now without swapping: free memory and the
// caches it can drop ("MemAvailable"), or free pages alone when that line is
// missing.
size_t availableMemory() {
    if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
        char line[128];
        unsigned long long kib = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f))
            found = std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1;
        std::fclose(f);
        if (found) return size_t(kib) * 1024;
    }
    long pages = ::sysconf(_SC_AVPHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return SIZE_MAX;
    return size_t(pages) * size_t(pageSize);
}

} // namespace

// Small buffers are never checked (the query costs more than they do). A
// value may take a third of what is available: almost every operation on it
// needs a second buffer of its size (a result, a grown copy) and often a
// temporary too, and a request the machine could only meet by swapping or by
// the kernel killing the process is better refused at once.
void checkAllocation(size_t count, size_t elementBytes) {
    if (count <= kLargeAllocation / elementBytes) return;
    if (count > availableMemory() / 3 / elementBytes) throw std::bad_alloc();
}

void swapContents(Value& a, Value& b) {
    if (a.type() != b.type()) raiseBug("BUG: contents exchanged between values of different types");
    switch (a.type()) {
    case INTEGER_VAL:
        static_cast<JMatrix<int>&>(a).swapWith(static_cast<JMatrix<int>&>(b));
        break;
    case DOUBLE_VAL:
        static_cast<JMatrix<double>&>(a).swapWith(static_cast<JMatrix<double>&>(b));
        break;
    case COMPLEX_VAL:
        static_cast<JMatrix<complexd>&>(a).swapWith(static_cast<JMatrix<complexd>&>(b));
        break;
    default:
        static_cast<JMatrix<ListItem>&>(a).swapWith(static_cast<JMatrix<ListItem>&>(b));
        break;
    }
}

ValuePtr newValueCopy(const Value& v) {
    int type = v.type();
    if (type < INTEGER_VAL || type > LIST_VAL) raiseBug("BUG: copy of a value of unknown type");
    ValuePtr copy = newValue(type);
    if (type == LIST_VAL)
        copy->assignConverted(v);
    else
        copy->copyFrom(v);
    return copy;
}

} // namespace vemlor
