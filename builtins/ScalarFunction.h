// A function handed to a built-in as an argument (a reference such as
// `integ(f, 0, 1)`, or an anonymous `(expr; x, ...)` function), seen the
// way numerical methods and plot commands use it: a double in, a double out.
#pragma once

namespace vemlor {

class ScalarFunction {
  public:
    virtual ~ScalarFunction() = default;
    // f(x); raises "function returned empty vector []" for an empty result.
    virtual double operator()(double x) = 0;
};

} // namespace vemlor
