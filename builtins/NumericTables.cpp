// `load`: a table of numbers from a text file, skipping the header lines
// before it. Numbers are separated by spaces, tabs and commas; the first data
// line fixes the column count, and every later line must give as many.
//
// The file is read whole and parsed in place with std::from_chars, one pass
// and no allocation per number. A blank line inside the table is skipped. A
// line that gives fewer numbers than the first one is an inconsistent line
// when more follow, and leaves an irregular table when it is the last; text
// after the numbers of a line is ignored. With a second argument the rest of
// the file is one flat column of numbers, up to the first thing that is not
// one.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/FileNames.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, or false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& text) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        text.append(chunk, got);
    return !std::ferror(file.get());
}

bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A reading position in the text, one line at a time.
class TableReader {
  public:
    explicit TableReader(const std::string& text)
        : p_(text.data()), end_(text.data() + text.size()) {}

    bool atEnd() const { return p_ >= end_; }
    int lineNumber() const { return line_; }
    void skipSeparators() {
        while (p_ < end_ && isSeparator(*p_))
            ++p_;
    }
    bool atLineEnd() const { return p_ >= end_ || *p_ == '\n'; }
    // Moves past the rest of the current line.
    void nextLine() {
        while (p_ < end_ && *p_ != '\n')
            ++p_;
        if (p_ < end_) ++p_;
        ++line_;
    }
    // Whether the line starts, after separators, like a number: a digit, a
    // "." before a digit, or a "-" before a digit or ".".
    bool atDataLine() {
        skipSeparators();
        if (atLineEnd()) return false;
        char c = p_[0], d = p_ + 1 < end_ ? p_[1] : '\0';
        if (isDigit(c)) return true;
        if (c == '.') return isDigit(d);
        return c == '-' && (isDigit(d) || d == '.');
    }
    // Reads the next number on this line; false at the line's end or at
    // anything that is not a number.
    bool number(double& x) {
        skipSeparators();
        if (atLineEnd()) return false;
        const char* start = *p_ == '+' ? p_ + 1 : p_;
        auto [after, error] = std::from_chars(start, end_, x);
        if (error != std::errc() && error != std::errc::result_out_of_range) return false;
        if (after < end_ && !isSeparator(*after) && *after != '\n') return false;
        // Beyond the doubles: from_chars leaves x alone, strtod gives the
        // infinity or the zero the number rounds to.
        if (error == std::errc::result_out_of_range)
            x = std::strtod(std::string(start, after).c_str(), nullptr);
        p_ = after;
        return true;
    }
    bool onlyBlankLinesLeft() {
        for (; !atEnd(); nextLine()) {
            skipSeparators();
            if (!atLineEnd()) return false;
        }
        return true;
    }
    // Skips header lines; false when no data line follows.
    bool findData() {
        while (!atEnd()) {
            if (atDataLine()) return true;
            nextLine();
        }
        return false;
    }

  private:
    const char* p_;
    const char* end_;
    int line_ = 1;
};

// Every number from here to the first thing that is not one, across lines.
std::vector<double> flatNumbers(TableReader& reader) {
    std::vector<double> numbers;
    for (double x;;) {
        while (!reader.atEnd()) {
            reader.skipSeparators();
            if (!reader.atLineEnd()) break;
            reader.nextLine();
        }
        if (reader.atEnd() || !reader.number(x)) break;
        numbers.push_back(x);
    }
    return numbers;
}

struct Table {
    std::vector<double> numbers; // row by row
    int columns = 0;
};

// The numbers of the first data line fix the column count.
Table readTable(TableReader& reader, const std::string& path) {
    Table table;
    int first = reader.lineNumber();
    for (double x; reader.number(x);)
        table.numbers.push_back(x);
    table.columns = int(table.numbers.size());
    check(table.columns > 0, "load",
          path + " has inconsistent format at line " + std::to_string(first));
    reader.nextLine();
    while (!reader.atEnd()) {
        reader.skipSeparators();
        if (reader.atLineEnd()) {
            reader.nextLine();
            continue;
        }
        int line = reader.lineNumber();
        int got = 0;
        for (double x; got < table.columns && reader.number(x); ++got)
            table.numbers.push_back(x);
        bool textFollows = !reader.atLineEnd();
        reader.nextLine();
        if (got == table.columns) continue;
        bool lastLine = !textFollows && reader.onlyBlankLinesLeft();
        check(lastLine, "load", path + " has inconsistent format at line " + std::to_string(line));
        break;
    }
    check(table.numbers.size() % size_t(table.columns) == 0, "load",
          "irregularity in the table of data in the file");
    return table;
}

void deliverColumn(const std::vector<double>& numbers, int columns, int column, ValuePtr& slot) {
    int rows = int(numbers.size() / size_t(columns));
    DoubleValue& out = resultAs<DoubleValue>(slot);
    out.setShapeKind(rows, rows, KIND_NUMERIC);
    for (int r = 0; r < rows; ++r)
        out[r] = numbers[size_t(r) * size_t(columns) + size_t(column)];
}

void deliverMatrix(const Table& table, ValuePtr& slot) {
    int columns = table.columns;
    int rows = columns ? int(table.numbers.size() / size_t(columns)) : 0;
    DoubleValue& out = resultAs<DoubleValue>(slot);
    out.setShapeKind(rows * columns, rows, KIND_NUMERIC);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            out[c * rows + r] = table.numbers[size_t(r) * size_t(columns) + size_t(c)];
}

void load(BuiltinContext& context, std::span<const Value* const> arguments,
          std::span<ValuePtr> outputs) {
    std::string path = resolvedPath(context, *arguments[0], "txt", true, "load");
    bool flat = arguments.size() > 1;
    check(!flat || outputs.size() == 1, "load", "too many output arguments");
    std::string text;
    check(readWholeFile(path, text), "load", "cannot open " + path);
    TableReader reader(text);
    if (!reader.findData()) {
        check(outputs.size() == 1, "load", "not enough number columns in the file");
        resultAs<DoubleValue>(outputs[0]).setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    if (flat) {
        Table table{flatNumbers(reader), 1};
        deliverColumn(table.numbers, 1, 0, outputs[0]);
        return;
    }
    Table table = readTable(reader, path);
    check(int(outputs.size()) <= table.columns, "load", "not enough number columns in the file");
    if (outputs.size() == 1) return deliverMatrix(table, outputs[0]);
    for (size_t i = 0; i < outputs.size(); ++i)
        deliverColumn(table.numbers, table.columns, int(i), outputs[i]);
}

} // namespace

std::span<const BuiltinDefinition> numericTablesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("load", load, DOUBLE_VAL, 1, 2),
    };
    return table;
}

} // namespace vemlor
