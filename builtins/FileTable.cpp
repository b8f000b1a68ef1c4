// Files opened by scripts: `fopen` hands out ids 1 to 10 from the calling
// instance's open-file table, `fread` and `fwrite` move bytes (binary mode)
// or lines (text mode), `feof` and `fclose` finish the job.
//
// A failed open claims no id and gives an empty value, for writing as for
// reading; a directory is never opened as a file. `feof` looks one byte ahead on an input file, so
// it is true as soon as nothing is left to read and a loop `while !feof(id)` reads no empty line at
// the end. A text `fwrite` writes numbers as `str` shows them.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/FileNames.h"
#include "builtins/OpenFiles.h"
#include "builtins/WorkingDirectory.h"
#include "core/OutputSink.h"

#include <string>
#include <vector>

namespace vemlor {

namespace {

using namespace detail;
using Mode = OpenFiles::Mode;

constexpr long kLongestLine = 6003000;
constexpr const char* kOpenFailed = "fopen: file not found or can't be opened";

struct OpenRequest {
    bool read = false, write = false, append = false, binary = false;
    bool quiet = false, strict = false;
};

OpenRequest parseMode(const std::string& letters) {
    OpenRequest request;
    for (char c : letters) {
        request.read |= c == 'r';
        request.write |= c == 'w' || c == 'a';
        request.append |= c == 'a';
        request.binary |= c == 'b';
        request.quiet |= c == 'q';
        request.strict |= c == '!';
    }
    check(!(request.read && request.write), "fopen", "ambiguous read/write mode string");
    return request;
}

std::string streamMode(const OpenRequest& request) {
    std::string mode = request.append ? "a" : request.write ? "w" : "r";
    return request.binary ? mode + "b" : mode;
}

Mode tableMode(const OpenRequest& request) {
    if (request.write) return request.binary ? Mode::BinaryWrite : Mode::TextWrite;
    return request.binary ? Mode::BinaryRead : Mode::TextRead;
}

void fopen(BuiltinContext& context, const Value& name, const Value* modeText, ValuePtr& result) {
    OpenFiles& files = context.openFiles();
    int id = files.nextId("fopen");
    std::string path = resolvedPath(context, name, "", false, "fopen");
    std::string letters = modeText ? stringArgument(*modeText, "fopen", "the mode argument") : "";
    OpenRequest request = parseMode(letters);
    IntValue& out = resultAs<IntValue>(result);
    bool directory = WorkingDirectory::classify(path) == WorkingDirectory::Directory;
    std::FILE* stream = directory ? nullptr : std::fopen(path.c_str(), streamMode(request).c_str());
    if (stream) {
        files.store(id, stream, tableMode(request));
        out.assignScalarInt(id);
        return;
    }
    out.setShapeKind(0, 0, KIND_NUMERIC);
    if (request.quiet && !request.strict) return;
    context.output().print(path, true, PRINT_LITERAL);
    context.output().print(kOpenFailed, true, PRINT_LITERAL);
    if (request.strict) raiseRuntime(kOpenFailed);
}

// A file id or count must be one number; anything else asks a value of an
// empty array, as the indexing code does.
double singleNumber(const Value& v) {
    if (v.n != 1) raiseCode(ErrorCode::EmptyArray);
    return numberAt(v, 0);
}

int fcloseI(BuiltinContext& context, int id) {
    OpenFiles& files = context.openFiles();
    if (id <= 0)
        files.closeAll();
    else
        files.close(files.checkedId(id, "fclose"));
    return 0;
}

bool atEndOfInput(std::FILE* stream) {
    int c = std::getc(stream);
    if (c == EOF) return true;
    std::ungetc(c, stream);
    return false;
}

int feofI(BuiltinContext& context, int id) {
    OpenFiles& files = context.openFiles();
    int slot = files.checkedId(id, "feof");
    std::FILE* stream = files.stream(slot);
    Mode mode = files.mode(slot);
    if (mode == Mode::BinaryWrite || mode == Mode::TextWrite) return std::feof(stream) ? 1 : 0;
    return atEndOfInput(stream) ? 1 : 0;
}

void readBytes(std::FILE* stream, double wanted, IntValue& out) {
    std::vector<int> bytes;
    long count = wanted >= 1 ? long(std::min(wanted, 2147483647.0)) : 0;
    unsigned char chunk[65536];
    while (count > 0) {
        size_t part = std::fread(chunk, 1, size_t(std::min<long>(count, sizeof chunk)), stream);
        bytes.insert(bytes.end(), chunk, chunk + part);
        if (part == 0) break;
        count -= long(part);
    }
    int n = int(bytes.size());
    out.setShapeKind(n, n ? 1 : 0, KIND_NUMERIC);
    std::copy(bytes.begin(), bytes.end(), out.data());
}

void readLine(std::FILE* stream, IntValue& out) {
    std::string line;
    for (int c; (c = std::getc(stream)) != EOF && c != '\n';) {
        line += char(c);
        check(long(line.size()) < kLongestLine, "fread", "line too long");
    }
    out.assignString(line);
}

void fread(BuiltinContext& context, const Value& idValue, const Value* count, ValuePtr& result) {
    OpenFiles& files = context.openFiles();
    int slot = files.checkedId(singleNumber(idValue), "fread");
    Mode mode = files.mode(slot);
    check(mode == Mode::BinaryRead || mode == Mode::TextRead, "fread",
          "can't read from output file");
    IntValue& out = resultAs<IntValue>(result);
    std::FILE* stream = files.stream(slot);
    if (atEndOfInput(stream)) {
        out.setShapeKind(0, 0, KIND_NUMERIC);
        return;
    }
    if (mode == Mode::BinaryRead)
        readBytes(stream, count ? singleNumber(*count) : 1, out);
    else
        readLine(stream, out);
}

int writeBytes(std::FILE* stream, const Value* data) {
    check(data != nullptr, "fwrite", "missing value to write");
    std::vector<unsigned char> bytes(size_t(data->n));
    for (int i = 0; i < data->n; ++i)
        bytes[size_t(i)] = static_cast<unsigned char>(truncated(numberAt(*data, i)) & 0xff);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    return data->n;
}

int writeText(std::FILE* stream, const Value* data) {
    std::string text = data ? textOf(*data) : "";
    if (!text.empty() && text.back() == '\\')
        text.pop_back();
    else
        text += '\n';
    return int(std::fwrite(text.data(), 1, text.size(), stream));
}

void fwrite(BuiltinContext& context, const Value& idValue, const Value* data, ValuePtr& result) {
    OpenFiles& files = context.openFiles();
    int slot = files.checkedId(singleNumber(idValue), "fwrite");
    Mode mode = files.mode(slot);
    check(mode == Mode::BinaryWrite || mode == Mode::TextWrite, "fwrite",
          "can't write to input file");
    std::FILE* stream = files.stream(slot);
    int written = mode == Mode::BinaryWrite ? writeBytes(stream, data) : writeText(stream, data);
    resultAs<IntValue>(result).assignScalarInt(written);
}

} // namespace

std::span<const BuiltinDefinition> fileTableTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("fopen", fopen, INTEGER_VAL),
        defineBuiltin("fclose", fcloseI),
        defineBuiltin("feof", feofI),
        defineBuiltin("fread", fread, INTEGER_VAL),
        defineBuiltin("fwrite", fwrite, INTEGER_VAL),
    };
    return table;
}

} // namespace vemlor
