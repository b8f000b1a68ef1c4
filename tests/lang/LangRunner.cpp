// Runs the language case files: each case types a few lines into a fresh
// interpreter and compares the console output, markup removed, with the
// expected lines.
//
// Case file format (*.cases):
//   %% comment                       ignored anywhere
//   === name                         starts a case
//   > text                           a line typed at the prompt
//   | text                           continues the previous typed input on a
//                                    new line (as a pasted block)
//   <<< file.vml ... >>>             writes a file into the case's directory;
//                                    a case that writes "resource/..." files
//                                    runs with its directory as the program
//                                    directory (else the source tree is)
//   @ text                           an expected line compared with its markup
//   anything else                    an expected line (visible text)
// Trailing blank expected lines are ignored. Every case runs in its own
// empty directory, which is the interpreter's current directory and the home
// folder ("~/"); its path reads as "<case>" in the output, so expectations
// can name files in it.
#include "console/Markup.h"
#include "platform/Clipboard.h"
#include "platform/terminal/TerminalPlatform.h"
#include "session/Calc.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vemlor;

namespace {

struct Expected {
    std::string text;
    bool markup = false;
};

struct Case {
    std::string name;
    std::string file;
    int line = 0;
    std::vector<std::string> inputs;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<Expected> expected;
};

std::vector<Case> parseCases(const fs::path& path) {
    std::vector<Case> cases;
    std::ifstream in(path);
    std::string line;
    int number = 0;
    std::string* openFile = nullptr;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (openFile) {
            if (line == ">>>")
                openFile = nullptr;
            else
                *openFile += line + "\n";
            continue;
        }
        if (line.rfind("%%", 0) == 0) continue;
        if (line.rfind("=== ", 0) == 0) {
            cases.push_back({line.substr(4), path.filename().string(), number, {}, {}, {}});
            continue;
        }
        if (cases.empty()) continue;
        Case& current = cases.back();
        if (line.rfind("> ", 0) == 0 || line == ">")
            current.inputs.push_back(line.substr(std::min<size_t>(2, line.size())));
        else if ((line.rfind("| ", 0) == 0 || line == "|") && !current.inputs.empty())
            current.inputs.back() += "\r" + line.substr(std::min<size_t>(2, line.size()));
        else if (line.rfind("<<< ", 0) == 0) {
            current.files.emplace_back(line.substr(4), "");
            openFile = &current.files.back().second;
        } else if (line.rfind("@ ", 0) == 0)
            current.expected.push_back({line.substr(2), true});
        else
            current.expected.push_back({line, false});
    }
    for (Case& c : cases)
        while (!c.expected.empty() && c.expected.back().text.empty())
            c.expected.pop_back();
    return cases;
}

// The console lines of one case, both as markup and as visible text.
struct Transcript {
    std::vector<std::string> markup;
};

Transcript runCase(const Case& c, const fs::path& directory) {
    fs::remove_all(directory);
    fs::create_directories(directory);
    ::setenv("HOME", directory.c_str(), 1);
    bool ownResources = false;
    for (const auto& [name, text] : c.files) {
        fs::path path = directory / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
        ownResources = ownResources || name.rfind("resource/", 0) == 0;
    }
    Transcript transcript;
    Calc* calcPointer = nullptr;
    ProgramPaths paths;
    paths.programDirectory = ownResources ? directory.string() : std::string(VEMLOR_SOURCE_DIR);
    paths.stateDirectory = directory.string();
    TerminalPlatform platform(
        [&calcPointer](const std::string& text) {
            if (calcPointer) calcPointer->console().print(text, true, PRINT_LITERAL);
        },
        false, paths);
    CalcSetup setup;
    setup.mode = 1;
    setup.useStateFiles = false;
    setup.startDirectory = directory.string();
    setup.platform = &platform;
    Calc calc(setup);
    calcPointer = &calc;
    calc.console().setLineListener(
        [&transcript](const std::string& line) { transcript.markup.push_back(line); });
    for (const std::string& input : c.inputs) {
        calc.setInput(input, '>');
        calc.executePendingInput();
        calc.console().endLine();
    }
    const std::string place = directory.string();
    for (std::string& line : transcript.markup)
        for (size_t at; (at = line.find(place)) != std::string::npos;)
            line.replace(at, place.size(), "<case>");
    return transcript;
}

bool matches(const Case& c, const Transcript& t, std::string& report) {
    std::vector<std::string> actual = t.markup;
    while (!actual.empty() && plainText(actual.back()).empty())
        actual.pop_back();
    bool ok = actual.size() == c.expected.size();
    for (size_t i = 0; ok && i < actual.size(); ++i) {
        const Expected& e = c.expected[i];
        ok = e.markup ? actual[i] == e.text : plainText(actual[i]) == e.text;
    }
    if (ok) return true;
    report = c.file + ":" + std::to_string(c.line) + ": case '" + c.name + "' failed\n";
    report += "  expected:\n";
    for (const Expected& e : c.expected)
        report += (e.markup ? "    @ " : "    | ") + e.text + "\n";
    report += "  actual:\n";
    for (const std::string& line : actual)
        report += "    | " + plainText(line) + "\n";
    report += "  actual markup:\n";
    for (const std::string& line : actual)
        report += "    @ " + line + "\n";
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: lang_runner CASE-DIRECTORY-OR-FILE...\n";
        return 2;
    }
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        fs::path target(argv[i]);
        if (fs::is_directory(target)) {
            for (const auto& entry : fs::directory_iterator(target))
                if (entry.path().extension() == ".cases") files.push_back(entry.path());
        } else {
            files.push_back(target);
        }
    }
    std::sort(files.begin(), files.end());
    fs::path scratch = fs::temp_directory_path() / ("vemlor-cases-" + std::to_string(::getpid()));
    int passed = 0, failed = 0;
    for (const fs::path& file : files) {
        for (const Case& c : parseCases(file)) {
            std::string report;
            if (matches(c, runCase(c, scratch / "case"), report))
                ++passed;
            else {
                ++failed;
                std::cout << report;
            }
        }
    }
    fs::remove_all(scratch);
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 && passed > 0 ? 0 : 1;
}
