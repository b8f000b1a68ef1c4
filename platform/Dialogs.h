// Message boxes. The desktop backend shows real dialogs; the terminal backend
// prints on the console and asks on the terminal.
#pragma once

#include <string>

namespace vemlor {

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // An information box with a caption.
    virtual void inform(const std::string& text, const std::string& caption) = 0;
    // A yes/no question; true for yes. Without anyone to ask, the answer is yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    // A folder the user picks, starting at `start`; empty when cancelled or
    // when the platform has no folder browser.
    virtual std::string chooseFolder(const std::string& /*title*/, const std::string& /*start*/) {
        return {};
    }
    // A line the user types after `prompt`, without its line end; false when
    // nobody answers (the end of the input).
    virtual bool askLine(const std::string& /*prompt*/, std::string& /*line*/) { return false; }
    // One character the user types, unseen until it is returned; false when
    // nobody answers.
    virtual bool askCharacter(char& /*c*/) { return false; }
};

} // namespace vemlor
