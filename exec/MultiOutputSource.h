// Calls that can deliver several outputs at once, for [a, b] = f(x).
#pragma once

#include "core/Value.h"

#include <span>

namespace vemlor {

// An expression element that can deliver several outputs at once (a call of
// a built-in or a user function on the right of [a, b] = f(x)).
class MultiOutputSource {
  public:
    virtual ~MultiOutputSource() = default;
    // outputs.size() is the number wanted; the call fills them in order,
    // reusing the values already there, and may leave unwanted ones null.
    virtual void evaluateOutputs(std::span<ValuePtr> outputs) = 0;
};

} // namespace vemlor
