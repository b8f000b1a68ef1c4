// The registry of built-in functions, built once from the subject tables.
//
// The subject files define the built-ins (FamilyTables.h); the registration
// order below alone numbers them. Each step registers its names in one
// family and variant, numbering them from 0 (their index); later steps
// retag some names to another family or variant while keeping their index.
// Listings show these numbers, so the order must not change: registering a
// new name means appending it to the step of its family. Each table row
// already carries the handler of the family the name ends up in, so after
// the last step every name's BuiltinInfo is complete and never changes.
#include "builtins/Registry.h"

#include "builtins/FamilyTables.h"
#include "builtins/MathErrors.h"
#include "core/Errors.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

namespace vemlor {

namespace {

// ---- registration order ---------------------------------------------------

// 1. Elementwise, variant Double. The complex counterparts of some of these
//    names come from Elementary.cpp and are attached per name.
constexpr std::string_view kElementwiseDouble[] = {
    "sqrt",     "exp",      "sin",   "cos",    "tan",    "asin",  "acos",  "atan",   "log",
    "ln",       "log10",    "sinh",  "cosh",   "tanh",   "asinh", "acosh", "atanh",  "abs",
    "erf",      "erfc",     "gamma", "lgamma", "log2",   "sign",  "fstep", "tophat", "floor",
    "ceil",     "ceiling",  "round", "sinc",   "conj",   "real",  "imag",  "arg",    "G",
    "besselj0", "besselj1", "airy",  "isnan",  "erfinv", "zeta"};

// 2. Elementwise, variant Integer.
constexpr std::string_view kElementwiseInteger[] = {
    "close", "randseed", "pause", "wait", "lower", "grid", "fclose", "feof", "bitweight"};

// 3. OneOrTwoArgs; the first ten (poly ... binomial) then move to Functor.
constexpr std::string_view kOneOrTwoArgs[] = {
    "poly",       "poisson",     "bnc",      "interp",   "qfind",     "gauss",    "lor",
    "besselj",    "linterp",     "binomial", "diag",     "reshape",   "dragable", "str",
    "push",       "replot_move", "sort",     "issubset", "intersect", "union",    "setminus",
    "setxor",     "fopen",       "fread",    "fwrite",   "swaprows",  "solve",    "strfind",
    "findstr",    "str2num",     "before",   "error",    "smooth",    "circle",   "getpixel",
    "loadBitmap", "binary"};

// 4. NoArg.
constexpr std::string_view kNoArg[] = {"tic", "toc", "Toc", "fix",    "unfix",   "rnd",   "help",
                                       "on",  "off", "end", "update", "getkeyb", "getch", "pi"};

// 5. OptionalArg.
constexpr std::string_view kOptionalArg[] = {"ans", "true", "false", "exepath", "oclock", "today"};

// 6. ValueToScalar, variant Integer; the first six (all ... rfind) then move
//    to Column, variant Integer.
constexpr std::string_view kValueToInteger[] = {
    "all",     "any",       "minind",   "maxind",  "find",       "rfind",     "size",   "nrow",
    "ncol",    "type",      "typeinfo", "isempty", "isscalar",   "isvector",  "figure", "qplot",
    "subplot", "isboolean", "ischar",   "setLU",   "messageBox", "isdefined", "isnum"};

// 7. Column, variant Double; the first three (numeric_limits, trace,
//    grindex) then move to ValueToScalar, variant Double.
constexpr std::string_view kColumnToDouble[] = {
    "numeric_limits", "trace", "grindex", "mean",        "sumsq",
    "variance",       "stdev", "elsum",   "min",         "max",
    "range",          "prod",  "binteg",  "lastElement", "norm"};

// 8. ValueToValue, variant Double.
constexpr std::string_view kValueToDoubleValue[] = {
    "seq",     "linspace", "zeros",    "ones",     "eye",      "rand",     "randexp",
    "err",     "cumsum",   "reverse",  "shuffle",  "diff",     "diff2",    "vdiffer",
    "top",     "pop",      "getmouse", "setmouse", "getclick", "unique",   "colsums",
    "rowsums", "inv",      "det",      "eigval",   "eigvec",   "SGfilter", "qpop"};

// 9. ValueToValue, variant Integer.
constexpr std::string_view kValueToIntegerValue[] = {
    "rat",      "whatis",     "findall",   "irand",    "unbinary", "shape", "sortind",
    "sortit",   "polyshow",   "nextPerm",  "prevPerm", "figpos",   "wipe",  "trim",
    "sortrows", "sysCommand", "useColour", "unzipg",   "getline"};

// 10. General, variant GeneralRest; then the first 34 move to GeneralFirst,
//     four complex-valued ones to Complex and four list-valued ones to List.
constexpr std::string_view kGeneral[] = {
    "dir",          "list",  "split",     "readtext", "complex",     "fft",      "ifft",
    "cdiag",        "plot",  "loglog",    "semilogx", "semilogy",    "disp",     "cd",
    "print",        "sum",   "qinteg",    "set",      "errbar",      "barchart", "replot",
    "text",         "title", "xlabel",    "ylabel",   "fill",        "assert",   "debug",
    "createButton", "menu",  "dispfile",  "join",     "save",        "table",    "integ",
    "ode",          "qsave", "writetext", "pad",      "snipImage",   "axis",     "load",
    "qload",        "slf",   "debugtest", "property", "multiassign", "fzero",    "differ",
    "fminbrac",     "fmin",  "lsfit",     "eigvv",    "odetest"};

constexpr size_t kFunctorCount = 10;
constexpr size_t kColumnIntegerCount = 6;
constexpr size_t kValueToDoubleCount = 3;
constexpr size_t kGeneralFirstCount = 34;
constexpr std::string_view kGeneralComplex[] = {"complex", "fft", "ifft", "cdiag"};
constexpr std::string_view kGeneralList[] = {"dir", "list", "split", "readtext"};

// The subject tables, in no particular order.
using TableFunction = std::span<const BuiltinDefinition> (*)();
constexpr TableFunction kSubjectTables[] = {elementaryDoubleTable,
                                            elementaryIntTable,
                                            clockTable,
                                            conversionsTable,
                                            distributionsTable,
                                            generatorsTable,
                                            helpTable,
                                            interpreterTable,
                                            linearSolveTable,
                                            listsTable,
                                            matricesTable,
                                            messagesTable,
                                            debuggingTable,
                                            orderingTable,
                                            polynomialsTable,
                                            searchingTable,
                                            setsTable,
                                            specialFunctionsTable,
                                            statisticsTable,
                                            stringsTable,
                                            valueQueriesTable,
                                            eigenTable,
                                            rootsTable,
                                            minimizeTable,
                                            quadratureTable,
                                            derivativesTable,
                                            fourierTable,
                                            filtersTable,
                                            odeTable,
                                            fittingTable,
                                            lineFitTable,
                                            interpolationTable,
                                            figureCommandsTable,
                                            plotCommandsTable,
                                            axisCommandsTable,
                                            itemCommandsTable,
                                            figureSettingsTable,
                                            bitmapCommandsTable,
                                            mouseAndKeysTable,
                                            directoriesTable,
                                            stacksTable,
                                            fileTableTable,
                                            numericTablesTable,
                                            textFilesTable,
                                            valueFilesTable,
                                            systemCommandsTable,
                                            typedLinesTable};

// ---- what a family fixes ----------------------------------------------------

// General functions whose call the parser builds with arguments of mixed
// kinds (lists, strings and numbers together).
constexpr std::array<std::string_view, 9> kMixedArguments = {
    "list", "disp", "save", "menu", "writetext", "fft", "ifft", "join", "cdiag"};

// One-or-two-argument functions that also search the items of a list of
// strings (what readtext, dir and split give).
constexpr std::array<std::string_view, 2> kListFirstArgument = {"strfind", "findstr"};

struct ArgumentRange {
    int minArgs;
    int maxArgs;
};

// Fixed argument ranges of every family except General, whose rows carry
// their own.
ArgumentRange familyRange(Family family) {
    switch (family) {
    case Family::NoArg:
        return {0, 0};
    case Family::OptionalArg:
        return {0, 1};
    case Family::OneOrTwoArgs:
        return {1, 2};
    case Family::Functor:
        return {2, 2};
    default:
        return {1, 1};
    }
}

constexpr int kRowDecides = -2;

// The result type a family fixes by itself; kRowDecides when the table row
// decides.
int familyResultType(Family family, Variant variant) {
    switch (family) {
    case Family::NoArg:
    case Family::Functor:
        return DOUBLE_VAL;
    case Family::Elementwise:
    case Family::Column:
    case Family::ValueToScalar:
    case Family::ValueToValue:
        return variant == Variant::Double ? DOUBLE_VAL : INTEGER_VAL;
    default:
        return kRowDecides;
    }
}

// The families whose variant selects the handler's signature, not just its
// number.
bool variantSelectsSignature(Family family) {
    return family == Family::Elementwise || family == Family::Column ||
           family == Family::ValueToScalar || family == Family::ValueToValue;
}

// Whether the handler of `definition` has the signature of `entry`'s family
// (and variant); a row that does not state its family passes.
bool signatureFits(const BuiltinDefinition& definition, const BuiltinEntry& entry) {
    if (definition.family == Family::None) return true;
    if (definition.family != entry.family) return false;
    return !variantSelectsSignature(entry.family) || definition.variant == entry.variant;
}

} // namespace

struct Registry::Impl {
    struct Slot {
        BuiltinEntry entry;
        const BuiltinDefinition* definition = nullptr;
    };
    std::map<std::string_view, const BuiltinDefinition*, std::less<>> definitions;
    std::map<std::string, Slot, std::less<>> slots;
    std::map<std::string, BuiltinInfo, std::less<>> infos;

