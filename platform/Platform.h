// What the engine asks of the machine it runs on: message boxes, the
// clipboard, pictures of figures, the debugger's window and where the
// program and its state files live. An interpreter instance reaches these
// only through the Platform it was set up with, so the engine never depends
// on a windowing system; the backends (terminal, desktop) implement it and
// only the executable links them.
#pragma once

#include "platform/Clipboard.h"
#include "platform/DebuggerView.h"
#include "platform/Dialogs.h"
#include "platform/FigureWindows.h"

#include <string>

namespace vemlor {

struct ProgramPaths {
    std::string programDirectory; // the library folders lie below it; no trailing "/"
    std::string stateDirectory;   // home of the three state files
};

class Platform {
  public:
    virtual ~Platform() = default;
    virtual Dialogs& dialogs() = 0;
    virtual Clipboard& clipboard() = 0;
    virtual const ProgramPaths& paths() const = 0;
    virtual ImageWriter& imageWriter() = 0;
    // Where breakpoints stop; null where nobody could answer (no stops).
    virtual DebuggerView* debuggerView() { return nullptr; }
};

} // namespace vemlor
