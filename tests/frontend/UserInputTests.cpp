// The user's input: typed and pasted text, `use` with its quoting and the
// rest of its line, nested scripts and the directory they run in.
#include "frontend/LexTestSupport.h"
#include "frontend/UserInput.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vemlor;
using namespace vemlor::test;
namespace fs = std::filesystem;

namespace {

// Finds scripts in the current directory, then in one library folder.
class FolderLocator : public ScriptLocator {
  public:
    FolderLocator(std::string current, std::string library)
        : current_(std::move(current)), library_(std::move(library)) {}

    std::string findScript(const std::string& name) override {
        std::string file = name.find('.') == std::string::npos ? name + ".vml" : name;
        for (const std::string& dir : {current_, library_}) {
            fs::path path = fs::path(dir) / file;
            if (fs::exists(path)) return path.string();
        }
        return forced_;
    }
    std::string currentDirectory() const override { return current_; }
    void changeDirectory(const std::string& dir) override {
        current_ = dir;
        visited_.push_back(dir);
    }

    std::string forced_; // returned when nothing is found
    std::vector<std::string> visited_;

  private:
    std::string current_;
    std::string library_;
};

class UserInputTest : public ::testing::Test {
  protected:
    fs::path root_ = fs::temp_directory_path() /
                     ("vemlor_use_" +
                      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::path home_ = root_ / "home";
    fs::path lib_ = root_ / "lib";
    FolderLocator locator_{home_.string(), lib_.string()};
    UserInput input_{locator_};

    void SetUp() override {
        fs::create_directories(home_);
        fs::create_directories(lib_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::vector<std::string> drain(bool raw = false) {
        std::vector<std::string> lines;
        std::string line;
        while (input_.getLine(line, false, raw))
            lines.push_back(line);
        return lines;
    }
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(UserInputTest, TypedTextReplacesTheTypedSource) {
    input_.setText('>', "a = 1\rb = 2");
    std::string line;
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "a = 1");
    EXPECT_EQ(input_.lineNumber(), 0);
    EXPECT_TRUE(input_.isInteractive());
    EXPECT_TRUE(input_.hasPendingInput());
    input_.setText('>', "c = 3");
    EXPECT_EQ(drain(), (Lines{"c = 3"}));
    EXPECT_EQ(input_.lineNumber(), 0);
    EXPECT_FALSE(input_.hasPendingInput());
    EXPECT_EQ(failureOf([&] { input_.getLine(line, true, false); }), "unexpected end of input");
}

TEST_F(UserInputTest, OtherTextSuspendsTheCurrentSource) {
    input_.setText('>', "a\rb");
    std::string line;
    input_.getLine(line, false, false);
    input_.setText('s', "s1\rs2");
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "s1");
    EXPECT_FALSE(input_.isInteractive());
    EXPECT_EQ(input_.lineNumber(), 1);
    EXPECT_EQ(drain(), (Lines{"s2", "b"}));
}

TEST_F(UserInputTest, NewlineInsideALine) {
    input_.setText('c', "a\nb");
    std::string line;
    EXPECT_EQ(failureOf([&] { input_.getLine(line, false, false); }),
              syntax("unexpected newline found when reading input"));
    input_.setText('c', "a\nb");
    ASSERT_TRUE(input_.getLine(line, false, true));
    EXPECT_EQ(line, "a\nb");
}

TEST_F(UserInputTest, UseRunsTheScriptThenTheRestOfTheLine) {
    write(home_ / "s1.vml", "p = 1\n  # note\nq = 2\n");
    input_.setText('>', "use 's1'; y = 2\rz = 3");
    std::string line;
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "p = 1");
    EXPECT_EQ(input_.sourceName(), (home_ / "s1.vml").string());
    EXPECT_FALSE(input_.isInteractive());
    EXPECT_EQ(input_.lineNumber(), 1);
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "q = 2");
    EXPECT_EQ(input_.lineNumber(), 3);
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "y = 2");
    // The rest counts as the line of the `use`.
    EXPECT_EQ(input_.lineNumber(), 0);
    EXPECT_TRUE(input_.isInteractive());
    EXPECT_EQ(drain(), (Lines{"z = 3"}));
}

