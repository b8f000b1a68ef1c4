// Numbers, strings and interpolated strings.
#include "frontend/LexTestSupport.h"

#include <gtest/gtest.h>

using namespace vemlor;
using namespace vemlor::test;

namespace {

// The single token of "x = <literal>".
Token literal(const std::string& spelling) {
    TokenList tokens = lexLine("x = " + spelling);
    EXPECT_EQ(tokens.size(), 3u) << spelling;
    return tokens.size() == 3 ? tokens[2] : Token{};
}

} // namespace

TEST(LexerLiterals, IntegersAndReals) {
    struct Case {
        const char* text;
        int kind;
    } cases[] = {{"15", TK_INT},   {"0", TK_INT},        {"1e5", TK_REAL},  {"1.5", TK_REAL},
                 {".5", TK_REAL},  {"2.5e+10", TK_REAL}, {"3e-2", TK_REAL}, {"-3", TK_INT},
                 {"-.5", TK_REAL}, {"-2.25e3", TK_REAL}};
    for (const Case& c : cases) {
        Token t = literal(c.text);
        EXPECT_EQ(t.kind, c.kind) << c.text;
        EXPECT_EQ(t.text, c.text);
        EXPECT_EQ(t.code, 0) << c.text;
    }
    // A capital E is no exponent: 1 is followed by the name E5.
    EXPECT_EQ(shape(lexLine("x = 1E5")), "1:  7:= 2:0 1: ");
    // Only at the start of an expression does "-" join the number.
    EXPECT_EQ(shape(lexLine("x = a -3")), "1:  7:= 1:  5:- 2:0");
    // A '.' right after a name is the dot operator.
    EXPECT_EQ(shape(lexLine("x = v.5")), "1:  7:= 1:. 5:. 2:0");
}

TEST(LexerLiterals, ImaginaryUnits) {
    const std::pair<const char*, const char*> cases[] = {{"0i", "0"}, {"1i", "1"},   {"0j", "0"},
                                                         {"1j", "1"}, {"-1j", "-1"}, {"-0i", "-0"}};
    for (auto [spelling, text] : cases) {
        Token t = literal(spelling);
        EXPECT_EQ(t.kind, TK_REAL) << spelling;
        EXPECT_EQ(t.code, 'i') << spelling;
        EXPECT_EQ(t.text, text) << spelling;
    }
    // Anything longer is a number followed by a name.
    EXPECT_EQ(shape(lexLine("x = 2i")), "1:  7:= 2:0 1: ");
    EXPECT_EQ(shape(lexLine("x = 1ix")), "1:  7:= 2:0 1: ");
    EXPECT_EQ(shape(lexLine("x = 10i")), "1:  7:= 2:0 1: ");
}

TEST(LexerLiterals, MalformedNumbers) {
    for (const char* text : {"1.2.3", ".5.5", "1e", "1e+", "2ex", "x = 3.25.1"})
        EXPECT_EQ(lexFailure(text), syntax("error in number")) << text;
}

TEST(LexerLiterals, Strings) {
    Token single = literal("'it''s'");
    EXPECT_EQ(single.kind, TK_STRING);
    EXPECT_EQ(single.code, '\'');
    EXPECT_EQ(single.text, "it's");
    Token dbl = literal("\"say \"\"hi\"\"\"");
    EXPECT_EQ(dbl.code, '"');
    EXPECT_EQ(dbl.text, "say \"hi\"");
    EXPECT_EQ(literal("''").text, "");
    EXPECT_EQ(literal("''").kind, TK_STRING);
    EXPECT_EQ(literal("\"\"").code, '"');
    EXPECT_EQ(literal("'''a'").text, "'a");
    EXPECT_EQ(literal("'a # b'").text, "a # b");
    EXPECT_EQ(literal("'x\"y'").text, "x\"y");
}

TEST(LexerLiterals, UnterminatedString) {
    EXPECT_EQ(lexFailure("x = 'abc"), "unterminated string at {g 'abc");
    EXPECT_EQ(lexFailure("x = \"it's"), "unterminated string at {g \"it's");
    EXPECT_EQ(lexFailure("x = 'a''"), "unterminated string at {g 'a''");
}

TEST(LexerLiterals, InterpolatedStringBecomesAConcatenation) {
    ScriptedInput none;
    Lexer lexer(none);
    TokenList tokens;
    lexer.lex("s = ^'v={x}!' #", '#', tokens, nullptr);
    EXPECT_EQ(lexer.text(), "s = ['v=' trim(str(x)) ^'!'] #");
    ASSERT_EQ(tokens.size(), 3u);
    const Token& bracket = tokens[2];
    EXPECT_EQ(bracket.kind, TK_BRACKET);
    EXPECT_EQ(bracket.code, ']');
    EXPECT_EQ(shape(bracket.children), "4:' 15:  1:( 9:) 15:  4:'");
    EXPECT_EQ(bracket.children[0].text, "v=");
    EXPECT_EQ(bracket.children[2].text, "trim");
    EXPECT_EQ(shape(bracket.children[3].children), "1:( 9:)");
    EXPECT_EQ(bracket.children[3].children[0].text, "str");
    EXPECT_EQ(bracket.children[3].children[1].children[0].text, "x");
    EXPECT_EQ(bracket.children[5].text, "!");
}

TEST(LexerLiterals, InterpolationOnlyForAPlainName) {
    EXPECT_EQ(literal("^'no brace'").text, "no brace");
    EXPECT_EQ(literal("^'{a b}'").text, "{a b}");
    EXPECT_EQ(literal("^'{1x}'").text, "{1x}");
    EXPECT_EQ(literal("^'open {x'").text, "open {x");
    EXPECT_EQ(literal("^\"\"").kind, TK_STRING);
    // Quotes in the surrounding text survive the rewriting.
    ScriptedInput none;
    Lexer lexer(none);
    TokenList tokens;
    lexer.lex("^'it''s {n}' #", '#', tokens, nullptr);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].children[0].text, "it's ");
}

TEST(LexerLiterals, InterpolationRepeatsOnTheRest) {
    ScriptedInput none;
    Lexer lexer(none);
    TokenList tokens;
    lexer.lex("^\"{a}-{b}\" #", '#', tokens, nullptr);
    EXPECT_EQ(lexer.text(), "[\"\" trim(str(a)) [\"-\" trim(str(b)) ^\"\"]] #");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(shape(tokens[0].children), "4:\" 15:  1:( 9:) 15:  9:]");
    EXPECT_EQ(shape(tokens[0].children[5].children), "4:\" 15:  1:( 9:) 15:  4:\"");
}
