// Fuzz harness: the readers of the data files scripts name, fed a file of
// arbitrary bytes. The first byte picks the command (modulo 5: `load` of a
// table, `load` of one flat column, `load` into two outputs, `qload`,
// `readtext`); the rest becomes the file it reads, in the scratch directory.
//
// Any file must give a value or one of the commands' own messages; a finding
// is a sanitizer report, a crash, or an error line no file should cause (an
// internal "BUG" or "unspecified error"). A value that `qload` read is saved
// again and loaded back.
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

struct Command {
    const char* file;
    const char* inputs[2]; // typed one after the other; the second may be null
};

// Each runs in a fresh instance, so the variables never exist beforehand. The
// second input of `qload` is built after the first has saved "g", so it
// announces the type the file holds.
constexpr Command kCommands[] = {
    {"f.txt", {"t = load(\"f\"); size(t)", nullptr}},
    {"f.txt", {"t = load(\"f\", 1); size(t)", nullptr}},
    {"f.txt", {"[a, b] = load(\"f\"); size(a) + size(b)", nullptr}},
    {"f.jmt", {"v = qload(\"f\"); qsave(\"g\", v)", "w = qload(\"g\"); size(v) == size(w)"}},
    {"f.txt", {"r = readtext(\"f\"); size(r)", nullptr}},
};

void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "vemlor fuzz: cannot write the scratch file\n");
        std::abort();
    }
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

bool isUnexpectedError(const std::string& line) {
    return line.find("BUG") != std::string::npos ||
           line.find("unspecified error") != std::string::npos;
}

} // namespace
} // namespace vemlor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vemlor;
    using namespace vemlor::fuzz;
    if (size == 0 || size > 64 * kMaxInputLength) return 0;
    const Command& command = kCommands[data[0] % std::size(kCommands)];
    writeFile(scratch().file(command.file),
              std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    std::remove(scratch().file("g.jmt").c_str());

    TerminalPlatform platform([](const std::string&) {}, false, {"", scratch().path()});
    CalcSetup setup;
    setup.mode = 1;
    setup.useStateFiles = false;
    setup.startDirectory = scratch().path();
    setup.platform = &platform;
    setup.isolated = true;
    Calc calc(setup);
    std::vector<std::string> inputs;
    for (const char* input : command.inputs)
        if (input) inputs.emplace_back(input);
    typeWatchingErrors(calc, inputs,
                       [](const std::string& line) { return isUnexpectedError(line); });
    return 0;
}
