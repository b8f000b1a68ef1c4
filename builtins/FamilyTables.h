// The tables the family files hand to the registry, in registration order.
//
// Each table lists its names in the order the registry numbers them. Some
// names are moved to another family after registration (the registry does
// that); their row must already carry the handler of the family they end up
// in, cast to const void*:
//   - the first ten of twoArgTable (poly ... binomial) end in family 8 (Functor);
//   - the first six of valueToIntTable (all ... rfind) end in family 4 variant 0
//     (ColumnToInt);
//   - the first three of columnToDoubleTable (numeric_limits, trace, grindex)
//     end in family 5 variant 1 (ValueToDouble).
#pragma once

#include "builtins/Registry.h"

#include <span>

namespace vemlor {

struct ComplexCounterpart {
    const char* name; // a family 3 variant 1 name
    const void* handler;
    int tag; // 2: ComplexToComplex, 1: ComplexToDouble
};

// Family 3 (builtins/Elementary.cpp).
std::span<const BuiltinDefinition> elementaryDoubleTable(); // variant 1, 42 names
std::span<const BuiltinDefinition> elementaryIntTable();    // variant 0, 9 names
std::span<const ComplexCounterpart> elementaryComplexTable();
// Family 7 variant 1, 37 names (builtins/TwoArgFunctions.cpp).
std::span<const BuiltinDefinition> twoArgTable();
// Family 1, 14 names (builtins/NoArgFunctions.cpp).
std::span<const BuiltinDefinition> noArgTable();
// Family 2, 6 names (builtins/OptionalArgFunctions.cpp).
std::span<const BuiltinDefinition> optionalArgTable();
// Family 5 variant 0, 23 names (builtins/ValueScalarFunctions.cpp).
std::span<const BuiltinDefinition> valueToIntTable();
// Family 4 variant 1, 15 names (builtins/ColumnFunctions.cpp).
std::span<const BuiltinDefinition> columnToDoubleTable();
// Family 6 variant 1, 28 names, and variant 0, 19 names (builtins/VectorFunctions.cpp).
std::span<const BuiltinDefinition> vectorToDoubleTable();
std::span<const BuiltinDefinition> vectorToIntTable();
// Family 9, 54 names with their argument ranges (builtins/GeneralFunctions.cpp).
std::span<const BuiltinDefinition> generalTable();

} // namespace vemlor
