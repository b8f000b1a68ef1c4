// Value records and the workspace file. Elements move in bulk on
// little-endian hosts (the file's byte order) and one by one elsewhere.
// Records read from a file get a shape their element count can carry, so a
// damaged or cut record never yields a value that indexes past its buffer.
#include "exec/WorkspaceFile.h"

#include "core/MathMatrix.h"
#include "exec/Workspace.h"
#include "platform/Dialogs.h"

#include <algorithm>
#include <bit>
#include <memory>

namespace vemlor {

namespace {

// Deeper nesting than any list a session builds: only a damaged file has it,
// and following it would exhaust the stack.
constexpr int kDeepestNesting = 1000;

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

template <class T> void writeElements(BinaryWriter& writer, const T* data, int count) {
    if constexpr (kLittleEndian) {
        writer.writeBytes(data, sizeof(T) * size_t(count));
    } else {
        for (int i = 0; i < count; ++i) {
            if constexpr (std::is_same_v<T, int>) {
                writer.writeInt32(data[i]);
            } else if constexpr (std::is_same_v<T, double>) {
                writer.writeDouble(data[i]);
            } else {
                writer.writeDouble(data[i].real());
                writer.writeDouble(data[i].imag());
            }
        }
    }
}

template <class T> void readElements(BinaryReader& reader, T* data, int count) {
    if constexpr (kLittleEndian) {
        reader.readBytes(data, sizeof(T) * size_t(count));
    } else {
        for (int i = 0; i < count; ++i) {
            if constexpr (std::is_same_v<T, int>) {
                data[i] = reader.readInt32();
            } else if constexpr (std::is_same_v<T, double>) {
                data[i] = reader.readDouble();
            } else {
                double re = reader.readDouble();
                data[i] = complexd(re, reader.readDouble());
            }
        }
    }
}

void skipBytes(BinaryReader& reader, uint64_t count) {
    char scratch[4096];
    while (count > 0) {
        size_t part = size_t(std::min<uint64_t>(count, sizeof scratch));
        reader.readBytes(scratch, part);
        count -= part;
    }
}

size_t storedElementSize(int type) {
    switch (type) {
    case INTEGER_VAL: return 4;
    case DOUBLE_VAL: return 8;
    default: return 16; // a complex number, or the head of a list item's record
    }
}

// Rows for `count` elements of a record stored with `storedCount` elements
// and `storedRows` rows: rows and columns keep their orientation, any other
// shape that the count cannot fill becomes a column.
int fittingRows(int count, int storedCount, int storedRows) {
    if (count == 0) return std::max(storedRows, 0);
    if (storedCount != count) {
        if (storedRows == storedCount) return count;
        if (storedRows == 1) return 1;
    }
    return storedRows > 0 && count % storedRows == 0 ? storedRows : count;
}

// A 3-D mark whose pages do not divide the elements is dropped.
int fittingKind(int kind, int count, int rows) {
    if (kindCode(kind) != KIND_3D) return kind;
    long pages = pageCount(kind);
    bool fits = pages > 0 && rows > 0 && count % (pages * rows) == 0;
    return fits ? kind : KIND_NUMERIC;
}

ValuePtr readRecord(BinaryReader& reader, int depth);

void readItems(BinaryReader& reader, ListValue& list, int count, int storedCount, int depth) {
    for (int i = 0; i < count; ++i) list[i].value = readRecord(reader, depth + 1);
    for (int i = count; i < storedCount; ++i) readRecord(reader, depth + 1);
}

ValuePtr readRecord(BinaryReader& reader, int depth) {
    if (depth > kDeepestNesting) throw DamagedRecord();
    int32_t storedCount = reader.readInt32();
    int32_t storedRows = reader.readInt32();
    int32_t kind = reader.readInt32();
    int32_t type = reader.readInt32();
    if (storedCount < 0) return nullptr;
    if (type < INTEGER_VAL || type > LIST_VAL) throw DamagedRecord();
    // Every element takes its bytes in the file (an item at least a record
    // head), so a count the rest of the file cannot hold is a cut or damaged
    // record: refusing it before allocating keeps a small damaged file from
    // asking for gigabytes.
    uint64_t leastBytes = uint64_t(storedCount) * storedElementSize(type);
    if (leastBytes > reader.remainingBytes()) throw TruncatedFile();

    int count = std::min(storedCount, kLargestReadCount);
    int rows = fittingRows(count, storedCount, storedRows);
    ValuePtr value = newValue(type);
    value->setShapeKind(count, rows, type == LIST_VAL ? kind : fittingKind(kind, count, rows));
    switch (type) {
    case INTEGER_VAL:
        readElements(reader, static_cast<int*>(value->rawData()), count);
        break;
    case DOUBLE_VAL:
        readElements(reader, static_cast<double*>(value->rawData()), count);
        break;
    case COMPLEX_VAL:
        readElements(reader, static_cast<complexd*>(value->rawData()), count);
        break;
    default:
        readItems(reader, static_cast<ListValue&>(*value), count, storedCount, depth);
        return value;
    }
    skipBytes(reader, uint64_t(storedCount - count) * storedElementSize(type));
    return value;
}

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

void writeValueRecord(BinaryWriter& writer, const Value* value) {
    if (!value) {
        for (int32_t field : {-1, 0, 0, int32_t(DOUBLE_VAL)}) writer.writeInt32(field);
        return;
    }
    int type = value->type();
    writer.writeInt32(value->n);
    writer.writeInt32(value->nrow);
    writer.writeInt32(value->kind);
    writer.writeInt32(type);
    switch (type) {
    case INTEGER_VAL:
        writeElements(writer, static_cast<const int*>(value->rawData()), value->n);
        break;
    case DOUBLE_VAL:
        writeElements(writer, static_cast<const double*>(value->rawData()), value->n);
        break;
    case COMPLEX_VAL:
        writeElements(writer, static_cast<const complexd*>(value->rawData()), value->n);
        break;
    default: {
        const auto& list = static_cast<const ListValue&>(*value);
        for (int i = 0; i < list.n; ++i) writeValueRecord(writer, list[i].value.get());
        break;
    }
    }
}

ValuePtr readValueRecord(BinaryReader& reader) { return readRecord(reader, 0); }

SaveResult saveWorkspace(const std::string& path, const Workspace& workspace, Dialogs& dialogs) {
    const auto& variables = workspace.variables();
    bool hasLarge = std::any_of(variables.begin(), variables.end(), [](const auto& entry) {
        return entry.second && entry.second->n >= kLargeVariableCount;
    });
    if (hasLarge &&
        !dialogs.askYesNo("Large matrices will not be saved: ok to exit?", "vemlor exit"))
        return SaveResult::Cancelled;
    bool written = writeFileAtomically(path, [&](BinaryWriter& writer) {
        for (const auto& [name, value] : variables) {
            if (!value || value->n >= kLargeVariableCount) continue;
            writer.writeString(name);
            writeValueRecord(writer, *value);
        }
        writer.writeString("");
        return !writer.failed();
    });
    return written ? SaveResult::Saved : SaveResult::Failed;
}

bool loadWorkspace(const std::string& path, Workspace& workspace) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return true;
    BinaryReader reader(file.get());
    try {
        while (!reader.atEnd()) {
            std::string name = reader.readString();
            if (name.empty()) break;
            ValuePtr record = readValueRecord(reader);
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
