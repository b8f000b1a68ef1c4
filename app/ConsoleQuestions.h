// Questions a desktop instance answers in its own console: `getline` reads
// the next line typed there and `getch` the next key, as in the terminal.
// The interpreter asks from its worker thread and waits; the console is
// armed on the window thread, and Abort (or Ctrl-C) ends the wait.
#pragma once

#include "platform/Dialogs.h"

#include <functional>
#include <mutex>

namespace vemlor {

class ConsoleQuestions final : public Dialogs {
  public:
    // Called on the window thread: the next line (or key) typed in the
    // console goes to `deliver`; a null `deliver` takes the request back.
    using Requester =
        std::function<void(bool oneKey, std::function<void(const std::string&)> deliver)>;
    using Printer = std::function<void(const std::string&)>;

    ConsoleQuestions(Dialogs& windows, Printer printer)
        : windows_(windows), printer_(std::move(printer)) {}
    void setRequester(Requester requester);

    void inform(const std::string& text, const std::string& caption) override {
        windows_.inform(text, caption);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        return windows_.askYesNo(text, caption);
    }
    std::string chooseFolder(const std::string& title, const std::string& start) override {
        return windows_.chooseFolder(title, start);
    }
    bool askLine(const std::string& prompt, std::string& line) override;
    bool askCharacter(char& c) override;

  private:
    bool ask(bool oneKey, std::string& answer);

    Dialogs& windows_;
    Printer printer_;
    std::mutex mutex_; // guards requester_
    Requester requester_;
};

} // namespace vemlor
