// Layout of values as text lines and their printing with colour markup.
// The row limits, marks and notes follow the rules described in Display.h;
// nothing here changes the value shown (a 3-D array is laid out through an
// explicit layout kind instead of a temporary change of its kind word).
#include "core/Display.h"

#include "core/ClosedForm.h"
#include "core/Errors.h"
#include "core/MathMatrix.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vemlor {

namespace {

constexpr char COLOUR_CODES[] = "bkOgrmBagggg";
constexpr int LAST_COLOUR = 11;
constexpr int SHORT_ROW_LIMIT = 25;
constexpr int LONG_ROW_LIMIT = 156;
constexpr int ROWS_KEPT_OUT = 6; // a limited display shows limit - 6 rows
constexpr int MAX_NUMERIC_COLUMNS = 100;
constexpr int NARROW_COLUMNS = 4; // fewer columns than this get the long precision
constexpr int LONG_PRECISION = 9;
constexpr int SHORT_PRECISION = 5;
constexpr int GROUP = 5;         // every 5th row and column is marked ...
constexpr int MARK_FROM = 10;    // ... once there are at least 10 of them
constexpr int JOINED_ITEMS = 24; // lists shorter than this set the item separator
constexpr double CLOSED_FORM_TOLERANCE = 1e-11;
constexpr const char* CLOSED_FORM_PREFIX = "       = ";
constexpr char EMPTY_ITEM_COLOUR = 'b'; // as an empty double matrix

// How many of `total` rows (or columns) to show under `maximum` (0: no
// limit); leaving out a single one would save nothing, so then all are shown.
int shownCount(int total, int maximum) {
    if (maximum <= 0 || maximum >= total || total - maximum == 1) return total;
    return maximum;
}

int rowLimit(const DisplayOptions& options) {
    return options.longRows ? LONG_ROW_LIMIT : SHORT_ROW_LIMIT;
}

int listRowsShown(const Value& list, const DisplayOptions& options) {
    return list.nrow >= rowLimit(options) ? rowLimit(options) - ROWS_KEPT_OUT : list.nrow;
}

bool isNumericKind(int code) {
    return code == KIND_NUMERIC || code == KIND_BOOL || code == KIND_COMPLEX;
}

// Character code of element i of a string held in any numeric class.
int charCode(const Value& v, int i) {
    switch (v.type()) {
    case INTEGER_VAL:
        return static_cast<const int*>(v.rawData())[i];
    case DOUBLE_VAL: {
        double d = static_cast<const double*>(v.rawData())[i];
        return std::fabs(d) < 2147483648.0 ? int(d) : 0;
    }
    case COMPLEX_VAL: {
        double d = static_cast<const complexd*>(v.rawData())[i].real();
        return std::fabs(d) < 2147483648.0 ? int(d) : 0;
    }
    default:
        raiseBug("BUG: character code of a list");
    }
}

std::vector<int> rowsLaidOut(int nrow, int maxRows) {
    int shown = shownCount(nrow, maxRows);
    std::vector<int> rows(static_cast<size_t>(shown));
    std::iota(rows.begin(), rows.end(), 0);
    if (shown < nrow) rows.push_back(nrow - 1);
    return rows;
}

std::vector<std::string> stringLines(const Value& v, const std::vector<int>& rows, int cols) {
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (int r : rows) {
        std::string line;
        line.reserve(size_t(cols));
        for (int c = 0; c < cols; ++c)
            line += char(charCode(v, c * v.nrow + r) & 0xff);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> numberLines(const Value& v, int precision, const std::vector<int>& rows,
                                     int cols, int columnGroup) {
    size_t nr = rows.size();
    std::vector<std::string> cells(nr * size_t(cols));
    std::vector<size_t> width(size_t(cols), 0);
    for (int c = 0; c < cols; ++c) {
        for (size_t k = 0; k < nr; ++k) {
            std::string& cell = cells[size_t(c) * nr + k];
            cell = v.stringItem(c * v.nrow + rows[k], precision);
            width[size_t(c)] = std::max(width[size_t(c)], cell.size());
        }
    }
    std::vector<std::string> lines(nr);
    for (size_t k = 0; k < nr; ++k) {
        std::string& line = lines[k];
        for (int c = 0; c < cols; ++c) {
            const std::string& cell = cells[size_t(c) * nr + k];
            line.append(width[size_t(c)] + 1 - cell.size(), ' ');
            bool marked = columnGroup > 0 && (c + 1) % columnGroup == 0;
            if (marked)
                line += "{*" + cell + "}";
            else
                line += cell;
        }
    }
    return lines;
}

// stringForm with the kind code given separately, so that a 3-D array can be
// laid out as a plain matrix.
std::vector<std::string> layoutLines(int precision, const Value& v, int layoutKind, int columnGroup,
                                     int maxRows, int maxCols) {
    if (v.isEmpty()) return {layoutKind == KIND_STRING ? "''" : "[]"};
    if (v.type() == LIST_VAL) raiseRuntime("text form of a list not implemented");
    std::vector<int> rows = rowsLaidOut(v.nrow, maxRows);
    int cols = shownCount(v.ncol(), maxCols);
    if (layoutKind == KIND_STRING) return stringLines(v, rows, cols);
    if (isNumericKind(layoutKind)) cols = std::min(cols, MAX_NUMERIC_COLUMNS);
    return numberLines(v, precision, rows, cols, columnGroup);
}

// Bold mark around a row, its leading blanks left outside.
std::string markedRow(const std::string& line) {
    size_t start = std::min(line.find_first_not_of(' '), line.size());
    return line.substr(0, start) + "{*" + line.substr(start) + "}";
}

// Sets the sink's item separator for its lifetime and then restores it.
class SeparatorScope {
  public:
    SeparatorScope(OutputSink& out, bool active, char separator) : out_(out), active_(active) {
        if (active_) previous_ = out_.setItemSeparator(separator);
    }
    ~SeparatorScope() {
        if (active_) out_.setItemSeparator(previous_);
    }
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;

  private:
    OutputSink& out_;
    bool active_;
    char previous_ = 0;
};

} // namespace

std::vector<std::string> stringForm(int precision, const Value& v, int columnGroup, int maxRows,
                                    int maxCols) {
    return layoutLines(precision, v, kindCode(v.kind), columnGroup, maxRows, maxCols);
}

char colourCode(const Value& v) {
    long index = long(v.kind) * 2 + (v.type() == INTEGER_VAL ? 1 : 0);
    return COLOUR_CODES[std::clamp(index, 0L, long(LAST_COLOUR))];
}

void Display::show(const Value& v, DisplayOptions options) {
    char colour = colourCode(v);
    if (v.isEmpty()) {
        printLine(stringForm(0, v, 0, 0, 0).front(), colour, LineForm::Plain, options.newLine);
        return;
    }
    if (v.type() == LIST_VAL) {
        if (!dynamic_cast<const ListValue*>(&v))
            raiseBug("BUG: a value of list type without list storage");
        if (kindCode(v.kind) == KIND_TEXT)
            showTextList(v, options);
        else
            showList(v, options);
        return;
    }
    int code = kindCode(v.kind);
    int layoutKind = code == KIND_3D ? KIND_NUMERIC : code;
    if (layoutKind != KIND_STRING && v.n == 1)
        showScalar(v, colour, options);
    else
        showLines(v, layoutKind, colour, options);
}

void Display::showScalar(const Value& v, char colour, DisplayOptions options) {
    printLine(v.stringItem(0, LONG_PRECISION), colour, LineForm::Plain, options.newLine);
    if (!options.closedForm || v.type() != DOUBLE_VAL) return;
    std::string form = closedForm(v.scalarDouble(), CLOSED_FORM_TOLERANCE);
    if (form.empty() || form.front() != ' ') printLine(CLOSED_FORM_PREFIX + form, colour);
}

void Display::showLines(const Value& v, int layoutKind, char colour, DisplayOptions options) {
    int limit = rowLimit(options);
    int maxRows = v.nrow >= limit ? limit - ROWS_KEPT_OUT : 0;
    bool numeric = layoutKind != KIND_STRING;
    int cols = v.ncol();
    int precision = cols < NARROW_COLUMNS ? LONG_PRECISION : SHORT_PRECISION;
    int group = numeric && cols >= MARK_FROM ? GROUP : 0;
    std::vector<std::string> lines = layoutLines(precision, v, layoutKind, group, maxRows, 0);
    int shown = shownCount(v.nrow, maxRows);
    bool markRows = numeric && v.nrow >= MARK_FROM;
    LineForm form = !numeric                ? LineForm::Literal
                    : group > 0 || markRows ? LineForm::Marked
                                            : LineForm::Plain;
    auto rowText = [&](const std::string& line, int rowNumber) {
        return markRows && rowNumber % GROUP == 0 ? markedRow(line) : line;
    };
    bool newLine = lines.size() == 1 ? options.newLine : true;
    for (int i = 0; i < shown; ++i)
        printLine(rowText(lines[size_t(i)], i + 1), colour, form, newLine);
    if (shown == v.nrow) return;
    printLine("...", colour);
    printLine(rowText(lines.back(), v.nrow), colour, form);
    printPlain("(" + std::to_string(shown) + " rows of " + std::to_string(v.nrow) + " shown)");
}

void Display::showTextList(const Value& list, DisplayOptions options) {
    const auto& items = static_cast<const ListValue&>(list);
    int rowsShown = listRowsShown(items, options);
    int cols = items.ncol();
    std::string indent(size_t(std::max(0, options.indent)), ' ');
    DisplayOptions nested = options;
    nested.indent += 2;
    nested.newLine = true;
    for (int r = 0; r < rowsShown; ++r) {
        for (int c = 0; c < cols; ++c) {
            const Value* item = items[c * items.nrow + r].value.get();
            if (!item)
                printLine(indent, colourCode(list), LineForm::Literal);
            else if (item->type() == LIST_VAL)
                show(*item, nested);
            else
                for (const std::string& line : stringForm(LONG_PRECISION, *item, 0, 0, 0))
                    printLine(indent + line, colourCode(*item), LineForm::Literal);
        }
    }
    if (rowsShown < items.nrow) printItemsNote(list, rowsShown * cols);
}

void Display::showList(const Value& list, DisplayOptions options) {
    const auto& items = static_cast<const ListValue&>(list);
    int rowsShown = listRowsShown(items, options);
    int cols = items.ncol();
    SeparatorScope separator(out_, items.n < JOINED_ITEMS, cols == 1 ? ';' : ',');
    DisplayOptions inner = options;
    inner.indent += 2;
    inner.newLine = items.n == 1 ? options.newLine : true;
    for (int r = 0; r < rowsShown; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (cols > 1 && r > 0 && c == 0) printPlain("---next row---");
            showItem(items[c * items.nrow + r].value.get(), inner);
        }
    }
    if (rowsShown < items.nrow) printItemsNote(list, rowsShown * cols);
}

void Display::printItemsNote(const Value& list, int shownItems) {
    printLine("...", colourCode(list));
    printPlain("(" + std::to_string(shownItems) + " items of " + std::to_string(list.n) +
               " shown)");
}

// An empty item shows as the empty matrix.
void Display::showItem(const Value* item, DisplayOptions options) {
    if (item)
        show(*item, options);
    else
        printLine("[]", EMPTY_ITEM_COLOUR, LineForm::Plain, options.newLine);
}

void Display::printLine(const std::string& line, char colour, LineForm form, bool newLine) {
    size_t start =
        form == LineForm::Marked ? std::min(line.find_first_not_of(' '), line.size()) : 0;
    std::string text;
    text.reserve(line.size() + 4);
    text.append(line, 0, start);
    text += '{';
    text += colour;
    text += form == LineForm::Literal ? ':' : ' ';
    text.append(line, start);
    if (form != LineForm::Literal) text += '}';
    out_.print(text, newLine, PRINT_MARKUP);
}

void Display::printPlain(const std::string& text) {
    out_.print(text, true, PRINT_MARKUP);
}

} // namespace vemlor
