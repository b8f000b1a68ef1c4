// The workspace file "vemlor_env.bin" and the value record it is made of.
//
// File: entries of (name, value record), closed by an empty name; the value
// records are those of core/ValueRecord.h, which the value files of `qsave`
// and `qload` share.
#pragma once

#include "core/ValueRecord.h"

#include <string>

namespace vemlor {

class OutputSink;
class Workspace;

// Variables of this many elements or more are not saved.
inline constexpr int kLargeVariableCount = 10000;

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
