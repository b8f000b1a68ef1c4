// Terminal rendering of markup and the Symbol-font table behind it.
#include "console/TerminalRenderer.h"
#include "console/SymbolFont.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

TEST(TerminalRendererAnsi, RedGroupGetsTrueColourAndReset) {
    EXPECT_EQ(renderAnsi("{r failed}"), "\x1b[38;2;170;0;0mfailed\x1b[0m");
    EXPECT_EQ(renderAnsi("{R x}"), "\x1b[38;2;255;0;0mx\x1b[0m");
}

TEST(TerminalRendererAnsi, StylesAndPlainStretches) {
    EXPECT_EQ(renderAnsi("plain line"), "plain line");
    EXPECT_EQ(renderAnsi("a {*b} c"), "a \x1b[1mb\x1b[0m c");
    EXPECT_EQ(renderAnsi("{/it}"), "\x1b[3mit\x1b[0m");
    EXPECT_EQ(renderAnsi("see {=plot}"), "see \x1b[4mplot\x1b[0m");
    EXPECT_EQ(renderAnsi("{r*x}"), "\x1b[1;38;2;170;0;0mx\x1b[0m");
    // Two coloured segments in a row: the second starts from a reset.
    EXPECT_EQ(renderAnsi("{g 1> {b:x}"), "\x1b[38;2;0;100;0m1> \x1b[0m\x1b[38;2;0;0;100mx}\x1b[0m");
}

TEST(TerminalRendererAnsi, ScriptsInLineAndSymbolsAsUtf8) {
    EXPECT_EQ(renderAnsi("x^{2} + y_{i}"), "x2 + yi");
    EXPECT_EQ(renderAnsi("a {;\\leq} b"), "a \u2264 b");
}

TEST(TerminalRendererAnsi, UndecodableLineIsShownAsItStands) {
    EXPECT_EQ(renderAnsi("a}b"), "a}b");
    EXPECT_EQ(renderPlain("{r a}}x}"), "a}}x");
    EXPECT_EQ(renderPlain("x {r a}}"), "x {r a}}");
}

TEST(TerminalRendererPlain, SymbolCharactersBecomeUtf8) {
    EXPECT_EQ(renderPlain("x {;\\leq} y {;\\neq\\inf}"), "x \u2264 y \u2260\u221E");
    EXPECT_EQ(renderPlain("{$abgp}"), "\u03B1\u03B2\u03B3\u03C0");
    EXPECT_EQ(renderPlain("{r error} at {g f}"), "error at f");
}

TEST(TerminalRendererPlain, OtherBytesPassThroughUnchanged) {
    EXPECT_EQ(renderPlain("caf\xE9 \xA3"), "caf\xE9 \xA3");
    EXPECT_EQ(renderPlain("{;x_1 {r}"), "x_1 {r}");
}

TEST(SymbolFont, GreekLetters) {
    EXPECT_EQ(symbolToUtf8('a'), "\u03B1");
    EXPECT_EQ(symbolToUtf8('c'), "\u03C7");
    EXPECT_EQ(symbolToUtf8('q'), "\u03B8");
    EXPECT_EQ(symbolToUtf8('w'), "\u03C9");
    EXPECT_EQ(symbolToUtf8('D'), "\u0394");
    EXPECT_EQ(symbolToUtf8('W'), "\u03A9");
    EXPECT_EQ(symbolToUtf8('Y'), "\u03A8");
}

TEST(SymbolFont, SignsOfTheSymbolTable) {
    struct Case {
        int code;
        const char* utf8;
    } cases[] = {
        {163, "\u2264"}, {179, "\u2265"}, {185, "\u2260"}, {165, "\u221E"}, {176, "\u00B0"},
        {177, "\u00B1"}, {180, "\u00D7"}, {184, "\u00F7"}, {181, "\u221D"}, {186, "\u2261"},
        {187, "\u2248"}, {196, "\u2297"}, {197, "\u2295"}, {167, "\u2663"}, {168, "\u2666"},
        {169, "\u2665"}, {170, "\u2660"}, {171, "\u2194"}, {172, "\u2190"}, {173, "\u2191"},
        {174, "\u2192"}, {175, "\u2193"}, {188, "\u2026"}, {209, "\u2207"}, {225, "\u2329"},
        {241, "\u232A"}, {229, "\u2211"}, {213, "\u220F"}, {214, "\u221A"}, {242, "\u222B"},
        {182, "\u2202"}, {211, "\u00A9"}, {254, "\u23AD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(symbolToUtf8((unsigned char)c.code), c.utf8) << c.code;
}

TEST(SymbolFont, AsciiAndGaps) {
    EXPECT_EQ(symbolToUtf8('1'), "1");
    EXPECT_EQ(symbolToUtf8('+'), "+");
    EXPECT_EQ(symbolToUtf8('-'), "\u2212");
    EXPECT_EQ(symbolCodePoint(240), U'\uFFFD');
    EXPECT_EQ(symbolCodePoint(255), U'\uFFFD');
    EXPECT_EQ(symbolCodePoint(130), U'\uFFFD');
}

} // namespace
} // namespace vemlor
