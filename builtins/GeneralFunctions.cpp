// Family 9: built-ins with their own argument ranges and any number of
// outputs, and the family's table (names in registration order with their
// ranges).
//
// This file holds `complex`, `cdiag`, `sum`, `disp`, `assert` and
// `multiassign`. `sum` (x [, first [, last]]) adds the elements of x, or
// those from position `first` to `last` (default: the last element); an
// empty range sums to 0; it keeps x's number class, and integer sums that
// leave the integer range raise "integer overflow" rather than wrap. Names
// of later parts (figures, files, numerical methods, the debugger) are not
// available yet.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/GeneralHandlers.h"
#include "core/Display.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <type_traits>

namespace vemlor {

namespace {

using namespace detail;

// Real and imaginary parts of the same shape, or either one a scalar.
void complexHandler(BuiltinContext&, Arguments arguments, Outputs outputs) {
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

// diag for complex results: a vector onto the diagonal of a square matrix,
// or the diagonal of a matrix as a column.
void cdiagHandler(BuiltinContext&, Arguments arguments, Outputs outputs) {
    const Value& x = *arguments[0];
    check(x.type() != LIST_VAL, "cdiag", "argument must be a matrix");
    ComplexValue source;
    source.assignConverted(x);
    ComplexValue built;
    if (source.isVector()) {
        int size = source.n;
        check(size < 46341, "cdiag", "matrix too large");
        built.setShapeKind(size * size, size, KIND_NUMERIC);
        std::fill(built.data(), built.data() + built.n, complexd{});
        for (int i = 0; i < size; ++i)
            built[i * size + i] = source[i];
    } else {
        int count = std::min(source.nrow, source.ncol());
        built.setShapeKind(count, count, KIND_NUMERIC);
        for (int i = 0; i < count; ++i)
            built[i] = source[i * source.nrow + i];
    }
    resultAs<ComplexValue>(outputs[0]).takeFrom(built);
}

struct Range {
    int first;
    int end; // one past the last element
};

Range sumRange(const Value& x, Arguments arguments) {
    Range range{0, x.n};
    if (arguments.size() > 1) {
        int first = wholeScalarOf(*arguments[1], "sum", "invalid range");
        check(first >= 1, "sum", "invalid range");
        range.first = first - 1;
    }
    if (arguments.size() > 2) {
        int last = wholeScalarOf(*arguments[2], "sum", "invalid range");
        check(last <= x.n, "sum", "invalid range");
        range.end = last;
    }
    check(range.first <= x.n, "sum", "invalid range");
    if (range.end < range.first) range.end = range.first;
    return range;
}

void sumHandler(BuiltinContext&, Arguments arguments, Outputs outputs) {
    const Value& x = *arguments[0];
    check(x.type() != LIST_VAL, "sum", "argument must not be a list");
    Range range = sumRange(x, arguments);
    visitNumbers(x, [&](const auto& m) {
        using M = std::remove_cvref_t<decltype(m)>;
        using T = typename M::element_type;
        using Accumulator = std::conditional_t<std::is_same_v<T, int>, long long, T>;
        Accumulator total{};
        for (int i = range.first; i < range.end; ++i)
            total += m[i];
        if constexpr (std::is_same_v<T, int>) {
            if (total < INT_MIN || total > INT_MAX) raiseRuntime("integer overflow");
            resultAs<M>(outputs[0]).assignScalarInt(int(total));
        } else {
            M& out = resultAs<M>(outputs[0]);
            out.setShapeKind(1, 1, KIND_NUMERIC);
            out[0] = total;
        }
    });
}

void emptyResult(Outputs outputs) {
    resultAs<DoubleValue>(outputs[0]).setShapeKind(0, 0, KIND_NUMERIC);
}

void dispHandler(BuiltinContext& context, Arguments arguments, Outputs outputs) {
    for (const Value* v : arguments)
        display(*v, context.output());
    emptyResult(outputs);
}

// A failed assertion names itself with the strings among the further values
// on one line, then displays the other values, then stops the program.
void assertHandler(BuiltinContext& context, Arguments arguments, Outputs outputs) {
    double condition = scalarOf(*arguments[0], "assert", "condition was not scalar");
    if (condition != 0) return emptyResult(outputs);
    std::string text;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const Value& v = *arguments[i];
        if (v.type() == LIST_VAL || !v.isString()) continue;
        if (!text.empty()) text += ' ';
        text += v.toString();
    }
    printPrefixedText(context.output(), "{r assertion} ", text);
    for (size_t i = 1; i < arguments.size(); ++i) {
        const Value& v = *arguments[i];
        if (v.type() == LIST_VAL || !v.isString()) display(v, context.output());
    }
    raiseRuntime("assertion failed");
}

// Integers become doubles, the type a multiple assignment stores; other
// values are handed over as they are for the assignment to judge.
void multiassignHandler(BuiltinContext&, Arguments arguments, Outputs outputs) {
    check(arguments.size() == outputs.size(), "multiple assignment", "non-matching items");
    for (size_t i = 0; i < arguments.size(); ++i) {
        const Value& v = *arguments[i];
        if (v.type() == INTEGER_VAL)
            resultAs<DoubleValue>(outputs[i]).assignConverted(v);
        else if (outputs[i] && outputs[i]->type() == v.type())
            outputs[i]->assign(v);
        else
            outputs[i] = newValueCopy(v);
    }
}

template <const char* Name> void unavailable(BuiltinContext&, Arguments, Outputs) {
    notYetAvailable(Name);
}

constexpr char kDir[] = "dir";
constexpr char kReadtext[] = "readtext";
constexpr char kFft[] = "fft";
constexpr char kIfft[] = "ifft";
constexpr char kPlot[] = "plot";
constexpr char kLoglog[] = "loglog";
constexpr char kSemilogx[] = "semilogx";
constexpr char kSemilogy[] = "semilogy";
constexpr char kCd[] = "cd";
constexpr char kPrint[] = "print";
constexpr char kQinteg[] = "qinteg";
constexpr char kSet[] = "set";
constexpr char kErrbar[] = "errbar";
constexpr char kBarchart[] = "barchart";
constexpr char kReplot[] = "replot";
constexpr char kText[] = "text";
constexpr char kTitle[] = "title";
constexpr char kXlabel[] = "xlabel";
constexpr char kYlabel[] = "ylabel";
constexpr char kFill[] = "fill";
constexpr char kDebug[] = "debug";
constexpr char kCreateButton[] = "createButton";
constexpr char kMenu[] = "menu";
constexpr char kDispfile[] = "dispfile";
constexpr char kSave[] = "save";
constexpr char kTable[] = "table";
constexpr char kInteg[] = "integ";
constexpr char kOde[] = "ode";
constexpr char kQsave[] = "qsave";
constexpr char kWritetext[] = "writetext";
constexpr char kSnipImage[] = "snipImage";
constexpr char kAxis[] = "axis";
constexpr char kLoad[] = "load";
constexpr char kQload[] = "qload";
constexpr char kSlf[] = "slf";
constexpr char kDebugtest[] = "debugtest";
constexpr char kProperty[] = "property";
constexpr char kFzero[] = "fzero";
constexpr char kDiffer[] = "differ";
constexpr char kFminbrac[] = "fminbrac";
constexpr char kFmin[] = "fmin";
constexpr char kLsfit[] = "lsfit";
constexpr char kEigvv[] = "eigvv";
constexpr char kOdetest[] = "odetest";

const void* entry(handler::General h) {
    return reinterpret_cast<const void*>(h);
}

constexpr int D = DOUBLE_VAL;
constexpr int I = INTEGER_VAL;
constexpr int C = COMPLEX_VAL;
constexpr int L = LIST_VAL;
constexpr int kAny = -1;

} // namespace

std::span<const BuiltinDefinition> generalTable() {
    static const std::array<BuiltinDefinition, 54> table = {{
        {"dir", entry(unavailable<kDir>), L, 0, 1},
        {"list", entry(listHandler), L, 0, kAny},
        {"split", entry(splitHandler), L, 1, 3},
        {"readtext", entry(unavailable<kReadtext>), L, 1, 1},
        {"complex", entry(complexHandler), C, 2, 2},
        {"fft", entry(unavailable<kFft>), C, 1, 1},
        {"ifft", entry(unavailable<kIfft>), C, 1, 1},
        {"cdiag", entry(cdiagHandler), C, 1, 1},
        {"plot", entry(unavailable<kPlot>), D, 1, kAny},
        {"loglog", entry(unavailable<kLoglog>), D, 1, kAny},
        {"semilogx", entry(unavailable<kSemilogx>), D, 1, kAny},
        {"semilogy", entry(unavailable<kSemilogy>), D, 1, kAny},
        {"disp", entry(dispHandler), D, 1, kAny},
        {"cd", entry(unavailable<kCd>), I, 0, 1},
        {"print", entry(unavailable<kPrint>), D, 1, 1},
        {"sum", entry(sumHandler), kSameAsFirstArgument, 1, 3},
        {"qinteg", entry(unavailable<kQinteg>), D, 2, 4},
        {"set", entry(unavailable<kSet>), D, 0, 2},
        {"errbar", entry(unavailable<kErrbar>), D, 3, 3},
        {"barchart", entry(unavailable<kBarchart>), D, 2, 3},
        {"replot", entry(unavailable<kReplot>), D, 0, 3},
        {"text", entry(unavailable<kText>), D, 2, 5},
        {"title", entry(unavailable<kTitle>), D, 1, 2},
        {"xlabel", entry(unavailable<kXlabel>), D, 1, 2},
        {"ylabel", entry(unavailable<kYlabel>), D, 1, 2},
        {"fill", entry(unavailable<kFill>), D, 2, kAny},
        {"assert", entry(assertHandler), D, 1, kAny},
        {"debug", entry(unavailable<kDebug>), D, 0, kAny},
        {"createButton", entry(unavailable<kCreateButton>), D, 1, 3},
        {"menu", entry(unavailable<kMenu>), D, 2, 2},
        {"dispfile", entry(unavailable<kDispfile>), D, 1, 2},
        {"join", entry(joinHandler), I, 1, 2},
        {"save", entry(unavailable<kSave>), D, 2, kAny},
        {"table", entry(unavailable<kTable>), D, 2, 3},
        {"integ", entry(unavailable<kInteg>), D, 0, kAny},
        {"ode", entry(unavailable<kOde>), D, 5, 5},
        {"qsave", entry(unavailable<kQsave>), D, 2, 2},
        {"writetext", entry(unavailable<kWritetext>), D, 2, 2},
        {"pad", entry(padHandler), I, 2, 4},
        {"snipImage", entry(unavailable<kSnipImage>), D, 2, 3},
        {"axis", entry(unavailable<kAxis>), D, 1, 4},
        {"load", entry(unavailable<kLoad>), D, 1, 2},
        {"qload", entry(unavailable<kQload>), D, 1, 1},
        {"slf", entry(unavailable<kSlf>), D, 2, 4},
        {"debugtest", entry(unavailable<kDebugtest>), D, 0, kAny},
        {"property", entry(unavailable<kProperty>), D, 2, 3},
        {"multiassign", entry(multiassignHandler), D, 1, kAny},
        {"fzero", entry(unavailable<kFzero>), D, 1, 5},
        {"differ", entry(unavailable<kDiffer>), D, 1, 3},
        {"fminbrac", entry(unavailable<kFminbrac>), D, 2, 3},
        {"fmin", entry(unavailable<kFmin>), D, 2, 3},
        {"lsfit", entry(unavailable<kLsfit>), D, 4, 7},
        {"eigvv", entry(unavailable<kEigvv>), D, 1, 1},
        {"odetest", entry(unavailable<kOdetest>), D, 5, 5},
    }};
    return table;
}

} // namespace vemlor
