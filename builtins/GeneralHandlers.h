// Family 9 handlers defined outside GeneralFunctions.cpp (which holds the
// family's table): the text built-ins of GeneralTextFunctions.cpp.
#pragma once

#include "builtins/Registry.h"

namespace vemlor::detail {

using Arguments = std::span<const Value* const>;
using Outputs = std::span<ValuePtr>;

void listHandler(BuiltinContext&, Arguments arguments, Outputs outputs);
void splitHandler(BuiltinContext&, Arguments arguments, Outputs outputs);
void joinHandler(BuiltinContext&, Arguments arguments, Outputs outputs);
void padHandler(BuiltinContext&, Arguments arguments, Outputs outputs);

} // namespace vemlor::detail
