// Handlers of family 7 (one or two arguments) and of the functors that end
// in family 8, shared between the files that define them and the table in
// TwoArgFunctions.cpp.
#pragma once

#include "builtins/Registry.h"

namespace vemlor::detail {

// Functors (TwoArgFunctors.cpp): parameters first, then the points.
void polyFunctor(BuiltinContext&, const Value& coefficients, const Value& x, DoubleValue& out);
void poissonFunctor(BuiltinContext&, const Value& mean, const Value& k, DoubleValue& out);
void binomialCoefficientFunctor(BuiltinContext&, const Value& n, const Value& k, DoubleValue& out);
void gaussFunctor(BuiltinContext&, const Value& parameters, const Value& x, DoubleValue& out);
void lorentzFunctor(BuiltinContext&, const Value& parameters, const Value& x, DoubleValue& out);
void besselFunctor(BuiltinContext&, const Value& order, const Value& x, DoubleValue& out);
void binomialFunctor(BuiltinContext&, const Value& parameters, const Value& k, DoubleValue& out);

// Sets of sorted vectors (TwoArgSets.cpp).
void issubsetHandler(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result);
void intersectHandler(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result);
void unionHandler(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result);
void setminusHandler(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result);
void setxorHandler(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result);

// Strings and text (TwoArgText.cpp).
void strHandler(BuiltinContext&, const Value& x, const Value* precision, ValuePtr& result);
void strfindHandler(BuiltinContext&, const Value& haystack, const Value* needle, ValuePtr& result);
void str2numHandler(BuiltinContext&, const Value& text, const Value* base, ValuePtr& result);
void beforeHandler(BuiltinContext&, const Value& a, const Value* b, ValuePtr& result);
void binaryHandler(BuiltinContext&, const Value& x, const Value* digits, ValuePtr& result);
void errorHandler(BuiltinContext&, const Value& level, const Value* text, ValuePtr& result);

} // namespace vemlor::detail
