#include "platform/qt/FigureWindow.h"

#include "platform/qt/QtCanvas.h"

#include <QCloseEvent>
#include <QPainter>

namespace vemlor {

FigureWindow::FigureWindow(int number, Listener listener)
    : number_(number), listener_(std::move(listener)) {
    setWindowTitle(QStringLiteral("Figure %1").arg(number));
    // Frames paint their own backgrounds; the rest of the window is white.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FigureWindow::setDrawing(std::shared_ptr<FigureDrawing> drawing) {
    drawing_ = std::move(drawing);
    update();
}

void FigureWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!drawing_) return;
    QtCanvas canvas(painter, true);
    drawing_->draw(canvas, width(), height());
}

void FigureWindow::reportPlace() {
    QRect client = geometry();
    if (listener_.placed)
        listener_.placed(number_, {client.x(), client.y(), client.width(), client.height()});
}

void FigureWindow::resizeEvent(QResizeEvent*) {
    reportPlace();
}

void FigureWindow::moveEvent(QMoveEvent*) {
    reportPlace();
}

void FigureWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (listener_.closed) listener_.closed(number_);
}

} // namespace vemlor
