#include "platform/qt/DebuggerWindow.h"

#include "core/Interrupt.h"

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

namespace vemlor {

namespace {

// How often a waiting worker looks for an abort.
constexpr auto kAbortPoll = std::chrono::milliseconds(50);

QString joined(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines)
        list << QString::fromStdString(line);
    return list.join('\n');
}

bool interrupted() {
    return interruptRequested.load(std::memory_order_relaxed);
}

} // namespace

DebuggerWindow::DebuggerWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("debugger");
    setModal(false);
    resize(760, 520);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    names_ = new QLabel(this);
    values_ = new QLabel(this);
    for (QLabel* column : {names_, values_}) {
        column->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        column->setTextFormat(Qt::PlainText);
        top->addWidget(column);
    }
    values_->setMinimumWidth(140);
    source_ = new QPlainTextEdit(this);
    source_->setReadOnly(true);
    source_->setLineWrapMode(QPlainTextEdit::NoWrap);
    source_->setFrameShape(QFrame::StyledPanel);
    source_->setFrameShadow(QFrame::Sunken);
    source_->setFont(QFont("monospace"));
    source_->setFocusPolicy(Qt::ClickFocus);
    top->addWidget(source_, 1);
    layout->addLayout(top, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const std::pair<const char*, DebugCommand> commands[] = {{"Step", DebugCommand::Step},
                                                             {"Cont", DebugCommand::Continue},
                                                             {"Halt", DebugCommand::Halt}};
    for (const auto& [text, command] : commands) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        DebugCommand chosen = command;
        connect(button, &QPushButton::clicked, this, [this, chosen] { choose(chosen); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
}

void DebuggerWindow::showStop(const DebugStopView& stop) {
    setWindowTitle(QString::fromStdString(stop.title));
    names_->setText(joined(stop.names));
    values_->setText(joined(stop.values));
    QStringList lines;
    for (size_t i = 0; i < stop.excerpt.size(); ++i) {
        int number = stop.firstLine + int(i);
        QString line = QString::fromStdString(stop.excerpt[i]);
        if (stop.firstLine > 0)
            line = QString("%1%2  %3")
                       .arg(number == stop.currentLine ? ">" : " ")
                       .arg(number, 4)
                       .arg(line);
        lines << line;
    }
    source_->setPlainText(lines.join('\n'));
    // The current line in view, however far the excerpt scrolls.
    QTextBlock current = source_->document()->findBlockByNumber(stop.currentLine - stop.firstLine);
    if (stop.firstLine > 0 && current.isValid()) {
        source_->setTextCursor(QTextCursor(current));
        source_->ensureCursorVisible();
    }
    show();
    raise();
    activateWindow();
}

QString DebuggerWindow::names() const {
    return names_->text();
}
QString DebuggerWindow::values() const {
    return values_->text();
}
QString DebuggerWindow::source() const {
    return source_->toPlainText();
}

void DebuggerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        choose(DebugCommand::Step);
        return;
    }
    QDialog::keyPressEvent(event); // Escape ends in reject()
}

void DebuggerWindow::reject() {
    choose(DebugCommand::Off);
}

void DebuggerWindow::choose(DebugCommand command) {
    if (command != DebugCommand::Step) hide();
    if (chooser_) chooser_(command);
}

QtDebuggerView::QtDebuggerView() : context_(std::make_unique<QObject>()) {}

QtDebuggerView::~QtDebuggerView() = default;

void QtDebuggerView::present(const DebugStopView& stop) {
    if (!window_) {
        window_ = std::make_unique<DebuggerWindow>();
        window_->setChooser([this](DebugCommand command) { chosen(command); });
    }
    window_->showStop(stop);
}

void QtDebuggerView::chosen(DebugCommand command) {
    std::lock_guard lock(mutex_);
    command_ = command;
    wake_.notify_all();
}

DebugCommand QtDebuggerView::waitForCommand(const DebugStopView& stop) {
    {
        std::lock_guard lock(mutex_);
        command_.reset();
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return DebugCommand::Continue;
    bool onWindowThread = QThread::currentThread() == app->thread();
    if (onWindowThread) {
        present(stop);
        waitOnWindowThread();
    } else {
        // Posted, never waited for: the window thread may itself be waiting
        // for this worker (a window closing while its input runs).
        QMetaObject::invokeMethod(
            context_.get(), [this, stop] { present(stop); }, Qt::QueuedConnection);
        waitOnWorker();
    }
    std::lock_guard lock(mutex_);
    if (command_) return *command_;
    // Aborted: the window goes, and the interpreter reports the interrupt.
    QMetaObject::invokeMethod(
        context_.get(),
        [this] {
            if (window_) window_->hide();
        },
        Qt::QueuedConnection);
    return DebugCommand::Halt;
}

void QtDebuggerView::waitOnWorker() {
    std::unique_lock lock(mutex_);
    while (!command_ && !interrupted())
        wake_.wait_for(lock, kAbortPoll);
}

// Without a worker (an input run on the window thread) a nested event loop
// keeps the windows alive during the wait.
void QtDebuggerView::waitOnWindowThread() {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        std::lock_guard lock(mutex_);
        if (command_ || interrupted()) loop.quit();
    });
    poll.start(int(kAbortPoll.count()));
    loop.exec();
}

} // namespace vemlor
