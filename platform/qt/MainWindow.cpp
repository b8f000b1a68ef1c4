#include "platform/qt/MainWindow.h"

#include "console/DirectoryNames.h"
#include "platform/qt/AboutDialog.h"
#include "platform/qt/ConsoleWidget.h"
#include "platform/qt/InputRunner.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

namespace vemlor {

namespace {

constexpr int kStripHeight = 24;
constexpr int kComboLeft = 81, kComboWidth = 310;

// How many characters of a directory name the combo box shows.
int comboCapacity(const QFont& font, int width) {
    int sample = QFontMetrics(font).horizontalAdvance("NB16_characters.");
    return sample > 0 ? width * 16 / sample - 4 : 40;
}

} // namespace

MainWindow::MainWindow(ConsoleEngine& engine, bool primary, RunGate* gate, QWidget* parent)
    : QMainWindow(parent), engine_(engine), gate_(gate ? gate : new RunGate(this)) {
    setWindowTitle(primary ? "Vemlor 5a" : "secondary Vemlor");
    setGeometry(primary ? 100 : 120, primary ? 30 : 50, 840, 600);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    console_ = new ConsoleWidget(engine_.history(), central);
    buildTopStrip();
    layout->addWidget(directories_->parentWidget());
    layout->addWidget(console_, 1);
    setCentralWidget(central);
    buildMenu();
    runner_ = new InputRunner(engine_, this);
    connect(runner_, &InputRunner::finished, this, &MainWindow::inputFinished);
    connect(gate_, &RunGate::released, this, &MainWindow::startNext);
    connect(console_, &ConsoleWidget::lineCompleted, this, &MainWindow::lineTyped);
    connect(console_, &ConsoleWidget::runClipboardRequested, this, &MainWindow::runClipboard);
    connect(console_, &ConsoleWidget::zoomRequested, this,
            [this](int step) { zoom(step > 0 ? kZoomInFactor : kZoomOutFactor); });
    engine_.setLineListener([this](const std::string& line) { console_->postLine(line); });
    engine_.setFigureHooks([this] { submit("", 'w'); },
                           [this](const std::string& command) { console_->typeLine(command); });
    engine_.setInputRequester([this](bool oneKey, std::function<void(const std::string&)> deliver) {
        requestInput(oneKey, std::move(deliver));
    });
    console_->setFocus();
}

MainWindow::~MainWindow() {
    engine_.setFigureHooks({}, {});
    engine_.setInputRequester({});
    delete runner_; // stops and waits for a running input before the console goes
    runner_ = nullptr;
    if (holdsGate_) {
        disconnect(gate_, nullptr, this, nullptr);
        gate_->release();
    }
    engine_.setLineListener(nullptr);
}

bool MainWindow::busy() const {
    return runner_ && runner_->busy();
}

void MainWindow::buildMenu() {
    auto typing = [this](const char* text) { return [this, text] { console_->typeLine(text); }; };
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Restore", this, typing("cd ?"));
    file->addAction("&Save", this, typing("cd ?"));
    file->addAction("&cd ?", this, typing("cd ?"));
    file->addAction("E&xit                         Alt-F4", this, &QWidget::close);
    // The item's text already names the key; a shortcut on the action would
    // be shown a second time beside it.
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this, this, &QWidget::close);
    QMenu* run = menuBar()->addMenu("&Run");
    run->addAction("&Reset", this, typing("clear reset"));
    run->addAction("&E&xecute                     <ret>", this,
                   [this] { console_->pressCharacter(InputLine::kEnter); });
    QAction* abort = run->addAction("&Abort", this, &MainWindow::abortInput);
    abort->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Pause));
    abort->setShortcutContext(Qt::WindowShortcut);
    run->addAction("&Run clipboard        F9", this, &MainWindow::runClipboard);
    run->addAction("&Clear clipboard", this, [] { QGuiApplication::clipboard()->clear(); });
    launchAction_ = run->addAction("&Launch vemlor", this, [this] {
        if (launcher_) launcher_();
    });
    launchAction_->setEnabled(false);
    QMenu* view = menuBar()->addMenu("&View");
    view->addAction("Zoom &in      <<", this, [this] { zoom(kZoomInFactor); });
    view->addAction("Zoom &out     >>", this, [this] { zoom(kZoomOutFactor); });
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&Basic help   ??", this, typing("?"));
    help->addAction("&Functions    ?func", this, typing("?func a"));
    help->addAction("&About vemlor", this, &MainWindow::showAbout);
    for (QKeyCombination keys : {Qt::ALT | Qt::Key_Question, Qt::ALT | Qt::Key_Slash})
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this,
                &MainWindow::showAbout);
}

void MainWindow::setLauncher(std::function<void()> launcher) {
    launcher_ = std::move(launcher);
    launchAction_->setEnabled(bool(launcher_));
}

