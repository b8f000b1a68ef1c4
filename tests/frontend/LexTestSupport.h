// Helpers for the front-end tests: an input source fed from a list of lines,
// and short ways to lex a line and to catch the message of a failure.
#pragma once

#include "core/Errors.h"
#include "frontend/LexInput.h"
#include "frontend/Lexer.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vemlor::test {

// Continuation lines for the lexer, delivered one per getLine.
class ScriptedInput : public LexInput {
  public:
    explicit ScriptedInput(std::vector<std::string> lines = {}, bool interactive = true)
        : lines_(lines.begin(), lines.end()), interactive_(interactive) {}

    bool getLine(std::string& out, bool throwAtEnd, bool) override {
        if (lines_.empty()) {
            if (throwAtEnd) raiseCode(ErrorCode::EndOfInput);
            return false;
        }
        out = lines_.front();
        lines_.pop_front();
        ++lineNumber_;
        return true;
    }
    bool isInteractive() const override { return interactive_; }
    int lineNumber() const override { return lineNumber_; }
    std::string sourceName() const override { return {}; }
    int blockCommentStart() const override { return 0; }

    size_t remaining() const { return lines_.size(); }

  private:
    std::deque<std::string> lines_;
    bool interactive_;
    int lineNumber_ = 0;
};

// Lexes one line the way the statement reader does (" #" appended,
// terminator '#'), with further lines available from more.
inline TokenList lexLine(const std::string& line, std::vector<std::string> more = {},
                         int* suchThat = nullptr) {
    ScriptedInput input(std::move(more));
    TokenList tokens;
    int index = -1;
    lex(line + " #", '#', input, tokens, suchThat ? suchThat : &index);
    return tokens;
}

// The text of the exception thrown by f; "" when nothing is thrown.
inline std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    } catch (const CodeError& e) {
        return e.message();
    }
    return "";
}

inline std::string lexFailure(const std::string& line, std::vector<std::string> more = {}) {
    return failureOf([&] { lexLine(line, std::move(more)); });
}

inline std::string syntax(const std::string& message) {
    return "syntax error, {g " + message;
}

// Kinds and codes of a token list, as "kind:code" items separated by blanks;
// a code below ' ' is shown as its number.
inline std::string shape(const TokenList& tokens) {
    std::string s;
    for (const Token& t : tokens) {
        if (!s.empty()) s += ' ';
        s += std::to_string(t.kind) + ':';
        if (static_cast<unsigned char>(t.code) < ' ')
            s += std::to_string(static_cast<int>(t.code));
        else
            s += t.code;
    }
    return s;
}

} // namespace vemlor::test
