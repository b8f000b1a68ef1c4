// Display of values: layout by stringForm, colour codes, row limits and
// truncation notes, column and row marks, strings, 3-D arrays and lists.
// A capturing sink records every print call exactly as the console gets it.
#include "core/Display.h"

#include "core/Errors.h"
#include "core/MathMatrix.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace vemlor {
namespace {

struct Printed {
    std::string text;
    bool newLine;
    int mode;
};

class CaptureSink : public OutputSink {
  public:
    std::vector<Printed> printed;
    char separator = 'x';
    std::vector<char> separatorsSet;

    void print(std::string_view text, bool newLine, int mode) override {
        printed.push_back({std::string(text), newLine, mode});
    }
    char setItemSeparator(char s) override {
        separatorsSet.push_back(s);
        char previous = separator;
        separator = s;
        return previous;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Printed& p : printed)
            out.push_back(p.text);
        return out;
    }
};

using Lines = std::vector<std::string>;

// A rows-by-cols value whose elements are given in storage (column-major) order.
template <class V>
std::unique_ptr<V> stored(int rows, int cols, std::vector<double> elements, int kind = 0) {
    auto v = std::make_unique<V>();
    v->setShapeKind(rows * cols, rows, kind);
    for (int i = 0; i < rows * cols; ++i)
        (*v)[i] = typename V::element_type(elements[size_t(i)]);
    return v;
}

// A column 1, 2, ..., rows of integers.
std::unique_ptr<IntValue> countingColumn(int rows) {
    std::vector<double> e(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i)
        e[size_t(i)] = i + 1;
    return stored<IntValue>(rows, 1, e);
}

std::unique_ptr<IntValue> stringValue(std::string_view text) {
    auto v = std::make_unique<IntValue>();
    v->assignString(text);
    return v;
}

CaptureSink shown(const Value& v, DisplayOptions options = {}) {
    CaptureSink sink;
    display(v, sink, options);
    return sink;
}

TEST(ColourCode, LetterFromTheWholeKindWord) {
    EXPECT_EQ(colourCode(DoubleValue(1.5)), 'b');
    EXPECT_EQ(colourCode(IntValue(1)), 'k');
    EXPECT_EQ(colourCode(*stringValue("a")), 'g');
    EXPECT_EQ(colourCode(*stored<DoubleValue>(1, 1, {65}, KIND_STRING)), 'O');
    EXPECT_EQ(colourCode(*stored<DoubleValue>(1, 1, {1}, KIND_BOOL)), 'r');
    EXPECT_EQ(colourCode(*stored<IntValue>(1, 1, {1}, KIND_BOOL)), 'm');
    EXPECT_EQ(colourCode(*stored<DoubleValue>(1, 1, {1}, KIND_COMPLEX)), 'B');
    EXPECT_EQ(colourCode(*stored<IntValue>(1, 1, {1}, KIND_COMPLEX)), 'a');
    EXPECT_EQ(colourCode(*stored<IntValue>(1, 1, {1}, KIND_FUNCREF)), 'g');
    EXPECT_EQ(colourCode(*stored<DoubleValue>(1, 2, {1, 2}, kind3D(2))), 'g');
}

TEST(DisplayScalar, OneLineAtNineDigitsHonouringTheNewLineFlag) {
    CaptureSink sink = shown(DoubleValue(std::numbers::pi), {.newLine = false});
    ASSERT_EQ(sink.printed.size(), 1u);
    EXPECT_EQ(sink.printed[0].text, "{b 3.14159265}");
    EXPECT_FALSE(sink.printed[0].newLine);
    EXPECT_EQ(sink.printed[0].mode, PRINT_MARKUP);
    EXPECT_EQ(shown(IntValue(-12)).texts(), Lines{"{k -12}"});
    EXPECT_EQ(shown(ComplexValue({1, 1e-20})).texts(), Lines{"{b 1}"});
    EXPECT_EQ(shown(ComplexValue({1, -2})).texts(), Lines{"{b 1-2i}"});
}

