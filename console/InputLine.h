// The console's input line: the text being typed, its caret, the numbered
// prompt and what each key does to them, the Up/Down walk through the
// command history, and the highlighting of the band. Platform-free: the
// window translates its key events into these calls and draws the result.
//
// Positions are byte positions in the UTF-8 text; the caret never stands
// inside a multi-byte character.
#pragma once

#include "console/CommandHistory.h"

#include <string>
#include <vector>

namespace vemlor {

class InputLine {
  public:
    // Character codes of the keys that arrive as characters.
    static constexpr int kEnter = 13, kBackspace = 8, kTab = 9, kEscape = 27;
    static constexpr int kCtrlB = 2, kCtrlC = 3, kCtrlV = 22, kCtrlBracket = 29;

    enum class Key { End, Home, Left, Right, Up, Down, Delete, F5, F9 };
    // What the window has to do after a key.
    enum class Action { None, LineComplete, Copy, Paste, RunClipboard, F5 };

    explicit InputLine(CommandHistory& history) : history_(history) {}

    // A character key (a control code above, or a printable byte of text).
    Action character(int code, bool ctrl, int repeat = 1);
    // Printable text as typed or pasted: inserted at the caret.
    void insert(const std::string& text);
    Action key(Key key, bool ctrl);

    const std::string& text() const { return text_; }
    int caret() const { return caret_; }
    // Characters before the caret: its column on the screen.
    int caretColumn() const;
    void setText(const std::string& text);
    // Places the caret before the character at `column`, clamped to the line.
    void setCaretColumn(int column);
    void clear() { setText(""); }

    int promptCounter() const { return promptCounter_; }
    void advancePrompt() { ++promptCounter_; }
    std::string prompt() const { return std::to_string(promptCounter_) + ">"; }
    // The text starts one column after the prompt.
    int promptOffset() const { return int(prompt().size()) + 1; }
    // The echo of the completed line in the output: green prompt, the line
    // itself blue and literal.
    std::string echoText() const { return "{g " + prompt() + " {b:" + text_; }

    // Per byte of the text: whether it lies in a quoted or parenthesised
    // stretch (drawn in green).
    std::vector<bool> highlightedStretches() const;
    // The partner of a bracket just before the caret, when the line holds at
    // least two opening brackets; -1 otherwise.
    int bracketPartner() const;

  private:
    void moveLeft();
    void moveRight();
    void tab();
    void wrapInParentheses();
    void jumpLeft();
    void jumpRight();
    void recall(const std::string& entry);

    CommandHistory& history_;
    std::string text_;
    int caret_ = 0;
    int promptCounter_ = 1;
    bool lastKeyWalked_ = false; // the previous key event was Up or Down
};

} // namespace vemlor
