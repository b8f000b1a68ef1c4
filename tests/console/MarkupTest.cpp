// The markup decoder: whole-line forms, group headers, scripts, escapes,
// ";" groups with their backslash sequences, and the two shared tables.
#include "console/Markup.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

constexpr uint32_t kDefault = makeRgb(1, 2, 3);

DecodedLine decode(std::string_view line) {
    return decodeMarkup(line, kDefault);
}

// Text of segment i.
std::string pieceOf(const DecodedLine& d, size_t i) {
    return d.text.substr(size_t(d.startOf(i)), size_t(d.segments[i].end - d.startOf(i)));
}

void expectSegment(const DecodedLine& d, size_t i, std::string_view text, uint32_t rgb,
                   bool coloured, char style, int offset = 0) {
    ASSERT_LT(i, d.segments.size());
    EXPECT_EQ(pieceOf(d, i), text) << "segment " << i;
    EXPECT_EQ(d.segments[i].rgb, rgb) << "segment " << i;
    EXPECT_EQ(d.segments[i].coloured, coloured) << "segment " << i;
    EXPECT_EQ(d.segments[i].style, style) << "segment " << i;
    EXPECT_EQ(d.segments[i].offset, offset) << "segment " << i;
}

constexpr uint32_t kRed = makeRgb(170, 0, 0);
constexpr uint32_t kGreen = makeRgb(0, 100, 0);
constexpr uint32_t kBlue = makeRgb(0, 0, 100);

TEST(MarkupWholeLine, PlainLinesAndSingleCharactersAreOneDefaultSegment) {
    for (std::string_view line : {"x = 3.5 (plain)", "{", "}"}) {
        DecodedLine d = decode(line);
        ASSERT_TRUE(d.ok());
        EXPECT_EQ(d.text, line);
        ASSERT_EQ(d.segments.size(), 1u);
        expectSegment(d, 0, line, kDefault, false, ' ');
    }
    EXPECT_TRUE(decode("").segments.empty());
}

TEST(MarkupWholeLine, LiteralPrefixesShowTheRestAsItStands) {
    EXPECT_EQ(decode("{:a{r b}_{c}").text, "a{r b}_{c}");
    // A whole line opened by "{;" is literal too: no backslash sequences.
    DecodedLine d = decode("{;\\leq}");
    EXPECT_EQ(d.text, "\\leq}");
    ASSERT_EQ(d.segments.size(), 1u);
    EXPECT_FALSE(d.segments[0].coloured);
}

TEST(MarkupWholeLine, LeadingCloserOrScriptMarkIsLiteral) {
    for (std::string_view line : {"}x{r y}", "_a{b}", "^{2}"}) {
        DecodedLine d = decode(line);
        ASSERT_TRUE(d.ok()) << line;
        EXPECT_EQ(d.text, line);
        ASSERT_EQ(d.segments.size(), 1u);
    }
}

