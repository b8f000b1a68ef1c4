// An input source reading a script file or a text held in memory.
//
// Modes: 2 = file, 1 = in-memory text, 0 = in-memory text typed at the prompt
// (interactive). In memory a physical line ends at a carriage return (one line
// feed right after it is consumed too); a file line ends at a line feed. The
// line number counts every physical line read, blank and comment lines
// included. The indentation level is the level of the previous delivered line.
#pragma once

#include "frontend/LexInput.h"

#include <fstream>
#include <memory>
#include <string>

namespace vemlor {

class InputSource : public LexInput {
  public:
    enum Mode : int { Typed = 0, Text = 1, File = 2 };

    // A script file; when it cannot be opened the source is at its end at once.
    explicit InputSource(const std::string& fileName);
    // An in-memory text; modeChar '>' makes it interactive.
    InputSource(char modeChar, std::string text);

    bool getLine(std::string& out, bool throwAtEnd, bool raw) override;
    bool isInteractive() const override { return mode_ == Typed; }
    int lineNumber() const override { return lineNumber_; }
    std::string sourceName() const override { return mode_ == File ? fileName_ : std::string(); }
    int blockCommentStart() const override { return blockCommentStart_; }
    int indentPrefixLength() const override { return indentPrefixLength_; }

    Mode mode() const { return mode_; }
    bool isOpen() const { return mode_ != File || stream_ != nullptr; }
    bool atEnd() const;
    void close();

    // Reads one physical line into out and counts it; false at the end.
    bool readPhysicalLine(std::string& out);
    // Reads and discards physical lines until the next line read is line n.
    // The line number advances with every attempt, so this always ends.
    void skipToLine(int n);

    // What a comment line asks for: not a comment, a skipped comment or block
    // comment, or "##end_input" in a file (the source is then closed).
    enum class CommentResult { NotComment, Skipped, EndOfInput };
    CommentResult handleComment(const std::string& line);
    // Prefixes the line with '{' or '}' for each indentation step it moved
    // against the previous line; leading white space is removed.
    std::string applyIndentation(const std::string& line);

    // The header line of the next function definition, with its line number
    // and the start of a "##" block comment directly above it (-1 when none).
    // line is empty at the end of the file.
    struct FunctionStart {
        std::string line;
        int lineNumber = 0;
        int commentStart = -1;
    };
    FunctionStart nextFunction();

    // Used by the user's input: replace the typed text, rewind to a position
    // within the text, and the directory remembered while a script runs.
    void replaceText(std::string text);
    size_t position() const { return position_; }
    void rewind(size_t position, int lineNumber);
    void setLineNumber(int n) { lineNumber_ = n; }
    const std::string& savedDirectory() const { return savedDirectory_; }
    void setSavedDirectory(std::string dir) { savedDirectory_ = std::move(dir); }

  private:
    std::unique_ptr<std::ifstream> stream_;
    std::string text_;
    Mode mode_;
    int lineNumber_ = 0;
    size_t position_ = 0;
    std::string fileName_;
    int indentLevel_ = 0;
    int blockCommentStart_ = 0;
    int indentPrefixLength_ = 0;
    std::string savedDirectory_;

    void skipBlockComment();
};

// True for a line holding nothing but blanks.
bool isBlankLine(const std::string& line);

} // namespace vemlor
