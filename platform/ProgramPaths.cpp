#include "platform/ProgramPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vemlor {

const std::string& programDirectory() {
    // Process-wide and immutable once computed.
    static const std::string directory = [] {
        std::error_code ec;
        std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec) return std::string(".");
        std::string text = exe.string();
        auto cut = text.find_last_of('/');
        return cut == std::string::npos || cut == 0 ? std::string("/") : text.substr(0, cut);
    }();
    return directory;
}

std::string stateDirectory() {
    const char* home = std::getenv("VEMLOR_HOME");
    if (home && *home) return home;
    return programDirectory();
}

std::string currentDirectory() {
    std::error_code ec;
    auto path = std::filesystem::current_path(ec);
    return ec ? std::string() : path.string();
}

} // namespace vemlor
