// What the desktop window asks of the interpreter instance behind it. The
// window runs each input on a worker thread so that it keeps painting and
// answering its menu meanwhile; everything else is called on the window's
// thread while no input runs.
#pragma once

#include "console/CommandHistory.h"

#include <functional>
#include <string>
#include <vector>

namespace vemlor {

class ConsoleEngine {
  public:
    using LineListener = std::function<void(const std::string&)>;
    virtual ~ConsoleEngine() = default;

    // Receives every completed console line, those printed before the call
    // included; it is called on whichever thread prints.
    virtual void setLineListener(LineListener listener) = 0;
    // A markup line printed into the console (the echo of a typed line).
    virtual void print(const std::string& markupLine) = 0;
    // Hands an input to the interpreter: mode '>' typed text, 'c' the
    // clipboard's text, 'f' a script to run, 'w' what the user did in the
    // figure windows (callbacks; the text is unused).
    virtual void prepare(const std::string& text, char mode) = 0;
    // Runs what prepare() handed over and ends the console's last line. Called
    // on the worker thread; never throws.
    virtual void runPrepared() = 0;
    // Stops the running input at its next loop step or statement. Any thread.
    virtual void interrupt() = 0;
    // How the instance's figure windows reach the window: `inputWaiting`
    // when mouse, key or control events wait for the interpreter (a 'w'
    // input should follow), `typeCommand` with a menu item's command.
    virtual void setFigureHooks(std::function<void()> /*inputWaiting*/,
                                std::function<void(const std::string&)> /*typeCommand*/) {}
    // How the interpreter reads a line (getline) or one key (getch) typed
    // in the console: called on the window's thread, the request hands the
    // next one to `deliver`; a null `deliver` takes the request back.
    using InputRequest =
        std::function<void(bool oneKey, std::function<void(const std::string&)> deliver)>;
    virtual void setInputRequester(InputRequest /*request*/) {}

    virtual CommandHistory& history() = 0;
    virtual std::vector<std::string> recentDirectories() const = 0;
    virtual std::string currentDirectory() const = 0;
    // Wrapping width of the console output in characters.
    virtual void setLineWidth(int characters) = 0;
    // Whether to end although some variables are too large to be saved.
    virtual bool confirmExit() = 0;
    // Saves the state files (a primary instance only).
    virtual void shutDown() = 0;
};

} // namespace vemlor
