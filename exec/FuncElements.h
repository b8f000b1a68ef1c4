// Calls of built-in functions: the element class follows the family and the
// argument types (elementwise, per column, whole value, general ...).
#pragma once

#include "builtins/Registry.h"
#include "exec/Evaluatable.h"

#include <vector>

namespace vemlor {

class BuiltinContext;

// Builds the call of `function` with `arguments` (count already checked
// against the function's range). Build-time refusals are SyntaxErrors:
// "function may not be applied to a list", "this function does not accept a
// complex argument", "illegal argument type", ...
EvaluatablePtr makeBuiltinCall(const BuiltinInfo& function, std::vector<EvaluatablePtr> arguments,
                               BuiltinContext& context);

} // namespace vemlor