void MainWindow::buildTopStrip() {
    auto* strip = new QWidget(centralWidget() ? centralWidget() : console_->parentWidget());
    strip->setFixedHeight(kStripHeight);
    directories_ = new QComboBox(strip);
    directories_->setGeometry(kComboLeft, 0, kComboWidth, kStripHeight - 2);
    directories_->setFocusPolicy(Qt::ClickFocus);
    connect(directories_, &QComboBox::activated, this, &MainWindow::chooseDirectory);
    auto* execButton = new QPushButton("Exec", strip);
    execButton->setGeometry(392, 1, 70, 22);
    connect(execButton, &QPushButton::clicked, this, &MainWindow::exec);
    auto* againButton = new QPushButton("Again", strip);
    againButton->setGeometry(462, 1, 70, 22);
    connect(againButton, &QPushButton::clicked, this, &MainWindow::again);
    for (QPushButton* button : {execButton, againButton})
        button->setFocusPolicy(Qt::NoFocus);
    fillDirectories();
}

void MainWindow::fillDirectories() {
    std::vector<std::string> names = engine_.recentDirectories();
    int capacity = comboCapacity(directories_->font(), kComboWidth);
    std::vector<ShortName> shown = shortenDirectoryNames(names, capacity);
    directories_->clear();
    cutPrefixes_.clear();
    for (const ShortName& name : shown) {
        directories_->addItem(QString::fromStdString(name.shown));
        cutPrefixes_.push_back(name.cut);
    }
    if (!shown.empty()) directories_->setCurrentIndex(0);
}

void MainWindow::chooseDirectory(int index) {
    if (index < 0 || size_t(index) >= cutPrefixes_.size()) return;
    std::string full =
        fullDirectoryName(cutPrefixes_[size_t(index)], directories_->itemText(index).toStdString());
    console_->typeLine("cd " + full);
    console_->setFocus();
}

// A line typed while the running input waits in getline answers it;
// otherwise it is the next input.
void MainWindow::lineTyped(const std::string& text, const std::string& echo) {
    if (!lineWanted_) return submit(text, '>', echo);
    engine_.print(echo);
    std::exchange(lineWanted_, nullptr)(text);
}

void MainWindow::requestInput(bool oneKey, std::function<void(const std::string&)> deliver) {
    if (!deliver) {
        lineWanted_ = nullptr;
        console_->captureKey(nullptr);
        return;
    }
    if (oneKey)
        console_->captureKey(std::move(deliver));
    else
        lineWanted_ = std::move(deliver);
    activateWindow();
    console_->setFocus();
}

void MainWindow::submit(const std::string& text, char mode, const std::string& echo) {
    // One waiting turn for the figure windows serves all their events.
    bool windowsWaiting = std::any_of(pending_.begin(), pending_.end(),
                                      [](const PendingInput& p) { return p.mode == 'w'; });
    if (mode == 'w' && windowsWaiting) return;
    pending_.push_back({text, mode, echo});
    startNext();
}

void MainWindow::startNext() {
    if (busy() || gate_->taken() || pending_.empty() || closing_) return;
    gate_->take();
    holdsGate_ = true;
    PendingInput next = std::move(pending_.front());
    pending_.pop_front();
    if (!next.echo.empty()) engine_.print(next.echo);
    engine_.setLineWidth(console_->charactersPerLine());
    engine_.prepare(next.text, next.mode);
    runner_->start();
}

void MainWindow::inputFinished() {
    console_->showPostedLines();
    fillDirectories();
    holdsGate_ = false;
    if (closeWhenIdle_) {
        close();
        gate_->release();
        return;
    }
    gate_->release(); // this window's next input, or another window's, runs now
}

void MainWindow::abortInput() {
    runner_->abort();
}

void MainWindow::runClipboard() {
    console_->input().advancePrompt();
    submit("", 'c');
}

void MainWindow::exec() {
    if (!QGuiApplication::clipboard()->text().isEmpty()) runClipboard();
    console_->setFocus();
}

void MainWindow::again() {
    console_->pressKey(InputLine::Key::Up);
    console_->pressCharacter(InputLine::kEnter);
    console_->setFocus();
}

void MainWindow::zoom(double factor) {
    fontSize_ *= factor;
    console_->setFontPixels(int(fontSize_ + 0.5));
}

void MainWindow::showAbout() {
    AboutDialog(this).exec();
}

void MainWindow::closeWithoutAsking() {
    askBeforeClosing_ = false;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy()) {
        // The running input stops first; the window closes once it has.
        closeWhenIdle_ = true;
        pending_.clear();
        runner_->abort();
        event->ignore();
        return;
    }
    closeWhenIdle_ = false;
    if (askBeforeClosing_ && !engine_.confirmExit()) {
        event->ignore();
        return;
    }
    closing_ = true;
    pending_.clear();
    engine_.shutDown();
    console_->showPostedLines();
    event->accept();
    emit closed();
}

} // namespace vemlor
