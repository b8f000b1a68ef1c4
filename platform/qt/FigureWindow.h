// One figure's window: a view that draws the latest copy of its figure at
// whatever size the user gives it, the figure's controls and menu bar, and
// the mouse, keys, controls and menu reported to its owner.
#pragma once

#include "platform/FigureWindows.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

namespace vemlor {

class FigureView;

class FigureWindow final : public QMainWindow {
  public:
    struct Listener {
        std::function<void(int number, const ScreenRect& clientArea)> placed;
        std::function<void(int number)> closed;
        std::function<void(const FigureWindowEvent& event)> input;
        std::function<void(const std::string& command)> command; // a menu item's
    };
    FigureWindow(int number, Listener listener);
    ~FigureWindow() override;

    int number() const { return number_; }
    void setDrawing(std::shared_ptr<FigureDrawing> drawing);
    // Places the client area (the view, below any menu bar) on the screen.
    void placeClientArea(const ScreenRect& place);
    FigureView& view() { return *view_; }

  protected:
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    friend class FigureView;
    void reportPlace();
    void report(FigureWindowEvent event);
    void updateControls();
    void updateMenus();

    int number_;
    Listener listener_;
    FigureView* view_; // owned by the window as its central widget
    std::shared_ptr<FigureDrawing> drawing_;
    std::map<int, QWidget*> controls_; // children of the view, by item id
    std::vector<FigureMenu> menus_;
};

// The client area: draws the figure and reports the mouse.
class FigureView final : public QWidget {
  public:
    explicit FigureView(FigureWindow& window);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void reportMouse(FigureWindowEvent::Mouse what, const QMouseEvent* event);
    FigureWindow& window_;
};

} // namespace vemlor
