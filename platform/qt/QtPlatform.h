// The desktop platform: message boxes and the system clipboard through Qt.
// Both may be used from the thread that runs an input: the call is then
// carried out on the window thread, which the worker waits for.
#pragma once

#include "platform/Platform.h"

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

  private:
    QtDialogs dialogs_;
    QtClipboard clipboard_;
    ProgramPaths paths_;
};

} // namespace vemlor
