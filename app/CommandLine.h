// The command line of the vemlor executable.
#pragma once

#include <string>
#include <vector>

namespace vemlor {

struct CommandLine {
    enum class Action { Default, Cli, Run, Evaluate, Help, Version, Error };
    Action action = Action::Default;
    std::string argument; // the script of --cli/--run, the text of -e
    std::string error;    // why the command line was refused
};

CommandLine parseCommandLine(const std::vector<std::string>& args);
std::string usageText();

} // namespace vemlor
