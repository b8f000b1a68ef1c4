#include "platform/qt/PngWriter.h"

#include "platform/qt/QtCanvas.h"

#include <QImage>
#include <QImageWriter>

namespace vemlor {

std::string writeFigurePng(const std::string& path, FigureDrawing& drawing, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return "out of memory";
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QtCanvas canvas(painter, true);
        drawing.draw(canvas, width, height);
    }
    QImageWriter writer(QString::fromStdString(path), "png");
    if (!writer.write(image)) {
        bool opened = writer.error() != QImageWriter::DeviceError;
        return opened ? "writing to figure file failed" : "cannot open " + path;
    }
    return {};
}

} // namespace vemlor
