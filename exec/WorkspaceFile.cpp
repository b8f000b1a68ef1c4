// The workspace file: every global variable as a name and a value record.
#include "exec/WorkspaceFile.h"

#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/Workspace.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace vemlor {

namespace {

// Hands the record's buffer to the variable; an integer record (a string
// saved from an integer value) is converted into the double variable.
void moveInto(Value& variable, Value& record) {
    if (variable.type() != record.type()) {
        variable.assignConverted(record);
        return;
    }
    switch (record.type()) {
    case INTEGER_VAL:
        static_cast<JMatrix<int>&>(variable).takeFrom(static_cast<JMatrix<int>&>(record));
        break;
    case DOUBLE_VAL:
        static_cast<JMatrix<double>&>(variable).takeFrom(static_cast<JMatrix<double>&>(record));
        break;
    case COMPLEX_VAL:
        static_cast<JMatrix<complexd>&>(variable).takeFrom(static_cast<JMatrix<complexd>&>(record));
        break;
    default:
        static_cast<JMatrix<ListItem>&>(variable).takeFrom(static_cast<JMatrix<ListItem>&>(record));
        break;
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool hasLargeVariables(const Workspace& workspace) {
    const auto& variables = workspace.variables();
    return std::any_of(variables.begin(), variables.end(), [](const auto& entry) {
        return entry.second && entry.second->n >= kLargeVariableCount;
    });
}

bool saveWorkspace(const std::string& path, const Workspace& workspace, OutputSink& out) {
    std::vector<std::pair<const std::string*, const Value*>> saved;
    for (const auto& [name, value] : workspace.variables()) {
        if (!value || value->n >= kLargeVariableCount) continue;
        std::string reason = unsavableReason(*value);
        if (reason.empty())
            saved.emplace_back(&name, value.get());
        else
            out.print(name + " not saved: " + reason, true, PRINT_LITERAL);
    }
    return writeFileAtomically(path, [&](BinaryWriter& writer) {
        for (const auto& [name, value] : saved) {
            writer.writeString(*name);
            writeValueRecord(writer, *value);
        }
        writer.writeString("");
        return !writer.failed();
    });
}

bool loadWorkspace(const std::string& path, Workspace& workspace, OutputSink& out) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return true;
    BinaryReader reader(file.get());
    try {
        while (!reader.atEnd()) {
            std::string name = reader.readString();
            if (name.empty()) break;
            ValuePtr record;
            try {
                record = readValueRecord(reader);
            } catch (const RefusedRecord& refused) {
                out.print(name + " not restored: " + refused.what(), true, PRINT_LITERAL);
                continue;
            }
            Value* variable = workspace.createVariable(name, record ? record->type() : DOUBLE_VAL);
            if (record) moveInto(*variable, *record);
        }
    } catch (const TruncatedFile&) {
        return false;
    } catch (const DamagedRecord&) {
        return false;
    }
    return true;
}

} // namespace vemlor
