// Operator spellings and the rules on where operators may stand.
#include "frontend/LexTestSupport.h"

#include <gtest/gtest.h>

using namespace vemlor;
using namespace vemlor::test;

namespace {

struct Spelling {
    const char* text;
    int kind;
    char code;
};

// The operator in "a <op> b" (or the token after the first one).
Token operatorIn(const std::string& spelling) {
    TokenList tokens = lexLine("a " + spelling + " b");
    EXPECT_EQ(tokens.size(), 3u) << spelling;
    return tokens.size() > 1 ? tokens[1] : Token{};
}

} // namespace

TEST(LexerOperators, BinarySpellingsReduceToOneCode) {
    const Spelling cases[] = {
        {"+", 5, '+'},     {"-", 5, '-'},   {"*", 5, '*'},   {"/", 5, '/'},  {"^", 5, '^'},
        {"<", 5, '<'},     {">", 5, '>'},   {"&", 5, '&'},   {"?", 5, '?'},  {"%", 5, '%'},
        {"@", 5, '@'},     {".", 5, '.'},   {"_", 5, '_'},   {"|", 5, '|'},  {"_/", 5, '_'},
        {"^^", 5, 'R'},    {"==", 5, 'E'},  {"===", 5, 'I'}, {"&&", 5, 'A'}, {"And", 5, 'A'},
        {"||", 5, 'O'},    {"Or", 5, 'O'},  {"//", 5, 'V'},  {">>", 5, 'o'}, {"??", 5, 'Q'},
        {"<=", 5, 'L'},    {"~=", 5, 'N'},  {">=", 5, 'G'},  {"@+", 5, 'p'}, {"@-", 5, 'm'},
        {"@^", 5, 'v'},    {"@&", 5, 'a'},  {"@|", 5, 'r'},  {"@!", 5, 'X'}, {"mod", 5, 'u'},
        {"xor", 5, 'x'},   {"vec", 5, 'v'}, {"and", 5, '&'}, {"or", 5, '|'}, {"bitand", 5, 'a'},
        {"bitor", 5, 'r'},
    };
    for (const Spelling& c : cases) {
        Token t = operatorIn(c.text);
        EXPECT_EQ(t.kind, c.kind) << c.text;
        EXPECT_EQ(t.code, c.code) << c.text;
        EXPECT_TRUE(t.text.empty()) << c.text;
    }
}

TEST(LexerOperators, AssignmentSpellings) {
    const Spelling cases[] = {{"=", 7, '='},  {"*=", 7, 'T'}, {"+=", 7, 'P'}, {"-=", 7, 'M'},
                              {"/=", 7, 'D'}, {",=", 7, 'C'}, {";=", 7, 'S'}, {"<<", 7, 'g'}};
    for (const Spelling& c : cases) {
        Token t = operatorIn(c.text);
        EXPECT_EQ(t.kind, c.kind) << c.text;
        EXPECT_EQ(t.code, c.code) << c.text;
    }
}

TEST(LexerOperators, SeparatorsTerminatorsAndDefinitions) {
    EXPECT_EQ(shape(lexLine("a, b; c: d :: e")), "1:, 8:, 1:; 8:; 1:: 8:: 1:  8:W 1: ");
    EXPECT_EQ(shape(lexLine("a;; b;! c;?")), "1:; 13:; 1:; 13:! 1:; 13:?");
    TokenList def = lexLine("f(x) := x^2 + 1");
    ASSERT_GE(def.size(), 3u);
    EXPECT_EQ(def[2].kind, TK_DEFINE);
    EXPECT_EQ(def[2].code, ':');
    EXPECT_EQ(def[2].text, "x^2 + 1");
    // The body is lexed too: the parser builds it from the tokens.
    EXPECT_EQ(shape(def), "1:( 9:) 12:: 1:^ 5:^ 2:0 5:+ 2:0");
    TokenList vec = lexLine("g(x) ::= -x");
    EXPECT_EQ(shape(vec), "1:( 9:) 12:v 6:- 1: ");
    EXPECT_EQ(vec[2].text, "-x");
}