TEST(DisplayScalar, ClosedFormLineOnRequest) {
    EXPECT_EQ(shown(DoubleValue(std::numbers::pi / 4), {.closedForm = true}).texts(),
              (Lines{"{b 0.785398163}", "{b        = (1/4 pi)}"}));
    EXPECT_EQ(shown(DoubleValue(0.7071067811865476), {.closedForm = true}).texts(),
              (Lines{"{b 0.707106781}", "{b        = sqrt1/2}"}));
    // Without the flag, and for integer values, only the number.
    EXPECT_EQ(shown(DoubleValue(std::numbers::pi / 4)).texts(), Lines{"{b 0.785398163}"});
    EXPECT_EQ(shown(IntValue(3), {.closedForm = true}).texts(), Lines{"{k 3}"});
}

TEST(StringForm, EmptyValuesAndLists) {
    EXPECT_EQ(stringForm(9, IntValue(), 0, 0, 0), Lines{"[]"});
    EXPECT_EQ(stringForm(9, *stringValue(""), 0, 0, 0), Lines{"''"});
    EXPECT_EQ(stringForm(9, ListValue(), 0, 0, 0), Lines{"[]"});
    ListValue list;
    list.assignScalar(1.0);
    try {
        stringForm(9, list, 0, 0, 0);
        FAIL() << "a list was laid out";
    } catch (const RuntimeError& e) {
        EXPECT_STREQ(e.what(), "text form of a list not implemented");
    }
}

TEST(StringForm, ColumnsRightAlignedOneWiderThanTheirWidest) {
    // [1 -2.5; 100 3]
    auto m = stored<DoubleValue>(2, 2, {1, 100, -2.5, 3});
    EXPECT_EQ(stringForm(9, *m, 0, 0, 0), (Lines{"   1 -2.5", " 100    3"}));
}

TEST(StringForm, LeavingOutOneRowOrColumnShowsAll) {
    auto column = countingColumn(20);
    EXPECT_EQ(stringForm(9, *column, 0, 19, 0).size(), 20u);
    Lines cut = stringForm(9, *column, 0, 18, 0);
    ASSERT_EQ(cut.size(), 19u); // 18 rows and then the last one
    EXPECT_EQ(cut[17], " 18");
    EXPECT_EQ(cut[18], " 20");
    auto row = stored<IntValue>(1, 8, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(stringForm(9, *row, 0, 0, 3), Lines{" 1 2 3"});
    EXPECT_EQ(stringForm(9, *row, 0, 0, 7), Lines{" 1 2 3 4 5 6 7 8"});
}

TEST(StringForm, AtMostHundredNumericColumnsButWholeStrings) {
    auto zeros = stored<IntValue>(1, 150, std::vector<double>(150, 0));
    Lines lines = stringForm(9, *zeros, 0, 0, 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 200u); // 100 times " 0"
    EXPECT_EQ(stringForm(9, *stringValue(std::string(150, 'z')), 0, 0, 0)[0].size(), 150u);
}

TEST(StringForm, EveryGroupColumnMarkedAndWidenedByThree) {
    auto row = stored<IntValue>(
        2, 12, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12});
    Lines lines = stringForm(5, *row, 5, 0, 0);
    EXPECT_EQ(lines[0], " 1 2 3 4 {*5} 6 7 8 9 {*10} 11 12");
    EXPECT_EQ(lines[1], lines[0]);
    EXPECT_EQ(stringForm(5, *row, 0, 0, 0)[0], " 1 2 3 4 5 6 7 8 9 10 11 12");
}

TEST(DisplayMatrix, PrecisionNineBelowFourColumnsElseFive) {
    double pi = std::numbers::pi, e = std::numbers::e;
    EXPECT_EQ(shown(*stored<DoubleValue>(1, 3, {pi, e, 1})).texts(),
              Lines{"{b  3.14159265 2.71828183 1}"});
    EXPECT_EQ(shown(*stored<DoubleValue>(1, 4, {pi, e, 1, 2})).texts(),
              Lines{"{b  3.1416 2.7183 1 2}"});
    EXPECT_EQ(shown(*stored<DoubleValue>(1, 4, {1e5, 2.5e-7, 1, 2})).texts(),
              Lines{"{b  1e5 2.5e-7 1 2}"});
}

