#include "platform/qt/ConsoleWidget.h"

#include "platform/qt/MarkupPainter.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <optional>

namespace vemlor {

namespace {

const QColor kBackground(255, 255, 255);
const QColor kSelection(253, 253, 150);
const QColor kInputText(0, 0, 100);
const QColor kPromptColour(0, 100, 0);
const QColor kStretchColour(0, 130, 0);
const QColor kPartnerColour(170, 0, 0);
constexpr int kWheelLines = 3;

// A monospaced face Debian ships with its base fonts, or the system's fixed
// font when it is missing.
QFont consoleFont(int pixels) {
    QFont font("DejaVu Sans Mono");
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixels);
    return font;
}

std::optional<InputLine::Key> editingKey(int key) {
    switch (key) {
    case Qt::Key_End:
        return InputLine::Key::End;
    case Qt::Key_Home:
        return InputLine::Key::Home;
    case Qt::Key_Left:
        return InputLine::Key::Left;
    case Qt::Key_Right:
        return InputLine::Key::Right;
    case Qt::Key_Up:
        return InputLine::Key::Up;
    case Qt::Key_Down:
        return InputLine::Key::Down;
    case Qt::Key_Delete:
        return InputLine::Key::Delete;
    case Qt::Key_F5:
        return InputLine::Key::F5;
    case Qt::Key_F9:
        return InputLine::Key::F9;
    default:
        return std::nullopt;
    }
}

// Keys that arrive as control characters.
int controlCode(int key, bool ctrl) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return InputLine::kEnter;
    case Qt::Key_Backspace:
        return InputLine::kBackspace;
    case Qt::Key_Tab:
        return InputLine::kTab;
    case Qt::Key_Escape:
        return InputLine::kEscape;
    default:
        break;
    }
    if (!ctrl) return 0;
    switch (key) {
    case Qt::Key_B:
        return InputLine::kCtrlB;
    case Qt::Key_BracketRight:
        return InputLine::kCtrlBracket;
    case Qt::Key_C:
        return InputLine::kCtrlC;
    case Qt::Key_V:
        return InputLine::kCtrlV;
    default:
        return 0;
    }
}

} // namespace

ConsoleWidget::ConsoleWidget(CommandHistory& history, QWidget* parent)
    : QAbstractScrollArea(parent), input_(history) {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setFontPixels(20);
}

void ConsoleWidget::setFontPixels(int pixels) {
    font_ = consoleFont(pixels);
    QFontMetrics metrics(font_);
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    lineHeight_ = std::max(1, metrics.height());
    updateLayout();
}

int ConsoleWidget::charactersPerLine() const {
    return std::max(16, (viewport()->width() - charWidth_) / charWidth_);
}

int ConsoleWidget::bandTop() const {
    return std::max(0, viewport()->height() - bandHeight());
}

void ConsoleWidget::updateLayout() {
    screen_.setLinesPerPage(bandTop() / lineHeight_);
    updateScrollBar();
    viewport()->update();
}

void ConsoleWidget::updateScrollBar() {
    adjustingScrollBar_ = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(int(screen_.oldestLine()), int(screen_.lastFirstVisible()));
    bar->setPageStep(screen_.linesPerPage());
    bar->setSingleStep(1);
    bar->setValue(int(screen_.firstVisible()));
    adjustingScrollBar_ = false;
}

void ConsoleWidget::scrollContentsBy(int, int) {
    if (adjustingScrollBar_) return;
    screen_.scrollTo(verticalScrollBar()->value());
    viewport()->update();
}

void ConsoleWidget::postLine(const std::string& markupLine) {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(markupLine);
    if (showQueued_) return; // one pending call shows them all
    showQueued_ = true;
    QMetaObject::invokeMethod(this, &ConsoleWidget::showPostedLines, Qt::QueuedConnection);
}

void ConsoleWidget::showPostedLines() {
    std::deque<std::string> lines;
    {
        std::lock_guard lock(postedMutex_);
        lines.swap(posted_);
        showQueued_ = false;
    }
    if (lines.empty()) return;
    for (const std::string& line : lines)
        screen_.append(line);
    updateScrollBar();
    viewport()->update();
}

void ConsoleWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateLayout();
}

void ConsoleWidget::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), kBackground);
    drawOutput(painter);
    drawBand(painter);
}

void ConsoleWidget::drawOutput(QPainter& painter) {
    int right = viewport()->width();
    painter.setClipRect(0, 0, right, bandTop());
    for (int row = 0; row < screen_.linesPerPage(); ++row) {
        long n = screen_.firstVisible() + row;
        if (n >= screen_.lineCount()) break;
        int top = 1 + row * lineHeight_;
        if (screen_.selected(n)) painter.fillRect(0, top, right, lineHeight_, kSelection);
        drawMarkupLine(painter, font_, charWidth_ / 2, top, right, screen_.line(n));
    }
    painter.setClipping(false);
}

