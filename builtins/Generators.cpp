// Values made from a description: sequences, filled, identity, random and
// boolean matrices, and the constant pi.
//
// The shape arguments of zeros, ones, eye, rand, randexp, true and false
// follow the shape rule of Arguments.h. Random numbers come from the one
// process-wide generator of Random.h: `rnd` and `rand` give values in
// [0, 1] with both ends reachable; `err` gives normal deviates.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/Random.h"
#include "core/Interrupt.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace vemlor {

namespace {

using detail::numberAt;
using detail::resultAs;

// seq and linspace share this handler: [n] counts 1 .. n; [a b] steps by 1
// from a toward b (down when b < a), stopping at or before b; [a b n] gives n
// points from a to b, both ends exact (one point is b itself).
void sequence(BuiltinContext&, const Value& v, DoubleValue& out) {
    check(v.n >= 1 && v.n <= 3, "seq", "argument must hold 1 to 3 numbers");
    if (v.n == 1 && !(numberAt(v, 0) >= 1)) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    double a = v.n == 1 ? 1.0 : numberAt(v, 0);
    double b = numberAt(v, v.n == 1 ? 0 : 1);
    check(std::isfinite(a) && std::isfinite(b), "seq", "limits must be finite");
    if (v.n == 3) {
        double points = numberAt(v, 2);
        check(points >= 0 && points <= INT_MAX && points == std::floor(points), "seq",
              "invalid number of points");
        int count = int(points);
        out.setShapeKind(count, count ? 1 : 0, KIND_NUMERIC);
        if (count == 0) return;
        double step = count > 1 ? (b - a) / (count - 1) : 0.0;
        inInterruptibleBlocks(count - 1, [&](int begin, int end) {
            for (int k = begin; k < end; ++k)
                out[k] = a + k * step;
        });
        out[count - 1] = b;
        return;
    }
    double span = std::floor(std::fabs(b - a));
    check(span < INT_MAX, "seq", "matrix too large");
    int count = int(span) + 1;
    double direction = b < a ? -1.0 : 1.0;
    out.setShapeKind(count, 1, KIND_NUMERIC);
    inInterruptibleBlocks(count, [&](int begin, int end) {
        for (int k = begin; k < end; ++k)
            out[k] = a + direction * k;
    });
}

template <class Fill> void shaped(const Value& v, DoubleValue& out, const char* name, Fill fill) {
    detail::applyShape(out, detail::shapeArgument(v, name));
    // Filling is where a huge matrix's memory is first touched, which takes
    // a while: Ctrl-C is looked for as it goes.
    inInterruptibleBlocks(out.n, [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            out[i] = fill();
    });
}

void zeros(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "zeros", [] { return 0.0; });
}

void ones(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "ones", [] { return 1.0; });
}

// Every page of a 3-D shape is an identity.
void eye(BuiltinContext&, const Value& v, DoubleValue& out) {
    detail::Shape shape = detail::shapeArgument(v, "eye");
    detail::applyShape(out, shape);
    std::fill(out.data(), out.data() + out.n, 0.0);
    int diagonal = std::min(shape.rows, shape.cols);
    for (int p = 0; p < shape.pages && out.n; ++p)
        for (int i = 0; i < diagonal; ++i)
            out[p * shape.rows * shape.cols + i * shape.rows + i] = 1.0;
}

void rand(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "rand", randomUnit);
}

// Exponential deviates of mean 1 by inversion; the raw value is shifted into
// (0, 1) so that the logarithm stays finite.
void randexp(BuiltinContext&, const Value& v, DoubleValue& out) {
    shaped(v, out, "randexp", [] { return -std::log((nextRandom() + 1.0) / (kRandomMax + 2.0)); });
}

// Standard normal deviates (mean 0, deviation 1) by the Box-Muller
// transform of two raw values, each shifted into (0, 1); the second deviate
// the pair could give is not kept, so no state lies beside the generator's.
// err(n) is a row of n deviates, to add to a row of n data; a shape [r c]
// (or [r c p]) follows the shape rule.
void err(BuiltinContext&, const Value& v, DoubleValue& out) {
    detail::Shape shape;
    if (v.n == 1) {
        int count = detail::wholeScalarOf(v, "err", "invalid shape argument");
        check(count >= 0, "err", "invalid shape argument");
        shape = {count ? 1 : 0, count, 1};
    } else {
        shape = detail::shapeArgument(v, "err");
    }
    detail::applyShape(out, shape);
    for (int i = 0; i < out.n; ++i) {
        double u = (nextRandom() + 1.0) / (kRandomMax + 2.0);
        double w = (nextRandom() + 1.0) / (kRandomMax + 2.0);
        out[i] = std::sqrt(-2 * std::log(u)) * std::cos(2 * std::numbers::pi * w);
    }
}

double rnd(BuiltinContext&) {
    return randomUnit();
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

// `true` and `false` give the boolean scalar, or with a shape argument a
// boolean matrix of that shape.
void booleanFilled(const Value* argument, ValuePtr& result, int bit, std::string_view name) {
    IntValue& out = resultAs<IntValue>(result);
    if (!argument) {
        out.assignScalarInt(bit);
    } else {
        detail::Shape shape = detail::shapeArgument(*argument, name);
        out.resizeFill(shape.count(), shape.rows, bit);
        out.kind = shape.kindWord();
    }
    // A 3-D boolean array cannot say both in its kind word; it stays 3-D.
    if (!out.is3D()) out.kind = KIND_BOOL;
}

void trueValue(BuiltinContext&, const Value* argument, ValuePtr& result) {
    booleanFilled(argument, result, 1, "true");
}

void falseValue(BuiltinContext&, const Value* argument, ValuePtr& result) {
    booleanFilled(argument, result, 0, "false");
}

double pi(BuiltinContext&) {
    return 3.141592653589793;
}

} // namespace

std::span<const BuiltinDefinition> generatorsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("seq", sequence),
        defineBuiltin("linspace", sequence),
        defineBuiltin("zeros", zeros),
        defineBuiltin("ones", ones),
        defineBuiltin("eye", eye),
        defineBuiltin("rand", rand),
        defineBuiltin("randexp", randexp),
        defineBuiltin("err", err),
        defineBuiltin("rnd", rnd),
        defineBuiltin("irand", irand),
        defineBuiltin("true", trueValue, INTEGER_VAL),
        defineBuiltin("false", falseValue, INTEGER_VAL),
        defineBuiltin("pi", pi),
    };
    return table;
}

} // namespace vemlor
