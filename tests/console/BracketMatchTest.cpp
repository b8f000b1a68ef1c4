// Bracket matching on the input line.
#include "console/BracketMatch.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

TEST(BracketMatch, PartnersInBothDirections) {
    std::string_view line = "(a[1]+b)";
    BracketMatch outer = matchBracket(line, 0);
    EXPECT_TRUE(outer.matched);
    EXPECT_EQ(outer.partner, 7);
    EXPECT_EQ(outer.openers, 2);
    EXPECT_EQ(matchBracket(line, 7).partner, 0);
    EXPECT_EQ(matchBracket(line, 2).partner, 4);
    EXPECT_EQ(matchBracket(line, 4).partner, 2);
    EXPECT_EQ(matchBracket("x = {[()]}", 4).partner, 9);
    EXPECT_EQ(matchBracket("x = {[()]}", 7).partner, 6);
}

TEST(BracketMatch, WrongOrUnexpectedCloserGivesItsNegatedPosition) {
    BracketMatch wrong = matchBracket("ab(c]", 2);
    EXPECT_FALSE(wrong.matched);
    EXPECT_EQ(wrong.partner, -4);
    EXPECT_EQ(matchBracket("ab)", 2).partner, -2);
    // The scan stops at the first bad closer even before reaching the bracket.
    EXPECT_EQ(matchBracket("a)(b)", 2).partner, -1);
    BracketMatch atStart = matchBracket(")", 0);
    EXPECT_FALSE(atStart.matched);
    EXPECT_EQ(atStart.partner, 0);
}

TEST(BracketMatch, NoAnswer) {
    BracketMatch unclosed = matchBracket("((a)", 0);
    EXPECT_FALSE(unclosed.matched);
    EXPECT_EQ(unclosed.partner, -1);
    EXPECT_EQ(unclosed.openers, 2);
    BracketMatch notBracket = matchBracket("f(x)", 0);
    EXPECT_EQ(notBracket.partner, -1);
    EXPECT_EQ(notBracket.openers, 0);
    EXPECT_EQ(matchBracket("f(x)", 4).partner, -1);
    EXPECT_EQ(matchBracket("", 0).partner, -1);
}

} // namespace
} // namespace vemlor
