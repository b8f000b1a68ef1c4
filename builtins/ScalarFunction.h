// A function handed to a built-in as an argument (a reference such as
// `integ(f, [0, 1])`, or an anonymous `(expr; x, ...)` function), seen the
// way numerical methods and plot commands use it: a double in, a double out.
// PairFunction is the user function of two parameters that `ode` (f(t, y))
// and `lsfit` (f(x, p)) take, called with whole values.
#pragma once

#include "core/Errors.h"

namespace vemlor {

class Value;

// A function argument gave a complex or list result where a number was
// needed. The built-in that called it names itself in the message.
class NonRealResult : public RuntimeError {
  public:
    NonRealResult() : RuntimeError(std::string(kMessage)) {}
    static constexpr const char* kMessage = "non-real result type not yet implemented";
};

class ScalarFunction {
  public:
    virtual ~ScalarFunction() = default;
    // f(x); raises "function returned empty vector []" for an empty result
    // and NonRealResult for one that is not a number.
    virtual double operator()(double x) = 0;
};

class PairFunction {
  public:
    virtual ~PairFunction() = default;
    // f(a, b); the result stays valid until the next call. Raises "function
    // returned empty vector []" for an empty result.
    virtual const Value& operator()(const Value& a, const Value& b) = 0;
};

} // namespace vemlor
