#include "app/CommandLine.h"

namespace vemlor {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    auto refuse = [&line](std::string why) {
        line.action = CommandLine::Action::Error;
        line.error = std::move(why);
        return line;
    };
    if (args.empty()) return line;
    const std::string& first = args[0];
    if (first == "--help" || first == "-h")
        line.action = CommandLine::Action::Help;
    else if (first == "--version")
        line.action = CommandLine::Action::Version;
    else if (first == "--cli") {
        line.action = CommandLine::Action::Cli;
        if (args.size() > 2) return refuse("--cli takes at most one script");
        if (args.size() == 2) line.argument = args[1];
        return line;
    } else if (first == "--run" || first == "-e") {
        line.action = first == "--run" ? CommandLine::Action::Run : CommandLine::Action::Evaluate;
        if (args.size() != 2) return refuse(first + " needs exactly one argument");
        line.argument = args[1];
        return line;
    } else if (!first.empty() && first[0] == '-') {
        return refuse("unknown option " + first);
    } else {
        // A script named alone is run at start-up, as when a file is opened
        // with the program.
        line.action = CommandLine::Action::Default;
        if (args.size() > 1) return refuse("only one script can be named");
        line.argument = first;
        return line;
    }
    if (args.size() > 1) return refuse(first + " takes no argument");
    return line;
}

std::string usageText() {
    return "usage: vemlor [--cli [FILE] | --run FILE | -e TEXT | FILE | --help | --version]\n"
           "  (none)        the desktop program; the terminal when no display is available\n"
           "  --cli [FILE]  interactive terminal session, first running FILE when given\n"
           "  --run FILE    run a script and exit (status 1 when an error was reported)\n"
           "  -e TEXT       run one typed input and exit (status as --run)\n"
           "  --help        this text\n"
           "  --version     the version\n"
           "The state files live in $VEMLOR_HOME when set, else beside the executable.\n";
}

} // namespace vemlor
