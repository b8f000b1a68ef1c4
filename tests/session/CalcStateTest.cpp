// Set-up and shut-down of an interpreter instance: which instances touch the
// state files, what survives a restart, and how damaged files are reported.
#include "core/BinaryIO.h"
#include "session/Calc.h"
#include "support/TestPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace vemlor {
namespace {

struct RecordingDialogs : Dialogs {
    std::vector<std::string> shown;
    void inform(const std::string& text, const std::string& caption) override {
        shown.push_back(caption + ": " + text);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back(caption + "? " + text);
        return true;
    }
};

class CalcState : public ::testing::Test {
  protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() /
                ("vemlor-calc-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "start");
        fs::create_directories(home_ / "elsewhere");
    }
    void TearDown() override { fs::remove_all(home_); }

    CalcSetup setup(int mode) {
        CalcSetup s;
        s.mode = mode;
        s.startDirectory = (home_ / "start").string();
        platform_.setPaths({home_.string(), home_.string()});
        s.platform = &platform_;
        return s;
    }
    bool exists(const char* file) const { return fs::exists(home_ / file); }

    fs::path home_;
    RecordingDialogs dialogs_;
    test::TestPlatform platform_{dialogs_};
};

TEST_F(CalcState, PrimaryInstanceRestoresHistoryAndDirectoryAfterARestart) {
    {
        Calc calc(setup(0));
        calc.history().add("x = 1");
        calc.history().add("y = 2");
        calc.dir().setCurrent((home_ / "elsewhere").string());
    } // the destructor shuts down
    ASSERT_TRUE(exists(kHistoryFile));
    ASSERT_TRUE(exists(kDirectoryFile));

    Calc again(setup(0));
    EXPECT_EQ(again.history().inOrder(), (std::vector<std::string>{"x = 1", "y = 2"}));
    EXPECT_EQ(again.dir().currentDirectory(), (home_ / "elsewhere").string());
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(CalcState, SecondaryAndBatchInstancesLeaveTheStateFilesAlone) {
    {
        Calc secondary(setup(1));
        secondary.history().add("z = 3");
    }
    {
        CalcSetup batch = setup(0);
        batch.useStateFiles = false;
        Calc calc(batch);
        calc.history().add("z = 4");
        EXPECT_EQ(calc.dir().currentDirectory(), (home_ / "start").string());
    }
    EXPECT_FALSE(exists(kHistoryFile));
    EXPECT_FALSE(exists(kDirectoryFile));
}

TEST_F(CalcState, ShutDownSavesOnlyOnce) {
    Calc calc(setup(0));
    calc.history().add("first");
    calc.shutDown();
    calc.history().add("second");
    calc.shutDown();
    fs::remove(home_ / kHistoryFile);
    calc.shutDown();
    EXPECT_FALSE(exists(kHistoryFile));
}

TEST_F(CalcState, DamagedDirectoryFileIsReportedAndAMissingDirectoryIgnored) {
    {
        std::FILE* f = std::fopen((home_ / kDirectoryFile).c_str(), "wb");
        BinaryWriter out(f);
        out.writeInt32(2);
        out.writeString((home_ / "gone").string()); // no longer exists
        out.writeString("/a");
        std::fclose(f);
        // Cut the last entry in the middle of its text.
        fs::resize_file(home_ / kDirectoryFile, fs::file_size(home_ / kDirectoryFile) - 2);
    }
    Calc calc(setup(0));
    EXPECT_EQ(dialogs_.shown,
              (std::vector<std::string>{"vemlor startup: problem loading path list"}));
    EXPECT_EQ(calc.dir().currentDirectory(), (home_ / "start").string());
}

TEST_F(CalcState, ScriptErrorsReportTheirLineAndTheRunGoesOn) {
    std::ofstream(home_ / "start" / "bad.vml") << "x = 1\ny = 2.3.4\n";
    CalcSetup s = setup(1);
    Calc calc(s);
    std::vector<std::string> lines;
    calc.console().setLineListener([&lines](const std::string& line) { lines.push_back(line); });
    calc.setInput("bad", 'f');
    calc.executePendingInput();
    calc.console().endLine();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[0].find("at line 2"), std::string::npos);
    EXPECT_NE(lines[1].find("y = 2.3.4"), std::string::npos);
    EXPECT_NE(lines[2].find("error in number"), std::string::npos);
    EXPECT_TRUE(calc.takeErrorReported());
    EXPECT_FALSE(calc.takeErrorReported());

    lines.clear();
    calc.setInput("nosuch", 'f');
    calc.executePendingInput();
    calc.console().endLine();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("could not find script file"), std::string::npos);
}

} // namespace
} // namespace vemlor
