// `property` and the external lookup program: the request it is started
// with, and the three forms of answer read from its result file.
#include "console/Markup.h"
#include "platform/terminal/TerminalPlatform.h"
#include "session/Calc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace vemlor {
namespace {

// A lookup program that records its request and answers with `answer`.
void writeLookupProgram(const fs::path& directory, const std::string& answer) {
    fs::path program = directory / "vemlor-lookup";
    std::ofstream(program) << "#!/bin/sh\n"
                           << "printf '%s' \"$1\" > \"" << (directory / "request.txt").string()
                           << "\"\nprintf '" << answer << "' > \""
                           << (directory / "property_result.txt").string() << "\"\n";
    fs::permissions(program, fs::perms::owner_all);
}

class PropertyLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() /
                ("vemlor-property-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(home_);
        fs::create_directories(home_);
    }
    void TearDown() override { fs::remove_all(home_); }

    // The visible console lines of typing `input` into a fresh instance.
    std::vector<std::string> run(const std::string& input) {
        TerminalPlatform platform([](const std::string&) {}, false,
                                  {home_.string(), home_.string()});
        CalcSetup setup;
        setup.mode = 1;
        setup.useStateFiles = false;
        setup.startDirectory = home_.string();
        setup.platform = &platform;
        std::vector<std::string> lines;
        setup.lineListener = [&lines](const std::string& line) {
            lines.push_back(plainText(line));
        };
        Calc calc(setup);
        calc.setInput(input, '>');
        calc.executePendingInput();
        calc.console().endLine();
        return lines;
    }
    std::string request() const {
        std::ifstream in(home_ / "request.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path home_;
};

TEST_F(PropertyLookup, ANumberAnswerIsTheResult) {
    writeLookupProgram(home_, "997.05\\n");
    EXPECT_EQ(run("x << \"sea water\" density"), (std::vector<std::string>{"x = 997.05"}));
    EXPECT_EQ(request(), "formula sea_water density");
}

TEST_F(PropertyLookup, ATableAnswerIsAnArrayOfPaddedStrings) {
    writeLookupProgram(home_, "\\\\table\\n2\\nlong line\\nshort\\n");
    EXPECT_EQ(run("t = property(\"gold\", \"phases\", \"300 K\")"),
              (std::vector<std::string>{"t =", "long line", "short    "}));
    EXPECT_EQ(request(), "formula gold phases 300_K");
}

TEST_F(PropertyLookup, OtherHeadersGivePairsOfNumbersAsTwoRows) {
    writeLookupProgram(home_, "\\\\pairs 2\\n1 10\\n2 20\\n");
    EXPECT_EQ(run("p = property(\"air\", \"viscosity\")"),
              (std::vector<std::string>{"p =", "  1  2", " 10 20"}));
}

TEST_F(PropertyLookup, WithoutAResultFileTheResultIsEmpty) {
    fs::path program = home_ / "vemlor-lookup";
    std::ofstream(program) << "#!/bin/sh\nexit 0\n";
    fs::permissions(program, fs::perms::owner_all);
    EXPECT_EQ(run("p = property(\"air\", \"colour\")"),
              (std::vector<std::string>{"vemlor can't find the database result", "p =", "[]"}));
}

} // namespace
} // namespace vemlor
