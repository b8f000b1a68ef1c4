// The output store: print modes, the 350-line ring, wrapping and tabulated
// output, and the listener that sees every finished line.
#include "console/ConsoleOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vemlor {
namespace {

// Output store that records the lines it finishes.
struct RecordingOutput {
    ConsoleOutput out;
    std::vector<std::string> lines;
    RecordingOutput() {
        out.setLineListener([this](const std::string& line) { lines.push_back(line); });
    }
};

TEST(ConsoleOutputPrint, NewLineFlagEndsBeforeAndAfter) {
    RecordingOutput r;
    r.out.print("a", false);
    r.out.print("b", false);
    EXPECT_EQ(r.out.line(0), "ab");
    r.out.print("c");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"ab", "c"}));
    EXPECT_EQ(r.out.currentLineNumber(), 2);
    // An empty text with the flag still makes a blank line.
    r.out.print("");
    EXPECT_EQ(r.lines.back(), "");
    EXPECT_EQ(r.out.currentLineNumber(), 3);
}

TEST(ConsoleOutputPrint, MarkupIsSplitAtNewlines) {
    RecordingOutput r;
    r.out.print("{r one}\ntwo\n\nfour");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"{r one}", "two", "", "four"}));
}

TEST(ConsoleOutputPrint, LiteralModesGetTheirPrefix) {
    RecordingOutput r;
    r.out.print("plain text", true, PRINT_LITERAL);
    for (const char* text : {"a{b", "c}", "x_1", "2^3", "a\\b"})
        r.out.print(text, true, PRINT_LITERAL);
    r.out.print("abc", true, PRINT_RAW);
    EXPECT_EQ(r.lines, (std::vector<std::string>{"plain text", "{;a{b", "{;c}", "{;x_1", "{;2^3",
                                                 "{;a\\b", "{:abc"}));
}

TEST(ConsoleOutputPrint, EndLineOnlyEndsANonEmptyLine) {
    RecordingOutput r;
    r.out.endLine();
    EXPECT_EQ(r.out.currentLineNumber(), 0);
    r.out.print("x", false);
    r.out.endLine();
    EXPECT_EQ(r.out.currentLineNumber(), 1);
    EXPECT_EQ(r.lines, std::vector<std::string>{"x"});
}

TEST(ConsoleOutputPrint, ItemSeparatorReturnsThePreviousOne) {
    ConsoleOutput out;
    char first = out.setItemSeparator(';');
    EXPECT_EQ(out.setItemSeparator(first), ';');
    EXPECT_EQ(out.itemSeparator(), first);
}

TEST(ConsoleOutputRing, The351stLineReusesTheFirstSlot) {
    ConsoleOutput out;
    for (int k = 0; k < 349; ++k)
        out.print("line " + std::to_string(k));
    out.print("line 349", false);
    EXPECT_EQ(out.currentLineNumber(), 349);
    EXPECT_EQ(out.line(0), "line 0");
    EXPECT_EQ(out.line(349), "line 349");
    const std::string* firstSlot = &out.line(0);

    out.endLine();
    EXPECT_EQ(out.currentLineNumber(), 350);
    EXPECT_EQ(&out.line(350), firstSlot);
    EXPECT_EQ(out.line(0), "");
    EXPECT_EQ(out.line(1), "line 1");
    out.print("line 350", false);
    EXPECT_EQ(out.line(350), "line 350");

    out.endLine();
    EXPECT_EQ(out.currentLineNumber(), 351);
    EXPECT_EQ(out.line(1), "");
    EXPECT_EQ(out.line(2), "line 2");
    EXPECT_EQ(out.line(352), "");
    EXPECT_EQ(out.line(-1), "");
}

TEST(ConsoleOutputWrap, SplitsAtTheLastSpaceThatFits) {
    RecordingOutput r;
    r.out.setLineWidth(20);
    r.out.print("hello world this is a test");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"hello world this is", "a test"}));
}

TEST(ConsoleOutputWrap, RoomLeftOnTheCurrentLine) {
    RecordingOutput r;
    r.out.setLineWidth(20);
    r.out.print("abcdefghij", false);
    r.out.print(" klm nopqrstuvwxyz", false);
    r.out.endLine();
    // No space within the room left: the text starts a new line whole.
    r.out.print("abcdefghijklmnop", false);
    r.out.print("qrstuvwxyz", false);
    r.out.endLine();
    EXPECT_EQ(r.lines, (std::vector<std::string>{"abcdefghij klm", "nopqrstuvwxyz",
                                                 "abcdefghijklmnop", "qrstuvwxyz"}));
}

TEST(ConsoleOutputWrap, LongWordsBreakAfterFifteenCharacters) {
    RecordingOutput r;
    r.out.setLineWidth(20);
    r.out.print("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");
    EXPECT_EQ(r.lines,
              (std::vector<std::string>{"ABCDEFGHIJKLMNO", "PQRSTUVWXYZabcd", "efghijklmn"}));
}

TEST(ConsoleOutputWrap, RemainderBreaksOnlyAtSpacesFromColumnSixteen) {
    RecordingOutput r;
    r.out.setLineWidth(20);
    r.out.print("aaaa " + std::string(17, 'b') + " " + std::string(10, 'c'));
    EXPECT_EQ(r.lines,
              (std::vector<std::string>{"aaaa", std::string(17, 'b'), std::string(10, 'c')}));

    r.lines.clear();
    r.out.print(std::string(18, 'z'), false);
    r.out.print("aaaa bbbbbbbbbb " + std::string(20, 'c'), false);
    r.out.endLine();
    // The spaces at columns 4 and 15 are too early: 15-character pieces,
    // nothing dropped.
    EXPECT_EQ(r.lines, (std::vector<std::string>{std::string(18, 'z'), "aaaa bbbbbbbbbb",
                                                 " " + std::string(14, 'c'), std::string(6, 'c')}));
}

TEST(ConsoleOutputWrap, WidthZeroKeepsLongLines) {
    ConsoleOutput out;
    std::string text(500, 'x');
    out.print(text, false);
    EXPECT_EQ(out.line(0), text);
}

TEST(ConsoleOutputColumns, TextStartsAtTheNextColumn) {
    ConsoleOutput out;
    out.setColumnWidth(10, ' ');
    for (const char* text : {"ab", "cd", "efghijklmnop", "x"})
        out.print(text, false);
    EXPECT_EQ(out.line(0), "ab        cd        efghijklmnop        x");
}

TEST(ConsoleOutputColumns, FillCharacterBetweenSpaces) {
    ConsoleOutput out;
    out.setColumnWidth(8, '.');
    out.print("name", false);
    out.print("value", false);
    out.print("b", false);
    EXPECT_EQ(out.line(0), "name .. value . b");
}

TEST(ConsoleOutputColumns, TextThatDoesNotFitStartsANewLine) {
    RecordingOutput r;
    r.out.setLineWidth(20);
    r.out.setColumnWidth(10, ' ');
    r.out.print("abcdefghijk", false);
    r.out.print("xyz", false);
    r.out.print("12", false);
    r.out.endLine();
    EXPECT_EQ(r.lines, (std::vector<std::string>{"abcdefghijk", "xyz       12"}));
}

} // namespace
} // namespace vemlor
