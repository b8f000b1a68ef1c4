// Family 7 built-ins about text: numbers to strings and back, searching,
// ordering, binary digits, and the user's own errors and warnings.
//
// Choices the user can see: `str` clamps its precision to 1 .. 17 digits
// (what a double can show); `strfind` finds an empty needle at position 1;
// `str2num` ignores white space around the number and reads base 10 by the
// number test it shares with `isnum`, and bases 2 to 36 as an optional sign
// and the digits of that base;
// `binary` writes each element as one row of '0' and '1' characters, all
// rows as wide as the widest number (or the digit count asked for).
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/NumberText.h"
#include "builtins/TwoArgHandlers.h"
#include "core/Display.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <string>

namespace vemlor::detail {

namespace {

const Value& secondOf(const Value* b, const char* name) {
    check(b != nullptr, name, "two arguments needed");
    return *b;
}

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

} // namespace

void strHandler(BuiltinContext&, const Value& x, const Value* precision, ValuePtr& result) {
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

void strfindHandler(BuiltinContext&, const Value& haystack, const Value* needle, ValuePtr& result) {
    DoubleValue h(haystack), s(secondOf(needle, "strfind"));
    IntValue& out = resultAs<IntValue>(result);
    auto firstIn = [&](const std::vector<double>& row) {
        auto at = std::search(row.begin(), row.end(), s.data(), s.data() + s.n);
        return at == row.end() && s.n > 0 ? 0 : int(at - row.begin()) + 1;
    };
    if (h.isVector()) {
        out.assignScalarInt(firstIn(std::vector<double>(h.data(), h.data() + h.n)));
        return;
    }
    int rows = h.nrow, cols = h.ncol();
    out.setShapeKind(rows, rows, KIND_NUMERIC);
    std::vector<double> row(static_cast<size_t>(cols));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            row[size_t(c)] = h[c * rows + r];
        out[r] = firstIn(row);
    }
}

void str2numHandler(BuiltinContext&, const Value& text, const Value* base, ValuePtr& result) {
    std::string s = trimmedText(text);
    int radix = base ? wholeScalarOf(*base, "str2num", "invalid base") : 10;
    check(radix >= 2 && radix <= 36, "str2num", "invalid base");
    bool number = radix == 10 ? isDecimalNumberText(s) : isNumberInBase(s, radix);
    if (!number) raiseRuntime("str2num called on non-number string");
    double value = radix == 10 ? decimalValue(s) : valueInBase(s, radix);
    resultAs<DoubleValue>(result).assignScalar(value);
}

void beforeHandler(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result) {
    IntValue& out = resultAs<IntValue>(result);
    if (!b) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    DoubleValue x(a), y(*b);
    out.assignScalarInt(
        std::lexicographical_compare(x.data(), x.data() + x.n, y.data(), y.data() + y.n));
}

void binaryHandler(BuiltinContext&, const Value& x, const Value* digits, ValuePtr& result) {
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

void errorHandler(BuiltinContext& context, const Value& level, const Value* text,
                  ValuePtr& result) {
    double severity = scalarOf(level, "error", "level was not scalar");
    std::string message = text ? textOf(*text) : std::string();
    if (severity != 0) throw RuntimeError(message);
    printPrefixedText(context.output(), "{r warning:} ", message);
    resultAs<DoubleValue>(result).setShapeKind(0, 0, KIND_NUMERIC);
}

} // namespace vemlor::detail
