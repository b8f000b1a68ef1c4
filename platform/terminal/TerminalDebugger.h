// The debugger on a terminal (and on piped input): a stop is printed as
// text, then single-letter commands are read at a "debug>" prompt from the
// same input the session reads: s (or an empty line) steps, c continues,
// h halts, q turns debugging off for the rest of the input; anything else
// prints the four letters and asks again. The end of the input counts as q.
#pragma once

#include "platform/DebuggerView.h"

#include <functional>
#include <string>
#include <vector>

namespace vemlor {

// The lines printed for a stop: the title, the two columns side by side and
// the numbered source excerpt with the current line marked by ">".
std::vector<std::string> stopText(const DebugStopView& stop);

inline constexpr const char* kDebugHelp =
    "debug commands: s step (or Enter), c continue, h halt, q debugging off";

class TerminalDebugger : public DebuggerView {
  public:
    using Printer = std::function<void(const std::string&)>;
    // Reads one line after a prompt; false at the end of the input.
    using LineSource = std::function<bool(const std::string& prompt, std::string& line)>;
    TerminalDebugger(Printer printer, LineSource lines)
        : printer_(std::move(printer)), lines_(std::move(lines)) {}

    DebugCommand waitForCommand(const DebugStopView& stop) override;

  private:
    Printer printer_;
    LineSource lines_;
};

} // namespace vemlor
