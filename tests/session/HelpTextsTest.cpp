// The help texts as data: every built-in and keyword has one, each is
// complete and shows as written, and every example runs.
#include "console/HelpTexts.h"
#include "builtins/Registry.h"
#include "console/Markup.h"
#include "frontend/Keywords.h"
#include "platform/terminal/TerminalPlatform.h"
#include "session/Calc.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace vemlor {
namespace {

TEST(HelpTexts, EveryBuiltinAndKeywordHasAText) {
    std::vector<std::string> names = Registry::instance().names();
    for (const std::string& keyword : keywordNames())
        names.push_back(keyword);
    for (const std::string& name : names)
        EXPECT_NE(findHelp(name), nullptr) << name << " has no help text";
}

TEST(HelpTexts, EveryTextHasSummaryCallFormAndExample) {
    for (const HelpEntry& entry : helpEntries()) {
        EXPECT_FALSE(entry.summary.empty()) << entry.names[0];
        EXPECT_FALSE(entry.forms.empty()) << entry.names[0];
        EXPECT_FALSE(entry.example.empty()) << entry.names[0];
    }
}

// Call forms and examples may hold braces and backslashes; they must show
// exactly as written. Summaries and descriptions are markup that must decode.
TEST(HelpTexts, LinesShowAsWritten) {
    for (const HelpEntry& entry : helpEntries()) {
        std::vector<std::string> lines = helpLines(entry, true);
        for (const std::string& line : lines)
            EXPECT_TRUE(decodeMarkup(line, 0).ok()) << line;
        ASSERT_EQ(lines.size(),
                  1 + entry.forms.size() + entry.description.size() + entry.example.size());
        for (size_t i = 0; i < entry.forms.size(); ++i)
            EXPECT_EQ(plainText(lines[1 + i]), "  " + entry.forms[i]);
        EXPECT_EQ(plainText(lines[lines.size() - entry.example.size()]),
                  "Example: " + entry.example[0]);
    }
}

// What an example leaves on the console, and whether it raised an error.
struct ExampleRun {
    std::vector<std::string> lines;
    bool failed = false;
    std::string lastError;
};

ExampleRun runExample(const HelpEntry& entry, const fs::path& directory) {
    fs::remove_all(directory);
    fs::create_directories(directory);
    // Nobody answers: message boxes are dropped and questions answered yes.
    TerminalPlatform platform([](const std::string&) {}, false,
                              {VEMLOR_SOURCE_DIR, directory.string()});
    CalcSetup setup;
    setup.mode = 1;
    setup.useStateFiles = false;
    setup.startDirectory = directory.string();
    setup.platform = &platform;
    ExampleRun run;
    setup.lineListener = [&run](const std::string& line) {
        run.lines.push_back(line);
        if (line.starts_with("{r ")) run.lastError = plainText(line);
    };
    Calc calc(setup);
    for (const std::string& input : entry.example) {
        calc.setInput(input, '>');
        calc.executePendingInput();
        calc.console().endLine();
        if (calc.takeErrorReported()) {
            run.failed = true;
            break;
        }
    }
    return run;
}

TEST(HelpTexts, EveryExampleRunsWithoutError) {
    fs::path directory = fs::temp_directory_path() / "vemlor-help-examples";
    for (const HelpEntry& entry : helpEntries()) {
        ExampleRun run = runExample(entry, directory);
        if (!run.failed) continue;
        std::string transcript;
        for (const std::string& line : run.lines)
            transcript += "\n    " + plainText(line);
        ADD_FAILURE() << "the example of " << entry.names[0] << " fails:" << transcript;
    }
    fs::remove_all(directory);
}

} // namespace
} // namespace vemlor
