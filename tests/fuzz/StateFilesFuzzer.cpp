// Fuzz harness: the readers of the three state files a primary instance
// restores at start-up. The first byte picks the reader (modulo 3: workspace,
// command history, directory history); the rest is written to a file of the
// scratch directory and loaded.
//
// A damaged file may be refused (the reader returns false) but must never
// crash, read out of bounds or let an exception out: at start-up nothing would
// catch it. What was loaded is then used as a session would use it (shown,
// walked) and saved again, and a file the program wrote itself must load back
// completely.
#include "console/CommandHistory.h"
#include "console/ConsoleOutput.h"
#include "core/Display.h"
#include "core/Errors.h"
#include "exec/Workspace.h"
#include "exec/WorkspaceFile.h"
#include "session/Dir.h"
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

[[noreturn]] void finding(const char* what) {
    std::fprintf(stderr, "vemlor fuzz: %s\n", what);
    std::abort();
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) finding("cannot write the scratch file");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void showVariables(const Workspace& workspace, ConsoleOutput& console) {
    for (const auto& [name, value] : workspace.variables()) {
        if (!value) continue;
        try {
            display(*value, console);
        } catch (const RuntimeError&) {
        } catch (const CodeError&) {
        }
    }
}

void workspaceFile(const std::string& path) {
    ConsoleOutput console;
    Workspace workspace(console);
    loadWorkspace(path, workspace, console);
    showVariables(workspace, console);
    std::string again = scratch().file("resaved.bin");
    if (!saveWorkspace(again, workspace, console))
        finding("the workspace could not be saved again");
    Workspace reloaded(console);
    if (!loadWorkspace(again, reloaded, console)) finding("a saved workspace did not load back");
}

void historyFile(const std::string& path) {
    CommandHistory history;
    history.load(path);
    std::string walked = history.up("", false);
    for (int i = 0; i < 3 && !walked.empty(); ++i)
        walked = history.up("", true);
    history.down();
    std::string again = scratch().file("resaved.bin");
    if (!history.save(again)) finding("the history could not be saved again");
    CommandHistory reloaded;
    if (!reloaded.load(again)) finding("a saved history did not load back");
}

void directoryFile(const std::string& path) {
    Dir dir(scratch().path(), std::string());
    dir.load(path);
    std::string again = scratch().file("resaved.bin");
    if (!dir.save(again)) finding("the directory history could not be saved again");
    Dir reloaded(scratch().path(), std::string());
    if (!reloaded.load(again)) finding("a saved directory history did not load back");
}

} // namespace
} // namespace vemlor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vemlor::fuzz;
    if (size == 0) return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
    case 0: {
        std::string path = scratch().file("vemlor_env.bin");
        writeFile(path, bytes);
        workspaceFile(path);
        break;
    }
    case 1: {
        std::string path = scratch().file("vemlor_comm.bin");
        writeFile(path, bytes);
        historyFile(path);
        break;
    }
    default: {
        std::string path = scratch().file("vemlor_cd.bin");
        writeFile(path, bytes);
        directoryFile(path);
        break;
    }
    }
    return 0;
}
