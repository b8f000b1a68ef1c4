// The process-wide registry of built-in functions.
//
// Every built-in is found by name: the entry gives its family (which fixes
// the handler signature and the expression element that calls it), its index
// in the family's handler table and a variant. The registry is filled once,
// before the first interpreter exists, from the tables of the subject files
// (Registry.cpp lists the fixed registration order; later steps retag some
// names), and never changes after.
#pragma once

#include "core/MathMatrix.h"
#include "core/VectorMath.h"

#include <complex>
#include <span>
#include <string>
#include <vector>

namespace vemlor {

class BuiltinContext;

// The handler signature of a built-in and the expression element that calls
// it. The numbers are the ones listings show.
enum class Family : int {
    None = 0,          // not a built-in
    NoArg = 1,         // no argument, double result
    OptionalArg = 2,   // no argument or one, any result
    Elementwise = 3,   // a scalar function applied to every element
    Column = 4,        // one result per column (a vector counts as one column)
    ValueToScalar = 5, // the whole value, lists too, to a scalar
    ValueToValue = 6,  // one value to a value of a fixed type
    OneOrTwoArgs = 7,  // one or two arguments, any result
    Functor = 8,       // the first argument parametrises a function applied to the second
    General = 9,       // own argument range, any number of outputs
};

// What a variant means depends on the family. In the families of a fixed
// result type (Elementwise, Column, ValueToScalar, ValueToValue) it is that
// type; the other families register with the variant their registration
// step gives, and General sorts its names into four groups.
enum class Variant : int {
    Integer = 0, // integer (or string) results
    Double = 1,  // double results; also the one variant of OneOrTwoArgs and Functor
    Complex = 2, // General: complex results
    List = 3,    // General: list results
    Untyped = 0, // the one variant of NoArg and OptionalArg
    // General names of other results: the first 34 registered, and the rest.
    GeneralFirst = 0,
    GeneralRest = 1,
};

// Which counterpart a family Elementwise, variant Double name has for a
// complex argument.
enum class ComplexCounterpartKind : int {
    None = 0,
    DoubleResult = 1,  // complex argument, double result (real, abs ...)
    ComplexResult = 2, // complex argument, complex result (sqrt, exp ...)
};

// Handler signatures, one per family (and variant where they differ).
namespace handler {
// NoArg: values of the moment (time, random) and constants.
using NoArg = double (*)(BuiltinContext&);
// OptionalArg: the argument is null when absent.
using OptionalArg = void (*)(BuiltinContext&, const Value* argument, ValuePtr& result);
// Elementwise: variant Double, Integer, and the complex counterparts.
using DoubleToDouble = double (*)(double);
using IntToInt = int (*)(int);
// Elementwise, variant Integer, for the few that act on the calling
// instance (its open files): never compiled into the scalar code.
using IntToIntInContext = int (*)(BuiltinContext&, int);
using ComplexToComplex = complexd (*)(complexd);
using ComplexToDouble = double (*)(complexd);
// Column: variant Double, Integer.
using ColumnToDouble = double (*)(const double* column, int count);
using ColumnToInt = int (*)(const double* column, int count);
// ValueToScalar: variant Double, Integer.
using ValueToDouble = double (*)(BuiltinContext&, const Value&);
using ValueToInt = int (*)(BuiltinContext&, const Value&);
// ValueToValue: variant Double, Integer.
using ValueToDoubleValue = void (*)(BuiltinContext&, const Value&, DoubleValue& result);
using ValueToIntValue = void (*)(BuiltinContext&, const Value&, IntValue& result);
// OneOrTwoArgs: the second argument is null when absent.
using OneOrTwo = void (*)(BuiltinContext&, const Value& first, const Value* second,
                          ValuePtr& result);
// Functor: the first argument parametrises a scalar function applied to
// every element of the second.
using Functor = void (*)(BuiltinContext&, const Value& parameters, const Value& x,
                         DoubleValue& result);
// General: any number of arguments and outputs. outputs.size() is how many
// the caller wants (at least 1); the handler fills them (reusing what is there
// when the type fits) and may leave extra ones null.
using General = void (*)(BuiltinContext&, std::span<const Value* const> arguments,
                         std::span<ValuePtr> outputs);
} // namespace handler

// The result type of a call whose result depends on the file its first
// argument names (a string in quotes, given here); it is read when the call
// is built, since every expression's type is fixed then.
using ResultTypeOfFile = int (*)(BuiltinContext&, const std::string& firstArgument);

// The maximum argument count of a General built-in that takes any number.
inline constexpr int kUnlimitedArgs = -1;

// Result type of an OptionalArg, OneOrTwoArgs or General built-in that follows
// its first argument, known when the call is built.
inline constexpr int kSameAsFirstArgument = -1;

// One row of a subject file's table. `handler` has the signature of the
// family the name ends up in; `resultType` serves OptionalArg, OneOrTwoArgs
// and General; `minArgs` and `maxArgs` (or kUnlimitedArgs) serve General.
// `family` and `variant` are the ones the handler's signature implies (see
// defineBuiltin in FamilyTables.h; None when the row does not say), which
// the registry checks against where the registration order puts the name.
struct BuiltinDefinition {
    const char* name;
    const void* handler;
    int resultType = DOUBLE_VAL;
    int minArgs = 0;
    int maxArgs = 0;
    Family family = Family::None;
    Variant variant = Variant::Untyped;
    bool takesContext = false;                   // an Elementwise handler of IntToIntInContext
    ResultTypeOfFile resultTypeOfFile = nullptr; // General only
    // OneOrTwoArgs: the same work for a call whose result nobody reads (a
    // statement that shows nothing); it may leave the result empty.
    const void* handlerForUnusedResult = nullptr;
};

struct BuiltinEntry {
    Family family = Family::None;
    int index = 0;
    Variant variant = Variant::Untyped;
};

// Everything the parser needs to build a call.
struct BuiltinInfo {
    std::string name;
    BuiltinEntry entry;
    const void* handler = nullptr;        // cast to the family's signature
    const void* complexHandler = nullptr; // Elementwise, variant Double only
    ComplexCounterpartKind complexKind = ComplexCounterpartKind::None;
    VectorFunction vectorFunction = VectorFunction::None; // Elementwise, variant Double only
    int resultType = DOUBLE_VAL;
    int minArgs = 0;
    int maxArgs = 0;
    bool mixedArguments = false;
    bool listFirstArgument = false; // OneOrTwoArgs: the first argument may be a list
    bool takesContext = false;      // an Elementwise handler of IntToIntInContext
    ResultTypeOfFile resultTypeOfFile = nullptr;
    const void* handlerForUnusedResult = nullptr;
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

  private:
    Registry();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vemlor
