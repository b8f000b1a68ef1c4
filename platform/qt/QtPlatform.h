// The desktop platform: message boxes, the system clipboard, PNG pictures
// and the debugger's window through Qt.
// Each may be used from the thread that runs an input: a dialog or the
// clipboard is then reached on the window thread, which the worker waits
// for; the debugger's window shows there while the worker waits for a
// command.
#pragma once

#include "platform/Platform.h"
#include "platform/qt/DebuggerWindow.h"
#include "platform/qt/PngWriter.h"

namespace vemlor {

class QtDialogs : public Dialogs {
  public:
    void inform(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
};

class QtClipboard : public Clipboard {
  public:
    std::string text() const override;
    void setText(const std::string& text) override;
};

class QtPlatform : public Platform {
  public:
    explicit QtPlatform(ProgramPaths paths) : paths_(std::move(paths)) {}
    Dialogs& dialogs() override { return dialogs_; }
    Clipboard& clipboard() override { return clipboard_; }
    const ProgramPaths& paths() const override { return paths_; }
    ImageWriter& imageWriter() override { return imageWriter_; }
    DebuggerView* debuggerView() override { return &debugger_; }
    QtDebuggerView& debugger() { return debugger_; }

  private:
    QtDialogs dialogs_;
    QtImageWriter imageWriter_;
    QtDebuggerView debugger_;
    QtClipboard clipboard_;
    ProgramPaths paths_;
};

} // namespace vemlor
