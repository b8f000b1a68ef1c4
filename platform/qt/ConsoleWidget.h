// The console text view: output lines above a one-line input band. Key,
// mouse and wheel events are translated for the platform-free models
// (InputLine for the band, ConsoleScreen for the output); this class only
// draws them and reports what the main window has to act on.
#pragma once

#include <functional>

#include "console/ConsoleScreen.h"
#include "console/InputLine.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <deque>
#include <mutex>
#include <string>

namespace vemlor {

class ConsoleWidget : public QAbstractScrollArea {
    Q_OBJECT
  public:
    ConsoleWidget(CommandHistory& history, QWidget* parent = nullptr);

    InputLine& input() { return input_; }
    const ConsoleScreen& screen() const { return screen_; }

    // Thread-safe: queues a completed output line for display.
    void postLine(const std::string& markupLine);
    // Shows the lines posted so far (the window thread calls it).
    void showPostedLines();

    // Types a text as keystrokes, then Enter.
    void typeLine(const std::string& text);
    // Sends one key as the keyboard would.
    void pressKey(InputLine::Key key);
    void pressCharacter(int code);
    void pasteText(const std::string& text);
    // The next character typed goes to `deliver` instead of the input line
    // (null: typing goes to the line again).
    void captureKey(std::function<void(const std::string&)> deliver) {
        keyWanted_ = std::move(deliver);
    }
    void copySelection();

    void setFontPixels(int pixels);
    int fontPixels() const { return font_.pixelSize(); }
    int lineHeight() const { return lineHeight_; }
    // Characters that fit on one output line.
    int charactersPerLine() const;

  signals:
    // Enter completed a line; `echo` is its echo for the output.
    void lineCompleted(const std::string& text, const std::string& echo);
    void runClipboardRequested();
    // A Ctrl+wheel step: +1 zooms in, -1 out.
    void zoomRequested(int step);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void act(InputLine::Action action);
    bool handleCharacterKey(QKeyEvent* event);
    void updateLayout();
    void updateScrollBar();
    int bandHeight() const { return lineHeight_ + 4; }
    int bandTop() const;
    void drawOutput(class QPainter& painter);
    void drawBand(class QPainter& painter);
    long lineAt(int y) const;
    int columnAt(int x) const { return std::max(0, (x - charWidth_ / 2) / charWidth_); }

    InputLine input_;
    ConsoleScreen screen_;
    QFont font_;
    int charWidth_ = 10;
    int lineHeight_ = 20;
    std::string pickedWord_; // a topic word clicked, asked about on release
    int bandShift_ = 0;      // input columns scrolled out on the left
    bool adjustingScrollBar_ = false;
    std::mutex postedMutex_;
    std::deque<std::string> posted_;
    bool showQueued_ = false; // guarded by postedMutex_
    std::function<void(const std::string&)> keyWanted_;
};

} // namespace vemlor
