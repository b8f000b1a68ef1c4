#include "platform/terminal/TerminalPlatform.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vemlor {

namespace {

std::string executableDirectory() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    std::string text = exe.string();
    auto cut = text.find_last_of('/');
    return cut == std::string::npos || cut == 0 ? std::string("/") : text.substr(0, cut);
}

} // namespace

ProgramPaths processPaths() {
    ProgramPaths paths;
    paths.programDirectory = executableDirectory();
    const char* home = std::getenv("VEMLOR_HOME");
    paths.stateDirectory = home && *home ? std::string(home) : paths.programDirectory;
    return paths;
}

std::string workingDirectory() {
    std::error_code ec;
    auto path = std::filesystem::current_path(ec);
    return ec ? std::string() : path.string();
}

} // namespace vemlor
