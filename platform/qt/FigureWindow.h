// One figure's window: it draws the latest copy of its figure at whatever
// size the user gives it, and tells its owner when it is moved, resized or
// closed.
#pragma once

#include "platform/FigureWindows.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace vemlor {

class FigureWindow final : public QWidget {
  public:
    struct Listener {
        std::function<void(int number, const ScreenRect& clientArea)> placed;
        std::function<void(int number)> closed;
    };
    FigureWindow(int number, Listener listener);

    int number() const { return number_; }
    void setDrawing(std::shared_ptr<FigureDrawing> drawing);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void reportPlace();

    int number_;
    Listener listener_;
    std::shared_ptr<FigureDrawing> drawing_;
};

} // namespace vemlor
