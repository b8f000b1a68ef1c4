// The terminal front end: an interactive session on a terminal (readline,
// numbered prompt, coloured output) or on a pipe (plain lines, no prompt),
// and the two batch modes.
#pragma once

#include <functional>
#include <string>

namespace vemlor {

class FigureWindows;

// The figure windows of a session on a display, and the lines their menus
// type into it.
struct TerminalFigures {
    FigureWindows* windows = nullptr;
    // A menu item's command waiting to be typed; false when none waits.
    std::function<bool(std::string&)> takeTypedLine;
};

// Runs an interactive session until the end of input; `script`, when not
// empty, runs first; figures are shown in windows when `figures` is given,
// and while the session waits for a line, what the user does in them
// calls the script's callbacks. Returns the process exit status.
int runTerminalSession(const std::string& script, const TerminalFigures* figures = nullptr);

// Batch modes: run a script file, or one typed input. No state file is read
// or written. Returns 1 when an error was reported, else 0.
int runScriptBatch(const std::string& file);
int runTextBatch(const std::string& text);

} // namespace vemlor
