#include "platform/terminal/TerminalDebugger.h"

#include <algorithm>
#include <cstdio>

namespace vemlor {

namespace {

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

// A command letter, or none for a line that is no command.
bool commandOf(std::string line, DebugCommand& command) {
    line.erase(0, line.find_first_not_of(" \t"));
    line.erase(line.find_last_not_of(" \t\r") + 1);
    if (line.empty() || line == "s") {
        command = DebugCommand::Step;
    } else if (line == "c") {
        command = DebugCommand::Continue;
    } else if (line == "h") {
        command = DebugCommand::Halt;
    } else if (line == "q") {
        command = DebugCommand::Off;
    } else {
        return false;
    }
    return true;
}

} // namespace

std::vector<std::string> stopText(const DebugStopView& stop) {
    std::vector<std::string> lines{stop.title};
    // The rows after "Locals:" are indented under it.
    std::vector<std::string> names;
    bool local = false;
    for (const std::string& name : stop.names) {
        names.push_back((local ? "    " : "  ") + name);
        local = local || name == "Locals:";
    }
    size_t width = 0;
    for (const std::string& name : names)
        width = std::max(width, name.size());
    for (size_t i = 0; i < names.size(); ++i) {
        std::string value = i < stop.values.size() ? stop.values[i] : "";
        if (value.empty() && stop.names[i].empty()) continue;
        lines.push_back(value.empty() ? names[i] : padded(names[i], width + 2) + value);
    }
    if (stop.firstLine == 0) {
        lines.insert(lines.end(), stop.excerpt.begin(), stop.excerpt.end());
        return lines;
    }
    for (size_t i = 0; i < stop.excerpt.size(); ++i) {
        int number = stop.firstLine + int(i);
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%s%4d  ", number == stop.currentLine ? ">" : " ",
                      number);
        lines.push_back(prefix + stop.excerpt[i]);
    }
    return lines;
}

DebugCommand TerminalDebugger::waitForCommand(const DebugStopView& stop) {
    for (const std::string& line : stopText(stop))
        printer_(line);
    for (;;) {
        std::string line;
        if (!lines_("debug> ", line)) return DebugCommand::Off;
        DebugCommand command;
        if (commandOf(line, command)) return command;
        printer_(kDebugHelp);
    }
}

} // namespace vemlor
