// GSL reports domain errors, overflows and failed convergence through one
// process-wide handler whose default aborts. Ours prints "math error: " and
// GSL's reason on the console of the interpreter instance that is running, so
// the computation goes on with the value GSL returns (usually NaN).
#pragma once

namespace vemlor {

class OutputSink;

// Makes `sink` the console that receives math errors (null: drop them). The
// driver sets it before running an instance's input; one thread runs every
// instance, so one pointer is enough.
void setMathErrorOutput(OutputSink* sink);

// Replaces GSL's error handler; calling it again does no harm.
void installMathErrorHandler();

} // namespace vemlor
