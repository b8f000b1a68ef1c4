// The value record: one value in the binary form the workspace file and the
// value files of `qsave` and `qload` share, with its one reader and writer.
//
// A record is n, nrow, kind, type (32-bit little-endian each), then for types
// 0, 1, 2 the n elements in storage order (4, 8 or 16 bytes each) and for a
// list n nested records, one per item. A negative n stands for no value (an
// empty list item). The reader never believes a count the rest of the file
// cannot hold, and the writer never writes what the reader would refuse.
#pragma once

#include "core/BinaryIO.h"
#include "core/Value.h"

#include <stdexcept>
#include <string>

namespace vemlor {

// A record that cannot stand for any value (unknown type code).
struct DamagedRecord : std::runtime_error {
    DamagedRecord() : std::runtime_error("damaged value record") {}
};

// A well-formed record beyond the limits below; the reader has read past it.
struct RefusedRecord : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The limits the reader holds every record to, and so the writer too: lists
// nested at most this deep (following deeper ones would exhaust the stack),
// and no part of a value longer than this many elements.
inline constexpr int kDeepestNesting = 1000;
inline constexpr int kLargestRecordCount = 6003000;

// Why `value` could not be read back (nested too deep, a part too long), or
// an empty text when it can be written.
std::string unsavableReason(const Value& value);

// Writes `value` as one record (recursively for lists); a null pointer
// writes the no-value record.
void writeValueRecord(BinaryWriter& writer, const Value* value);
inline void writeValueRecord(BinaryWriter& writer, const Value& value) {
    writeValueRecord(writer, &value);
}
// Reads one record; null for the no-value record. Throws TruncatedFile at an
// early end of file, DamagedRecord for a record no value can have and
// RefusedRecord (saying why) for one beyond the limits.
ValuePtr readValueRecord(BinaryReader& reader);

} // namespace vemlor