TEST(MarkupWholeLine, RedGroupSpanningTheLineDropsItsClosingBrace) {
    DecodedLine d = decode("{r something failed}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "something failed");
    ASSERT_EQ(d.segments.size(), 1u);
    expectSegment(d, 0, "something failed", kRed, true, ' ');
}

TEST(MarkupWholeLine, SpanningGroupKeepsInnerClosersAndRunsToTheEnd) {
    EXPECT_EQ(decode("{r a}b}").text, "a}b");
    DecodedLine unclosed = decode("{g still green");
    EXPECT_EQ(unclosed.text, "still green");
    expectSegment(unclosed, 0, "still green", kGreen, true, ' ');
}

TEST(MarkupGroups, ColonGroupShowsBracesLiterallyInItsColour) {
    DecodedLine d = decode("{b:f{x} = {1}}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "f{x} = {1}}");
    ASSERT_EQ(d.segments.size(), 1u);
    expectSegment(d, 0, "f{x} = {1}}", kBlue, true, ':');
}

TEST(MarkupGroups, EchoLineHasGreenPromptAndBlueLiteralCommand) {
    DecodedLine d = decode("{g 12> {b:a = [1 2]_{3} {r x}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "12> a = [1 2]_{3} {r x}");
    ASSERT_EQ(d.segments.size(), 2u);
    expectSegment(d, 0, "12> ", kGreen, true, ' ');
    expectSegment(d, 1, "a = [1 2]_{3} {r x}", kBlue, true, ':');
}

TEST(MarkupGroups, HeaderFormsSetColourAndStyle) {
    DecodedLine d = decode("a {*bold} {/it} {=topic} {-tail} {.dot} {r*x} {h y}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "a bold it topic tail dot x y");
    expectSegment(d, 1, "bold", kDefault, false, '*');
    expectSegment(d, 3, "it", kDefault, false, '/');
    expectSegment(d, 5, "topic", kDefault, false, '=');
    expectSegment(d, 7, "tail", kDefault, false, '-');
    expectSegment(d, 9, "dot", kDefault, false, '.');
    expectSegment(d, 11, "x", kRed, true, '*');
    // A letter without a colour draws black.
    expectSegment(d, 13, "y", makeRgb(0, 0, 0), true, ' ');
}

TEST(MarkupGroups, BraceWithoutHeaderAndItsPartnerAreText) {
    DecodedLine d = decode("s = {1, {2}} {r ok}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "s = {1, {2}} ok");
    expectSegment(d, 0, "s = {1, {2}} ", kDefault, false, ' ');
    expectSegment(d, 1, "ok", kRed, true, ' ');
}

TEST(MarkupGroups, ClosingReturnsToDefaultColourAndPlainStyle) {
    // Closing the inner colour group gives the default colour, not red.
    DecodedLine colours = decode("{r a {g b} c}");
    ASSERT_TRUE(colours.ok());
    EXPECT_EQ(colours.text, "a b c");
    ASSERT_EQ(colours.segments.size(), 3u);
    expectSegment(colours, 0, "a ", kRed, true, ' ');
    expectSegment(colours, 1, "b", kGreen, true, ' ');
    expectSegment(colours, 2, " c", kDefault, false, ' ');

    // A style group keeps the colour but ends the enclosing bold style.
    DecodedLine styles = decode("{r red {/it} still} x{*bold {g g} plain}");
    ASSERT_TRUE(styles.ok());
    EXPECT_EQ(styles.text, "red it still xbold g plain");
    expectSegment(styles, 0, "red ", kRed, true, ' ');
    expectSegment(styles, 1, "it", kRed, true, '/');
    expectSegment(styles, 2, " still", kRed, true, ' ');
    expectSegment(styles, 3, " x", kDefault, false, ' ');
    expectSegment(styles, 4, "bold ", kDefault, false, '*');
    expectSegment(styles, 5, "g", kGreen, true, ' ');
    expectSegment(styles, 6, " plain", kDefault, false, ' ');
}

TEST(MarkupScripts, SubscriptAndSuperscriptGroups) {
    DecodedLine d = decode("x_{2} + y^{n}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "x2 + yn");
    ASSERT_EQ(d.segments.size(), 4u);
    expectSegment(d, 0, "x", kDefault, false, ' ');
    expectSegment(d, 1, "2", kDefault, false, '_', -3);
    expectSegment(d, 2, " + y", kDefault, false, ' ');
    expectSegment(d, 3, "n", kDefault, false, '^', 2);
    EXPECT_FALSE(sharesPreviousX(d.segments, 3));
}

TEST(MarkupScripts, SubscriptFollowedBySuperscriptStack) {
    DecodedLine d = decode("x_{i}^{2}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "xi2");
    ASSERT_EQ(d.segments.size(), 3u);
    EXPECT_FALSE(sharesPreviousX(d.segments, 1));
    EXPECT_TRUE(sharesPreviousX(d.segments, 2));
}

TEST(MarkupScripts, ScriptStyleInAHeader) {
    DecodedLine d = decode("{r^2}");
    expectSegment(d, 0, "2", kRed, true, '^', 2);
    DecodedLine sub = decode("a {_low}");
    expectSegment(sub, 1, "low", kDefault, false, '_', -3);
}

TEST(MarkupEscapes, BackslashBeforeABraceShowsTheBrace) {
    DecodedLine d = decode("a\\{b\\} {r c\\}}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "a{b} c}");
    expectSegment(d, 0, "a{b} ", kDefault, false, ' ');
    expectSegment(d, 1, "c}", kRed, true, ' ');
    // Elsewhere a backslash is ordinary text.
    EXPECT_EQ(decode("a\\b {r c}").text, "a\\b c");
}

TEST(MarkupSymbols, CodeInSemicolonGroupBecomesOneSymbolSegment) {
    DecodedLine d = decode("x {;\\leq} y");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "x \xA3 y");
    ASSERT_EQ(d.segments.size(), 3u);
    expectSegment(d, 1, "\xA3", kDefault, false, '$');
}

TEST(MarkupSymbols, InfinityIsRaisedAndTextAfterACodeIsKept) {
    DecodedLine d = decode("n {r;\\inf and a\\neq b}");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.text, "n \xA5 and a\xB9 b");
    expectSegment(d, 1, "\xA5", kRed, true, '$', 1);
    expectSegment(d, 2, " and a", kRed, true, ';');
    expectSegment(d, 3, "\xB9", kRed, true, '$', 0);
    expectSegment(d, 4, " b", kRed, true, ';');
}

TEST(MarkupSymbols, SingleCharactersBoldAndLiteralPieces) {
    struct Case {
        std::string_view line, text;
    } cases[] = {
        {"t {;\\a}", "t a"},          // one character: Symbol alpha
        {"t {;\\a b}", "t a b"},      // first character in Symbol, rest as is
        {"t {;\\vx + 1}", "t x + 1"}, // bold x
        {"t {;\\vec}", "t \\vec"},    // "v" then a word: literal
        {"t {;\\leqx}", "t \\leqx"},  // a code running on into a word: literal
        {"t {;\\xyz}", "t \\xyz"},    // not a code: literal
        {"t {;\\1 b}", "t \\1 b"},    // digit before a non-word: literal
        {"t {;a\\}", "t a}"},         // escaped brace, group left open
    };
    for (const Case& c : cases) {
        DecodedLine d = decode(c.line);
        ASSERT_TRUE(d.ok()) << c.line;
        EXPECT_EQ(d.text, c.text) << c.line;
    }
    DecodedLine alpha = decode("t {;\\a b}");
    expectSegment(alpha, 1, "a", kDefault, false, '$');
    expectSegment(alpha, 2, " b", kDefault, false, ';');
    DecodedLine bold = decode("t {;\\vx + 1}");
    expectSegment(bold, 1, "x", kDefault, false, '*');
    DecodedLine literal = decode("t {;\\1 b}");
    ASSERT_EQ(literal.segments.size(), 2u);
    expectSegment(literal, 1, "\\1 b", kDefault, false, ';');
}

TEST(MarkupErrors, UnmatchedCloserIsReported) {
    for (std::string_view line : {"a}b", "x {r a}}", "{1}}"}) {
        DecodedLine d = decode(line);
        EXPECT_FALSE(d.ok()) << line;
        EXPECT_EQ(d.error, "something wrong with text decoding");
    }
}

TEST(MarkupPlainText, VisibleTextOnly) {
    EXPECT_EQ(plainText("{r error in {g f}} at x_{1}"), "error in f at x1");
    EXPECT_EQ(plainText("{;a_b}"), "a_b}");
}

TEST(MarkupTables, ListedColours) {
    EXPECT_EQ(markupColour('r'), makeRgb(170, 0, 0));
    EXPECT_EQ(markupColour('z'), makeRgb(0, 20, 168));
    EXPECT_EQ(markupColour('k'), makeRgb(0, 0, 0));
    EXPECT_FALSE(markupColour('h').has_value());
    EXPECT_FALSE(markupColour('H').has_value());
    EXPECT_FALSE(markupColour('S').has_value());
    EXPECT_FALSE(markupColour('\xE9').has_value());
}

TEST(MarkupTables, UpperCaseColoursDerivedOnlyWhereMissing) {
    // Each component times 3/2, integer division, capped at 255.
    EXPECT_EQ(markupColour('R'), makeRgb(255, 0, 0)); // 170*3/2 = 255
    EXPECT_EQ(markupColour('A'), makeRgb(15, 15, 15));
    EXPECT_EQ(markupColour('N'), makeRgb(255, 210, 255)); // 140 -> 210, 200 -> 300 capped
    EXPECT_EQ(markupColour('Z'), makeRgb(0, 30, 252));
    EXPECT_EQ(markupColour('P'), makeRgb(240, 192, 202));
    // Upper-case letters with their own colour keep it.
    EXPECT_EQ(markupColour('B'), makeRgb(0, 0, 130));
    EXPECT_EQ(markupColour('G'), makeRgb(144, 238, 144));
    EXPECT_EQ(markupColour('C'), makeRgb(255, 255, 223));
    EXPECT_EQ(markupColour('K'), makeRgb(10, 10, 10));
    EXPECT_EQ(markupColour('Q'), makeRgb(0, 255, 255));
}

TEST(MarkupTables, SymbolCodes) {
    EXPECT_EQ(markupSymbol("leq"), 163);
    EXPECT_EQ(markupSymbol("int"), 242);
    EXPECT_EQ(markupSymbol("crt"), 211);
    EXPECT_EQ(markupSymbol("nab"), 209);
    EXPECT_EQ(markupSymbol("dot"), 183);
    EXPECT_EQ(markupSymbol("le"), -1);
    EXPECT_EQ(markupSymbol("LEQ"), -1);
}

} // namespace
} // namespace vemlor
