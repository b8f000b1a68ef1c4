// Value records. Elements move in bulk on
// little-endian hosts (the file's byte order) and one by one elsewhere.
// Records read from a file get a shape their element count can carry, so a
// damaged or cut record never yields a value that indexes past its buffer.
#include "core/ValueRecord.h"

#include "core/MathMatrix.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <vector>

namespace vemlor {

namespace {

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
    case INTEGER_VAL:
        return 4;
    case DOUBLE_VAL:
        return 8;
    default:
        return 16; // a complex number, or the head of a list item's record
    }
}

// Rows for `count` elements stored with `storedRows` rows: a shape the count
// cannot fill becomes a column.
int fittingRows(int count, int storedRows) {
    if (count == 0) return std::max(storedRows, 0);
    return storedRows > 0 && count % storedRows == 0 ? storedRows : count;
}

// A 3-D mark whose pages do not divide the elements is dropped.
int fittingKind(int kind, int count, int rows) {
    if (kindCode(kind) != KIND_3D) return kind;
    long pages = pageCount(kind);
    bool fits = pages > 0 && rows > 0 && count % (pages * rows) == 0;
    return fits ? kind : KIND_NUMERIC;
}

const char* const kTooDeep = "lists nested more than 1000 deep";
const char* const kTooLong = "a part of more than 6003000 elements";

struct RecordHead {
    int32_t count, rows, kind, type;
};

// Reads a record's head and checks it against what the file can still hold:
// every element takes its bytes (an item at least a record head), so a
// count the rest of the file cannot hold is a cut or damaged record, refused
// before anything of that size is allocated.
RecordHead readHead(BinaryReader& reader) {
    RecordHead head;
    head.count = reader.readInt32();
    head.rows = reader.readInt32();
    head.kind = reader.readInt32();
    head.type = reader.readInt32();
    if (head.count < 0) return head;
    if (head.type < INTEGER_VAL || head.type > LIST_VAL) throw DamagedRecord();
    uint64_t leastBytes = uint64_t(head.count) * storedElementSize(head.type);
    if (leastBytes > reader.remainingBytes()) throw TruncatedFile();
    return head;
}

// Reads past the body of a record without building it; nested items are
// counted rather than followed, so any depth takes no stack.
void skipBody(BinaryReader& reader, const RecordHead& head) {
    uint64_t pendingItems = 0;
    RecordHead next = head;
    for (;;) {
        if (next.count > 0) {
            if (next.type == LIST_VAL)
                pendingItems += uint64_t(next.count);
            else
                skipBytes(reader, uint64_t(next.count) * storedElementSize(next.type));
        }
        if (pendingItems == 0) return;
        --pendingItems;
        next = readHead(reader);
    }
}

// A refused part leaves `refusal` set; the record is still read to its end.
ValuePtr readRecord(BinaryReader& reader, int depth, std::string& refusal) {
    RecordHead head = readHead(reader);
    if (head.count < 0) return nullptr;
    bool tooDeep = head.type == LIST_VAL && depth >= kDeepestNesting;
    if (tooDeep || head.count > kLargestRecordCount) {
        if (refusal.empty()) refusal = tooDeep ? kTooDeep : kTooLong;
        skipBody(reader, head);
        return nullptr;
    }
    int count = head.count;
    int rows = fittingRows(count, head.rows);
    ValuePtr value = newValue(head.type);
    value->setShapeKind(count, rows,
                        head.type == LIST_VAL ? head.kind : fittingKind(head.kind, count, rows));
    switch (head.type) {
    case INTEGER_VAL:
        readElements(reader, static_cast<int*>(value->rawData()), count);
        break;
    case DOUBLE_VAL:
        readElements(reader, static_cast<double*>(value->rawData()), count);
        break;
    case COMPLEX_VAL:
        readElements(reader, static_cast<complexd*>(value->rawData()), count);
        break;
    default: {
        auto& list = static_cast<ListValue&>(*value);
        for (int i = 0; i < count; ++i)
            list[i].value = readRecord(reader, depth + 1, refusal);
        break;
    }
    }
    return value;
}

} // namespace

void writeValueRecord(BinaryWriter& writer, const Value* value) {
    if (!value) {
        for (int32_t field : {-1, 0, 0, int32_t(DOUBLE_VAL)})
            writer.writeInt32(field);
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
        for (int i = 0; i < list.n; ++i)
            writeValueRecord(writer, list[i].value.get());
        break;
    }
    }
}

ValuePtr readValueRecord(BinaryReader& reader) {
    std::string refusal;
    ValuePtr value = readRecord(reader, 0, refusal);
    if (!refusal.empty()) throw RefusedRecord(refusal);
    return value;
}

// Walks the value with a list of its own rather than the stack: a value
// held in memory may be nested deeper than a recursion could follow.
std::string unsavableReason(const Value& value) {
    std::vector<std::pair<const Value*, int>> pending{{&value, 0}};
    while (!pending.empty()) {
        auto [part, depth] = pending.back();
        pending.pop_back();
        if (part->n > kLargestRecordCount) return kTooLong;
        if (part->type() != LIST_VAL) continue;
        if (depth >= kDeepestNesting) return kTooDeep;
        const auto& list = static_cast<const ListValue&>(*part);
        for (int i = 0; i < list.n; ++i)
            if (list[i].value) pending.emplace_back(list[i].value.get(), depth + 1);
    }
    return {};
}

} // namespace vemlor
