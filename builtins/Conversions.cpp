// Conversions between numbers and their other forms: text (`str`,
// `str2num`, `isnum`), binary digits (`binary`, `unbinary`), fractions
// (`rat`), closed forms (`whatis`), and complex numbers from their parts.
//
// Choices the user can see: `str` clamps its precision to 1 .. 17 digits
// (what a double can show); `str2num` ignores white space around the number
// and reads base 10 by the number test it shares with `isnum`, and bases 2
// to 36 as an optional sign and the digits of that base; `binary` writes
// each element as one row of '0' and '1' characters, all rows as wide as the
// widest number (or the digit count asked for).
#include "builtins/Arguments.h"
#include "builtins/FamilyTables.h"
#include "builtins/NumberText.h"
#include "core/ClosedForm.h"
#include "core/Display.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <string>

namespace vemlor {

namespace {

using namespace detail;

std::string trimmedText(const Value& v) {
    std::string text = v.toString();
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    size_t first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

bool isNumberInBase(const std::string& s, int base) {
    size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i)
        if (digitValue(s[i]) >= base) return false;
    return true;
}

double decimalValue(const std::string& s) {
    try {
        return std::stod(s);
    } catch (const std::out_of_range&) {
        raiseRuntime("stod argument out of range");
    } catch (const std::invalid_argument&) {
        raiseRuntime("invalid stod argument");
    }
}

int valueInBase(const std::string& s, int base) {
    try {
        return std::stoi(s, nullptr, base);
    } catch (const std::out_of_range&) {
        raiseRuntime("stoi argument out of range");
    } catch (const std::invalid_argument&) {
        raiseRuntime("invalid stoi argument");
    }
}

// A string held as doubles becomes an integer string of the same shape.
void copyAsIntegers(const Value& x, IntValue& out) {
    if (x.type() == INTEGER_VAL) {
        out.assign(x);
        return;
    }
    IntValue copy;
    copy.setShapeKind(x.n, x.nrow, x.kind);
    for (int i = 0; i < x.n; ++i)
        copy[i] = truncated(numberAt(x, i));
    out.takeFrom(copy);
}

void str(BuiltinContext&, const Value& x, const Value* precision, ValuePtr& result) {
    IntValue& out = resultAs<IntValue>(result);
    if (x.isString()) return copyAsIntegers(x, out);
    int digits = 9;
    if (precision) {
        double p = scalarOf(*precision, "str", "non-scalar precision");
        digits = !(p >= 1) ? 1 : p > 17 ? 17 : int(p);
    }
    std::string text;
    for (const std::string& line : stringForm(digits, x, 0, 0, 0)) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    out.assignString(text);
}

void str2num(BuiltinContext&, const Value& text, const Value* base, ValuePtr& result) {
    std::string s = trimmedText(text);
    int radix = base ? wholeScalarOf(*base, "str2num", "invalid base") : 10;
    check(radix >= 2 && radix <= 36, "str2num", "invalid base");
    bool number = radix == 10 ? isDecimalNumberText(s) : isNumberInBase(s, radix);
    if (!number) raiseRuntime("str2num called on non-number string");
    double value = radix == 10 ? decimalValue(s) : valueInBase(s, radix);
    resultAs<DoubleValue>(result).assignScalar(value);
}

int isnum(BuiltinContext&, const Value& v) {
    check(v.type() == INTEGER_VAL && v.isString(), "", "isnum called for a non-string");
    const auto& codes = static_cast<const IntValue&>(v);
    std::string text;
    text.reserve(size_t(v.n));
    for (int i = 0; i < v.n; ++i)
        text.push_back(char(codes[i]));
    return isDecimalNumberText(text);
}

void binary(BuiltinContext&, const Value& x, const Value* digits, ValuePtr& result) {
    int width = 1;
    if (digits) {
        width = wholeScalarOf(*digits, "binary", "invalid number of digits");
        check(width >= 0 && width <= 32, "binary", "invalid number of digits");
    }
    DoubleValue numbers(x);
    for (int i = 0; i < numbers.n; ++i) {
        double d = numbers[i];
        check(d >= 0 && d <= INT_MAX && d == std::floor(d), "binary",
              "argument must hold whole numbers from 0 to 2147483647");
        width = std::max(width, int(std::bit_width(unsigned(d))));
    }
    width = std::max(width, 1);
    IntValue& out = resultAs<IntValue>(result);
    int rows = numbers.n;
    out.setShapeKind(rows * width, rows, KIND_STRING);
    for (int r = 0; r < rows; ++r) {
        unsigned bits = unsigned(numbers[r]);
        for (int c = 0; c < width; ++c)
            out[c * rows + r] = (bits >> (width - 1 - c) & 1u) ? '1' : '0';
    }
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

// Real and imaginary parts of the same shape, or either one a scalar.
void complex(BuiltinContext&, std::span<const Value* const> arguments,
             std::span<ValuePtr> outputs) {
    const Value& re = *arguments[0];
    const Value& im = *arguments[1];
    check(re.type() <= DOUBLE_VAL && im.type() <= DOUBLE_VAL, "complex", "arguments must be real");
    bool sameShape = re.n == im.n && re.nrow == im.nrow;
    check(sameShape || re.n == 1 || im.n == 1, "complex",
          "real and imaginary parts differ in shape");
    const Value& shape = (re.n == 1 && !sameShape) ? im : re;
    ComplexValue built;
    built.setShapeKind(shape.n, shape.nrow, shape.is3D() ? shape.kind : KIND_COMPLEX);
    for (int i = 0; i < shape.n; ++i)
        built[i] = complexd(numberAt(re, re.n == 1 ? 0 : i), numberAt(im, im.n == 1 ? 0 : i));
    resultAs<ComplexValue>(outputs[0]).takeFrom(built);
}

} // namespace

std::span<const BuiltinDefinition> conversionsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("str", str, INTEGER_VAL),
        defineBuiltin("str2num", str2num),
        defineBuiltin("isnum", isnum),
        defineBuiltin("binary", binary, INTEGER_VAL),
        defineBuiltin("unbinary", unbinary),
        defineBuiltin("rat", rat),
        defineBuiltin("whatis", whatis),
        defineBuiltin("complex", complex, COMPLEX_VAL, 2, 2),
    };
    return table;
}

} // namespace vemlor
