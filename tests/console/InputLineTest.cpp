// The input line of the desktop console: editing keys, the history walk,
// the echo of a completed line and the band's highlighting.
#include "console/InputLine.h"

#include <gtest/gtest.h>

#include <string>

namespace vemlor {
namespace {

using Key = InputLine::Key;
using Action = InputLine::Action;

struct Band {
    CommandHistory history;
    InputLine line{history};

    void type(const std::string& text) {
        for (unsigned char c : text)
            line.character(c, false);
    }
    Action enter(const std::string& text) {
        type(text);
        return line.character(InputLine::kEnter, false);
    }
};

TEST(InputLineEditing, CharactersBackspaceDeleteAndCaretKeys) {
    Band b;
    b.line.character(InputLine::kBackspace, false); // at column 0: nothing
    b.type("abcd");
    EXPECT_EQ(b.line.caret(), 4);
    b.line.key(Key::Delete, false); // at the end: nothing
    EXPECT_EQ(b.line.text(), "abcd");
    b.line.key(Key::Left, false);
    b.line.character(InputLine::kBackspace, false);
    EXPECT_EQ(b.line.text(), "abd");
    b.line.key(Key::Home, false);
    b.line.key(Key::Left, false); // not below column 0
    b.line.key(Key::Delete, false);
    EXPECT_EQ(b.line.text(), "bd");
    b.type("x");
    EXPECT_EQ(b.line.text(), "xbd");
    b.line.key(Key::End, false);
    b.line.key(Key::Right, false); // not past the end
    EXPECT_EQ(b.line.caret(), 3);
    b.line.character(InputLine::kEscape, false);
    EXPECT_EQ(b.line.text(), "");
    EXPECT_EQ(b.line.caret(), 0);
}

TEST(InputLineEditing, TabTypesSpacesToTheNextMultipleOfFour) {
    Band b;
    b.type("ab");
    b.line.character(InputLine::kTab, false);
    EXPECT_EQ(b.line.text(), "ab  ");
    b.line.character(InputLine::kTab, false); // at column 4: a whole stop
    EXPECT_EQ(b.line.text(), "ab      ");
}

TEST(InputLineEditing, CtrlBWrapsFromTheAssignmentPointToTheCaret) {
    Band b;
    b.type("y = a + b");
    b.line.character(InputLine::kCtrlB, true);
    EXPECT_EQ(b.line.text(), "y =( a + b)");
    EXPECT_EQ(b.line.caret(), 11);

    Band doubled;
    doubled.type("a == b");
    doubled.line.character(InputLine::kCtrlBracket, true);
    EXPECT_EQ(doubled.line.text(), "a ==( b)");

    Band plain;
    plain.type("sin x");
    plain.line.key(Key::Left, false);
    plain.line.character(InputLine::kCtrlB, true);
    EXPECT_EQ(plain.line.text(), "(sin )x");
    EXPECT_EQ(plain.line.caret(), 6);

    Band empty;
    empty.line.character(InputLine::kCtrlB, true); // column 0: nothing
    EXPECT_EQ(empty.line.text(), "");
}

TEST(InputLineEditing, CtrlArrowsJumpBetweenPunctuation) {
    Band b;
    b.type("x = f(a; b)");
    b.line.key(Key::Left, true);
    EXPECT_EQ(b.line.caret(), 10); // the ")"
    b.line.key(Key::Left, true);
    EXPECT_EQ(b.line.caret(), 7); // the ";"
    b.line.key(Key::Left, true);
    b.line.key(Key::Left, true);
    EXPECT_EQ(b.line.caret(), 2); // the "="
    b.line.key(Key::Left, true);
    EXPECT_EQ(b.line.caret(), 0);
    b.line.key(Key::Right, true);
    EXPECT_EQ(b.line.caret(), 2);
    b.line.key(Key::Right, true);
    EXPECT_EQ(b.line.caret(), 5);
    b.line.key(Key::Right, true);
    b.line.key(Key::Right, true);
    b.line.key(Key::Right, true);
    EXPECT_EQ(b.line.caret(), 11); // none left: the end
}

TEST(InputLineEditing, ControlKeysReportTheirCommands) {
    Band b;
    EXPECT_EQ(b.line.character(InputLine::kCtrlC, true), Action::Copy);
    EXPECT_EQ(b.line.character(InputLine::kCtrlV, true), Action::Paste);
    EXPECT_EQ(b.line.key(Key::F9, false), Action::RunClipboard);
    EXPECT_EQ(b.line.key(Key::F5, false), Action::F5);
    EXPECT_EQ(b.line.text(), "");
}

TEST(InputLineEditing, CaretSkipsWholeMultiByteCharacters) {
    Band b;
    b.line.insert("a\xC3\xA9z"); // a, e acute, z
    EXPECT_EQ(b.line.caretColumn(), 3);
    b.line.key(Key::Left, false);
    b.line.key(Key::Left, false);
    EXPECT_EQ(b.line.caret(), 1);
    b.line.key(Key::Delete, false);
    EXPECT_EQ(b.line.text(), "az");
    b.line.setText("\xC3\xA9\xC3\xA9");
    b.line.character(InputLine::kBackspace, false);
    EXPECT_EQ(b.line.text(), "\xC3\xA9");
    b.line.setCaretColumn(9);
    EXPECT_EQ(b.line.caret(), 2);
}

TEST(InputLineEnter, CompletesTheLineAndStoresItOnce) {
    Band b;
    EXPECT_EQ(b.enter("x = 1"), Action::LineComplete);
    EXPECT_EQ(b.line.echoText(), "{g 1> {b:x = 1");
    b.line.clear();
    b.line.advancePrompt();
    EXPECT_EQ(b.line.prompt(), "2>");
    EXPECT_EQ(b.line.promptOffset(), 3);
    b.enter("x = 1");
    EXPECT_EQ(b.history.inOrder(), std::vector<std::string>{"x = 1"});
}

TEST(InputLineHistory, UpAndDownWalkTheEntriesThatMatchThePrefix) {
    Band b;
    for (const char* entry : {"a = 1", "b = 2", "a = 3"}) {
        b.enter(entry);
        b.line.clear();
    }
    // An empty prefix walks every entry.
    b.line.key(Key::Up, false);
    EXPECT_EQ(b.line.text(), "a = 3");
    b.line.key(Key::Up, false);
    EXPECT_EQ(b.line.text(), "b = 2");
    b.line.key(Key::Down, false);
    EXPECT_EQ(b.line.text(), "a = 3");
    // A walk begun after typing uses what was typed as the prefix.
    b.line.clear();
    b.type("a");
    b.line.key(Key::Up, false);
    EXPECT_EQ(b.line.text(), "a = 3");
    b.line.key(Key::Up, false);
    EXPECT_EQ(b.line.text(), "a = 1");
    // No entry begins with the prefix: the line stays.
    b.line.clear();
    b.type("zz");
    b.line.key(Key::Up, false);
    EXPECT_EQ(b.line.text(), "zz");
}

TEST(InputLineBand, QuotedAndParenthesisedStretchesAreMarked) {
    Band b;
    b.type("a 'x' f(y)");
    std::vector<bool> marks = b.line.highlightedStretches();
    std::string shown;
    for (bool mark : marks)
        shown += mark ? '#' : '.';
    // A stretch ends two columns after its closing character.
    EXPECT_EQ(shown, "..####.###");

    Band open;
    open.type("s = \"abc");
    marks = open.line.highlightedStretches();
    EXPECT_TRUE(marks[4] && marks.back()); // unterminated: to the end
}

TEST(InputLineBand, BracketPartnerNeedsTwoOpeners) {
    Band b;
    b.type("f(g(1))");
    EXPECT_EQ(b.line.bracketPartner(), 1);
    b.line.key(Key::Left, false);
    EXPECT_EQ(b.line.bracketPartner(), 3);
    Band one;
    one.type("f(1)");
    EXPECT_EQ(one.line.bracketPartner(), -1);
}

} // namespace
} // namespace vemlor
