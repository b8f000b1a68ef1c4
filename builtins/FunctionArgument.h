// The function argument of a numerical built-in, made safe to call from
// GSL: C code that a C++ exception must never cross.
//
// GuardedFunction calls the user's function with Ctrl-C checked first. The
// first error (the function's own, "function returned empty vector []", or
// the interrupt) is kept instead of thrown; every later call returns 0 at
// once, so the GSL routine runs out quickly, and rethrowIfFailed() raises the
// kept error once GSL has returned.
#pragma once

#include "builtins/BuiltinContext.h"
#include "builtins/ScalarFunction.h"

#include <exception>
#include <memory>

namespace vemlor::detail {

inline double callNaming(ScalarFunction& f, double x, const char* name) {
    try {
        return f(x);
    } catch (const NonRealResult&) {
        raiseRuntime(name, NonRealResult::kMessage);
    }
}

class GuardedFunction {
  public:
    GuardedFunction(BuiltinContext& context, const Value& argument, const char* name)
        : context_(context), function_(context.scalarFunction(argument)), name_(name) {}

    double operator()(double x) noexcept {
        if (error_) return 0.0;
        try {
            context_.checkInterrupt();
            return callNaming(*function_, x, name_);
        } catch (...) {
            error_ = std::current_exception();
            return 0.0;
        }
    }
    // The gsl_function entry: `self` is the GuardedFunction.
    static double call(double x, void* self) noexcept {
        return (*static_cast<GuardedFunction*>(self))(x);
    }
    void rethrowIfFailed() const {
        if (error_) std::rethrow_exception(error_);
    }

  private:
    BuiltinContext& context_;
    std::unique_ptr<ScalarFunction> function_;
    const char* name_;
    std::exception_ptr error_;
};

// A checked caller for loops of the program's own (no C code between): the
// function's errors pass straight through.
class CheckedFunction {
  public:
    CheckedFunction(BuiltinContext& context, const Value& argument, const char* name)
        : context_(context), function_(context.scalarFunction(argument)), name_(name) {}
    double operator()(double x) {
        context_.checkInterrupt();
        return callNaming(*function_, x, name_);
    }

  private:
    BuiltinContext& context_;
    std::unique_ptr<ScalarFunction> function_;
    const char* name_;
};

} // namespace vemlor::detail
