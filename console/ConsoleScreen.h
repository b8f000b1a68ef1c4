// What the console window shows of the output: the last 350 lines it was
// given, which of them are on screen, and the selected lines. Platform-free;
// the window feeds it the lines the interpreter completes and draws from it.
//
// Line numbers count from 0 and only grow; line n is kept while fewer than
// 350 lines were added after it. While the view follows the output, the
// newest line stays on the last row of the page.
#pragma once

#include <string>
#include <vector>

namespace vemlor {

class ConsoleScreen {
  public:
    static constexpr int kRingSize = 350;

    ConsoleScreen() : ring_(kRingSize) {}

    void append(const std::string& markupLine);
    // Text of line n; empty when it is not kept.
    const std::string& line(long n) const;
    long lineCount() const { return count_; }
    long oldestLine() const { return count_ > kRingSize ? count_ - kRingSize : 0; }

    void setLinesPerPage(int lines);
    int linesPerPage() const { return linesPerPage_; }
    long firstVisible() const { return first_; }
    // The highest first visible line: the one that shows the newest line last.
    long lastFirstVisible() const;
    // Scrolls so that `first` is the top row (clamped); reaching the bottom
    // follows the output again.
    void scrollTo(long first);
    void scrollBy(long lines) { scrollTo(first_ + lines); }

    // Selection: a click selects one line, dragging extends it.
    void select(long line);
    void extendSelection(long line);
    void clearSelection() { selectFirst_ = selectEnd_ = 0; }
    bool selected(long line) const;
    // The selected lines as plain text, markup and leading prompts removed,
    // each ending in a newline; empty without a selection.
    std::string selectionText() const;

  private:
    std::vector<std::string> ring_;
    long count_ = 0;
    int linesPerPage_ = 1;
    long first_ = 0;
    bool following_ = true;
    long selectAnchor_ = 0;
    long selectFirst_ = 0;
    long selectEnd_ = 0;
};

// A console line as plain text without its leading prompt ("12> ").
std::string withoutPrompt(const std::string& plain);

// The topic word (a space-delimited word that begins an underlined "="
// segment) at a column of a markup line; empty when there is none.
std::string topicWordAt(const std::string& markupLine, int column);

// The command of an echoed input line ("{g 3> {b:x = 1" gives "x = 1");
// false for any other line.
bool echoedCommand(const std::string& markupLine, std::string& command);

} // namespace vemlor
