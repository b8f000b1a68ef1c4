// From a logical line to queued statements: where statements end, such-that
// clauses, the display terminator of typed lines, and the line reader's
// handling of continuation lines and end of input.
#include "frontend/InputSource.h"
#include "frontend/LexTestSupport.h"
#include "frontend/LineReader.h"
#include "frontend/StatementSplitter.h"

#include <gtest/gtest.h>

using namespace vemlor;
using namespace vemlor::test;

namespace {

// The statements of a text read through a line reader, each as a shape.
std::vector<std::string> statementsOf(char mode, const std::string& text) {
    InputSource source(mode, text);
    LineReader reader(source);
    std::deque<TokenList> queue;
    while (reader.readStatements(queue)) {
    }
    std::vector<std::string> shapes;
    for (const TokenList& statement : queue)
        shapes.push_back(shape(statement));
    return shapes;
}

std::string readFailure(char mode, const std::string& text) {
    return failureOf([&] { statementsOf(mode, text); });
}

using Shapes = std::vector<std::string>;

} // namespace

TEST(StatementSplitter, TypedStatementsAreDisplayed) {
    EXPECT_EQ(statementsOf('>', "x = 3"), (Shapes{"1:  7:= 2:0 13:;"}));
    EXPECT_EQ(statementsOf('>', "x = 3;"), (Shapes{"1:  7:= 2:0"}));
    EXPECT_EQ(statementsOf('>', "x = 3; y"), (Shapes{"1:  7:= 2:0", "1:  13:;"}));
    EXPECT_EQ(statementsOf('>', "x = 3;; y;!"), (Shapes{"1:  7:= 2:0 13:;", "1:; 13:!"}));
    EXPECT_EQ(statementsOf('>', "a;?"), (Shapes{"1:; 13:?"}));
    // Text that is not typed shows nothing unless asked to.
    EXPECT_EQ(statementsOf('s', "x = 3\ry = 4;;"), (Shapes{"1:  7:= 2:0", "1:  7:= 2:0 13:;"}));
}

TEST(StatementSplitter, DefinitionsAreNotDisplayed) {
    EXPECT_EQ(statementsOf('>', "f(x) := x"), (Shapes{"1:( 9:) 12:: 1: "}));
    EXPECT_EQ(statementsOf('>', "f := 1"), (Shapes{"1:  12:: 2:0"}));
}

TEST(StatementSplitter, BlocksEndStatements) {
    // A "}" bracket ends a statement it opens or that follows ':'.
    EXPECT_EQ(statementsOf('s', "{a} b"), (Shapes{"9:}", "1: "}));
    EXPECT_EQ(statementsOf('s', "while a: {b} c"), (Shapes{"1:  1:: 8:: 9:}", "1: "}));
    EXPECT_EQ(statementsOf('s', "f(a) {b} c"), (Shapes{"1:( 9:) 9:} 1: "}));
    // Indentation gives a block end token, which ends a statement too.
    EXPECT_EQ(statementsOf('s', "if a:\r    b\rc"), (Shapes{"1:  1:: 8::", "9:{", "16:}", "1: "}));
    // Commas do not end statements.
    EXPECT_EQ(statementsOf('s', "a, b"), (Shapes{"1:, 8:, 1: "}));
}

TEST(StatementSplitter, SuchThatClauseIsQueuedFirst) {
    // At the prompt neither part is displayed.
    EXPECT_EQ(statementsOf('>', "y = a + 1 /. a = 2"),
              (Shapes{"1:  7:= 2:0", "1:  7:= 1:  5:+ 2:0 13:0"}));
    EXPECT_EQ(statementsOf('s', "y = a + 1 /. a = 2"),
              (Shapes{"1:  7:= 2:0", "1:  7:= 1:  5:+ 2:0"}));
    // A ';' before the clause is dropped; a display terminator stays.
    EXPECT_EQ(statementsOf('>', "y = a; /. a = 2; b = 1"),
              (Shapes{"1:  7:= 2:0", "1:  7:= 2:0", "1:  7:= 1:;"}));
    EXPECT_EQ(statementsOf('>', "y = a;; /. a = 2"), (Shapes{"1:  7:= 2:0", "1:  7:= 1:; 13:;"}));
    EXPECT_EQ(readFailure('>', "/. a = 2"),
              syntax("'such-that' clause is not allowed at the beginning of a line"));
}

TEST(StatementSplitter, LinesThatContinue) {
    EXPECT_EQ(statementsOf('>', "x = 3 +\r4"), (Shapes{"1:  7:= 2:0 5:+ 2:0 13:;"}));
    EXPECT_EQ(statementsOf('s', "y = f(1,\r  2,\r\r  3)"), (Shapes{"1:  7:= 1:( 9:)"}));
    EXPECT_EQ(statementsOf('s', "x = [1 2 ...\r 3]; y"), (Shapes{"1:  7:= 9:]", "1: "}));
}

TEST(StatementSplitter, SplitterKeepsAColonBetweenCalls) {
    // A "}" bracket right after a ':' that ended the previous line closes its statement.
    StatementSplitter splitter;
    std::deque<TokenList> queue;
    splitter.split(lexLine("a, b:"), -1, false, queue);
    TokenList next = lexLine("x");
    next.insert(next.begin(), lexLine("{c}")[0]);
    splitter.split(next, -1, false, queue);
    ASSERT_EQ(queue.size(), 3u);
    EXPECT_EQ(shape(queue[1]), "9:}");
    EXPECT_EQ(shape(queue[2]), "1: ");
}

TEST(LineReader, TextOfTheLogicalLine) {
    InputSource source('s', "x = 3 +   \r  4 # sum\rz = f(1,\r2");
    LineReader reader(source);
    std::deque<TokenList> queue;
    ASSERT_TRUE(reader.readStatements(queue));
    EXPECT_EQ(reader.text(), "x = 3 +    4 # sum");
    EXPECT_EQ(queue.size(), 1u);
    EXPECT_EQ(failureOf([&] { reader.readStatements(queue); }),
              "no closing bracket for line 3: {g (1,");
    EXPECT_EQ(reader.text(), "z = f(1, 2");
    EXPECT_FALSE(reader.readStatements(queue));
    EXPECT_EQ(failureOf([&] { reader.readStatements(queue, true); }), "unexpected end of input");
}

TEST(LineReader, EndOfInputMessages) {
    EXPECT_EQ(readFailure('s', "x = 3 +"), syntax("dangling operator or more input needed"));
    EXPECT_EQ(readFailure('s', "x = 3 ...\r# only a comment"),
              syntax("dangling operator or more input needed"));
    EXPECT_EQ(readFailure('s', "a\r[1,\r2"), "no closing bracket for line 2: {g [1,");
    EXPECT_EQ(readFailure('s', "y = (1 +)"), syntax("bracket finished incorrectly"));
}
