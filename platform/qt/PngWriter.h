// Figures as PNG pictures, drawn by the same QPainter back end as their
// windows, long lines thinned alike: a picture has the pixels the window
// shows. QImage painting needs no display and may run on the interpreter's
// thread.
#pragma once

#include "platform/FigureWindows.h"

namespace vemlor {

// Returns an empty text on success, otherwise why the file was not written.
std::string writeFigurePng(const std::string& path, FigureDrawing& drawing, int width, int height);

class QtImageWriter final : public ImageWriter {
  public:
    std::string writePng(const std::string& path, FigureDrawing& drawing, int width,
                         int height) override {
        return writeFigurePng(path, drawing, width, height);
    }
};

} // namespace vemlor