    void define(std::span<const BuiltinDefinition> table) {
        for (const BuiltinDefinition& row : table)
            if (!definitions.emplace(row.name, &row).second)
                raiseBug(std::string("BUG: built-in ") + row.name + " is defined twice");
    }

    void add(std::span<const std::string_view> names, Family family, Variant variant) {
        for (size_t i = 0; i < names.size(); ++i) {
            auto it = definitions.find(names[i]);
            if (it == definitions.end())
                raiseBug("BUG: built-in " + std::string(names[i]) + " has no definition");
            if (!slots.emplace(names[i], Slot{{family, int(i), variant}, it->second}).second)
                raiseBug("BUG: built-in " + std::string(names[i]) + " is registered twice");
        }
    }

    void retag(std::string_view name, Family family, Variant variant) {
        auto it = slots.find(name);
        if (it == slots.end()) raiseBug("BUG: retag of unregistered built-in " + std::string(name));
        it->second.entry.family = family;
        it->second.entry.variant = variant;
    }

    void retagFirst(std::span<const std::string_view> names, size_t count, Family family,
                    Variant variant) {
        for (std::string_view name : names.first(std::min(count, names.size())))
            retag(name, family, variant);
    }

    void registerAll();
    void checkSignatures() const;
    void complete();
};

void Registry::Impl::registerAll() {
    for (TableFunction table : kSubjectTables)
        define(table());
    add(kElementwiseDouble, Family::Elementwise, Variant::Double);
    add(kElementwiseInteger, Family::Elementwise, Variant::Integer);
    add(kOneOrTwoArgs, Family::OneOrTwoArgs, Variant::Double);
    retagFirst(kOneOrTwoArgs, kFunctorCount, Family::Functor, Variant::Double);
    add(kNoArg, Family::NoArg, Variant::Untyped);
    add(kOptionalArg, Family::OptionalArg, Variant::Untyped);
    add(kValueToInteger, Family::ValueToScalar, Variant::Integer);
    retagFirst(kValueToInteger, kColumnIntegerCount, Family::Column, Variant::Integer);
    add(kColumnToDouble, Family::Column, Variant::Double);
    retagFirst(kColumnToDouble, kValueToDoubleCount, Family::ValueToScalar, Variant::Double);
    add(kValueToDoubleValue, Family::ValueToValue, Variant::Double);
    add(kValueToIntegerValue, Family::ValueToValue, Variant::Integer);
    add(kGeneral, Family::General, Variant::GeneralRest);
    retagFirst(kGeneral, kGeneralFirstCount, Family::General, Variant::GeneralFirst);
    for (std::string_view name : kGeneralComplex)
        retag(name, Family::General, Variant::Complex);
    for (std::string_view name : kGeneralList)
        retag(name, Family::General, Variant::List);
}

// Every defined name has its place in the order, in a family its handler
// belongs to.
void Registry::Impl::checkSignatures() const {
    for (const auto& [name, definition] : definitions) {
        auto it = slots.find(name);
        if (it == slots.end())
            raiseBug("BUG: built-in " + std::string(name) + " is defined but never registered");
        if (!signatureFits(*definition, it->second.entry))
            raiseBug("BUG: built-in " + std::string(name) +
                     " is registered in a family its handler does not belong to");
    }
}

void Registry::Impl::complete() {
    for (const auto& [name, slot] : slots) {
        BuiltinInfo info;
        info.name = name;
        info.entry = slot.entry;
        info.handler = slot.definition->handler;
        info.takesContext = slot.definition->takesContext;
        info.resultTypeOfFile = slot.definition->resultTypeOfFile;
        info.handlerForUnusedResult = slot.definition->handlerForUnusedResult;
        Family family = slot.entry.family;
        int fixedType = familyResultType(family, slot.entry.variant);
        info.resultType = fixedType == kRowDecides ? slot.definition->resultType : fixedType;
        ArgumentRange range = familyRange(family);
        if (family == Family::General) range = {slot.definition->minArgs, slot.definition->maxArgs};
        info.minArgs = range.minArgs;
        info.maxArgs = range.maxArgs;
        info.listFirstArgument = family == Family::OneOrTwoArgs &&
                                 std::find(kListFirstArgument.begin(), kListFirstArgument.end(),
                                           std::string_view(name)) != kListFirstArgument.end();
        info.mixedArguments =
            family == Family::General && std::find(kMixedArguments.begin(), kMixedArguments.end(),
                                                   std::string_view(name)) != kMixedArguments.end();
        infos.emplace(name, std::move(info));
    }
    for (const ComplexCounterpart& counterpart : elementaryComplexTable()) {
        auto it = infos.find(std::string_view(counterpart.name));
        if (it == infos.end() || it->second.entry.family != Family::Elementwise)
            raiseBug(std::string("BUG: complex counterpart of a non-elementary name ") +
                     counterpart.name);
        auto kind = static_cast<ComplexCounterpartKind>(counterpart.tag);
        if (kind != ComplexCounterpartKind::ComplexResult &&
            kind != ComplexCounterpartKind::DoubleResult)
            raiseBug(std::string("BUG: complex counterpart of unknown kind for ") +
                     counterpart.name);
        it->second.complexHandler = counterpart.handler;
        it->second.complexKind = kind;
    }
    for (const VectorCounterpart& counterpart : elementaryVectorTable()) {
        auto it = infos.find(std::string_view(counterpart.name));
        if (it == infos.end() || it->second.entry.family != Family::Elementwise)
            raiseBug(std::string("BUG: array kernel of a non-elementary name ") + counterpart.name);
        it->second.vectorFunction = counterpart.function;
    }
}

Registry::Registry() : impl_(std::make_unique<Impl>()) {
    // Special functions report domain errors through GSL's handler, whose
    // default aborts the process; every built-in is reached through here.
    installMathErrorHandler();
    impl_->registerAll();
    impl_->checkSignatures();
    impl_->complete();
}

const Registry& Registry::instance() {
    static const Registry registry;
    return registry;
}

BuiltinEntry Registry::lookup(const std::string& name) const {
    const BuiltinInfo* info = find(name);
    return info ? info->entry : BuiltinEntry{};
}

const BuiltinInfo* Registry::find(const std::string& name) const {
    auto it = impl_->infos.find(name);
    return it == impl_->infos.end() ? nullptr : &it->second;
}

void Registry::checkArity(const std::string& name, int minArgs, int maxArgs, int count) {
    if (count < minArgs) throw SyntaxError(name + "(...) has too few arguments");
    if (maxArgs != kUnlimitedArgs && count > maxArgs)
        throw SyntaxError(name + "(...) has too many arguments");
}

std::vector<std::string> Registry::names() const {
    std::vector<std::string> result;
    result.reserve(impl_->infos.size());
    for (const auto& entry : impl_->infos)
        result.push_back(entry.first);
    return result;
}

} // namespace vemlor
