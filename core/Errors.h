// Error types of the interpreter and the one routine that raises user errors.
//
// User errors are RuntimeError (at run time) or SyntaxError (while lexing,
// parsing and building). Matrix and indexing code raise a one-character
// CodeError that the driver maps to a message. Internal inconsistencies are
// InternalError whose text begins with "BUG"; they are reported like any other
// error and never abort the process.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vemlor {

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const std::string& message) : std::runtime_error(message) {}
};

// Carries the full text to report: message + " {g " + context, or, without a
// context, "syntax error, {g " + message.
class SyntaxError : public std::runtime_error {
public:
    explicit SyntaxError(const std::string& message) : std::runtime_error(composed(message, {})) {}
    SyntaxError(const std::string& message, std::string_view context)
        : std::runtime_error(composed(message, context)) {}

private:
    static std::string composed(const std::string& message, std::string_view context);
};

// The one-character codes thrown by matrix, indexing and input code
// ('e' for end of input, '(' out of bounds, '+' incompatible operands, ...).
struct CodeError {
    char code;
};

class InternalError : public std::runtime_error {
public:
    explicit InternalError(const std::string& message) : std::runtime_error(message) {}
};

// Raises RuntimeError("in " context "; " message) when ok is false; without a
// context the message stands alone.
inline void check(bool ok, std::string_view context, std::string_view message);

[[noreturn]] void raiseRuntime(std::string_view context, std::string_view message);
[[noreturn]] void raiseRuntime(std::string_view message);
[[noreturn]] void raiseCode(char code);
[[noreturn]] void raiseBug(std::string_view message);

inline void check(bool ok, std::string_view context, std::string_view message) {
    if (!ok) raiseRuntime(context, message);
}

} // namespace vemlor
