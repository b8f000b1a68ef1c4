// PNG pictures for the terminal program: the Qt painting module beside the
// executable is loaded on the first picture, so that sessions that make
// none never load Qt.
#pragma once

#include "platform/FigureWindows.h"
#include "platform/Platform.h"

#include <string>

namespace vemlor {

class ModulePngWriter final : public ImageWriter {
  public:
    // The module is looked for in the program directory of `paths`, read
    // when the first picture is made.
    explicit ModulePngWriter(const ProgramPaths& paths) : paths_(paths) {}
    std::string writePng(const std::string& path, FigureDrawing& drawing, int width,
                         int height) override;

  private:
    using WriteFunction = int (*)(const char*, FigureDrawing*, int, int, char*, size_t);
    const ProgramPaths& paths_;
    WriteFunction write_ = nullptr;
    std::string loadFailure_;
    bool tried_ = false;
};

} // namespace vemlor
