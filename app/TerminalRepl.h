// The terminal front end: an interactive session on a terminal (readline,
// numbered prompt, coloured output) or on a pipe (plain lines, no prompt),
// and the two batch modes.
#pragma once

#include <string>

namespace vemlor {

class FigureWindows;

// Runs an interactive session until the end of input; `script`, when not
// empty, runs first; figures are shown in `figureWindows` when given.
// Returns the process exit status.
int runTerminalSession(const std::string& script, FigureWindows* figureWindows = nullptr);

// Batch modes: run a script file, or one typed input. No state file is read
// or written. Returns 1 when an error was reported, else 0.
int runScriptBatch(const std::string& file);
int runTextBatch(const std::string& text);

} // namespace vemlor
