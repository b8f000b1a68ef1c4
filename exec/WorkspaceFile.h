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

class Dialogs;
class Workspace;

// A record that cannot stand for any value (unknown type code, nesting deeper
// than any real list).
struct DamagedRecord : std::runtime_error {
    DamagedRecord() : std::runtime_error("damaged value record") {}
};

// Variables of this many elements or more are not saved.
inline constexpr int kLargeVariableCount = 10000;
// Longer records are cut to this many elements; the rest is skipped.
inline constexpr int kLargestReadCount = 6003000;

// Writes `value` as one record (recursively for lists); a null pointer
// writes the no-value record.
void writeValueRecord(BinaryWriter& writer, const Value* value);
inline void writeValueRecord(BinaryWriter& writer, const Value& value) {
    writeValueRecord(writer, &value);
}
// Reads one record; null for the no-value record. Throws TruncatedFile at an
// early end of file and DamagedRecord for a record no value can have.
ValuePtr readValueRecord(BinaryReader& reader);

enum class SaveResult { Saved, Cancelled, Failed };

// Writes the global variables of fewer than kLargeVariableCount elements. When a
// larger one exists the user is asked first; declining writes nothing. The
// file is replaced only once it was written completely.
SaveResult saveWorkspace(const std::string& path, const Workspace& workspace, Dialogs& dialogs);

// Reads variables into the workspace. A missing file is not an error. False
// when the file ended inside an entry or held a damaged record; the
// variables read before stay.
bool loadWorkspace(const std::string& path, Workspace& workspace);

} // namespace vemlor
