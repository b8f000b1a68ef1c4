// Argument helpers of the value built-ins (see Arguments.h).
#include "builtins/Arguments.h"

#include "core/Display.h"
#include "core/Errors.h"

#include <climits>
#include <cmath>

namespace vemlor::detail {

double numberAt(const Value& v, int i) {
    switch (v.type()) {
    case INTEGER_VAL:
        return static_cast<const IntValue&>(v)[i];
    case DOUBLE_VAL:
        return static_cast<const DoubleValue&>(v)[i];
    case COMPLEX_VAL:
        return static_cast<const ComplexValue&>(v)[i].real();
    default:
        raiseBug("BUG: a list where a number is read");
    }
}

double scalarOf(const Value& v, std::string_view context, std::string_view message) {
    check(v.n == 1 && v.type() != LIST_VAL, context, message);
    return numberAt(v, 0);
}

int wholeScalarOf(const Value& v, std::string_view context, std::string_view message) {
    double d = scalarOf(v, context, message);
    check(d == std::floor(d) && std::fabs(d) <= INT_MAX, context, message);
    return int(d);
}

const Value& secondOf(const Value* second, std::string_view context) {
    check(second != nullptr, context, "two arguments needed");
    return *second;
}

int truncated(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return INT_MIN;
    return int(x);
}

namespace {

int dimensionAt(const Value& v, int i, std::string_view name) {
    double d = numberAt(v, i);
    check(d >= 0 && d <= INT_MAX && d == std::floor(d), name, "invalid shape argument");
    return int(d);
}

} // namespace

Shape shapeArgument(const Value& v, std::string_view name) {
    check(v.type() != LIST_VAL && v.n <= 3, name, "invalid shape argument");
    Shape shape;
    if (v.n == 0) return shape;
    shape.rows = dimensionAt(v, 0, name);
    shape.cols = v.n == 1 ? shape.rows : dimensionAt(v, 1, name);
    if (v.n == 3) shape.pages = dimensionAt(v, 2, name);
    double count = double(shape.rows) * shape.cols * shape.pages;
    check(count <= INT_MAX, name, "matrix too large");
    if (count == 0) shape = Shape{};
    return shape;
}

void applyShape(Value& m, const Shape& shape) {
    m.setShapeKind(shape.count(), shape.rows, shape.kindWord());
}

void printPrefixedText(OutputSink& out, std::string_view markupPrefix, std::string_view text) {
    size_t end = text.find('\n');
    // "{:" shows the rest of the line as it stands, so user braces stay text.
    out.print(std::string(markupPrefix) + "{:" + std::string(text.substr(0, end)), true,
              PRINT_MARKUP);
    while (end != std::string_view::npos) {
        size_t start = end + 1;
        end = text.find('\n', start);
        out.print(text.substr(start, end == std::string_view::npos ? end : end - start), true,
                  PRINT_RAW);
    }
}

std::string textOf(const Value& v) {
    if (v.type() != LIST_VAL && v.isString()) return v.toString();
    std::string text;
    for (const std::string& line : stringForm(9, v, 0, 0, 0)) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

void makeStringList(const std::vector<std::string>& texts, ValuePtr& slot) {
    ListValue built;
    int count = int(texts.size());
    built.setShapeKind(count, count, KIND_TEXT);
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<IntValue>();
        item->assignString(texts[size_t(i)]);
        built[i].value = std::move(item);
    }
    resultAs<ListValue>(slot).takeFrom(built);
}

} // namespace vemlor::detail
