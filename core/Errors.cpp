#include "core/Errors.h"

namespace vemlor {

std::string SyntaxError::composed(const std::string& message, std::string_view context) {
    if (context.empty()) return "syntax error, {g " + message;
    return message + " {g " + std::string(context);
}

void raiseRuntime(std::string_view context, std::string_view message) {
    if (context.empty()) throw RuntimeError(std::string(message));
    throw RuntimeError("in " + std::string(context) + "; " + std::string(message));
}

void raiseRuntime(std::string_view message) {
    throw RuntimeError(std::string(message));
}

std::string CodeError::message() const {
    switch (code) {
    case ErrorCode::OutOfBounds:
        return "out of bounds error";
    case ErrorCode::EmptyArray:
        return "value requested from an empty array";
    case ErrorCode::InvalidPower:
        return "invalid matrix power";
    case ErrorCode::AssignmentMismatch:
        return "incompatible lhs, rhs in assignment";
    case ErrorCode::EndOfInput:
        return "unexpected end of input";
    case ErrorCode::IncompatibleOperands:
        break;
    }
    return std::string("incompatible objects at operator ") + operatorChar;
}

void raiseCode(ErrorCode code) {
    throw CodeError{code};
}

void raiseIncompatible(char operatorChar) {
    throw CodeError{ErrorCode::IncompatibleOperands, operatorChar};
}

void raiseBug(std::string_view message) {
    std::string text(message);
    if (text.rfind("BUG", 0) != 0) text = "BUG: " + text;
    throw InternalError(text);
}

} // namespace vemlor
