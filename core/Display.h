// Showing values in the console: `stringForm` lays a value out as text lines
// and `Display` prints those lines, with colour markup, into an OutputSink.
//
// Markup of a displayed line. Every line goes out through
// print(text, newLine, PRINT_MARKUP) inside one colour group whose letter is
// the value's colour code (see colourCode), in one of three forms:
//   - numbers: "{c " + line + "}", a group spanning the line;
//   - numbers carrying "{*" ... "}" marks (every 5th column of a matrix with
//     10 or more columns, every 5th row of one with 10 or more rows): the
//     leading blanks stay in front, blanks + "{c " + rest + "}", so that the
//     line does not open with a group and the console reads the marks as bold
//     groups nested in the colour group (numeric rows always begin with a
//     blank);
//   - string contents: "{c:" + line, the literal style, which shows the rest
//     of the line as it stands, braces and all, and needs no closing brace.
// The notes "(19 rows of 30 shown)", "(k items of n shown)" and the
// "---next row---" lines are printed without colour; "..." lines take the
// value's colour.
//
// Lines: a value that displays as one line (scalar, one-row matrix or string,
// empty value) honours DisplayOptions::newLine; any longer display starts
// every line on a fresh console line. Items of a list are displayed one per
// line (an item can itself take several lines); for lists of fewer than 24
// items the item separator (';' for a column, ',' otherwise) is set on the
// sink for the duration and then restored. Items of a list are displayed
// with the indentation raised by 2, so nested text lists stand out.
//
// A scalar double shown with DisplayOptions::closedForm gets a second line,
// "       = " + closedForm(x, 1e-11), unless that text begins with a blank
// (when no formula fits, the recogniser gives back the number's digits). A
// 3-D array is laid out as its nrow-by-(ncol * pages) matrix as if its kind
// were 0, but keeps the colour of its own kind word ('g').
#pragma once

#include "core/OutputSink.h"
#include "core/Value.h"

#include <string>
#include <vector>

namespace vemlor {

// The value's lines: strings one line per row, numbers in right-aligned
// columns (widest entry + 1), every `columnGroup`-th column marked with
// "{*" ... "}" when columnGroup > 0. maxRows / maxCols of 0 mean no limit;
// when rows are left out, the last row follows the shown ones as one extra
// line. A list refuses with "text form of a list not implemented".
std::vector<std::string> stringForm(int precision, const Value& v, int columnGroup, int maxRows,
                                    int maxCols);

// The colour letter of a value: "bkOgrmBagggg"[min(11, kind * 2 + isInt)].
char colourCode(const Value& v);

struct DisplayOptions {
    bool longRows = false;   // row limit 156 instead of 25
    bool newLine = true;     // a one-line display starts a fresh console line
    bool closedForm = false; // a scalar double is followed by its closed form
    int indent = 0;          // blanks in front of each item of a text list
};

class Display {
  public:
    explicit Display(OutputSink& out) : out_(out) {}

    void show(const Value& v, DisplayOptions options = {});

  private:
    enum class LineForm { Plain, Marked, Literal };

    OutputSink& out_;

    void showScalar(const Value& v, char colour, DisplayOptions options);
    void showLines(const Value& v, int layoutKind, char colour, DisplayOptions options);
    void showTextList(const Value& list, DisplayOptions options);
    void showList(const Value& list, DisplayOptions options);
    void showItem(const Value* item, DisplayOptions options);
    void printItemsNote(const Value& list, int shownItems);
    void printLine(const std::string& line, char colour, LineForm form = LineForm::Plain,
                   bool newLine = true);
    void printPlain(const std::string& text);
};

// Shorthand for Display(out).show(v, options).
inline void display(const Value& v, OutputSink& out, DisplayOptions options = {}) {
    Display(out).show(v, options);
}

} // namespace vemlor
