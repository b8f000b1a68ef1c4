// The directory history: path folding, name resolution, the script search
// and the "vemlor_cd.bin" record with its damaged forms.
#include "session/Dir.h"
#include "core/BinaryIO.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace vemlor {
namespace {

class DirFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("vemlor-dir-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "program" / "toolbox");
        fs::create_directories(root_ / "program" / "demo");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string path(const std::string& relative) const { return (root_ / relative).string(); }
    void touch(const std::string& relative) const { std::ofstream(root_ / relative) << "x = 1\n"; }
    Dir makeDir() const { return Dir(path("work"), path("program")); }

    // Writes a cd file by hand: count, current, then the given entries.
    void writeRecord(const std::string& file, int32_t count, const std::string& current,
                     const std::vector<std::string>& entries) const {
        std::FILE* f = std::fopen(path(file).c_str(), "wb");
        BinaryWriter out(f);
        out.writeInt32(count);
        out.writeString(current);
        for (const std::string& e : entries)
            out.writeString(e);
        std::fclose(f);
    }

    fs::path root_;
};

TEST(NormalisePath, FoldsParentStepsAndBackslashes) {
    EXPECT_EQ(normalisePath("a\\b\\c"), "a/b/c");
    EXPECT_EQ(normalisePath("/home/u/x/../y"), "/home/u/y");
    EXPECT_EQ(normalisePath("/home/u/x/y/../../z/"), "/home/u/z");
    EXPECT_EQ(normalisePath("/a/.."), "/");
    // A name that merely begins with two dots is a name, not a parent step.
    EXPECT_EQ(normalisePath("/a/..b/c"), "/a/..b/c");
}

TEST_F(DirFiles, ResolvesAgainstTheCurrentDirectoryWithTheDefaultExtension) {
    Dir dir = makeDir();
    EXPECT_EQ(dir.resolve("data", "txt", false), path("work") + "/data.txt");
    EXPECT_EQ(dir.resolve("data.csv", "txt", false), path("work") + "/data.csv");
    EXPECT_EQ(dir.resolve("/etc/hosts", "", true), "/etc/hosts");
    EXPECT_EQ(dir.resolve(".", "", false), path("work"));
    EXPECT_THROW(dir.resolve("", "txt", false), RuntimeError);
    try {
        dir.resolve("missing", "txt", true);
        FAIL() << "a missing file was resolved";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(std::string(e.what()), "file not found: missing");
    }
    EXPECT_THROW(dir.resolve(std::string(300, 'n'), "", false), RuntimeError);
}

TEST_F(DirFiles, FindsScriptsInTheCurrentDirectoryBeforeTheLibraryFolders) {
    touch("program/toolbox/tool.vml");
    touch("program/demo/show.vml");
    touch("program/toolbox/both.vml");
    touch("work/both.vml");
    Dir dir = makeDir();
    EXPECT_EQ(dir.findScript("tool"), path("program/toolbox/tool.vml"));
    EXPECT_EQ(dir.findScript("show.vml"), path("program/demo/show.vml"));
    EXPECT_EQ(dir.findScript("both"), path("work/both.vml"));
    EXPECT_EQ(dir.findScript("nowhere"), "");
    EXPECT_EQ(dir.findScript(path("work/both.vml")), path("work/both.vml"));
}

TEST_F(DirFiles, RecordRoundTripKeepsCurrentAndRecentDirectories) {
    Dir dir = makeDir();
    dir.setCurrent(path("program"));
    dir.setCurrent(path("work"));
    ASSERT_TRUE(dir.save(path("cd.bin")));

    Dir restored(path("/"), path("program"));
    EXPECT_TRUE(restored.load(path("cd.bin")));
    EXPECT_EQ(restored.currentDirectory(), path("work"));
    EXPECT_EQ(restored.recent(), dir.recent());
}

TEST_F(DirFiles, SavesAtMostTwentyEntriesInSetOrder) {
    Dir dir = makeDir();
    for (int i = 0; i < 25; ++i)
        dir.setCurrent(path("d" + std::to_string(100 + i)));
    ASSERT_TRUE(dir.save(path("cd.bin")));
    Dir restored = makeDir();
    ASSERT_TRUE(restored.load(path("cd.bin")));
    ASSERT_EQ(restored.recent().size(), 20u);
    EXPECT_EQ(*restored.recent().begin(), path("d100"));
    EXPECT_EQ(*restored.recent().rbegin(), path("d119"));
}

TEST_F(DirFiles, MissingFileIsNotAFailure) {
    Dir dir = makeDir();
    EXPECT_TRUE(dir.load(path("none.bin")));
    EXPECT_EQ(dir.currentDirectory(), path("work"));
}

TEST_F(DirFiles, TruncatedRecordKeepsWhatWasRead) {
    writeRecord("cd.bin", 3, "/somewhere", {"/a", "/b", "/c"});
    fs::resize_file(path("cd.bin"), fs::file_size(path("cd.bin")) - 2);
    Dir dir = makeDir();
    EXPECT_FALSE(dir.load(path("cd.bin")));
    EXPECT_EQ(dir.currentDirectory(), "/somewhere");
    EXPECT_EQ(dir.recent(), (std::set<std::string>{"/a", "/b"}));
}

TEST_F(DirFiles, CountLargerThanTheFileStopsAtItsEnd) {
    writeRecord("cd.bin", 1000, "/somewhere", {"/a"});
    Dir dir = makeDir();
    EXPECT_TRUE(dir.load(path("cd.bin")));
    EXPECT_EQ(dir.recent(), (std::set<std::string>{"/a"}));
}

TEST_F(DirFiles, OversizedLengthReadsAsAnEmptyString) {
    std::FILE* f = std::fopen(path("cd.bin").c_str(), "wb");
    BinaryWriter out(f);
    out.writeInt32(1);
    out.writeInt32(kMaxStoredStringLength + 1); // current directory: too long
    std::fclose(f);
    Dir dir = makeDir();
    dir.load(path("cd.bin"));
    // An empty current directory leaves the one the instance started in.
    EXPECT_EQ(dir.currentDirectory(), path("work"));
}

} // namespace
} // namespace vemlor