TEST(DisplayMatrix, ThirtyRowsShowNineteenThenTheLastWithANote) {
    CaptureSink sink = shown(*countingColumn(30), {.newLine = false});
    Lines expected{"  {k 1}",    "  {k 2}",
                   "  {k 3}",    "  {k 4}",
                   "  {k {*5}}", "  {k 6}",
                   "  {k 7}",    "  {k 8}",
                   "  {k 9}",    " {k {*10}}",
                   " {k 11}",    " {k 12}",
                   " {k 13}",    " {k 14}",
                   " {k {*15}}", " {k 16}",
                   " {k 17}",    " {k 18}",
                   " {k 19}",    "{k ...}",
                   " {k {*30}}", "(19 rows of 30 shown)"};
    EXPECT_EQ(sink.texts(), expected);
    for (const Printed& p : sink.printed) {
        EXPECT_TRUE(p.newLine);
        EXPECT_EQ(p.mode, PRINT_MARKUP);
    }
}

TEST(DisplayMatrix, RowLimitsShortAndLong) {
    Lines at25 = shown(*countingColumn(25)).texts();
    ASSERT_EQ(at25.size(), 22u);
    EXPECT_EQ(at25[19], "{k ...}");
    EXPECT_EQ(at25[20], " {k {*25}}");
    EXPECT_EQ(at25[21], "(19 rows of 25 shown)");
    Lines at24 = shown(*countingColumn(24)).texts();
    ASSERT_EQ(at24.size(), 24u);
    EXPECT_EQ(at24.back(), " {k 24}");
    Lines longRows = shown(*countingColumn(200), {.longRows = true}).texts();
    ASSERT_EQ(longRows.size(), 153u);
    EXPECT_EQ(longRows[149], " {k {*150}}");
    EXPECT_EQ(longRows[151], " {k {*200}}");
    EXPECT_EQ(longRows[152], "(150 rows of 200 shown)");
    EXPECT_EQ(shown(*countingColumn(155), {.longRows = true}).texts().size(), 155u);
    EXPECT_EQ(shown(*countingColumn(156), {.longRows = true}).texts().size(), 153u);
}

TEST(DisplayMatrix, NoRowMarksBelowTenRows) {
    EXPECT_EQ(shown(*countingColumn(9)).texts()[4], "{k  5}");
}

TEST(DisplayMatrix, WideRowKeepsBlanksOutsideItsColourGroup) {
    std::vector<double> e(12);
    for (int i = 0; i < 12; ++i)
        e[size_t(i)] = i + 1;
    EXPECT_EQ(shown(*stored<IntValue>(1, 12, e)).texts(),
              Lines{" {k 1 2 3 4 {*5} 6 7 8 9 {*10} 11 12}"});
}

TEST(DisplayMatrix, ThreeDimensionalArrayAsPagesSideBySide) {
    // 2 x 2 x 2, pages [1 3; 2 4] and [5 7; 6 8] stored one after the other.
    auto cube = stored<IntValue>(2, 4, {1, 2, 3, 4, 5, 6, 7, 8}, kind3D(2));
    EXPECT_EQ(shown(*cube).texts(), (Lines{"{g  1 3 5 7}", "{g  2 4 6 8}"}));
    EXPECT_EQ(cube->kind, kind3D(2));
}

TEST(DisplayString, OneLinePerRowShownAsItStandsInTheLiteralStyle) {
    EXPECT_EQ(shown(*stringValue("hello")).texts(), Lines{"{g:hello"});
    EXPECT_EQ(shown(*stringValue("a{r b}_c")).texts(), Lines{"{g:a{r b}_c"});
    // ["abc"; "def"] stored column-major.
    auto rows = stored<IntValue>(2, 3, {'a', 'd', 'b', 'e', 'c', 'f'}, KIND_STRING);
    EXPECT_EQ(shown(*rows).texts(), (Lines{"{g:abc", "{g:def"}));
    EXPECT_EQ(shown(*stored<DoubleValue>(1, 2, {'h', 'i'}, KIND_STRING)).texts(), Lines{"{O:hi"});
}

