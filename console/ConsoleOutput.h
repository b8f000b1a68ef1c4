// The console output store: a ring of the last 350 output lines (markup text)
// and the one print entry through which everything reaches the console.
//
// Line numbers only grow; line n is readable while n <= currentLineNumber()
// and fewer than 350 lines behind it. The current line is the one being
// written; ending it hands its final text to the line listener and starts a
// fresh, empty line in the next ring slot.
#pragma once

#include "core/OutputSink.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vemlor {

class ConsoleOutput : public OutputSink {
  public:
    static constexpr int kRingSize = 350;

    ConsoleOutput();

    // Mode 1 (markup) splits the text at newlines; mode 0 stores text holding
    // a markup character behind "{;", mode 2 always behind "{:".
    void print(std::string_view text, bool newLine = true, int mode = PRINT_MARKUP) override;
    char setItemSeparator(char separator) override;
    char itemSeparator() const { return itemSeparator_; }

    // Text of line `number`; empty when it is not written yet or too old.
    const std::string& line(long number) const;
    long currentLineNumber() const { return current_; }

    // Wrapping width in characters; 0 turns wrapping off.
    void setLineWidth(int width) { lineWidth_ = width; }
    int lineWidth() const { return lineWidth_; }
    // Tabulated output: texts appended to a non-empty line start at the next
    // multiple of `width`; 0 turns it off. `fill` pads the gap.
    void setColumnWidth(int width, char fill);

    // Ends the current line when it holds anything.
    void endLine();
    // Called with the final text of every line as it is ended.
    void setLineListener(std::function<void(const std::string&)> listener) {
        listener_ = std::move(listener);
    }

  private:
    std::string& currentLine() { return ring_[size_t(current_ % kRingSize)]; }
    void append(std::string_view text);
    void appendWrapped(std::string_view text);
    void padToNextColumn(size_t target);
    void newLine();

    std::vector<std::string> ring_;
    long current_ = 0;
    int lineWidth_ = 0;
    int columnWidth_ = 0;
    char fill_ = ' ';
    char itemSeparator_ = ',';
    std::function<void(const std::string&)> listener_;
};

} // namespace vemlor
