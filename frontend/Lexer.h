// The lexer: cuts one logical line into tokens.
//
// Everything between matching brackets becomes one bracket token holding its
// contents as children. While the text is visibly unfinished (a dangling
// operator, an open bracket, a trailing ellipsis) further lines are pulled
// from the input source with getLine(throwAtEnd = true, raw = true) and the
// text grows by them; text() is the logical line as it stands. All state of a
// run lives in the Lexer object; nothing is shared between objects.
#pragma once

#include "frontend/LexInput.h"
#include "frontend/Token.h"

#include <string>

namespace vemlor {

class Lexer {
  public:
    explicit Lexer(LexInput& input) : input_(input) {}

    // Lexes text up to the terminator (the caller appends " #" and passes
    // '#' for a whole line). Returns the position where lexing stopped. When
    // suchThatIndex is given it receives the index of a "/." token, or -1.
    // Raises SyntaxError; the end of the input while more is needed is
    // reported as "dangling operator or more input needed", "bracket
    // finished incorrectly" or "no closing bracket for line N:".
    int lex(const std::string& text, char terminator, TokenList& out, int* suchThatIndex);

    // The logical line lexed so far, continuation lines included.
    const std::string& text() const { return text_; }

  private:
    enum class CharClass {
        Separator,
        Operator,
        Number,
        Name,
        CommandWord,
        String,
        Backslash,
        Bracket,
        Other
    };

    LexInput& input_;
    std::string text_;
    size_t pos_ = 0;
    int depth_ = 0;                // brackets open around the current position
    bool suchThatAllowed_ = false; // the caller asked for a such-that index
    int suchThatIndex_ = -1;
    bool joinedLine_ = false; // a continuation line was just joined

    // Lexes up to terminator into out; returns true when an absolute-value
    // bracket's closing '|' was met right before the terminator.
    bool lexRange(char terminator, bool absolute, TokenList& out);
    // Replaces the text from the current position (a '#' or the end) by the
    // next line of input plus " #".
    void continueLine();
    void skipBlanks();
    CharClass classify(size_t& wordLength) const;
    std::string contextFrom(size_t start) const;

    void readName(TokenList& out);
    void readCommandWord(TokenList& out, size_t length);
    void readSeparator(TokenList& out, char terminator);
    void readBackslash(TokenList& out);
    bool readOther(TokenList& out, char terminator);
    void readNumber(TokenList& out);
    void readString(TokenList& out);
    bool rewriteInterpolated(size_t start, char quote, const std::string& body);
    bool readOperator(TokenList& out, char terminator, bool absolute);
    enum class Spelling { Operator, Ellipsis, ParentDirectory };
    Spelling scanOperator(Token& token);
    void checkOperator(const TokenList& out, Token& token, bool atStart);
    void readBracket(TokenList& out);
    void finishBracket(TokenList& out, Token& bracket, bool absolute, bool closedByBar,
                       bool immediate);
    static void appendChecked(TokenList& out, Token token);

    char at(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
    char cur() const { return at(pos_); }
};

// Lexes with a fresh Lexer; see Lexer::lex.
int lex(const std::string& text, char terminator, LexInput& input, TokenList& out,
        int* suchThatIndex);

// True when a token list cannot end a line: it ends with an assignment
// operator, a ',' separator, or a binary operator other than in a help query,
// a "<<" statement, or a wildcard pattern such as a*.
bool needsMoreInput(const TokenList& tokens);

} // namespace vemlor