TEST(LexerOperators, PrefixAndPostfixOperators) {
    EXPECT_EQ(shape(lexLine("y = ~b")), "1:  7:= 6:~ 1: ");
    EXPECT_EQ(shape(lexLine("y = a!")), "1:  7:= 1:! 6:!");
    EXPECT_EQ(shape(lexLine("y = a'")), "1:  7:= 1:' 6:'");
    EXPECT_EQ(shape(lexLine("y = a\"")), "1:  7:= 1:\" 6:\"");
    EXPECT_EQ(shape(lexLine("++a")), "6:i 1: ");
    EXPECT_EQ(shape(lexLine("--a")), "6:d 1: ");
    // At the start of an expression these operators are prefix ones.
    EXPECT_EQ(shape(lexLine("?sin")), "6:? 1: ");
    EXPECT_EQ(shape(lexLine("?? x")), "6:Q 1: ");
    EXPECT_EQ(shape(lexLine("<< x")), "6:g 1: ");
    EXPECT_EQ(shape(lexLine("x = -y")), "1:  7:= 6:- 1: ");
    // After an operator or separator only - ~ ++ -- may follow, as prefixes.
    EXPECT_EQ(shape(lexLine("a * -b")), "1:  5:* 6:- 1: ");
    EXPECT_EQ(shape(lexLine("f(a, ~b)")), "1:( 9:)");
    EXPECT_EQ(shape(lexLine("f(a, ~b)")[1].children), "1:, 8:, 6:~ 1:)");
}

TEST(LexerOperators, SuchThatParentDirectoryAndEllipsis) {
    int suchThat = -1;
    TokenList tokens = lexLine("y = a /. a = 2", {}, &suchThat);
    EXPECT_EQ(shape(tokens), "1:  7:= 1:  8:J 1:  7:= 2:0");
    EXPECT_EQ(suchThat, 3);
    // A second assignment is fine once the such-that clause has begun.
    TokenList parent = lexLine("x = ..");
    ASSERT_EQ(parent.size(), 3u);
    EXPECT_EQ(parent[2].kind, TK_NAME);
    EXPECT_EQ(parent[2].text, "..");
    EXPECT_EQ(parent[2].code, 'f');
    // The ellipsis leaves no token and joins the next line.
    EXPECT_EQ(shape(lexLine("x = a ...", {"+ b"})), "1:  7:= 1:  5:+ 1: ");
    EXPECT_EQ(shape(lexLine("x = a ... # why", {"+ b"})), "1:  7:= 1:  5:+ 1: ");
}

TEST(LexerOperators, WordsNeedAWordBoundary) {
    EXPECT_EQ(shape(lexLine("modx = ordo")), "1:  7:= 1: ");
    EXPECT_EQ(shape(lexLine("a mod_b")), "1:  1: ");
}

TEST(LexerOperators, NeedsMoreInput) {
    EXPECT_FALSE(needsMoreInput({}));
    EXPECT_TRUE(needsMoreInput(lexLine("x = 3 +", {"4"})) == false);
    ScriptedInput none;
    TokenList tokens;
    int index = -1;
    // A help query, a "<<" statement and a wildcard pattern may end in an operator.
    for (const char* line : {"? a +", "a << b +", "x << *", "who a*"}) {
        tokens.clear();
        EXPECT_NO_THROW(lex(std::string(line) + " #", '#', none, tokens, &index)) << line;
    }
    EXPECT_EQ(lexFailure("who a *"), syntax("dangling operator or more input needed"));
    EXPECT_EQ(lexFailure("x ="), syntax("dangling operator or more input needed"));
    EXPECT_EQ(lexFailure("f(1),"), syntax("dangling operator or more input needed"));
    EXPECT_EQ(shape(lexLine("x =", {"5"})), "1:  7:= 2:0");
}

