// Whole text files: `readtext` reads the lines of a file into a list of
// strings, `writetext` writes strings as lines, `dispfile` shows a file's
// lines numbered in the console.
//
// A line ends at "\n"; a "\r" before it (a file from another system) is not
// part of the line, and a last line without "\n" still counts. `writetext`
// writes a new file beside the old one and renames it into place only when
// every line was written, so an error leaves the old file as it was.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/FileNames.h"
#include "builtins/WorkingDirectory.h"
#include "core/BinaryIO.h"
#include "core/OutputSink.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Calls `take` with every line of the stream (without its line end); the
// buffer is reused from line to line.
template <class F> void forEachLine(std::FILE* stream, F take) {
    struct Buffer {
        char* text = nullptr;
        size_t capacity = 0;
        ~Buffer() { std::free(text); } // also when `take` throws
    } buffer;
    ssize_t length;
    while ((length = ::getline(&buffer.text, &buffer.capacity, stream)) > 0) {
        size_t size = size_t(length);
        if (buffer.text[size - 1] == '\n') --size;
        if (size > 0 && buffer.text[size - 1] == '\r') --size;
        take(std::string_view(buffer.text, size));
    }
}

// Opens an existing file for reading; `refusal` when that is impossible.
FilePtr openForReading(const std::string& path, std::string_view command,
                       std::string_view refusal) {
    FilePtr file;
    if (WorkingDirectory::classify(path) == WorkingDirectory::File)
        file.reset(std::fopen(path.c_str(), "rb"));
    check(file != nullptr, command, refusal);
    return file;
}

void readtext(BuiltinContext& context, std::span<const Value* const> arguments,
              std::span<ValuePtr> outputs) {
    std::string path = resolvedPath(context, *arguments[0], "txt", true, "readtext");
    FilePtr file = openForReading(path, "readtext", "cannot open " + path);
    // Each line goes straight into its string value: a large file is held
    // once, as the strings the list is made of.
    std::vector<ValuePtr> strings;
    forEachLine(file.get(), [&](std::string_view line) {
        if (strings.size() % 65536 == 65535) context.checkInterrupt(); // a huge file
        auto text = std::make_unique<IntValue>();
        text->assignString(line);
        strings.push_back(std::move(text));
    });
    check(!std::ferror(file.get()), "readtext", "cannot read " + path);
    ListValue built;
    int count = int(strings.size());
    built.setShapeKind(count, count, KIND_TEXT);
    for (int i = 0; i < count; ++i)
        built[i].value = std::move(strings[size_t(i)]);
    resultAs<ListValue>(outputs[0]).takeFrom(built);
}

bool isStringValue(const Value* v) {
    return v && v->type() != LIST_VAL && v->isString();
}

// The lines to write: the items of a list, or the rows of a string matrix.
std::vector<std::string> linesOf(const Value& strings) {
    std::vector<std::string> lines;
    if (strings.type() == LIST_VAL) {
        const auto& list = static_cast<const ListValue&>(strings);
        for (int i = 0; i < list.n; ++i) {
            const Value* item = list[i].value.get();
            check(isStringValue(item), "writetext", "every item of the list must be a string");
            lines.push_back(item->toString());
        }
        return lines;
    }
    check(isStringValue(&strings), "writetext", "the lines must be strings");
    int rows = strings.nrow, cols = strings.ncol();
    for (int r = 0; r < rows; ++r) {
        std::string line;
        for (int c = 0; c < cols; ++c)
            line += char(int(numberAt(strings, c * rows + r)));
        lines.push_back(line);
    }
    return lines;
}

void writetext(BuiltinContext& context, std::span<const Value* const> arguments,
               std::span<ValuePtr> outputs) {
    std::string path = resolvedPath(context, *arguments[0], "txt", false, "writetext");
    std::vector<std::string> lines = linesOf(*arguments[1]);
    bool written = writeFileAtomically(path, [&](BinaryWriter& out) {
        for (const std::string& line : lines) {
            out.writeBytes(line.data(), line.size());
            out.writeBytes("\n", 1);
        }
        return !out.failed();
    });
    check(written, "writetext", "cannot open " + path + " (" + std::strerror(errno) + ")");
    resultAs<DoubleValue>(outputs[0]).assignScalar(double(lines.size()));
}

void dispfile(BuiltinContext& context, std::span<const Value* const> arguments,
              std::span<ValuePtr> outputs) {
    std::string typed = stringArgument(*arguments[0], "dispfile", "the file name");
    std::string path = resolvedPath(context, *arguments[0], "vml", true, "dispfile");
    double around =
        arguments.size() > 1 ? scalarOf(*arguments[1], "dispfile", "invalid argument") : 0;
    FilePtr file = openForReading(path, "dispfile", "invalid file name");
    OutputSink& out = context.output();
    out.print("{*----" + typed + "----------} ", true, PRINT_MARKUP);
    int count = 0;
    forEachLine(file.get(), [&](std::string_view line) {
        ++count;
        if (around < 1 || std::abs(around - count) < 6)
            out.print(std::to_string(count) + ": " + std::string(line), true, PRINT_LITERAL);
    });
    resultAs<DoubleValue>(outputs[0]).assignScalar(count);
}

void save(BuiltinContext&, std::span<const Value* const>, std::span<ValuePtr>) {
    raiseRuntime("save", "built-in version of save is not yet implemented; sorry! (Maybe try "
                         "savecsv or fwrite)");
}

} // namespace

std::span<const BuiltinDefinition> textFilesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("readtext", readtext, LIST_VAL, 1, 1),
        defineBuiltin("writetext", writetext, DOUBLE_VAL, 2, 2),
        defineBuiltin("dispfile", dispfile, DOUBLE_VAL, 1, 2),
        defineBuiltin("save", save, DOUBLE_VAL, 2, kUnlimitedArgs),
    };
    return table;
}

} // namespace vemlor
