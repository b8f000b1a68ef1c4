// The tables the subject files hand to the registry.
//
// Every subject file (Statistics.cpp, Strings.cpp, ...) ends in one table of
// its built-ins, one row each. The order of the rows does not matter: the
// registration order in Registry.cpp alone gives every name its family,
// index and variant. A row made by defineBuiltin records the family its
// handler's signature belongs to, and the registry refuses to start when the
// registration order puts the name in another one; a handler of no family's
// signature does not compile.
#pragma once

#include "builtins/Registry.h"

#include <span>
#include <type_traits>

namespace vemlor {

struct ComplexCounterpart {
    const char* name; // an Elementwise, variant Double name
    const void* handler;
    int tag; // a ComplexCounterpartKind: 2 ComplexToComplex, 1 ComplexToDouble
};

// The array kernel that computes an Elementwise, variant Double name over
// many elements at once.
struct VectorCounterpart {
    const char* name;
    VectorFunction function;
};

namespace detail {

struct HandlerSignature {
    Family family;
    Variant variant;
};

// The family (and variant) a handler type belongs to, one overload per
// handler type. A General handler serves every General variant; the
// registry does not compare those.
constexpr HandlerSignature signatureOf(handler::NoArg) {
    return {Family::NoArg, Variant::Untyped};
}
constexpr HandlerSignature signatureOf(handler::OptionalArg) {
    return {Family::OptionalArg, Variant::Untyped};
}
constexpr HandlerSignature signatureOf(handler::DoubleToDouble) {
    return {Family::Elementwise, Variant::Double};
}
constexpr HandlerSignature signatureOf(handler::IntToInt) {
    return {Family::Elementwise, Variant::Integer};
}
constexpr HandlerSignature signatureOf(handler::IntToIntInContext) {
    return {Family::Elementwise, Variant::Integer};
}
constexpr HandlerSignature signatureOf(handler::ColumnToDouble) {
    return {Family::Column, Variant::Double};
}
constexpr HandlerSignature signatureOf(handler::ColumnToInt) {
    return {Family::Column, Variant::Integer};
}
constexpr HandlerSignature signatureOf(handler::ValueToDouble) {
    return {Family::ValueToScalar, Variant::Double};
}
constexpr HandlerSignature signatureOf(handler::ValueToInt) {
    return {Family::ValueToScalar, Variant::Integer};
}
constexpr HandlerSignature signatureOf(handler::ValueToDoubleValue) {
    return {Family::ValueToValue, Variant::Double};
}
constexpr HandlerSignature signatureOf(handler::ValueToIntValue) {
    return {Family::ValueToValue, Variant::Integer};
}
constexpr HandlerSignature signatureOf(handler::OneOrTwo) {
    return {Family::OneOrTwoArgs, Variant::Double};
}
constexpr HandlerSignature signatureOf(handler::Functor) {
    return {Family::Functor, Variant::Double};
}
constexpr HandlerSignature signatureOf(handler::General) {
    return {Family::General, Variant::GeneralRest};
}

} // namespace detail

// A table row whose handler's signature names its family. `resultType`
// serves OptionalArg, OneOrTwoArgs and General handlers; `minArgs` and
// `maxArgs` (or kUnlimitedArgs) General ones.
template <class H>
BuiltinDefinition defineBuiltin(const char* name, H handler, int resultType = DOUBLE_VAL,
                                int minArgs = 0, int maxArgs = 0) {
    detail::HandlerSignature signature = detail::signatureOf(handler);
    return {name,
            reinterpret_cast<const void*>(handler),
            resultType,
            minArgs,
            maxArgs,
            signature.family,
            signature.variant,
            std::is_same_v<H, handler::IntToIntInContext>};
}

// Elementary.cpp: the elementwise functions and their complex counterparts.
std::span<const BuiltinDefinition> elementaryDoubleTable();
std::span<const BuiltinDefinition> elementaryIntTable();
std::span<const ComplexCounterpart> elementaryComplexTable();
std::span<const VectorCounterpart> elementaryVectorTable();

std::span<const BuiltinDefinition> axisCommandsTable();     // AxisCommands.cpp
std::span<const BuiltinDefinition> bitmapCommandsTable();   // BitmapCommands.cpp
std::span<const BuiltinDefinition> clockTable();            // Clock.cpp
std::span<const BuiltinDefinition> conversionsTable();      // Conversions.cpp
std::span<const BuiltinDefinition> debuggingTable();        // Debugging.cpp
std::span<const BuiltinDefinition> directoriesTable();      // Directories.cpp
std::span<const BuiltinDefinition> distributionsTable();    // Distributions.cpp
std::span<const BuiltinDefinition> figureCommandsTable();   // FigureCommands.cpp
std::span<const BuiltinDefinition> figureSettingsTable();   // FigureSettings.cpp
std::span<const BuiltinDefinition> fileTableTable();        // FileTable.cpp
std::span<const BuiltinDefinition> generatorsTable();       // Generators.cpp
std::span<const BuiltinDefinition> helpTable();             // Help.cpp
std::span<const BuiltinDefinition> interpreterTable();      // Interpreter.cpp
std::span<const BuiltinDefinition> linearSolveTable();      // LinearSolve.cpp
std::span<const BuiltinDefinition> itemCommandsTable();     // ItemCommands.cpp
std::span<const BuiltinDefinition> listsTable();            // Lists.cpp
std::span<const BuiltinDefinition> matricesTable();         // Matrices.cpp
std::span<const BuiltinDefinition> messagesTable();         // Messages.cpp
std::span<const BuiltinDefinition> mouseAndKeysTable();     // MouseAndKeys.cpp
std::span<const BuiltinDefinition> numericTablesTable();    // NumericTables.cpp
std::span<const BuiltinDefinition> orderingTable();         // Ordering.cpp
std::span<const BuiltinDefinition> plotCommandsTable();     // PlotCommands.cpp
std::span<const BuiltinDefinition> polynomialsTable();      // Polynomials.cpp
std::span<const BuiltinDefinition> searchingTable();        // Searching.cpp
std::span<const BuiltinDefinition> setsTable();             // Sets.cpp
std::span<const BuiltinDefinition> specialFunctionsTable(); // BesselFunctions.cpp
std::span<const BuiltinDefinition> eigenTable();            // Eigen.cpp
std::span<const BuiltinDefinition> rootsTable();            // Roots.cpp
std::span<const BuiltinDefinition> minimizeTable();         // Minimize.cpp
std::span<const BuiltinDefinition> quadratureTable();       // Quadrature.cpp
std::span<const BuiltinDefinition> derivativesTable();      // Derivatives.cpp
std::span<const BuiltinDefinition> fourierTable();          // Fourier.cpp
std::span<const BuiltinDefinition> filtersTable();          // Filters.cpp
std::span<const BuiltinDefinition> odeTable();              // Ode.cpp
std::span<const BuiltinDefinition> fittingTable();          // Fitting.cpp
std::span<const BuiltinDefinition> lineFitTable();          // LineFit.cpp
std::span<const BuiltinDefinition> interpolationTable();    // Interpolation.cpp
std::span<const BuiltinDefinition> stacksTable();           // Stacks.cpp
std::span<const BuiltinDefinition> statisticsTable();       // Statistics.cpp
std::span<const BuiltinDefinition> stringsTable();          // Strings.cpp
std::span<const BuiltinDefinition> systemCommandsTable();   // SystemCommands.cpp
std::span<const BuiltinDefinition> textFilesTable();        // TextFiles.cpp
std::span<const BuiltinDefinition> typedLinesTable();       // TypedLines.cpp
std::span<const BuiltinDefinition> valueFilesTable();       // ValueFiles.cpp
std::span<const BuiltinDefinition> valueQueriesTable();     // ValueQueries.cpp

} // namespace vemlor
