// A platform for tests: the dialogs a test supplies, a clipboard in memory
// and the paths the test chooses.
#pragma once

#include "platform/Platform.h"
#include "platform/terminal/TerminalPlatform.h"

namespace vemlor::test {

class TestPlatform : public Platform {
  public:
    TestPlatform(Dialogs& dialogs, ProgramPaths paths = {})
        : dialogs_(dialogs), paths_(std::move(paths)), imageWriter_(paths_) {}
    Dialogs& dialogs() override { return dialogs_; }
    Clipboard& clipboard() override { return clipboard_; }
    const ProgramPaths& paths() const override { return paths_; }
    ImageWriter& imageWriter() override { return imageWriter_; }
    void setPaths(ProgramPaths paths) { paths_ = std::move(paths); }

  private:
    Dialogs& dialogs_;
    MemoryClipboard clipboard_;
    ProgramPaths paths_;
    ModulePngWriter imageWriter_;
};

} // namespace vemlor::test
