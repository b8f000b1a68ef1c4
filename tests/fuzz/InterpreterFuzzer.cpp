// Fuzz harness: runs arbitrary text as typed input in a fresh interpreter.
//
// Each line feed of the fuzz input ends one typed input (the Enter key), so
// one fuzz input is a short session. The instance is a secondary one without
// state files, started in an empty scratch directory and without a program
// directory, so neither scripts nor resource functions are found. Inputs that
// name a built-in reaching outside the interpreter are refused (see
// FuzzSupport.h).
//
// Errors are the interpreter's business and end up as console lines; a
// finding is a sanitizer report, a crash, or an error the driver could not
// name: an internal "BUG" line, or "unspecified error" for an exception of a
// type no part of the interpreter means to raise. (A stray `break` or
// `continue` is reported as "unspecified error" on purpose, so inputs spelling
// either do not count for the second.)
#include "builtins/Random.h"
#include "exec/Answer.h"
#include "platform/terminal/TerminalPlatform.h"
#include "session/Calc.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vemlor::fuzz {
namespace {

const ScratchDirectory& scratch() {
    static const ScratchDirectory directory;
    return directory;
}

// Whether a console line is an error that no user input should be able to cause.
bool isUnexpectedError(const std::string& line, std::string_view input) {
    if (line.find("BUG") != std::string::npos && input.find("BUG") == std::string_view::npos)
        return true;
    return line.find("unspecified error") != std::string::npos &&
           input.find("unspecified") == std::string_view::npos &&
           input.find("break") == std::string_view::npos &&
           input.find("continue") == std::string_view::npos;
}

} // namespace
} // namespace vemlor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vemlor;
    using namespace vemlor::fuzz;
    if (size > kMaxInputLength) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (mentionsOutsideName(text)) return -1; // keep it out of the corpus

    TerminalPlatform platform([](const std::string&) {}, false, {"", scratch().path()});
    CalcSetup setup;
    setup.mode = 1;
    setup.useStateFiles = false;
    setup.startDirectory = scratch().path();
    setup.platform = &platform;
    setup.isolated = true; // generated inputs start no programs
    Calc calc(setup);
    // Process-wide state that an earlier input may have changed.
    calc.workspace().clear("reset", false);
    Answer::clear();
    seedRandom(1);

    typeWatchingErrors(calc, typedInputs(text),
                       [&](const std::string& line) { return isUnexpectedError(line, text); });
    return 0;
}
