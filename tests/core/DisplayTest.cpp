// What the language cannot show yet of the display: the closed-form line and
// the long row limit are options no typed statement sets, and the list item
// separator goes to the console store rather than into the text. Everything
// else about display is covered by tests/lang/cases/display.cases.
#include "core/Display.h"

#include "core/MathMatrix.h"

#include <gtest/gtest.h>
#include <numbers>

namespace vemlor {
namespace {

class CaptureSink : public OutputSink {
  public:
    std::vector<std::string> lines;
    char separator = 'x';
    std::vector<char> separatorsSet;

    void print(std::string_view text, bool, int) override { lines.emplace_back(text); }
    char setItemSeparator(char s) override {
        separatorsSet.push_back(s);
        char previous = separator;
        separator = s;
        return previous;
    }
};

using Lines = std::vector<std::string>;

CaptureSink shown(const Value& v, DisplayOptions options = {}) {
    CaptureSink sink;
    display(v, sink, options);
    return sink;
}

std::unique_ptr<IntValue> countingColumn(int rows) {
    auto v = std::make_unique<IntValue>();
    v->setShapeKind(rows, rows, KIND_NUMERIC);
    for (int i = 0; i < rows; ++i)
        (*v)[i] = i + 1;
    return v;
}

TEST(Display, ClosedFormLineOnRequest) {
    EXPECT_EQ(shown(DoubleValue(std::numbers::pi / 4), {.closedForm = true}).lines,
              (Lines{"{b 0.785398163}", "{b        = (1/4 pi)}"}));
    EXPECT_EQ(shown(DoubleValue(0.7071067811865476), {.closedForm = true}).lines,
              (Lines{"{b 0.707106781}", "{b        = sqrt1/2}"}));
    EXPECT_EQ(shown(DoubleValue(std::numbers::pi / 4)).lines, Lines{"{b 0.785398163}"});
    EXPECT_EQ(shown(IntValue(3), {.closedForm = true}).lines, Lines{"{k 3}"});
}

TEST(Display, LongRowLimit) {
    Lines cut = shown(*countingColumn(200), {.longRows = true}).lines;
    ASSERT_EQ(cut.size(), 153u);
    EXPECT_EQ(cut[149], " {k {*150}}");
    EXPECT_EQ(cut[151], " {k {*200}}");
    EXPECT_EQ(cut[152], "(150 rows of 200 shown)");
    EXPECT_EQ(shown(*countingColumn(155), {.longRows = true}).lines.size(), 155u);
    EXPECT_EQ(shown(*countingColumn(156), {.longRows = true}).lines.size(), 153u);
}

// Short lists set the separator for their items (';' down a column, ','
// across a row) and restore it; long ones leave it alone.
TEST(Display, ListItemSeparatorIsSetAndRestored) {
    ListValue column, row, longList;
    column.resizeFillItems(3, 3, std::make_unique<IntValue>(1));
    row.resizeFillItems(3, 1, std::make_unique<IntValue>(1));
    longList.resizeFillItems(30, 30, std::make_unique<IntValue>(1));
    EXPECT_EQ(shown(column).separatorsSet, (std::vector<char>{';', 'x'}));
    EXPECT_EQ(shown(row).separatorsSet, (std::vector<char>{',', 'x'}));
    EXPECT_TRUE(shown(longList).separatorsSet.empty());
}

} // namespace
} // namespace vemlor
