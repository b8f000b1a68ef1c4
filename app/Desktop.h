// The desktop program: the primary instance's main window and the Qt event
// loop, started when `vemlor` runs without options on a display.
#pragma once

#include <string>

namespace vemlor {

// Exit status of runDesktop when there is no display to open a window on;
// the caller then runs the terminal session instead.
inline constexpr int kNoDisplay = -1;

// Runs the desktop program until its primary window closes; `script`, when
// not empty, runs first. Returns the process exit status, or kNoDisplay
// without touching the terminal when no window can be shown.
int runDesktop(const std::string& script);

} // namespace vemlor
