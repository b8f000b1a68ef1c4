// The interpreter's own input: the text to execute next, typed, pasted or
// read from scripts opened with `use`.
//
// current is always present. Sources suspended by a nested `use` are resumed
// when the script ends; when an in-memory source resumes, the directory that
// was current when it started the script becomes current again.
#pragma once

#include "frontend/InputSource.h"
#include "frontend/ScriptLocator.h"

#include <deque>
#include <memory>
#include <string>

namespace vemlor {

class UserInput : public LexInput {
  public:
    explicit UserInput(ScriptLocator& locator);

    bool getLine(std::string& out, bool throwAtEnd, bool raw) override;
    bool isInteractive() const override { return current_->isInteractive(); }
    int lineNumber() const override { return current_->lineNumber(); }
    std::string sourceName() const override { return current_->sourceName(); }
    int blockCommentStart() const override { return current_->blockCommentStart(); }
    int indentPrefixLength() const override { return current_->indentPrefixLength(); }

    // mode '>' with a typed source current replaces its text; any other case
    // suspends current and reads the text next ('s' selection, 'c' clipboard).
    void setText(char mode, std::string text);
    // Opens a script as the new current source. Raises RuntimeError
    // "could not find script file 'x.vml'" (or "open"), with "line N: " in
    // front when the `use` stands in a script file.
    void useFile(const std::string& name);
    // Drops everything pending after a failed input; the line number and the
    // last text stay for the error report.
    void reset();

    // The line last delivered, for error reports.
    const std::string& lastText() const { return lastText_; }
    // True while any source still has text to read.
    bool hasPendingInput() const;

  private:
    ScriptLocator& locator_;
    std::unique_ptr<InputSource> current_;
    std::deque<std::unique_ptr<InputSource>> suspended_;
    std::string lastText_;

    void resumeSuspended();
    void startUse(const std::string& line, size_t lineStart, size_t useStart);
};

} // namespace vemlor
