// The debugger's model: the process-wide state (stops enabled, stepping,
// the last command), the texts of a stop (title, the two columns, the source
// excerpt) and what each command does. The platform's DebuggerView shows a
// stop and answers with a command; nothing here knows how.
//
// The two flags are the interpreter's own (blocks read the stepping flag
// after every statement), so the model works on them through references.
#pragma once

#include "core/Value.h"
#include "platform/DebuggerView.h"

#include <atomic>
#include <string>
#include <vector>

namespace vemlor {

struct DebugLocal {
    std::string name;
    const Value* value = nullptr;
};

// Where execution stands at a stop.
struct DebugStop {
    int line = 0;
    std::string function;         // empty outside user functions
    const Value* value = nullptr; // the breakpoint's value, or none
    std::vector<DebugLocal> locals;
    std::string sourceFile; // empty for typed input
};

// One short line about a value, for the right column: "3", "\"text\"",
// "double 4 x 4, min 0, max 1", "list of 3 items", "[]".
std::string valueSummary(const Value& value);
// One line about how a value is held: type, kind, shape and the bytes of
// its elements ("double numeric 2 x 3, 48 bytes").
std::string valueDescription(const Value& value);
// Everything a view shows for `stop`.
DebugStopView describeStop(const DebugStop& stop, bool stepping);

// Source lines shown around `line`: five before it to ten after it.
inline constexpr int kLinesBefore = 5;
inline constexpr int kLinesAfter = 10;

class Debugger {
  public:
    Debugger(std::atomic<bool>& enabled, std::atomic<bool>& stepping)
        : enabled_(enabled), stepping_(stepping) {}

    // Null: stops do nothing.
    void setView(DebuggerView* view) { view_ = view; }
    // Whether a stop now would be shown (callers skip gathering it otherwise).
    bool wouldStop() const { return view_ && enabled_.load(std::memory_order_relaxed); }
    // Each input starts with stops enabled and without stepping.
    void startInput();
    // Shows the stop and waits for a command, when stops are enabled and
    // there is a view. Halt raises "execution halted from debugger"; an
    // interrupt during the wait raises it as an interrupt.
    void stop(const DebugStop& stop);
    // Stops on or off for the rest of the input; returns the previous state.
    bool setEnabled(bool on);
    // Stops after the next statement (a breakpoint written as a call).
    void startStepping();
    bool stepping() const { return stepping_.load(std::memory_order_relaxed); }
    // The command that ended the last wait.
    DebugCommand lastCommand() const { return lastCommand_; }

  private:
    void apply(DebugCommand command);

    std::atomic<bool>& enabled_;
    std::atomic<bool>& stepping_;
    DebuggerView* view_ = nullptr;
    DebugCommand lastCommand_ = DebugCommand::Continue;
};

} // namespace vemlor
