// Questions about a value as a whole: its size, shape and kind, and the
// limits of the number types.
//
// Apart from `shape`, these are the only built-ins whose argument may be a
// list (a list has a size and a kind like any value). `numeric_limits` takes
// a string naming the quantity.
#include "builtins/FamilyTables.h"
#include "core/Errors.h"

#include <array>
#include <limits>
#include <string>
#include <string_view>

namespace vemlor {

namespace {

int size(BuiltinContext&, const Value& v) {
    return v.n;
}
int nrow(BuiltinContext&, const Value& v) {
    return v.nrow;
}
int ncol(BuiltinContext&, const Value& v) {
    return v.is3D() ? v.ncol3D() : v.ncol();
}
int type(BuiltinContext&, const Value& v) {
    return kindCode(v.kind);
}
int typeinfo(BuiltinContext&, const Value& v) {
    return v.kind;
}
int isempty(BuiltinContext&, const Value& v) {
    return v.n == 0;
}
int isscalar(BuiltinContext&, const Value& v) {
    return v.n == 1;
}
int isvector(BuiltinContext&, const Value& v) {
    return v.isVector();
}
int isboolean(BuiltinContext&, const Value& v) {
    return kindCode(v.kind) == KIND_BOOL;
}
int ischar(BuiltinContext&, const Value& v) {
    return kindCode(v.kind) == KIND_STRING;
}

int isdefined(BuiltinContext&, const Value&) {
    raiseRuntime("function isdefined is not yet implemented: sorry!");
}

// [rows columns], and the page count as well for a 3-D array.
void shape(BuiltinContext&, const Value& v, IntValue& out) {
    bool threeD = v.is3D();
    out.setShapeKind(threeD ? 3 : 2, 1, KIND_NUMERIC);
    out[0] = v.nrow;
    out[1] = threeD ? v.ncol3D() : v.ncol();
    if (threeD) out[2] = pageCount(v.kind);
}

struct LimitKey {
    std::string_view key;
    int code;
};

constexpr std::array<LimitKey, 11> kLimitKeys = {{{"min", 1},
                                                  {"max", 2},
                                                  {"dmin", 3},
                                                  {"dmax", 4},
                                                  {"eps", 5},
                                                  {"mine", 6},
                                                  {"maxe", 7},
                                                  {"mini", 8},
                                                  {"maxi", 9},
                                                  {"int", 9},
                                                  {"bits", 10}}};

std::string stringText(const Value& v) {
    std::string text;
    const auto& codes = static_cast<const IntValue&>(v);
    for (int i = 0; i < v.n; ++i)
        text.push_back(char(codes[i]));
    return text;
}

// Values by code: 1/2 the smallest positive normal and the largest double,
// 3 the smallest subnormal, 4 the largest double below which every integer
// is exact (2^53), 5 the machine epsilon, 6/7 the binary exponent range,
// 8/9 the integer range, 10 the bits of a double's significand.
double limitValue(int code) {
    using D = std::numeric_limits<double>;
    switch (code) {
    case 1:
        return D::min();
    case 2:
        return D::max();
    case 3:
        return D::denorm_min();
    case 4:
        return 9007199254740992.0;
    case 5:
        return D::epsilon();
    case 6:
        return D::min_exponent;
    case 7:
        return D::max_exponent;
    case 8:
        return std::numeric_limits<int>::min();
    case 9:
        return std::numeric_limits<int>::max();
    default:
        return D::digits;
    }
}

double numericLimits(BuiltinContext&, const Value& key) {
    if (key.type() == INTEGER_VAL && key.isString()) {
        std::string text = stringText(key);
        for (const LimitKey& entry : kLimitKeys)
            if (entry.key == text) return limitValue(entry.code);
    }
    raiseRuntime("numeric_limits", "unrecognised string parameter");
}

} // namespace

std::span<const BuiltinDefinition> valueQueriesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("size", size),
        defineBuiltin("nrow", nrow),
        defineBuiltin("ncol", ncol),
        defineBuiltin("shape", shape),
        defineBuiltin("type", type),
        defineBuiltin("typeinfo", typeinfo),
        defineBuiltin("isempty", isempty),
        defineBuiltin("isscalar", isscalar),
        defineBuiltin("isvector", isvector),
        defineBuiltin("isboolean", isboolean),
        defineBuiltin("ischar", ischar),
        defineBuiltin("isdefined", isdefined),
        defineBuiltin("numeric_limits", numericLimits),
    };
    return table;
}

} // namespace vemlor
