// The command history ring, its prefix walk and its file.
#include "console/CommandHistory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace vemlor {
namespace {

using Lines = std::vector<std::string>;

CommandHistory historyOf(const Lines& lines) {
    CommandHistory history;
    for (const std::string& line : lines)
        history.add(line);
    return history;
}

Lines numbered(const std::string& stem, int from, int to) {
    Lines lines;
    for (int k = from; k <= to; ++k)
        lines.push_back(stem + std::to_string(k));
    return lines;
}

class HistoryFile : public testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove(path_); }

    void writeRaw(const std::string& bytes) {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    std::string readRaw() {
        std::string bytes;
        std::FILE* file = std::fopen(path_.c_str(), "rb");
        if (!file) return bytes;
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
            bytes.push_back(char(c));
        std::fclose(file);
        return bytes;
    }
    static std::string int32(uint32_t x) {
        return {char(x & 0xff), char(x >> 8 & 0xff), char(x >> 16 & 0xff), char(x >> 24)};
    }
    static std::string record(const std::string& text) {
        return int32(uint32_t(text.size())) + text + std::string(1, '\0');
    }

    std::string path_ = (std::filesystem::temp_directory_path() /
                         ("vemlor_comm_" + std::to_string(::getpid()) + "_" +
                          testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin"))
                            .string();
};

TEST(CommandHistoryRing, StartsWithOneEmptyEntry) {
    CommandHistory history;
    EXPECT_EQ(history.entries(), Lines{""});
    EXPECT_TRUE(history.inOrder().empty());
}

TEST(CommandHistoryRing, SameLineTwiceInARowIsStoredOnce) {
    CommandHistory history = historyOf({"a", "a", "b", "a"});
    EXPECT_EQ(history.entries(), (Lines{"", "a", "b", "a"}));
}

TEST(CommandHistoryRing, KeepsTheNewestSixty) {
    CommandHistory history = historyOf(numbered("c", 0, 69));
    EXPECT_EQ(history.entries().size(), 60u);
    EXPECT_EQ(history.inOrder(), numbered("c", 10, 69));
}

TEST(CommandHistoryWalk, UpFindsOlderEntriesWithThePrefixAndWraps) {
    CommandHistory history = historyOf({"alpha", "beta", "alpine"});
    EXPECT_EQ(history.up("al", false), "alpine");
    EXPECT_EQ(history.up("alpine", true), "alpha");
    EXPECT_EQ(history.up("alpha", true), "alpine");
}

TEST(CommandHistoryWalk, DownReturnsTowardsTheNewestThenStops) {
    CommandHistory history = historyOf({"alpha", "beta", "alpine", "gamma"});
    EXPECT_EQ(history.up("al", false), "alpine");
    EXPECT_EQ(history.up("alpine", true), "alpha");
    EXPECT_EQ(history.down(), "alpine");
    EXPECT_EQ(history.down(), "");
    EXPECT_EQ(history.down(), "");
}

TEST(CommandHistoryWalk, EmptyPrefixWalksEveryEntry) {
    CommandHistory history = historyOf({"one", "two", "three"});
    EXPECT_EQ(history.up("", false), "three");
    EXPECT_EQ(history.up("three", true), "two");
    EXPECT_EQ(history.up("two", true), "one");
    // The empty first entry leaves the input line as it is.
    EXPECT_EQ(history.up("one", true), "");
    EXPECT_EQ(history.up("one", true), "three");
}

TEST(CommandHistoryWalk, NoMatchLeavesTheLineAlone) {
    CommandHistory history = historyOf({"one", "two"});
    EXPECT_EQ(history.up("zz", false), "");
    EXPECT_EQ(history.down(), "");
}

TEST(CommandHistoryWalk, DownWithoutAWalkAndAfterAddingFindsNothing) {
    CommandHistory history = historyOf({"one", "two"});
    EXPECT_EQ(history.down(), "");
    EXPECT_EQ(history.up("", false), "two");
    history.add("three");
    EXPECT_EQ(history.down(), "");
}

TEST(CommandHistoryWalk, WalkAcrossTheWrapOfAFullRing) {
    CommandHistory history = historyOf(numbered("c", 0, 69));
    // Only c10 ... c19 begin with "c1"; c1 itself was overwritten.
    for (int k = 19; k >= 10; --k)
        EXPECT_EQ(history.up("c1", k != 19), "c" + std::to_string(k));
    EXPECT_EQ(history.up("c1", true), "c19");
    EXPECT_EQ(history.up("c1", true), "c18");
    EXPECT_EQ(history.down(), "c19");
    EXPECT_EQ(history.down(), "");
}

TEST(CommandHistoryWalk, DownFromTheOldestEntryOfAFullRing) {
    CommandHistory history = historyOf(numbered("c", 0, 69));
    EXPECT_EQ(history.up("c10", false), "c10");
    EXPECT_EQ(history.down(), "");
    EXPECT_EQ(history.up("c", false), "c69");
    for (int k = 68; k >= 10; --k)
        EXPECT_EQ(history.up("", true), "c" + std::to_string(k));
    EXPECT_EQ(history.down(), "c11");
}

TEST_F(HistoryFile, RoundTrip) {
    ASSERT_TRUE(historyOf({"x = 1", "y = [1 2]"}).save(path_));
    CommandHistory loaded;
    EXPECT_TRUE(loaded.load(path_));
    EXPECT_EQ(loaded.entries(), (Lines{"", "x = 1", "y = [1 2]"}));
    EXPECT_EQ(loaded.up("", false), "y = [1 2]");
}

TEST_F(HistoryFile, LayoutIsCountThenLengthPrefixedRecords) {
    ASSERT_TRUE(historyOf({"ab"}).save(path_));
    std::string expected("\x02\x00\x00\x00"
                         "\x00\x00\x00\x00\x00"
                         "\x02\x00\x00\x00"
                         "ab\x00",
                         16);
    EXPECT_EQ(readRaw(), expected);
}

TEST_F(HistoryFile, HoldsAtMostThirtyEntries) {
    ASSERT_TRUE(historyOf(numbered("e", 0, 44)).save(path_));
    EXPECT_EQ(readRaw().substr(0, 4), int32(30));
    CommandHistory loaded;
    EXPECT_TRUE(loaded.load(path_));
    EXPECT_EQ(loaded.inOrder(), numbered("e", 15, 44));

    // From a full ring the oldest saved entry lies behind the wrap.
    ASSERT_TRUE(historyOf(numbered("c", 0, 69)).save(path_));
    CommandHistory fromFull;
    EXPECT_TRUE(fromFull.load(path_));
    EXPECT_EQ(fromFull.inOrder(), numbered("c", 40, 69));
}

TEST_F(HistoryFile, TruncatedFileKeepsWhatWasRead) {
    writeRaw(int32(3) + record("one") + record("two") + int32(5) + "thr");
    CommandHistory history;
    EXPECT_FALSE(history.load(path_));
    EXPECT_EQ(history.inOrder(), (Lines{"one", "two"}));
    history.add("next");
    EXPECT_EQ(history.up("", false), "next");
}

TEST_F(HistoryFile, OversizedLengthReadsAsEmptyWithoutConsumingBytes) {
    writeRaw(int32(3) + record("abc") + int32(200000) + record("def"));
    CommandHistory history;
    EXPECT_TRUE(history.load(path_));
    EXPECT_EQ(history.inOrder(), (Lines{"abc", "def"}));
}

TEST_F(HistoryFile, MissingOrEmptyFileLeavesTheEmptyEntry) {
    CommandHistory history;
    EXPECT_FALSE(history.load(path_ + ".absent"));
    EXPECT_EQ(history.entries(), Lines{""});
    writeRaw("");
    EXPECT_FALSE(history.load(path_));
    EXPECT_EQ(history.entries(), Lines{""});
}

} // namespace
} // namespace vemlor
