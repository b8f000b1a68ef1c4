// The workspace file "vemlor_env.bin" and the value record it is made of.
//
// File: entries of (name, value record), closed by an empty name. A value
// record is n, nrow, kind, type (32-bit little-endian each), then for types
// 0, 1, 2 the n elements in storage order (4, 8 or 16 bytes each) and for a
// list n nested records, one per item. A negative n stands for no value (an
// empty list item). The record reader and writer serve the value files of
// `qsave` and `qload` as well.
#pragma once

#include "core/BinaryIO.h"
#include "core/Value.h"

#include <stdexcept>
#include <string>

namespace vemlor {

class OutputSink;
class Workspace;

// A record that cannot stand for any value (unknown type code).
struct DamagedRecord : std::runtime_error {
    DamagedRecord() : std::runtime_error("damaged value record") {}
};

// A well-formed record beyond the limits below; the reader has read past it.
struct RefusedRecord : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Variables of this many elements or more are not saved.
inline constexpr int kLargeVariableCount = 10000;
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

// Whether a global variable is too large to be saved.
bool hasLargeVariables(const Workspace& workspace);

// Writes the global variables of fewer than kLargeVariableCount elements,
// leaving out, with a console line on `out` naming it, any the reader would
// refuse. The file is replaced only once it was written completely. False
// when it could not be (errno says why).
bool saveWorkspace(const std::string& path, const Workspace& workspace, OutputSink& out);

// Reads variables into the workspace. A missing file is not an error. A
// record the reader refuses is skipped with a line on `out` naming it. False
// when the file ended inside an entry or held a damaged record; the
// variables read before stay.
bool loadWorkspace(const std::string& path, Workspace& workspace, OutputSink& out);

} // namespace vemlor
