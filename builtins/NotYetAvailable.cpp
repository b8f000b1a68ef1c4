// Built-ins whose subject a later part of the program provides: message
// boxes and the remaining switches. Each name is registered already, with
// its family and argument range, so that calls parse as they will later;
// running one raises "<name> is not yet available". (The elementwise ones, such as `close` and
// `grid`, stay with the elementary functions.)
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <cstddef>

namespace vemlor {

namespace {

// A built-in's name as a template argument, so that every placeholder
// handler knows which name to report.
template <std::size_t N> struct Name {
    char text[N];
    constexpr Name(const char (&name)[N]) { std::copy_n(name, N, text); }
};

template <Name N, class Handler> struct Placeholder;

template <Name N, class Result, class... Parameters>
struct Placeholder<N, Result (*)(Parameters...)> {
    static Result run(Parameters...) { notYetAvailable(N.text); }
};

// The row of a placeholder with the signature H of its family.
template <Name N, class H>
BuiltinDefinition later(int resultType = DOUBLE_VAL, int minArgs = 0, int maxArgs = 0) {
    return defineBuiltin(N.text, &Placeholder<N, H>::run, resultType, minArgs, maxArgs);
}

using handler::NoArg;
using handler::ValueToInt;

} // namespace

std::span<const BuiltinDefinition> notYetAvailableTable() {
    static const BuiltinDefinition table[] = {
        // Message boxes.
        later<"messageBox", ValueToInt>(),
        // The remaining switches.
        later<"on", NoArg>(),
        later<"off", NoArg>(),
    };
    return table;
}

} // namespace vemlor
