// Family 6 variant 0: one value in, an integer value (or a string) out.
//
// Positions are 1-based. `sortit`, `nextPerm` and `prevPerm` rearrange their
// argument itself: the calling element hands over the variable's own value,
// so the change is what the user sees. Names of later parts (figures, files,
// the system shell, the text input) are not available yet.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/Random.h"
#include "core/ClosedForm.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <numeric>

namespace vemlor {

namespace {

using detail::numberAt;
using detail::visitReal;

constexpr double kClosedFormTolerance = 1e-11; // as the display uses

// Continued-fraction convergents until p/q is within 1e-6 relative of x (the
// precision users expect of a rational approximation: pi gives 355/113), or
// the next one would leave the integer range.
void rationalOf(double x, int& p, int& q) {
    check(std::isfinite(x), "rat", "argument must be finite");
    check(std::fabs(x) < INT_MAX, "rat", "argument too large");
    double p0 = 1, q0 = 0, p1 = std::floor(x), q1 = 1;
    double rest = x - p1;
    while (std::fabs(x - p1 / q1) > 1e-6 * std::fabs(x) && rest != 0) {
        double inverse = 1.0 / rest;
        double a = std::floor(inverse);
        rest = inverse - a;
        double p2 = a * p1 + p0, q2 = a * q1 + q0;
        if (std::fabs(p2) > INT_MAX || q2 > INT_MAX) break;
        p0 = p1, q0 = q1, p1 = p2, q1 = q2;
    }
    p = int(p1);
    q = int(q1);
}

// One row [numerator denominator] per element.
void rat(BuiltinContext&, const Value& v, IntValue& out) {
    DoubleValue source(v);
    out.setShapeKind(2 * v.n, v.n, KIND_NUMERIC);
    for (int i = 0; i < v.n; ++i)
        rationalOf(source[i], out[i], out[v.n + i]);
}

// The closed forms of the elements, separated by ", ".
void whatis(BuiltinContext&, const Value& v, IntValue& out) {
    std::string text;
    for (int i = 0; i < v.n; ++i) {
        if (i) text += ", ";
        text += closedForm(numberAt(v, i), kClosedFormTolerance);
    }
    out.assignString(text);
    if (v.n == 0) out.setShapeKind(0, 0, KIND_STRING);
}

void findall(BuiltinContext&, const Value& v, IntValue& out) {
    int count = 0;
    for (int i = 0; i < v.n; ++i)
        count += numberAt(v, i) != 0;
    bool row = v.nrow == 1;
    out.setShapeKind(count, row ? (count ? 1 : 0) : count, KIND_NUMERIC);
    int k = 0;
    for (int i = 0; i < v.n; ++i)
        if (numberAt(v, i) != 0) out[k++] = i + 1;
}

// irand([n]) is a uniformly chosen integer from 1 to n; irand([n k]) a row of
// k of them.
void irand(BuiltinContext&, const Value& v, IntValue& out) {
    check(v.n == 1 || v.n == 2, "irand", "argument must hold n or [n count]");
    double n = numberAt(v, 0);
    if (!(n >= 1)) raiseRuntime("n <= 0");
    check(n <= INT_MAX, "irand", "n too large");
    int count = 1;
    if (v.n == 2) {
        double k = numberAt(v, 1);
        check(k >= 0 && k <= INT_MAX, "irand", "invalid count");
        count = int(k);
    }
    out.setShapeKind(count, count ? 1 : 0, KIND_NUMERIC);
    for (int i = 0; i < count; ++i)
        out[i] = randomBelow(int(n)) + 1;
}

// A string of binary digits (or a vector of 0s and 1s), most significant
// first, read as a non-negative integer.
void unbinary(BuiltinContext&, const Value& v, IntValue& out) {
    long value = 0;
    for (int i = 0; i < v.n; ++i) {
        double d = numberAt(v, i);
        if (v.isString()) d -= '0';
        check(d == 0 || d == 1, "unbinary", "not a binary number");
        value = value * 2 + long(d);
        check(value <= INT_MAX, "unbinary", "integer overflow");
    }
    out.assignScalarInt(int(value));
}

// [rows columns], and the page count as well for a 3-D array.
void shape(BuiltinContext&, const Value& v, IntValue& out) {
    bool threeD = v.is3D();
    out.setShapeKind(threeD ? 3 : 2, 1, KIND_NUMERIC);
    out[0] = v.nrow;
    out[1] = threeD ? v.ncol3D() : v.ncol();
    if (threeD) out[2] = pageCount(v.kind);
}

// Stable, so equal elements keep their order.
void sortind(BuiltinContext&, const Value& v, IntValue& out) {
    DoubleValue source(v);
    out.setShapeKind(v.n, v.nrow, KIND_NUMERIC);
    std::iota(out.data(), out.data() + out.n, 1);
    std::stable_sort(out.data(), out.data() + out.n, [&](int a, int b) {
        return detail::orderedLess(source[a - 1], source[b - 1]);
    });
}

// Sorts the argument itself.
void sortit(BuiltinContext&, const Value& v, IntValue& out) {
    Value& target = const_cast<Value&>(v);
    if (target.type() == INTEGER_VAL) {
        auto& m = static_cast<IntValue&>(target);
        std::sort(m.data(), m.data() + m.n);
    } else if (target.type() == DOUBLE_VAL) {
        auto& m = static_cast<DoubleValue&>(target);
        std::sort(m.data(), m.data() + m.n, detail::orderedLess);
    }
    out.assignScalarInt(0);
}

template <class T> bool nextOf(T* d, int n) {
    return std::next_permutation(d, d + n);
}
template <class T> bool previousOf(T* d, int n) {
    return std::prev_permutation(d, d + n);
}

// std::next_permutation already wraps from the last arrangement to the first.
void permute(const Value& v, IntValue& out, bool forward) {
    Value& target = const_cast<Value&>(v);
    if (target.type() == INTEGER_VAL) {
        auto& m = static_cast<IntValue&>(target);
        forward ? nextOf(m.data(), m.n) : previousOf(m.data(), m.n);
    } else if (target.type() == DOUBLE_VAL) {
        auto& m = static_cast<DoubleValue&>(target);
        forward ? nextOf(m.data(), m.n) : previousOf(m.data(), m.n);
    }
    out.setShapeKind(0, 0, KIND_NUMERIC);
}

void nextPerm(BuiltinContext&, const Value& v, IntValue& out) {
    permute(v, out, true);
}
void prevPerm(BuiltinContext&, const Value& v, IntValue& out) {
    permute(v, out, false);
}

// Pad elements (blank for a string, 0 otherwise) cut from both ends.
void trim(BuiltinContext&, const Value& v, IntValue& out) {
    double pad = v.isString() ? 32 : 0;
    int first = 0, last = v.n;
    while (first < last && numberAt(v, first) == pad)
        ++first;
    while (last > first && numberAt(v, last - 1) == pad)
        --last;
    int count = last - first;
    bool column = v.nrow == v.n && v.n > 1;
    IntValue kept;
    kept.setShapeKind(count, column ? count : (count ? 1 : 0), v.kind);
    for (int i = 0; i < count; ++i)
        kept[i] = detail::truncated(numberAt(v, first + i));
    out.takeFrom(kept);
}

// The order of the rows that sorts them lexicographically, first column first.
void sortrows(BuiltinContext&, const Value& v, IntValue& out) {
    DoubleValue source(v);
    int rows = v.nrow, cols = v.ncol();
    out.setShapeKind(rows, rows ? 1 : 0, KIND_NUMERIC);
    std::iota(out.data(), out.data() + rows, 1);
    std::stable_sort(out.data(), out.data() + rows, [&](int a, int b) {
        for (int c = 0; c < cols; ++c) {
            double x = source[c * rows + a - 1], y = source[c * rows + b - 1];
            if (detail::orderedLess(x, y)) return true;
            if (detail::orderedLess(y, x)) return false;
        }
        return false;
    });
}

template <const char* Name> void unavailable(BuiltinContext&, const Value&, IntValue&) {
    notYetAvailable(Name);
}

constexpr char kPolyshow[] = "polyshow";
constexpr char kFigpos[] = "figpos";
constexpr char kWipe[] = "wipe";
constexpr char kSysCommand[] = "sysCommand";
constexpr char kUseColour[] = "useColour";
constexpr char kUnzipg[] = "unzipg";
constexpr char kGetline[] = "getline";

const void* entry(handler::ValueToIntValue h) {
    return reinterpret_cast<const void*>(h);
}

} // namespace

std::span<const BuiltinDefinition> vectorToIntTable() {
    static const std::array<BuiltinDefinition, 19> table = {{
        {"rat", entry(rat), INTEGER_VAL},
        {"whatis", entry(whatis), INTEGER_VAL},
        {"findall", entry(findall), INTEGER_VAL},
        {"irand", entry(irand), INTEGER_VAL},
        {"unbinary", entry(unbinary), INTEGER_VAL},
        {"shape", entry(shape), INTEGER_VAL},
        {"sortind", entry(sortind), INTEGER_VAL},
        {"sortit", entry(sortit), INTEGER_VAL},
        {"polyshow", entry(unavailable<kPolyshow>), INTEGER_VAL},
        {"nextPerm", entry(nextPerm), INTEGER_VAL},
        {"prevPerm", entry(prevPerm), INTEGER_VAL},
        {"figpos", entry(unavailable<kFigpos>), INTEGER_VAL},
        {"wipe", entry(unavailable<kWipe>), INTEGER_VAL},
        {"trim", entry(trim), INTEGER_VAL},
        {"sortrows", entry(sortrows), INTEGER_VAL},
        {"sysCommand", entry(unavailable<kSysCommand>), INTEGER_VAL},
        {"useColour", entry(unavailable<kUseColour>), INTEGER_VAL},
        {"unzipg", entry(unavailable<kUnzipg>), INTEGER_VAL},
        {"getline", entry(unavailable<kGetline>), INTEGER_VAL},
    }};
    return table;
}

} // namespace vemlor
