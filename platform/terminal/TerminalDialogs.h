// Message boxes for the terminal and for batch runs: the text goes to the
// console through a printer; a question is asked on the terminal when there
// is one, and answered yes when there is none.
#pragma once

#include "platform/Dialogs.h"

#include <functional>

namespace vemlor {

class TerminalDialogs : public Dialogs {
  public:
    using Printer = std::function<void(const std::string&)>;
    // interactive: whether standard input and output are a terminal to ask on.
    TerminalDialogs(Printer printer, bool interactive)
        : printer_(std::move(printer)), interactive_(interactive) {}

    void inform(const std::string& text, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    // Reads standard input: after the prompt on a terminal, the next line of
    // piped input otherwise.
    bool askLine(const std::string& prompt, std::string& line) override;
    // On a terminal the key is read as it is pressed, without echo.
    bool askCharacter(char& c) override;
    // On a terminal, the name typed after the title (empty: cancelled).
    std::string chooseFolder(const std::string& title, const std::string& start) override;

  private:
    Printer printer_;
    bool interactive_;
};

} // namespace vemlor
