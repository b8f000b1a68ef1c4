// Brackets, blank separators inside "[ ]", and lines that continue.
#include "frontend/LexTestSupport.h"

#include <gtest/gtest.h>

using namespace vemlor;
using namespace vemlor::test;

TEST(LexerBrackets, ContentsBecomeChildren) {
    TokenList call = lexLine("y = f(1, g(2))");
    EXPECT_EQ(shape(call), "1:  7:= 1:( 9:)");
    EXPECT_EQ(shape(call[3].children), "2:0 8:, 1:( 9:)");
    EXPECT_EQ(shape(call[3].children[3].children), "2:0");
    EXPECT_EQ(shape(lexLine("f()")), "1:( 9:)");
    EXPECT_TRUE(lexLine("f()")[1].children.empty());
    EXPECT_EQ(shape(lexLine("x = []")), "1:  7:= 11:0");
    EXPECT_EQ(shape(lexLine("{}")), "9:}");
}

TEST(LexerBrackets, AbsoluteValueBracket) {
    TokenList tokens = lexLine("y = (|x - 1|)");
    EXPECT_EQ(shape(tokens), "1:  7:= 1:( 9:)");
    EXPECT_EQ(tokens[2].text, "abs");
    EXPECT_EQ(shape(tokens[3].children), "1:  5:- 2:0");
    EXPECT_EQ(lexFailure("y = (|x)"), syntax("abs bracket form (| not closed"));
}

TEST(LexerBrackets, ColonIndexBrackets) {
    TokenList row = lexLine("r = m[i,:]");
    EXPECT_EQ(shape(row), "1:  7:= 1:\\ 14:1");
    EXPECT_EQ(shape(row[3].children), "1:,");
    EXPECT_EQ(row[3].children[0].text, "i");
    TokenList column = lexLine("c = m[:,j+1]");
    EXPECT_EQ(shape(column), "1:  7:= 1:\\ 14:2");
    EXPECT_EQ(shape(column[3].children), "1:+ 5:+ 2:0");
    EXPECT_EQ(lexFailure("m[2:]"), syntax("incorrect use of ':'"));
    EXPECT_EQ(lexFailure("m[:2]"), syntax("incorrect use of ':'"));
    EXPECT_EQ(lexFailure("x = [1,:]"), syntax("stray colon in the bracket"));
    EXPECT_EQ(lexFailure("x = m [1,:]"), syntax("stray colon in the bracket"));
    // A ':' inside is a range; a trailing ';' is dropped.
    EXPECT_EQ(shape(lexLine("m[1:3]")[1].children), "2:0 8:: 2:0");
    EXPECT_EQ(shape(lexLine("v = [1; 2;]")[2].children), "2:0 8:; 2:0");
}

TEST(LexerBrackets, EmptyBrackets) {
    EXPECT_EQ(lexFailure("x = ()"), syntax("empty bracket?"));
    EXPECT_EQ(lexFailure("x = [;]"), syntax("empty bracket?"));
    EXPECT_EQ(lexFailure("x = ( )"), syntax("empty bracket"));
    EXPECT_EQ(lexFailure("x = [ ]"), syntax("empty bracket"));
    EXPECT_EQ(lexFailure("x = f ()"), syntax("empty bracket?"));
    EXPECT_EQ(shape(lexLine("{ }")), "9:}");
}

TEST(LexerBrackets, WhatFollowsTheClosingCharacter) {
    EXPECT_EQ(shape(lexLine("y = (a + b)'")), "1:  7:= 9:) 6:'");
    EXPECT_EQ(shape(lexLine("y = [1 2]\"")), "1:  7:= 9:] 6:\"");
    EXPECT_EQ(shape(lexLine("y = (a).b")), "1:  7:= 10:) 5:. 1: ");
    EXPECT_EQ(lexLine("y = f(a).b")[3].kind, TK_BRACKET_DOT);
}

