// The desktop platform: message boxes, the system clipboard and PNG
// pictures through Qt.
// Both may be used from the thread that runs an input: the call is then
// carried out on the window thread, which the worker waits for.
#pragma once

#include "platform/Platform.h"
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

  private:
    QtDialogs dialogs_;
    QtImageWriter imageWriter_;
    QtClipboard clipboard_;
    ProgramPaths paths_;
};

} // namespace vemlor