TEST(LexerOperators, Failures) {
    EXPECT_EQ(lexFailure("!a"), syntax("operator '!' cannot appear at the start"));
    EXPECT_EQ(lexFailure("a = b = 1"), syntax("2nd assignment"));
    EXPECT_EQ(lexFailure("a += b << 1"), syntax("2nd assignment"));
    EXPECT_EQ(lexFailure("a * / b"), syntax("two adjacent operators"));
    EXPECT_EQ(lexFailure("f(a, *b)"), syntax("two adjacent operators"));
    EXPECT_EQ(lexFailure("* a"), syntax("expression began with operator"));
    EXPECT_EQ(lexFailure("a = * b"), syntax("expression began with operator"));
    EXPECT_EQ(lexFailure("a = !b"), syntax("unattached '!' operator"));
    EXPECT_EQ(lexFailure("a !"), syntax("unattached '!' operator"));
    EXPECT_EQ(lexFailure("a ** b"), syntax("unrecognised operator"));
    EXPECT_EQ(lexFailure("a != b"), syntax("unrecognised operator"));
    EXPECT_EQ(lexFailure("a @% b"), syntax("unrecognised operator"));
    EXPECT_EQ(lexFailure("x = ++ a"), syntax("++ or -- must be attached to a name"));
    EXPECT_EQ(lexFailure("x = --3"), syntax("++ or -- must be attached to a name"));
    EXPECT_EQ(lexFailure("f(a /. a = 1)"), syntax("such that (/.) operator illegal here"));
    EXPECT_EQ(lexFailure("y = a /. a = 1 /. b = 2"), syntax("two /. clauses in one line"));
    EXPECT_EQ(lexFailure("a = 1 + ... 2"), syntax("stray ellipsis"));
    EXPECT_EQ(lexFailure(", a"), syntax("expression starts wrong"));
    EXPECT_EQ(lexFailure("a = , b"), syntax("expression starts wrong"));
    EXPECT_EQ(lexFailure("f(a,,b)"), syntax("double comma"));
    EXPECT_EQ(lexFailure("a $ b"), syntax("unrecognised character"));
    EXPECT_EQ(lexFailure("a)"), syntax("unexpected closing bracket"));
    EXPECT_EQ(lexFailure("(a]"), syntax("unexpected closing bracket"));
    EXPECT_EQ(lexFailure("cd.."), syntax("missing space, bracket or string"));
    // Without the " #" the statement reader appends, the text just stops.
    ScriptedInput none;
    TokenList tokens;
    EXPECT_EQ(failureOf([&] { lex("x = 1", '#', none, tokens, nullptr); }),
              syntax("unexpected end of line"));
}

TEST(LexerOperators, CommandWords) {
    TokenList cd = lexLine("cd my dir ; x = 1");
    EXPECT_EQ(shape(cd), "1:  4:\" 8:; 1:  7:= 2:0");
    EXPECT_EQ(cd[0].text, "cd");
    EXPECT_EQ(cd[1].text, "my dir");
    TokenList parent = lexLine("cd ..");
    EXPECT_EQ(parent[1].text, "..");
    EXPECT_EQ(shape(lexLine("cd(\"x\")")), "1:( 9:)");
    EXPECT_EQ(shape(lexLine("dir 'a'")), "1:  4:'");
    EXPECT_EQ(shape(lexLine("dir")), "1: ");
    EXPECT_EQ(shape(lexLine("dir;")), "1:; 8:;");
    EXPECT_EQ(shape(lexLine("cdx = dirt")), "1:  7:= 1: ");
}

TEST(LexerOperators, BackslashReferences) {
    TokenList one = lexLine("f(\\g)");
    ASSERT_EQ(one[1].children.size(), 1u);
    EXPECT_EQ(one[1].children[0].kind, TK_BACKSLASH);
    EXPECT_EQ(one[1].children[0].code, 1);
    EXPECT_EQ(one[1].children[0].text, "g");
    TokenList two = lexLine("x = \\\\ ");
    EXPECT_EQ(shape(two), "1:  7:= 14:2");
    EXPECT_EQ(two[2].text, "");
}
