// The process-wide registry of built-in functions.
//
// Every built-in is found by name: the entry gives its family (which fixes
// the handler signature and the expression element that calls it), its index
// in the family's handler table and a variant. The registry is filled once,
// before the first interpreter exists, from the tables of the family files,
// in a fixed order (later steps retag some names), and never changes after.
#pragma once

#include "core/MathMatrix.h"

#include <complex>
#include <span>
#include <string>
#include <vector>

namespace vemlor {

class BuiltinContext;

// Handler signatures, one per family (and variant where they differ).
namespace handler {
// Family 1: no argument, double result (values of the moment: time, random).
using NoArg = double (*)(BuiltinContext&);
// Family 2: no or one argument (null when absent), any result.
using OptionalArg = void (*)(BuiltinContext&, const Value* argument, ValuePtr& result);
// Family 3: elementwise scalar functions.
using DoubleToDouble = double (*)(double);
using IntToInt = int (*)(int);
using ComplexToComplex = complexd (*)(complexd);
using ComplexToDouble = double (*)(complexd);
// Family 4: one result per column (a vector counts as one column).
using ColumnToDouble = double (*)(const double* column, int count);
using ColumnToInt = int (*)(const double* column, int count);
// Family 5: the whole value (lists allowed) to a scalar.
using ValueToDouble = double (*)(BuiltinContext&, const Value&);
using ValueToInt = int (*)(BuiltinContext&, const Value&);
// Family 6: value to value of a fixed type.
using ValueToDoubleValue = void (*)(BuiltinContext&, const Value&, DoubleValue& result);
using ValueToIntValue = void (*)(BuiltinContext&, const Value&, IntValue& result);
// Family 7: one or two arguments (second null when absent), any result.
using OneOrTwo = void (*)(BuiltinContext&, const Value& first, const Value* second,
                          ValuePtr& result);
// Family 8: the first argument parametrises a scalar function applied to
// every element of the second.
using Functor = void (*)(BuiltinContext&, const Value& parameters, const Value& x,
                         DoubleValue& result);
// Family 9: any number of arguments and outputs. outputs.size() is how many
// the caller wants (at least 1); the handler fills them (reusing what is there
// when the type fits) and may leave extra ones null.
using General = void (*)(BuiltinContext&, std::span<const Value* const> arguments,
                         std::span<ValuePtr> outputs);
} // namespace handler

// Result type of a family 2, 7 or 9 built-in, known when the call is built.
inline constexpr int kSameAsFirstArgument = -1;

// One row of a family file's table. Exactly the handler matching the family
// and variant is set; `resultType` serves families 2, 7 and 9; `minArgs` and
// `maxArgs` (-1: unlimited) serve family 9.
struct BuiltinDefinition {
    const char* name;
    const void* handler;
    int resultType = DOUBLE_VAL;
    int minArgs = 0;
    int maxArgs = 0;
};

struct BuiltinEntry {
    int family = 0; // 0: not a built-in
    int index = 0;
    int variant = 0;
};

// Everything the parser needs to build a call.
struct BuiltinInfo {
    std::string name;
    BuiltinEntry entry;
    const void* handler = nullptr;        // cast to the family's signature
    const void* complexHandler = nullptr; // family 3 variant 1 only
    int complexTag = 0;                   // 2 complex result, 1 double result, 0 none
    int resultType = DOUBLE_VAL;
    int minArgs = 0;
    int maxArgs = 0;
    bool mixedArguments = false;
};

class Registry {
public:
    // The one registry, built on first use.
    static const Registry& instance();

    BuiltinEntry lookup(const std::string& name) const;
    // Null when the name is not a built-in.
    const BuiltinInfo* find(const std::string& name) const;
    // Raises the SyntaxError "name(...) has too few/many arguments".
    static void checkArity(const std::string& name, int minArgs, int maxArgs, int count);
    // Every registered name in alphabetical order.
    std::vector<std::string> names() const;
    int countInFamily(int family) const;

private:
    Registry();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Raised by built-ins that a later part of the program will provide.
[[noreturn]] void notYetAvailable(const char* name);

} // namespace vemlor
