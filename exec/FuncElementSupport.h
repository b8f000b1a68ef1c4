// Small helpers shared by the built-in call elements: where a result goes,
// how a handler's result reaches the announced type, and the refusals of
// arguments whose type changed after the call was built.
#pragma once

#include "core/Errors.h"
#include "core/MathMatrix.h"

#include <limits>
#include <string>

namespace vemlor::detail {

// The caller's workspace as the announced class, or the element's own value
// when the caller passed none.
template <class V> V& resultValue(Value* workspace, V& own) {
    if (!workspace) return own;
    if (workspace->type() != own.type())
        raiseBug("BUG: built-in call given a workspace of the wrong type");
    return static_cast<V&>(*workspace);
}

// The result of an OptionalArg, OneOrTwoArgs or General handler as the type
// announced at build time: itself when it has that type, else a widened copy
// in `converted`.
// A missing result counts as an empty value.
Value* deliverResult(ValuePtr& produced, int announced, ValuePtr& converted,
                     const std::string& name);

[[noreturn]] void refuseList();
[[noreturn]] void refuseComplex();
[[noreturn]] void refuseType();

// Integer value of a double argument of an integer function: truncated
// toward zero, out-of-range values give INT_MIN.
inline int truncatedInt(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return std::numeric_limits<int>::min();
    return int(x);
}

} // namespace vemlor::detail