TEST(LexerBrackets, BlankSeparatorsInSquareBrackets) {
    EXPECT_EQ(shape(lexLine("[1 2 -3]")[0].children), "2:0 15:  2:0 15:  6:- 2:0");
    EXPECT_EQ(shape(lexLine("[1 2 - 3]")[0].children), "2:0 15:  2:0 5:- 2:0");
    EXPECT_EQ(shape(lexLine("[a - b]")[0].children), "1:  5:- 1:]");
    EXPECT_EQ(shape(lexLine("[a -b]")[0].children), "1:  15:  6:- 1:]");
    EXPECT_EQ(shape(lexLine("['x' f(1) [2]]")[0].children), "4:' 15:  1:( 9:) 15:  9:]");
    EXPECT_EQ(shape(lexLine("[1 .5]")[0].children), "2:0 15:  3:0");
    EXPECT_EQ(shape(lexLine("[a mod b]")[0].children), "1:  5:u 1:]");
    // A transposed element ends an element too.
    EXPECT_EQ(shape(lexLine("[a' b']")[0].children), "1:' 6:' 15:  1:' 6:'");
    // Round brackets have no blank separators.
    EXPECT_EQ(shape(lexLine("f(1 2)")[1].children), "2:0 2:0");
}

TEST(LexerBrackets, OpenBlockStaysOpen) {
    TokenList tokens = lexLine("if a: {b = 1");
    EXPECT_EQ(shape(tokens), "1:  1:: 8:: 9:{");
    EXPECT_EQ(shape(tokens[3].children), "1:  7:= 2:0");
    EXPECT_EQ(shape(lexLine("{")), "9:{");
    // A block end outside a bracket is its own token.
    EXPECT_EQ(shape(lexLine("}x = 2")), "16:} 1:  7:= 2:0");
}

TEST(LexerBrackets, ContinuationLines) {
    ScriptedInput input({"4"});
    Lexer lexer(input);
    TokenList tokens;
    lexer.lex("x = 3 + #", '#', tokens, nullptr);
    EXPECT_EQ(shape(tokens), "1:  7:= 2:0 5:+ 2:0");
    EXPECT_EQ(lexer.text(), "x = 3 + 4 #");

    ScriptedInput call({"2,", "3) + 1"});
    Lexer callLexer(call);
    tokens.clear();
    callLexer.lex("y = f(1, # first", '#', tokens, nullptr);
    EXPECT_EQ(shape(tokens), "1:  7:= 1:( 9:) 5:+ 2:0");
    EXPECT_EQ(shape(tokens[3].children), "2:0 8:, 2:0 8:, 2:0");
    EXPECT_EQ(callLexer.text(), "y = f(1, 2, 3) + 1 #");

    // Rows of a matrix over several lines.
    EXPECT_EQ(shape(lexLine("m = [1 2", {"3 4]"})[2].children), "2:0 15:  2:0 15:  2:0 15:  2:0");
    EXPECT_EQ(shape(lexLine("m = [1 2 ...", {"3]"})[2].children), "2:0 15:  2:0 15:  2:0");
    // A comment ends the line; the next line still starts a new element.
    EXPECT_EQ(shape(lexLine("m = [1 2 # first row", {"]"})[2].children), "2:0 15:  2:0");
    ScriptedInput rows({"3]"});
    Lexer rowLexer(rows);
    tokens.clear();
    rowLexer.lex("m = [1 2# first row #", '#', tokens, nullptr);
    EXPECT_EQ(shape(tokens[2].children), "2:0 15:  2:0 15:  2:0");
    EXPECT_EQ(rowLexer.text(), "m = [1 2 3] #");
    // A complete line reads nothing more.
    ScriptedInput spare({"never"});
    tokens.clear();
    lex("x = 1 #", '#', spare, tokens, nullptr);
    EXPECT_EQ(spare.remaining(), 1u);
}

TEST(LexerBrackets, EndOfInputInsideTheLexer) {
    EXPECT_EQ(lexFailure("x = 3 +"), syntax("dangling operator or more input needed"));
    EXPECT_EQ(lexFailure("x = a ..."), syntax("dangling operator or more input needed"));
    EXPECT_EQ(lexFailure("y = f(1, 2"), "no closing bracket for line 0: {g (1, 2");
    EXPECT_EQ(lexFailure("y = [1 2", {"3 4"}), "no closing bracket for line 0: {g [1 2");
    EXPECT_EQ(lexFailure("y = f(g(1", {"2)"}), "no closing bracket for line 0: {g (g(1");
    EXPECT_EQ(lexFailure("f(1,)"), syntax("bracket finished incorrectly"));
    EXPECT_EQ(lexFailure("y = (a +)"), syntax("bracket finished incorrectly"));
}
