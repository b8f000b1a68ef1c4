// Family 5 variant 0: whole value to an integer scalar (shape and kind
// queries), the only family whose argument may be a list.
//
// The first six rows (all any minind maxind find rfind) end in family 4
// variant 0, so they carry per-column handlers: each receives one column (or
// a whole vector) as doubles. Positions they return are 1-based, 0 meaning
// "none".
#include "builtins/FamilyTables.h"
#include "builtins/NumberText.h"

#include "core/Errors.h"

#include <string>

namespace vemlor {

namespace {

// ---- column -> int (retagged to family 4) -------------------------------

// An empty column has no zero element, so `all` of it is true.
int all(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (x[i] == 0) return 0;
    return 1;
}

int any(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (x[i] != 0) return 1;
    return 0;
}

// Position of the first smallest element.
int minind(const double* x, int n) {
    if (n == 0) return 0;
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (x[i] < x[best]) best = i;
    return best + 1;
}

int maxind(const double* x, int n) {
    if (n == 0) return 0;
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (x[i] > x[best]) best = i;
    return best + 1;
}

// Position of the first nonzero element.
int find(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (x[i] != 0) return i + 1;
    return 0;
}

// Position of the last nonzero element.
int rfind(const double* x, int n) {
    for (int i = n - 1; i >= 0; --i)
        if (x[i] != 0) return i + 1;
    return 0;
}

// ---- whole value -> int -------------------------------------------------

int size(BuiltinContext&, const Value& v) { return v.n; }
int nrow(BuiltinContext&, const Value& v) { return v.nrow; }
int ncol(BuiltinContext&, const Value& v) { return v.is3D() ? v.ncol3D() : v.ncol(); }
int type(BuiltinContext&, const Value& v) { return kindCode(v.kind); }
int typeinfo(BuiltinContext&, const Value& v) { return v.kind; }
int isempty(BuiltinContext&, const Value& v) { return v.n == 0; }
int isscalar(BuiltinContext&, const Value& v) { return v.n == 1; }
int isvector(BuiltinContext&, const Value& v) { return v.isVector(); }
int isboolean(BuiltinContext&, const Value& v) { return kindCode(v.kind) == KIND_BOOL; }
int ischar(BuiltinContext&, const Value& v) { return kindCode(v.kind) == KIND_STRING; }

int figure(BuiltinContext&, const Value&) { notYetAvailable("figure"); }
int qplot(BuiltinContext&, const Value&) { notYetAvailable("qplot"); }
int subplot(BuiltinContext&, const Value&) { notYetAvailable("subplot"); }
int setLU(BuiltinContext&, const Value&) { notYetAvailable("setLU"); }
int messageBox(BuiltinContext&, const Value&) { notYetAvailable("messageBox"); }

int isdefined(BuiltinContext&, const Value&) {
    raiseRuntime("function isdefined is not yet implemented: sorry!");
}

int isnum(BuiltinContext&, const Value& v) {
    check(v.type() == INTEGER_VAL && v.isString(), "", "isnum called for a non-string");
    const auto& codes = static_cast<const IntValue&>(v);
    std::string text;
    text.reserve(size_t(v.n));
    for (int i = 0; i < v.n; ++i) text.push_back(char(codes[i]));
    return isDecimalNumberText(text);
}

template <class F> const void* asHandler(F f) { return reinterpret_cast<const void*>(f); }

const BuiltinDefinition kTable[] = {
    {"all", asHandler(handler::ColumnToInt(all)), INTEGER_VAL},
    {"any", asHandler(handler::ColumnToInt(any)), INTEGER_VAL},
    {"minind", asHandler(handler::ColumnToInt(minind)), INTEGER_VAL},
    {"maxind", asHandler(handler::ColumnToInt(maxind)), INTEGER_VAL},
    {"find", asHandler(handler::ColumnToInt(find)), INTEGER_VAL},
    {"rfind", asHandler(handler::ColumnToInt(rfind)), INTEGER_VAL},
    {"size", asHandler(handler::ValueToInt(size)), INTEGER_VAL},
    {"nrow", asHandler(handler::ValueToInt(nrow)), INTEGER_VAL},
    {"ncol", asHandler(handler::ValueToInt(ncol)), INTEGER_VAL},
    {"type", asHandler(handler::ValueToInt(type)), INTEGER_VAL},
    {"typeinfo", asHandler(handler::ValueToInt(typeinfo)), INTEGER_VAL},
    {"isempty", asHandler(handler::ValueToInt(isempty)), INTEGER_VAL},
    {"isscalar", asHandler(handler::ValueToInt(isscalar)), INTEGER_VAL},
    {"isvector", asHandler(handler::ValueToInt(isvector)), INTEGER_VAL},
    {"figure", asHandler(handler::ValueToInt(figure)), INTEGER_VAL},
    {"qplot", asHandler(handler::ValueToInt(qplot)), INTEGER_VAL},
    {"subplot", asHandler(handler::ValueToInt(subplot)), INTEGER_VAL},
    {"isboolean", asHandler(handler::ValueToInt(isboolean)), INTEGER_VAL},
    {"ischar", asHandler(handler::ValueToInt(ischar)), INTEGER_VAL},
    {"setLU", asHandler(handler::ValueToInt(setLU)), INTEGER_VAL},
    {"messageBox", asHandler(handler::ValueToInt(messageBox)), INTEGER_VAL},
    {"isdefined", asHandler(handler::ValueToInt(isdefined)), INTEGER_VAL},
    {"isnum", asHandler(handler::ValueToInt(isnum)), INTEGER_VAL},
};

} // namespace

std::span<const BuiltinDefinition> valueToIntTable() { return kTable; }

} // namespace vemlor
