// Pieces the fuzz harnesses share: a scratch directory for the process, the
// split of a fuzz input into typed inputs, and the names the interpreter
// harness keeps away from.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace vemlor::fuzz {

// Inputs longer than this are ignored: every interesting statement fits, and
// longer ones mostly buy slower runs (pass -max_len with the same value).
inline constexpr size_t kMaxInputLength = 2048;

// An empty directory of this process, removed again at a normal exit. The
// harnesses make one on first use and keep it for every input they run.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vemlor-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
        else {
            std::perror("vemlor fuzz: mkdtemp");
            std::abort();
        }
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

  private:
    std::string path_;
};

// A line feed plays the Enter key: the text before it is one typed input,
// which may itself hold carriage returns as the line breaks of a pasted block.
inline std::vector<std::string> typedInputs(std::string_view text) {
    std::vector<std::string> inputs;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        inputs.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return inputs;
        start = end + 1;
    }
}

// Names whose execution would reach outside the interpreter (the clock, the
// program's files, the file system, other processes) or whose result changes
// from run to run. The registry offers no way to switch single built-ins off,
// so the interpreter harness refuses any input that spells one of them as an
// identifier, wherever it stands. Names that are not yet implemented are
// listed too, so that they stay out when their implementation arrives.
inline constexpr std::string_view kOutsideNames[] = {
    // the clock
    "tic", "toc", "Toc", "oclock", "today",
    // the program's location, scripts, files and directories
    "exepath", "use", "cd", "dir", "load", "save", "qload", "qsave", "readtext", "writetext",
    "dispfile", "fopen", "print", "snipImage", "table", "unzipg",
    // other processes and the user's typing
    "sysCommand", "getline",
    // dialogs, windows and the keyboard
    "menu", "messageBox", "createButton", "getkeyb", "getch", "figure", "qplot", "update", "debug",
    "debugtest", "help",
    // other programs
    "property", "sysCommand"};

inline bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// True when one of kOutsideNames stands in the text as a name could: not
// glued to a letter before it nor to a name character after it. A digit or
// '_' in front does not protect ("2tic" may lex as a number and a name, and a
// leading '_' is an operator).
// Comments and strings are not told apart: refusing a few harmless inputs
// costs less than a lexer of our own that could disagree with the real one.
inline bool mentionsOutsideName(std::string_view text) {
    for (size_t p = 0; p < text.size(); ++p) {
        if (!isLetter(text[p]) || (p > 0 && isLetter(text[p - 1]))) continue;
        for (std::string_view name : kOutsideNames) {
            if (text.compare(p, name.size(), name) != 0) continue;
            char after = p + name.size() < text.size() ? text[p + name.size()] : ' ';
            bool glued = isLetter(after) || after == '_' || (after >= '0' && after <= '9');
            if (!glued) return true;
        }
    }
    return false;
}

// Types each input into `calc` (an interpreter instance); the first console
// line that isUnexpected accepts is a finding: it is reported and the process
// aborts, so that the fuzzer keeps the input.
template <class Interpreter, class Inputs, class IsUnexpected>
void typeWatchingErrors(Interpreter& calc, const Inputs& inputs, IsUnexpected isUnexpected) {
    std::string unexpected;
    calc.console().setLineListener([&](const std::string& line) {
        if (unexpected.empty() && isUnexpected(line)) unexpected = line;
    });
    for (const auto& input : inputs) {
        calc.setInput(input, '>');
        calc.executePendingInput();
        calc.console().endLine();
    }
    if (!unexpected.empty()) {
        std::fprintf(stderr, "vemlor fuzz: unexpected error line: %s\n", unexpected.c_str());
        std::abort();
    }
}

} // namespace vemlor::fuzz
