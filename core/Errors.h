// Error types of the interpreter and the one routine that raises user errors.
//
// User errors are RuntimeError (at run time) or SyntaxError (while lexing,
// parsing and building). Matrix, indexing and input code raise a CodeError
// whose fixed message the driver reports. Internal inconsistencies are
// InternalError whose text begins with "BUG", raised through raiseBug; they
// are reported like any other error and never abort the process.
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

// The errors of matrix, indexing and input code, each with a fixed message.
enum class ErrorCode {
    OutOfBounds,          // an index outside the value
    EmptyArray,           // a value asked of an empty array
    InvalidPower,         // a matrix power that has no real result
    AssignmentMismatch,   // a value that the target of an assignment cannot take
    EndOfInput,           // the input ended inside a statement
    IncompatibleOperands, // operands whose shapes or types the operator cannot combine
};

struct CodeError {
    ErrorCode code;
    char operatorChar = 0; // IncompatibleOperands: the operator's character

    // The message the user sees, the one place that spells it.
    std::string message() const;
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
[[noreturn]] void raiseCode(ErrorCode code);
// IncompatibleOperands at the operator of character `operatorChar`.
[[noreturn]] void raiseIncompatible(char operatorChar);
[[noreturn]] void raiseBug(std::string_view message);

inline void check(bool ok, std::string_view context, std::string_view message) {
    if (!ok) raiseRuntime(context, message);
}

} // namespace vemlor