TEST_F(UserInputTest, UseArgumentForms) {
    write(lib_ / "t.vml", "from lib\n");
    write(home_ / "name with blanks.vml", "blanks\n");
    write(home_ / "other.txt", "txt\n");
    input_.setText('>', "use t ;  \ruse \"name with blanks\"\r  use other.txt;x\r");
    EXPECT_EQ(drain(), (Lines{"from lib", "blanks", "txt", "x"}));
}

TEST_F(UserInputTest, UseQuotingError) {
    input_.setText('>', "use 'abc");
    std::string line;
    EXPECT_EQ(failureOf([&] { input_.getLine(line, false, false); }),
              "missing closing inverted comma after 'use'");
}

TEST_F(UserInputTest, ScriptFileMessages) {
    std::string line;
    input_.setText('>', "use nope");
    EXPECT_EQ(failureOf([&] { input_.getLine(line, false, false); }),
              "could not find script file 'nope.vml'");
    input_.reset();
    input_.setText('>', "use nope.txt");
    EXPECT_EQ(failureOf([&] { input_.getLine(line, false, false); }),
              "could not find script file 'nope.txt'");
    input_.reset();
    // Found by the search but not readable.
    locator_.forced_ = (home_ / "vanished.vml").string();
    input_.setText('>', "use vanished");
    EXPECT_EQ(failureOf([&] { input_.getLine(line, false, false); }),
              "could not open script file 'vanished.vml'");
    input_.reset();
    locator_.forced_.clear();
    // Inside a script the message names the script's line.
    write(home_ / "outer.vml", "a = 1\n\nuse missing\n");
    input_.setText('>', "use outer");
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(failureOf([&] { input_.getLine(line, false, false); }),
              "line 3: could not find script file 'missing.vml'");
    EXPECT_EQ(failureOf([&] { input_.useFile("x"); }),
              "line 3: could not find script file 'x.vml'");
}

TEST_F(UserInputTest, NestedScriptsAndTheirDirectories) {
    fs::create_directories(home_ / "a");
    fs::create_directories(home_ / "b");
    write(home_ / "a" / "outer.vml",
          "o1\nuse '" + (home_ / "b" / "inner.vml").string() + "'\no2\n##end_input\nnever\n");
    write(home_ / "b" / "inner.vml", "i1\n");
    input_.setText('>', "use a/outer\rafter");
    std::string line;
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "o1");
    EXPECT_EQ(locator_.currentDirectory(), (home_ / "a").string());
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "i1");
    EXPECT_EQ(locator_.currentDirectory(), (home_ / "b").string());
    // Back in the outer script the directory stays where the inner one went.
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "o2");
    EXPECT_EQ(locator_.currentDirectory(), (home_ / "b").string());
    // Back at the typed text the directory of the `use` returns.
    ASSERT_TRUE(input_.getLine(line, false, false));
    EXPECT_EQ(line, "after");
    EXPECT_EQ(locator_.currentDirectory(), home_.string());
    EXPECT_FALSE(input_.getLine(line, false, false));
}

TEST_F(UserInputTest, UseFileFromTheDriver) {
    write(home_ / "run.vml", "r = 1\n");
    input_.useFile("run");
    EXPECT_TRUE(input_.hasPendingInput());
    EXPECT_EQ(drain(), (Lines{"r = 1"}));
    EXPECT_EQ(locator_.currentDirectory(), home_.string());
}

TEST_F(UserInputTest, IndentationInScripts) {
    write(home_ / "blocks.vml", "while a:\n    b\n    c\nd\n");
    input_.useFile("blocks");
    EXPECT_EQ(drain(), (Lines{"while a:", "{b", "c", "}d"}));
}

TEST_F(UserInputTest, ResetKeepsWhatTheReportNeeds) {
    write(home_ / "s.vml", "a\nb\nc\n");
    input_.setText('>', "use s\rmore");
    std::string line;
    input_.getLine(line, false, false);
    input_.getLine(line, false, false);
    EXPECT_EQ(input_.lastText(), "b");
    input_.reset();
    EXPECT_EQ(input_.lineNumber(), 2);
    EXPECT_EQ(input_.lastText(), "b");
    EXPECT_FALSE(input_.hasPendingInput());
    EXPECT_FALSE(input_.getLine(line, false, false));
    input_.setText('>', "fresh");
    EXPECT_EQ(drain(), (Lines{"fresh"}));
}
