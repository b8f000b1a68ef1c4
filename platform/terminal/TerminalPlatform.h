// The headless platform: dialogs on the terminal (or answered yes when there
// is nobody to ask), a clipboard kept in memory for the life of the process,
// PNG pictures through a module loaded when needed, the debugger's view
// when the session gives it one, and the program paths
// of this process.
#pragma once

#include "platform/Platform.h"
#include "platform/terminal/ModulePngWriter.h"
#include "platform/terminal/TerminalDialogs.h"

namespace vemlor {

class MemoryClipboard : public Clipboard {
  public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }

  private:
    std::string text_;
};

// The paths of the running executable: its directory (from /proc/self/exe)
// and $VEMLOR_HOME, when set, as the state directory.
ProgramPaths processPaths();

// The process's working directory at the time of the call.
std::string workingDirectory();

class TerminalPlatform : public Platform {
  public:
    TerminalPlatform(TerminalDialogs::Printer printer, bool interactive, ProgramPaths paths)
        : dialogs_(std::move(printer), interactive), paths_(std::move(paths)),
          imageWriter_(paths_) {}
    Dialogs& dialogs() override { return dialogs_; }
    Clipboard& clipboard() override { return clipboard_; }
    const ProgramPaths& paths() const override { return paths_; }
    ImageWriter& imageWriter() override { return imageWriter_; }
    DebuggerView* debuggerView() override { return debugger_; }
    // Where stops are shown (owned by the caller); none by default, so that
    // tests and tools never wait at a breakpoint.
    void setDebuggerView(DebuggerView* view) { debugger_ = view; }

  private:
    TerminalDialogs dialogs_;
    DebuggerView* debugger_ = nullptr;
    MemoryClipboard clipboard_;
    ProgramPaths paths_;
    ModulePngWriter imageWriter_;
};

} // namespace vemlor
