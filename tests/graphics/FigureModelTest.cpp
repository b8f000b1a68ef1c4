// The figure model where the language cannot show it: tick choice, the
// data-to-pixel transform, automatic limits and style parsing. Expected
// values are worked out by hand from the rules.
#include "graphics/Figure.h"
#include "graphics/Ticks.h"
#include "support/Fuzzy.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vemlor {
namespace {

using test::fuzzyEqual;

TEST(Ticks, LinearStepFollowsTheRoundedMantissa) {
    TickPlan mid = linearTicks(0.3, 0.7); // mantissa 4: the decade itself
    EXPECT_TRUE(fuzzyEqual(mid.step, 0.1));
    EXPECT_TRUE(fuzzyEqual(mid.first, 0.3));
    EXPECT_EQ(mid.count, 5);

    TickPlan wide = linearTicks(0, 9.6); // mantissa rounds to 10
    EXPECT_TRUE(fuzzyEqual(wide.step, 2));
    EXPECT_EQ(wide.subdivisions, 4);
    EXPECT_EQ(wide.count, 5); // 0 2 4 6 8

    TickPlan unit = linearTicks(0, 1); // mantissa 1
    EXPECT_TRUE(fuzzyEqual(unit.step, 0.2));
    EXPECT_EQ(unit.count, 6);
    EXPECT_TRUE(fuzzyEqual(unit.minorStep, 0.05));
}

TEST(Ticks, LinearTicksAreMultiplesOfTheStepInsideTheRange) {
    TickPlan plan = linearTicks(-9, 109.9);
    EXPECT_TRUE(fuzzyEqual(plan.step, 20));
    EXPECT_EQ(plan.first, 0);
    EXPECT_EQ(plan.count, 6); // 0 ... 100
    TickPlan negative = linearTicks(-1.2, 1.2);
    EXPECT_TRUE(fuzzyEqual(negative.first, -1));
    EXPECT_EQ(negative.count, 5);
}

TEST(Ticks, LogarithmicAxesTickDecadesOrGroupsOfThem) {
    TickPlan decades = logarithmicTicks(1, 1000);
    EXPECT_TRUE(decades.multiplicative);
    EXPECT_TRUE(fuzzyEqual(decades.first, 1));
    EXPECT_TRUE(fuzzyEqual(decades.step, 10));
    EXPECT_EQ(decades.count, 4);

    TickPlan many = logarithmicTicks(1e-20, 1e5); // 25 decades: every 5th
    EXPECT_TRUE(fuzzyEqual(many.step, 1e5));
    EXPECT_EQ(many.count, 6);

    TickPlan narrow = logarithmicTicks(2, 9); // under two decades: linear ticks
    EXPECT_FALSE(narrow.multiplicative);
    EXPECT_EQ(narrow.subdivisions, 0);
}

TEST(AutomaticLimits, MarginsOnYSnappingAndZero) {
    auto [a, b] = automaticLimits(-1, 1, true, true);
    EXPECT_TRUE(fuzzyEqual(a, -1.2));
    EXPECT_TRUE(fuzzyEqual(b, 1.2));
    auto [x0, x1] = automaticLimits(1, 10, false, true); // extended to zero
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(x1, 10);
    auto [s0, s1] = automaticLimits(3, 3, false, true);
    EXPECT_LT(s0, 3);
    EXPECT_GT(s1, 3);
    auto [l0, l1] = automaticLimits(3, 4000, false, false); // whole decades
    EXPECT_TRUE(fuzzyEqual(l0, 1));
    EXPECT_TRUE(fuzzyEqual(l1, 10000));
    auto [n0, n1] = automaticLimits(-5, -1, false, false);
    EXPECT_TRUE(fuzzyEqual(n0, 0.1));
    EXPECT_TRUE(fuzzyEqual(n1, 1));
}

TEST(Transform, DefaultPlotAreaInTheDefaultClientSize) {
    Frame frame;
    frame.computeTransform(570, 406);
    EXPECT_TRUE(fuzzyEqual(frame.pixelX(0), 57));
    EXPECT_TRUE(fuzzyEqual(frame.pixelX(1), 541.5));
    EXPECT_TRUE(fuzzyEqual(frame.pixelY(0), 345.1));
    EXPECT_TRUE(fuzzyEqual(frame.pixelY(1), 8.12));
    EXPECT_TRUE(std::isnan(frame.pixelX(NAN)));
    EXPECT_TRUE(std::isnan(frame.pixelX(INFINITY)));
}

TEST(Transform, LogarithmicLimitsAtOrBelowZeroAreReplaced) {
    Frame frame;
    frame.yLinear = false;
    frame.ymin = -1;
    frame.ymax = 0;
    frame.computeTransform(570, 406);
    EXPECT_TRUE(fuzzyEqual(frame.ymax, 1e-10));
    EXPECT_TRUE(fuzzyEqual(frame.ymin, 1e-20));
    EXPECT_TRUE(std::isnan(frame.pixelY(0)));
    EXPECT_TRUE(std::isnan(frame.pixelY(-3)));
}

TEST(Transform, EqualScaleKeepsTheDataCentred) {
    Frame frame;
    frame.xmin = -2, frame.xmax = 2, frame.ymin = -1, frame.ymax = 1;
    frame.equalScale = true;
    frame.computeTransform(570, 406);
    double unitX = frame.pixelX(1) - frame.pixelX(0);
    double unitY = frame.pixelY(0) - frame.pixelY(1);
    EXPECT_TRUE(fuzzyEqual(unitX, unitY));
    EXPECT_TRUE(fuzzyEqual(frame.pixelX(0), (57 + 541.5) / 2));
    EXPECT_TRUE(fuzzyEqual(frame.pixelY(0), (345.1 + 8.12) / 2));
}

TEST(Frame, PlotAreaOfZeroSizeChangesNothingAndTextAtTheSamePlaceReplaces) {
    Frame frame;
    frame.setPlotArea({0.3, 0.3, 0, 0});
    EXPECT_EQ(frame.plotArea, (FractionRect{0.1, 0.15, 0.85, 0.83}));
    frame.setPlotArea({0.2, 0.5, 0.6, 0});
    EXPECT_EQ(frame.plotArea, (FractionRect{0.2, 0.15, 0.6, 0.83}));
    int first = frame.add(std::make_unique<TextLabel>("a", 1, 2, "n"));
    int second = frame.add(std::make_unique<TextLabel>("b", 1, 2, "n"));
    int third = frame.add(std::make_unique<TextLabel>("c", 1, 2, "s"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(third, first + 1);
    EXPECT_EQ(static_cast<TextLabel*>(frame.item(first))->text, "b");
}

TEST(Style, FieldsOfAStyleString) {
    ColourLookup colours;
    PenBlock pen;
    applyStyle("r-o3", pen, colours);
    EXPECT_EQ(pen.lineColour, 0xaa0000u);
    EXPECT_TRUE(pen.line);
    EXPECT_EQ(pen.marker, 'o');
    EXPECT_EQ(pen.markerSize, 3);
    EXPECT_EQ(pen.width, 1); // the digits belong to the marker

    PenBlock dashed;
    dashed.width = 3;
    applyStyle("b=5", dashed, colours);
    EXPECT_EQ(dashed.penStyle, PenStyle::Dashed);
    EXPECT_EQ(dashed.width, 1); // only solid lines are wide

    PenBlock filled;
    applyStyle("#g", filled, colours);
    EXPECT_EQ(filled.fillColour, 0x006400u);
    EXPECT_FALSE(filled.line);

    PenBlock crosses;
    applyStyle("x", crosses, colours);
    EXPECT_EQ(crosses.marker, 'x');
    EXPECT_EQ(crosses.lineColour, 0u);
    EXPECT_FALSE(crosses.line);

    PenBlock wide;
    applyStyle("^k4", wide, colours);
    EXPECT_TRUE(wide.invert);
    EXPECT_EQ(wide.width, 4);
    EXPECT_TRUE(wide.line);
}

TEST(Style, UserColoursAndPlacementCodes) {
    ColourLookup colours;
    colours.define('u', 0x123456);
    PenBlock pen;
    applyStyle("u", pen, colours);
    EXPECT_EQ(pen.lineColour, 0x123456u);
    EXPECT_EQ(placementCode("ne"), 2);
    EXPECT_EQ(placementCode("S"), 9);
    EXPECT_EQ(placementCode("W|"), 4);
    EXPECT_EQ(placementCode(""), 5);
}

} // namespace
} // namespace vemlor
