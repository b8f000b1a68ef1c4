// Physical and logical lines: line ends, comments, block comments, the end
// marker, indentation, and the function-definition scanner.
#include "frontend/InputSource.h"
#include "frontend/LexTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vemlor;
using namespace vemlor::test;

namespace {

// All logical lines of a source.
std::vector<std::string> linesOf(InputSource& source, bool raw = false) {
    std::vector<std::string> lines;
    std::string line;
    while (source.getLine(line, false, raw))
        lines.push_back(line);
    return lines;
}

class ScriptFile : public ::testing::Test {
  protected:
    std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        ("vemlor_input_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".vml");

    void write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    void TearDown() override { std::filesystem::remove(path_); }
};

using Lines = std::vector<std::string>;

} // namespace

TEST(InputSourceText, LineEndsInMemory) {
    // CR ends a line and takes one LF with it; a lone LF stays in the line.
    InputSource source('s', "a\r\nb\rc\nd\r\r\n  e  ");
    EXPECT_EQ(linesOf(source, true), (Lines{"a", "b", "c\nd", "e  "}));
    EXPECT_EQ(source.lineNumber(), 5);
    EXPECT_TRUE(source.atEnd());
    EXPECT_FALSE(source.isInteractive());
    EXPECT_TRUE(InputSource('>', "x").isInteractive());
    EXPECT_EQ(InputSource('>', "x").sourceName(), "");
}

TEST(InputSourceText, EndOfInput) {
    InputSource source('s', "");
    std::string line;
    EXPECT_FALSE(source.getLine(line, false, false));
    EXPECT_EQ(failureOf([&] { source.getLine(line, true, false); }), "unexpected end of input");
}

TEST(InputSourceText, CommentsAndBlockComments) {
    InputSource source('s', "# a comment\r x = 1 # trailing\r##\rhidden\r  ## closes\ry = 2\r"
                            "## another\rstill hidden");
    EXPECT_EQ(linesOf(source), (Lines{"x = 1 # trailing", "y = 2"}));
    EXPECT_EQ(source.blockCommentStart(), 7);
}

TEST(InputSourceText, EndInputInMemoryOnlySkipsTheLine) {
    InputSource source('s', "a\r##end_input\rb");
    EXPECT_EQ(linesOf(source), (Lines{"a", "b"}));
}

TEST(InputSourceText, IndentationBecomesBraces) {
    InputSource source('s', "if a:\r    b = 1\r    c = 2\r        d\r\t\te\rf\r  g\r h\r\t  i");
    // Levels: 0 1 1 2 2 0 1 0 2 (a tab goes to the next multiple of 4,
    // and the level is (columns + 2) / 4).
    EXPECT_EQ(linesOf(source),
              (Lines{"if a:", "{b = 1", "c = 2", "{d", "e", "}}f", "{g", "}h", "{{i"}));
    InputSource raw('s', "a\r    b\rc");
    EXPECT_EQ(linesOf(raw, true), (Lines{"a", "b", "c"}));
}

TEST(InputSourceText, BlankAndCommentLinesKeepTheLevel) {
    InputSource source('s', "a\r    b\r\r# note\r    c\rd");
    EXPECT_EQ(linesOf(source), (Lines{"a", "{b", "c", "}d"}));
}

TEST_F(ScriptFile, FileLinesAndEndInput) {
    write("x = 1\r\n\n  # c\ny = 2\n##end_input\nz = 3\n");
    InputSource source(path_.string());
    EXPECT_EQ(source.sourceName(), path_.string());
    std::string line;
    ASSERT_TRUE(source.getLine(line, false, false));
    EXPECT_EQ(line, "x = 1");
    EXPECT_EQ(source.lineNumber(), 1);
    ASSERT_TRUE(source.getLine(line, false, false));
    EXPECT_EQ(line, "y = 2");
    EXPECT_EQ(source.lineNumber(), 4);
    EXPECT_FALSE(source.getLine(line, false, false));
    EXPECT_TRUE(source.atEnd());
}

TEST_F(ScriptFile, MissingFileHasNoLines) {
    InputSource source((path_.string() + ".none"));
    EXPECT_FALSE(source.isOpen());
    EXPECT_TRUE(source.atEnd());
    std::string line;
    EXPECT_FALSE(source.getLine(line, false, false));
    EXPECT_EQ(source.lineNumber(), 0);
}

TEST_F(ScriptFile, SkipToLine) {
    write("l1\nl2\nl3\nl4\nl5\n");
    InputSource source(path_.string());
    source.skipToLine(3);
    std::string line;
    ASSERT_TRUE(source.getLine(line, false, true));
    EXPECT_EQ(line, "l3");
    EXPECT_EQ(source.lineNumber(), 3);
    // Past the end the count still advances, so the skip ends.
    InputSource shortFile(path_.string());
    shortFile.skipToLine(20);
    EXPECT_EQ(shortFile.lineNumber(), 19);
}

TEST_F(ScriptFile, FunctionScanner) {
    write("x = 1\n"
          "## help for f\n"
          "## end\n"
          "  function y = f(x)\n"
          "  y = x\n"
          "end\n"
          "## orphan\n"
          "##\n"
          "z = 2\n"
          "\n"
          "# plain comment\n"
          "function g\n"
          "functional = 3\n");
    InputSource source(path_.string());
    InputSource::FunctionStart first = source.nextFunction();
    EXPECT_EQ(first.line, "function y = f(x)");
    EXPECT_EQ(first.lineNumber, 4);
    EXPECT_EQ(first.commentStart, 2);
    InputSource::FunctionStart second = source.nextFunction();
    EXPECT_EQ(second.line, "function g");
    EXPECT_EQ(second.lineNumber, 12);
    EXPECT_EQ(second.commentStart, -1);
    EXPECT_EQ(source.nextFunction().line, "");
}
