#include "platform/terminal/TerminalDialogs.h"

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

std::string TerminalDialogs::chooseFolder(const std::string& title, const std::string& start) {
    std::string line;
    if (!interactive_ || !askLine(title + " (Enter keeps " + start + ") ", line)) return {};
    return line;
}

} // namespace vemlor
