// The interface through which the lexer and the parsers pull text: one
// logical line at a time, with comment lines, block comments and (unless raw)
// indentation already turned into text the lexer understands.
#pragma once

#include <string>

namespace vemlor {

class LexInput {
  public:
    virtual ~LexInput() = default;

    // Delivers the next non-empty logical line without leading white space.
    // At the end of the input raises ErrorCode::EndOfInput when throwAtEnd is set,
    // else returns false. raw switches off indentation processing (and, for
    // the user's input, the line-feed check).
    virtual bool getLine(std::string& out, bool throwAtEnd, bool raw) = 0;
    // True for text typed at the prompt.
    virtual bool isInteractive() const = 0;
    // Physical lines read so far from the current source.
    virtual int lineNumber() const = 0;
    // The file name of a script source, empty otherwise.
    virtual std::string sourceName() const = 0;
    // The line at which the last block comment began; -1 or 0 when none.
    virtual int blockCommentStart() const = 0;
    // How many block characters indentation put in front of the last line
    // delivered (error reports show the line as it was written).
    virtual int indentPrefixLength() const { return 0; }
};

} // namespace vemlor
