// Entry point: reads the command line and starts the chosen front end.
#include "app/CommandLine.h"
#include "app/TerminalRepl.h"
#ifdef VEMLOR_WITH_DESKTOP
#include "app/Desktop.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

#ifndef VEMLOR_WITH_DESKTOP
// Hands the process over to the desktop program beside this executable when
// a display is named; returns only when that cannot be done, and the
// terminal session serves instead.
void handOverToDesktop(char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return;
    char self[4096];
    ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return;
    std::string path(self, size_t(length));
    path = path.substr(0, path.rfind('/') + 1) + "vemlor-desktop";
    ::execv(path.c_str(), argv);
}
#endif

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// The desktop session bus library and the font configuration library (Qt
// uses it for figure windows and PNG pictures) keep buffers for the life of
// the process; leak checks of a sanitized build would fail every such run.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}
// The count of suppressed leaks would end up in the output users see.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif

int main(int argc, char** argv) {
    using vemlor::CommandLine;
    CommandLine line = vemlor::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(vemlor::usageText().c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::puts("vemlor 0.1.0");
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "vemlor: %s\n%s", line.error.c_str(), vemlor::usageText().c_str());
        return 2;
    case CommandLine::Action::Run:
        return vemlor::runScriptBatch(line.argument);
    case CommandLine::Action::Evaluate:
        return vemlor::runTextBatch(line.argument);
    case CommandLine::Action::Default:
#ifdef VEMLOR_WITH_DESKTOP
        if (int status = vemlor::runDesktop(line.argument); status != vemlor::kNoDisplay)
            return status;
#else
        handOverToDesktop(argv);
#endif
        return vemlor::runTerminalSession(line.argument);
    case CommandLine::Action::Cli:
        // Figure windows need a display; typed lines, a terminal (a piped
        // session stays headless, as tests and scripts expect).
        if (::isatty(0)) {
#ifdef VEMLOR_WITH_DESKTOP
            if (int status = vemlor::runTerminalWithFigures(line.argument);
                status != vemlor::kNoDisplay)
                return status;
#else
            handOverToDesktop(argv);
#endif
        }
        return vemlor::runTerminalSession(line.argument);
    }
    return 0;
}
