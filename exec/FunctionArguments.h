// Function arguments of built-ins: the reference values they receive are
// resolved here into something callable with a double.
#pragma once

#include "builtins/ScalarFunction.h"
#include "core/Value.h"

#include <map>
#include <memory>

namespace vemlor {

class BuiltinContext;
class Workspace;

// The anonymous functions alive in the expressions of one instance.
class AnonymousFunctions {
  public:
    int add(ScalarFunction& function);
    void remove(int id) { functions_.erase(id); }
    ScalarFunction* find(int id) const;

  private:
    std::map<int, ScalarFunction*> functions_;
    int lastId_ = 0;
};

// A reference to a user function (one argument needed at most), a built-in
// taking one argument, or an anonymous function. Raises "1st argument must
// be a function" for any other value.
std::unique_ptr<ScalarFunction> resolveScalarFunction(const Value& argument, Workspace& workspace,
                                                      BuiltinContext& context,
                                                      const AnonymousFunctions& anonymous);

// A reference to a user function that can be called with two arguments.
std::unique_ptr<PairFunction> resolvePairFunction(const Value& argument, Workspace& workspace);

} // namespace vemlor
