// Value files (".jmt"): `qsave` writes one value as a value record, the form
// the workspace file stores its variables in, and `qload` reads it back,
// with the same reader and so the same checks: a count the file cannot hold
// is never believed, and a cut or damaged file is reported, not half read.
// `qsave` replaces a file through a temporary beside it, so a failed write
// leaves the old file.
//
// Every expression's type is fixed when it is built, so a `qload` of a name
// in quotes announces the type of the value its file holds at that moment;
// any other call announces a number, and a file holding a complex value or
// a list then says "the result type differs from the one the call was built
// for".
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/FileNames.h"
#include "builtins/WorkingDirectory.h"
#include "core/ValueRecord.h"

#include <cstdio>
#include <memory>

namespace vemlor {

namespace {

using namespace detail;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void qsave(BuiltinContext& context, std::span<const Value* const> arguments,
           std::span<ValuePtr> outputs) {
    std::string path = resolvedPath(context, *arguments[0], "jmt", false, "qsave");
    const Value& value = *arguments[1];
    std::string reason = unsavableReason(value);
    check(reason.empty(), "qsave", "the value cannot be saved: " + reason);
    bool written = writeFileAtomically(path, [&](BinaryWriter& out) {
        writeValueRecord(out, value);
        return !out.failed();
    });
    check(written, "qsave", "could not open output file");
    resultAs<DoubleValue>(outputs[0]).assignScalar(1);
}

ValuePtr readValueFile(std::FILE* file) {
    BinaryReader reader(file);
    try {
        return readValueRecord(reader);
    } catch (const TruncatedFile&) {
        raiseRuntime("qload", "the file ends inside its value");
    } catch (const DamagedRecord&) {
        raiseRuntime("qload", "the file holds no value");
    } catch (const RefusedRecord& refused) {
        raiseRuntime("qload", std::string("the value cannot be loaded: ") + refused.what());
    }
}

void qload(BuiltinContext& context, std::span<const Value* const> arguments,
           std::span<ValuePtr> outputs) {
    std::string path = resolvedPath(context, *arguments[0], "jmt", true, "qload");
    std::unique_ptr<std::FILE, FileCloser> file;
    if (WorkingDirectory::classify(path) == WorkingDirectory::File)
        file.reset(std::fopen(path.c_str(), "rb"));
    check(file != nullptr, "qload", "could not open input file");
    ValuePtr value = readValueFile(file.get());
    if (!value) value = std::make_unique<DoubleValue>();
    outputs[0] = std::move(value);
}

// The type of the value a file holds, from its record's head; a double
// when the file cannot tell (the call then delivers numbers only).
int typeOfValueFile(BuiltinContext& context, const std::string& name) {
    std::string path;
    try {
        path = context.workingDirectory().resolve(name, "jmt", true);
    } catch (const RuntimeError&) {
        return DOUBLE_VAL;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file || WorkingDirectory::classify(path) != WorkingDirectory::File) return DOUBLE_VAL;
    BinaryReader reader(file.get());
    try {
        int32_t count = reader.readInt32();
        reader.readInt32();
        reader.readInt32();
        int32_t type = reader.readInt32();
        bool known = count >= 0 && type >= INTEGER_VAL && type <= LIST_VAL;
        return known ? type : DOUBLE_VAL;
    } catch (const TruncatedFile&) {
        return DOUBLE_VAL;
    }
}

BuiltinDefinition withResultTypeOfFile(BuiltinDefinition row, ResultTypeOfFile typeOf) {
    row.resultTypeOfFile = typeOf;
    return row;
}

} // namespace

std::span<const BuiltinDefinition> valueFilesTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("qsave", qsave, DOUBLE_VAL, 2, 2),
        withResultTypeOfFile(defineBuiltin("qload", qload, DOUBLE_VAL, 1, 1), typeOfValueFile),
    };
    return table;
}

} // namespace vemlor
