// What the debugger shows at a stop, and the window (or terminal prompt)
// that shows it and waits for the user's choice. The engine fills a
// DebugStopView and blocks in waitForCommand() until the user answers.
#pragma once

#include <string>
#include <vector>

namespace vemlor {

enum class DebugCommand {
    Step,     // stop again after the next statement
    Continue, // run on to the next breakpoint
    Halt,     // abandon the input with an error
    Off,      // no more stops during this input (Escape, closing the window)
};

struct DebugStopView {
    // "Breakpoint at line 3 in f" or "Stepping at line 4".
    std::string title;
    // The two columns, row by row: a label ("expr value", "Locals:", a local's
    // name) and the summary of its value (empty where there is none).
    std::vector<std::string> names;
    std::vector<std::string> values;
    // Source lines from `firstLine` on; with firstLine 0 a message instead
    // ("could not open file" and the file's name).
    std::vector<std::string> excerpt;
    int firstLine = 0;
    int currentLine = 0;
};

class DebuggerView {
  public:
    virtual ~DebuggerView() = default;
    // Shows the stop and returns the user's command; may be called from a
    // thread other than the one that draws windows.
    virtual DebugCommand waitForCommand(const DebugStopView& stop) = 0;
};

} // namespace vemlor
