// Reads logical lines from an input source and turns each into statements:
// get a line, lex it (with " #" appended and terminator '#'), split it.
#pragma once

#include "frontend/LexInput.h"
#include "frontend/Lexer.h"
#include "frontend/StatementSplitter.h"
#include "frontend/Token.h"

#include <deque>
#include <string>

namespace vemlor {

class LineReader {
  public:
    explicit LineReader(LexInput& input) : input_(input) {}

    // Reads the next logical line and appends its statements to queue.
    // Returns false at the end of the input (then raises ErrorCode::EndOfInput
    // instead when throwAtEnd is set). A line may queue no statement.
    bool readStatements(std::deque<TokenList>& queue, bool throwAtEnd = false);

    // The logical line being lexed, grown by its continuation lines (without
    // the " #" appended for the lexer).
    std::string text() const;
    LexInput& input() { return input_; }

  private:
    LexInput& input_;
    StatementSplitter splitter_;
    std::string text_;
    size_t indentPrefix_ = 0; // block characters indentation put in front
};

} // namespace vemlor