void ConsoleWidget::drawBand(QPainter& painter) {
    int top = bandTop();
    painter.fillRect(0, top, viewport()->width(), bandHeight(), kBackground);
    painter.setPen(QColor(220, 220, 220));
    painter.drawLine(0, top, viewport()->width(), top);
    QFontMetrics metrics(font_);
    int baseline = top + 2 + metrics.ascent();
    painter.setFont(font_);
    painter.setPen(kPromptColour);
    painter.drawText(0, baseline, QString::fromStdString(input_.prompt()));
    const std::string& text = input_.text();
    std::vector<bool> stretches = input_.highlightedStretches();
    int partner = input_.bracketPartner();
    // A line wider than the band scrolls sideways to keep the caret in view.
    int room = std::max(1, viewport()->width() / charWidth_ - input_.promptOffset() - 1);
    bandShift_ = std::max(0, input_.caretColumn() - room + 1);
    int column = 0;
    for (size_t i = 0; i < text.size(); ++column) {
        size_t length = 1;
        while (i + length < text.size() &&
               (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        if (column >= bandShift_) {
            QColor colour = int(i) == partner ? kPartnerColour
                            : stretches[i]    ? kStretchColour
                                              : kInputText;
            painter.setPen(colour);
            painter.drawText((input_.promptOffset() + column - bandShift_) * charWidth_, baseline,
                             visibleText(text.substr(i, length), false));
        }
        i += length;
    }
    int x = (input_.promptOffset() + input_.caretColumn() - bandShift_) * charWidth_ + 1;
    painter.fillRect(x, top + 3, std::max(1, charWidth_ / 4), lineHeight_ - 2, kInputText);
}

bool ConsoleWidget::focusNextPrevChild(bool) {
    return false; // Tab belongs to the input line
}

void ConsoleWidget::act(InputLine::Action action) {
    switch (action) {
    case InputLine::Action::LineComplete: {
        std::string text = input_.text();
        std::string echo = input_.echoText();
        input_.clear();
        input_.advancePrompt();
        emit lineCompleted(text, echo);
        break;
    }
    case InputLine::Action::Copy:
        copySelection();
        break;
    case InputLine::Action::Paste:
        pasteText(QGuiApplication::clipboard()->text().toStdString());
        break;
    case InputLine::Action::RunClipboard:
        emit runClipboardRequested();
        break;
    case InputLine::Action::F5:
    case InputLine::Action::None:
        break;
    }
    viewport()->update();
}

void ConsoleWidget::pressKey(InputLine::Key key) {
    act(input_.key(key, QGuiApplication::keyboardModifiers() & Qt::ControlModifier));
}

void ConsoleWidget::pressCharacter(int code) {
    act(input_.character(code, false));
}

void ConsoleWidget::typeLine(const std::string& text) {
    for (unsigned char c : text)
        act(input_.character(c, false));
    act(input_.character(InputLine::kEnter, false));
}

void ConsoleWidget::pasteText(const std::string& text) {
    std::string line;
    for (char c : text)
        if (c != '\n' && c != '\r') line += c;
    input_.insert(line);
    viewport()->update();
}

void ConsoleWidget::copySelection() {
    std::string text = screen_.selectionText();
    if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void ConsoleWidget::keyPressEvent(QKeyEvent* event) {
    QString typed = event->text();
    if (keyWanted_ && typed.size() == 1 && typed[0].unicode() < 256 &&
        (typed[0].unicode() >= 32 || typed[0] == '\r')) {
        std::exchange(keyWanted_, nullptr)(std::string(1, char(typed[0].unicode())));
        return;
    }
    bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (std::optional<InputLine::Key> key = editingKey(event->key())) {
        act(input_.key(*key, ctrl));
        return;
    }
    if (int code = controlCode(event->key(), ctrl)) {
        act(input_.character(code, ctrl));
        return;
    }
    QString text = event->text();
    if (ctrl || text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    input_.insert(text.toStdString());
    viewport()->update();
}

long ConsoleWidget::lineAt(int y) const {
    long row = std::max(0, y - 1) / lineHeight_;
    return std::min(screen_.firstVisible() + row, screen_.lineCount() - 1);
}

void ConsoleWidget::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (event->button() != Qt::LeftButton) return;
    QPoint at = event->position().toPoint();
    if (at.y() >= bandTop()) {
        input_.setCaretColumn(
            std::max(0, at.x() / charWidth_ - input_.promptOffset() + bandShift_));
    } else if (screen_.lineCount() > 0) {
        long line = lineAt(at.y());
        pickedWord_ = topicWordAt(screen_.line(line), columnAt(at.x()));
        if (pickedWord_.empty()) screen_.select(line);
    }
    viewport()->update();
}

// Releasing the button over a topic word asks for help on it.
void ConsoleWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pickedWord_.empty()) return;
    std::string word = std::move(pickedWord_);
    pickedWord_.clear();
    act(input_.character(InputLine::kEscape, false));
    typeLine("?" + word);
}

// A double click on an echoed input runs that input again.
void ConsoleWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    int y = event->position().toPoint().y();
    std::string command;
    if (event->button() != Qt::LeftButton || y >= bandTop() || screen_.lineCount() == 0 ||
        !echoedCommand(screen_.line(lineAt(y)), command))
        return;
    input_.setText(command);
    act(input_.character(InputLine::kEnter, false));
}

void ConsoleWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    int y = event->position().toPoint().y();
    if (y < bandTop() && screen_.lineCount() > 0) {
        screen_.extendSelection(lineAt(y));
        viewport()->update();
    }
}

void ConsoleWidget::wheelEvent(QWheelEvent* event) {
    int delta = event->angleDelta().y();
    if (delta == 0) return;
    if (event->modifiers() == Qt::ControlModifier) {
        emit zoomRequested(delta > 0 ? 1 : -1);
    } else {
        screen_.scrollBy(delta > 0 ? -kWheelLines : kWheelLines);
        updateScrollBar();
        viewport()->update();
    }
    event->accept();
}

} // namespace vemlor