TEST(DisplayEmpty, QuotesForStringsBracketsOtherwise) {
    EXPECT_EQ(shown(*stringValue("")).texts(), Lines{"{g ''}"});
    EXPECT_EQ(shown(DoubleValue()).texts(), Lines{"{b []}"});
}

// A column list holding 1, "ab" and 2.5.
std::unique_ptr<ListValue> smallList(int rows, int cols) {
    auto list = std::make_unique<ListValue>();
    list->setShapeKind(rows * cols, rows, 0);
    for (int i = 0; i < rows * cols; ++i) {
        if (i % 3 == 0) (*list)[i].value = std::make_unique<IntValue>(i + 1);
        if (i % 3 == 1) (*list)[i].value = stringValue("ab");
        if (i % 3 == 2) (*list)[i].value = std::make_unique<DoubleValue>(2.5);
    }
    return list;
}

TEST(DisplayList, ItemsInOrderWithTheSeparatorSetAndRestored) {
    CaptureSink column = shown(*smallList(3, 1));
    EXPECT_EQ(column.texts(), (Lines{"{k 1}", "{g:ab", "{b 2.5}"}));
    EXPECT_EQ(column.separatorsSet, (std::vector<char>{';', 'x'}));
    CaptureSink row = shown(*smallList(1, 3));
    EXPECT_EQ(row.separatorsSet, (std::vector<char>{',', 'x'}));
}

TEST(DisplayList, FurtherRowsOfAMultiColumnListAreAnnounced) {
    // Items stored column-major: (1,1)=1 (2,1)="ab" (1,2)=2.5 (2,2)=4.
    EXPECT_EQ(shown(*smallList(2, 2)).texts(),
              (Lines{"{k 1}", "{b 2.5}", "---next row---", "{g:ab", "{k 4}"}));
}

TEST(DisplayList, LongListsAreCutWithoutTouchingTheSeparator) {
    CaptureSink sink = shown(*smallList(30, 1));
    Lines texts = sink.texts();
    ASSERT_EQ(texts.size(), 21u);
    EXPECT_EQ(texts[18], "{k 19}");
    EXPECT_EQ(texts[19], "{b ...}");
    EXPECT_EQ(texts[20], "(19 items of 30 shown)");
    EXPECT_TRUE(sink.separatorsSet.empty());
}

TEST(DisplayList, EmptyItemsAndNestedMatrices) {
    ListValue list;
    list.setShapeKind(2, 2, 0);
    list[1].value = stored<IntValue>(2, 1, {7, 8});
    EXPECT_EQ(shown(list).texts(), (Lines{"{b []}", "{k  7}", "{k  8}"}));
}

TEST(DisplayList, TextListOneIndentedItemPerLine) {
    ListValue words;
    words.setShapeKind(2, 2, KIND_TEXT);
    words[0].value = stringValue("one");
    words[1].value = stringValue("two");
    EXPECT_EQ(shown(words, {.indent = 4}).texts(), (Lines{"{g:    one", "{g:    two"}));
}

TEST(DisplayList, TextListInsideAListIsIndentedFurther) {
    auto words = std::make_unique<ListValue>();
    words->assignString("w"); // a one-item text list
    ListValue outer;
    outer.setShapeKind(2, 2, 0);
    outer[0].value = std::make_unique<IntValue>(5);
    outer[1].value = std::move(words);
    EXPECT_EQ(shown(outer).texts(), (Lines{"{k 5}", "{g:  w"}));
}

// Claims to be a list without list storage.
class FakeList : public MathMatrix<int> {
  public:
    FakeList() {
        assignScalarInt(1);
        type_ = LIST_VAL;
    }
};

TEST(DisplayList, ListTypeWithoutListStorageIsRefused) {
    FakeList fake;
    CaptureSink sink;
    try {
        display(fake, sink);
        FAIL() << "displayed";
    } catch (const InternalError& e) {
        EXPECT_STREQ(e.what(), "BUG: a value of list type without list storage");
    }
}

} // namespace
} // namespace vemlor
