// What the desktop console shows of the output: the ring, scrolling and
// following, selection and the text a copy puts on the clipboard; and the
// shortened names of the recent-directory list.
#include "console/ConsoleScreen.h"
#include "console/DirectoryNames.h"

#include <gtest/gtest.h>

#include <string>

namespace vemlor {
namespace {

ConsoleScreen screenWith(int lines, int perPage) {
    ConsoleScreen screen;
    screen.setLinesPerPage(perPage);
    for (int k = 0; k < lines; ++k)
        screen.append("line " + std::to_string(k));
    return screen;
}

TEST(ConsoleScreen, KeepsTheLast350LinesAndFollowsTheOutput) {
    ConsoleScreen screen = screenWith(351, 10);
    EXPECT_EQ(screen.lineCount(), 351);
    EXPECT_EQ(screen.oldestLine(), 1);
    EXPECT_EQ(screen.line(0), ""); // its storage went to line 350
    EXPECT_EQ(screen.line(350), "line 350");
    EXPECT_EQ(screen.firstVisible(), 341);
}

TEST(ConsoleScreen, ScrollingIsClampedAndTheBottomFollowsAgain) {
    ConsoleScreen screen = screenWith(30, 10);
    screen.scrollBy(-5);
    EXPECT_EQ(screen.firstVisible(), 15);
    screen.append("new");
    EXPECT_EQ(screen.firstVisible(), 15); // scrolled back: stays put
    screen.scrollTo(-4);
    EXPECT_EQ(screen.firstVisible(), 0);
    screen.scrollBy(1000);
    EXPECT_EQ(screen.firstVisible(), 21);
    screen.append("newer");
    EXPECT_EQ(screen.firstVisible(), 22);
    // Fewer lines than a page: the first line stays on top.
    ConsoleScreen few = screenWith(3, 10);
    EXPECT_EQ(few.firstVisible(), 0);
}

TEST(ConsoleScreen, CopyGivesPlainTextOfTheSelectedLinesWithoutPrompts) {
    ConsoleScreen screen;
    for (const char* line : {"{g 12> {b:x = 6*7", "x = 42", "{r oops}", "other"})
        screen.append(line);
    EXPECT_EQ(screen.selectionText(), "");
    screen.select(2);
    screen.extendSelection(0); // dragging upwards keeps the first line's place
    EXPECT_TRUE(screen.selected(0) && screen.selected(2) && !screen.selected(3));
    EXPECT_EQ(screen.selectionText(), "x = 6*7\nx = 42\noops\n");
    screen.clearSelection();
    EXPECT_EQ(screen.selectionText(), "");
    EXPECT_EQ(withoutPrompt("7> y"), "y");
    EXPECT_EQ(withoutPrompt("42"), "42");
    EXPECT_EQ(withoutPrompt("a1> b"), "a1> b");
}

TEST(ConsoleScreen, TopicWordsAndEchoedCommandsAreFoundUnderTheMouse) {
    const std::string line = "see {=sin} or {=cos} here";
    EXPECT_EQ(topicWordAt(line, 4), "sin");
    EXPECT_EQ(topicWordAt(line, 6), "sin");
    EXPECT_EQ(topicWordAt(line, 11), "cos");
    EXPECT_EQ(topicWordAt(line, 1), "");  // plain text
    EXPECT_EQ(topicWordAt(line, 3), "");  // a space
    EXPECT_EQ(topicWordAt(line, 99), ""); // past the end
    std::string command;
    EXPECT_TRUE(echoedCommand("{g 12> {b:x = {1}", command));
    EXPECT_EQ(command, "x = {1}");
    EXPECT_FALSE(echoedCommand("{g x> {b:y", command));
    EXPECT_FALSE(echoedCommand("x = 42", command));
}

TEST(DirectoryNames, SharedAndOverlongLeadingPartsAreCutAndRestored) {
    std::vector<std::string> names = {"/home/ann/work/a", "/home/ann/work/b"};
    std::vector<ShortName> shown = shortenDirectoryNames(names, 40);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].shown, std::string(kCutMark) + "a");
    EXPECT_EQ(fullDirectoryName(shown[1].cut, shown[1].shown), "/home/ann/work/b");
    // A name alone, or names sharing just the root, are shown whole.
    shown = shortenDirectoryNames({"/tmp"}, 40);
    EXPECT_EQ(shown[0].shown, "/tmp");
    EXPECT_EQ(shown[0].cut, "");
    // Too long for the list: the tail that fits is shown.
    std::string longName = "/x/" + std::string(50, 'd');
    shown = shortenDirectoryNames({longName, "/y"}, 20);
    EXPECT_EQ(shown[0].shown, std::string(kCutMark) + std::string(20, 'd'));
    EXPECT_EQ(fullDirectoryName(shown[0].cut, shown[0].shown), longName);
    EXPECT_EQ(shown[1].shown, "/y");
    EXPECT_EQ(fullDirectoryName(shown[1].cut, shown[1].shown), "/y");
}

} // namespace
} // namespace vemlor
