// The main window of one interpreter instance: the menu, a top strip with
// the recent-directory list and the "Exec" and "Again" buttons, and the
// console view below. Inputs queue up in the order they were entered and
// run one at a time on a worker thread, so the window stays alive while
// one runs and "&Abort" can stop it.
#pragma once

#include "platform/qt/ConsoleEngine.h"

#include <QMainWindow>
#include <deque>
#include <functional>
#include <string>

class QAction;
class QComboBox;
class QPushButton;

namespace vemlor {

class ConsoleWidget;
class InputRunner;
class RunGate;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr double kDefaultFontSize = 20.0;
    static constexpr double kZoomInFactor = 1.09050773266526;
    static constexpr double kZoomOutFactor = 0.9170040432046693;

    // gate: shared by the windows of one process; a window without one runs
    // its inputs on its own.
    MainWindow(ConsoleEngine& engine, bool primary, RunGate* gate = nullptr,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    ConsoleWidget& console() { return *console_; }
    bool busy() const;
    double fontSize() const { return fontSize_; }
    QComboBox& directories() { return *directories_; }

    // Queues an input (mode '>' typed, 'c' clipboard, 'f' script) with the
    // echo to show when it starts; it runs when the ones before it are done.
    void submit(const std::string& text, char mode, const std::string& echo = {});
    void zoom(double factor);
    void abortInput();
    void runClipboard();
    void again();
    void exec();
    void showAbout();
    // Closes as the system asks: saves without asking questions.
    void closeWithoutAsking();
    // How "&Launch vemlor" starts a secondary instance; the item is disabled
    // without one.
    void setLauncher(std::function<void()> launcher);

  signals:
    // The window accepted a close: its instance has shut down.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct PendingInput {
        std::string text;
        char mode;
        std::string echo;
    };

    void buildMenu();
    void buildTopStrip();
    void fillDirectories();
    void chooseDirectory(int index);
    void startNext();
    void inputFinished();
    void requestInput(bool oneKey, std::function<void(const std::string&)> deliver);
    void lineTyped(const std::string& text, const std::string& echo);

    ConsoleEngine& engine_;
    ConsoleWidget* console_ = nullptr;
    QComboBox* directories_ = nullptr;
    InputRunner* runner_ = nullptr;
    RunGate* gate_ = nullptr;
    bool holdsGate_ = false;
    QAction* launchAction_ = nullptr;
    std::function<void()> launcher_;
    std::deque<PendingInput> pending_;
    std::function<void(const std::string&)> lineWanted_; // the running input's getline
    std::vector<std::string> cutPrefixes_; // the leading part cut from each combo item
    double fontSize_ = kDefaultFontSize;
    bool closeWhenIdle_ = false;
    bool closing_ = false;
    bool askBeforeClosing_ = true;
};

} // namespace vemlor
