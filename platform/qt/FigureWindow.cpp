#include "platform/qt/FigureWindow.h"

#include "platform/qt/QtCanvas.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

namespace vemlor {

namespace {

using Mouse = FigureWindowEvent::Mouse;

QString fromText(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QWidget* makeControl(const FigureControl& control, QWidget* parent,
                     const std::function<void()>& pressed) {
    QWidget* made = nullptr;
    if (control.type == 'e') {
        made = new QLineEdit(fromText(control.label), parent);
    } else if (control.type == 'h') {
        made = new QLabel(fromText(control.label), parent);
    } else {
        auto* button = new QPushButton(fromText(control.label), parent);
        QObject::connect(button, &QPushButton::clicked, button, pressed);
        made = button;
    }
    made->show();
    return made;
}

// The code a key reports: its character for printable keys, else a small
// code of its own (arrows 37 ... 40, Enter 13, Escape 27, as keyboards
// number them), so that scripts can tell keys apart.
int keyCode(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Space:
        return 32;
    default:
        break;
    }
    int key = event->key();
    return key >= 'A' && key <= 'Z' ? key : 0;
}

} // namespace

FigureWindow::FigureWindow(int number, Listener listener)
    : number_(number), listener_(std::move(listener)), view_(new FigureView(*this)) {
    setWindowTitle(QStringLiteral("Figure %1").arg(number));
    setCentralWidget(view_);
    setFocusPolicy(Qt::StrongFocus);
}

FigureWindow::~FigureWindow() = default;

void FigureWindow::setDrawing(std::shared_ptr<FigureDrawing> drawing) {
    drawing_ = std::move(drawing);
    updateMenus();
    updateControls();
    view_->update();
}

void FigureWindow::placeClientArea(const ScreenRect& place) {
    int menuHeight = menuBar()->isVisible() ? menuBar()->sizeHint().height() : 0;
    setGeometry(place.left, place.top - menuHeight, place.width, place.height + menuHeight);
}

void FigureWindow::updateControls() {
    std::vector<FigureControl> wanted = drawing_
                                            ? drawing_->controls(view_->width(), view_->height())
                                            : std::vector<FigureControl>{};
    std::map<int, QWidget*> kept;
    for (const FigureControl& control : wanted) {
        auto it = controls_.find(control.id);
        QWidget* widget = nullptr;
        if (it != controls_.end()) {
            widget = it->second;
            controls_.erase(it);
        } else {
            int id = control.id;
            std::string command = control.command;
            widget = makeControl(control, view_, [this, id, command] {
                FigureWindowEvent event;
                event.kind = FigureWindowEvent::Kind::Control;
                event.control = id;
                report(event);
                if (!command.empty() && listener_.command) listener_.command(command);
            });
        }
        widget->setGeometry(control.place.left, control.place.top, control.place.width(),
                            control.place.height());
        kept[control.id] = widget;
    }
    for (auto& [id, widget] : controls_)
        delete widget; // items that went away
    controls_ = std::move(kept);
}

void FigureWindow::updateMenus() {
    std::vector<FigureMenu> wanted = drawing_ ? drawing_->menus() : std::vector<FigureMenu>{};
    auto same = [](const FigureMenu& a, const FigureMenu& b) {
        return a.heading == b.heading && a.items == b.items && a.commands == b.commands;
    };
    if (std::equal(wanted.begin(), wanted.end(), menus_.begin(), menus_.end(), same)) return;
    menus_ = std::move(wanted);
    menuBar()->clear();
    for (const FigureMenu& m : menus_) {
        QMenu* drop = menuBar()->addMenu(fromText(m.heading));
        for (size_t k = 0; k < m.items.size(); ++k) {
            std::string command = m.commands[k];
            connect(drop->addAction(fromText(m.items[k])), &QAction::triggered, this,
                    [this, command] {
                        if (listener_.command) listener_.command(command);
                    });
        }
    }
    menuBar()->setVisible(!menus_.empty());
}

void FigureWindow::report(FigureWindowEvent event) {
    event.figure = number_;
    if (listener_.input) listener_.input(event);
}

void FigureWindow::reportPlace() {
    QPoint corner = view_->mapToGlobal(QPoint(0, 0));
    if (listener_.placed)
        listener_.placed(number_, {corner.x(), corner.y(), view_->width(), view_->height()});
}

void FigureWindow::moveEvent(QMoveEvent*) {
    reportPlace();
}

void FigureWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (listener_.closed) listener_.closed(number_);
}

void FigureWindow::keyPressEvent(QKeyEvent* event) {
    FigureWindowEvent down;
    down.kind = FigureWindowEvent::Kind::Key;
    down.key = FigureWindowEvent::Key::Down;
    down.code = keyCode(event);
    if (down.code) report(down);
    QString text = event->text();
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() < 256) {
        FigureWindowEvent character = down;
        character.key = FigureWindowEvent::Key::Character;
        character.code = text[0].unicode();
        report(character);
    }
}

void FigureWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    FigureWindowEvent up;
    up.kind = FigureWindowEvent::Kind::Key;
    up.key = FigureWindowEvent::Key::Up;
    report(up);
}

FigureView::FigureView(FigureWindow& window) : window_(window) {
    // Frames paint their own backgrounds; the rest of the view is white.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void FigureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!window_.drawing_) return;
    QtCanvas canvas(painter, true);
    window_.drawing_->draw(canvas, width(), height());
}

void FigureView::resizeEvent(QResizeEvent*) {
    window_.updateControls();
    window_.reportPlace();
}

void FigureView::reportMouse(Mouse what, const QMouseEvent* event) {
    FigureWindowEvent report;
    report.kind = FigureWindowEvent::Kind::Mouse;
    report.mouse = what;
    QPoint at = event->position().toPoint();
    report.x = at.x();
    report.y = at.y();
    window_.report(report);
}

void FigureView::mousePressEvent(QMouseEvent* event) {
    window_.setFocus();
    if (event->button() == Qt::LeftButton) reportMouse(Mouse::LeftDown, event);
    if (event->button() == Qt::RightButton) reportMouse(Mouse::RightDown, event);
}

void FigureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) reportMouse(Mouse::LeftUp, event);
    if (event->button() == Qt::RightButton) reportMouse(Mouse::RightUp, event);
}

void FigureView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) reportMouse(Mouse::LeftDouble, event);
}

void FigureView::mouseMoveEvent(QMouseEvent* event) {
    reportMouse(Mouse::Move, event);
}

} // namespace vemlor
