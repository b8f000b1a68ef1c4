#include "platform/terminal/TerminalDialogs.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace vemlor {

void TerminalDialogs::inform(const std::string& text, const std::string& caption) {
    if (printer_) printer_(caption.empty() ? text : caption + ": " + text);
}

bool TerminalDialogs::askYesNo(const std::string& text, const std::string& caption) {
    if (!interactive_) {
        inform(text, caption);
        return true;
    }
    for (;;) {
        std::fputs((text + " (y/n) ").c_str(), stdout);
        std::fflush(stdout);
        std::string answer;
        if (!std::getline(std::cin, answer)) return true;
        if (answer == "y" || answer == "Y" || answer == "yes") return true;
        if (answer == "n" || answer == "N" || answer == "no") return false;
    }
}

bool TerminalDialogs::askLine(const std::string& prompt, std::string& line) {
    if (interactive_) {
        std::fputs(prompt.c_str(), stdout);
        std::fflush(stdout);
    }
    if (!std::getline(std::cin, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool TerminalDialogs::askCharacter(char& c) {
    std::fflush(stdout);
    if (!::isatty(0)) {
        int got = std::cin.get();
        if (got == EOF) return false;
        c = char(got);
        return true;
    }
    termios saved{};
    if (::tcgetattr(0, &saved) != 0) return false;
    termios raw = saved;
    raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    ::tcsetattr(0, TCSANOW, &raw);
    ssize_t got = ::read(0, &c, 1);
    ::tcsetattr(0, TCSANOW, &saved);
    return got == 1;
}

std::string TerminalDialogs::chooseFolder(const std::string& title, const std::string& start) {
    std::string line;
    if (!interactive_ || !askLine(title + " (Enter keeps " + start + ") ", line)) return {};
    return line;
}

} // namespace vemlor
