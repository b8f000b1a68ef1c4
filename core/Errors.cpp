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

void raiseRuntime(std::string_view message) { throw RuntimeError(std::string(message)); }

void raiseCode(char code) { throw CodeError{code}; }

void raiseBug(std::string_view message) {
    std::string text(message);
    if (text.rfind("BUG", 0) != 0) text = "BUG: " + text;
    throw InternalError(text);
}

} // namespace vemlor
