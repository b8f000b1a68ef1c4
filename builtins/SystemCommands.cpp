// The system around the interpreter: `sysCommand` runs a shell command and
// `unzipg` unpacks a gzip file.
//
// A command runs through /bin/sh in the interpreter's current directory
// (the process's own directory never changes), reads no input (its standard
// input is /dev/null, so it cannot swallow the lines piped to a session) and
// shows its output and errors in the console line by line as they come. An
// interrupt stops the command, and everything it started, as well as the
// running input. `unzipg` writes "name" beside "name.gz" through a temporary
// file, so a damaged archive leaves no half-written file behind.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/FileNames.h"
#include "builtins/WorkingDirectory.h"
#include "core/BinaryIO.h"
#include "core/OutputSink.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

namespace vemlor {

namespace {

using namespace detail;

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void runShell(const char* command, const char* directory, int outputEnd) {
    ::setpgid(0, 0);
    int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0) ::dup2(nothing, 0);
    ::dup2(outputEnd, 1);
    ::dup2(outputEnd, 2);
    if (::chdir(directory) != 0) ::_exit(127);
    ::execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
    ::_exit(127);
}

// Shows the command's output, complete lines as they arrive, until it
// closes its end; an interrupt ends the command's whole process group.
void relayOutput(BuiltinContext& context, pid_t child, int input) {
    std::string pending;
    char chunk[4096];
    for (;;) {
        try {
            context.checkInterrupt();
        } catch (...) {
            ::kill(-child, SIGKILL);
            throw;
        }
        pollfd watch{input, POLLIN, 0};
        if (::poll(&watch, 1, 100) <= 0) continue;
        ssize_t got = ::read(input, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        pending.append(chunk, size_t(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            context.output().print(pending.substr(0, end), true, PRINT_LITERAL);
            pending.erase(0, end + 1);
        }
    }
    if (!pending.empty()) context.output().print(pending, true, PRINT_LITERAL);
}

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

void sysCommand(BuiltinContext& context, const Value& command, IntValue& out) {
    std::string text = stringArgument(command, "sysCommand", "the command");
    check(!context.isolated(), "sysCommand", "no programs are started here");
    std::string directory = context.workingDirectory().currentDirectory();
    int ends[2];
    check(::pipe2(ends, O_CLOEXEC) == 0, "sysCommand", "cannot start the command");
    Descriptor reading{ends[0]}, writing{ends[1]};
    pid_t child = ::fork();
    check(child >= 0, "sysCommand", "cannot start the command");
    if (child == 0) runShell(text.c_str(), directory.c_str(), writing.fd);
    ::close(writing.fd);
    writing.fd = -1;
    try {
        relayOutput(context, child, reading.fd);
    } catch (...) {
        ::waitpid(child, nullptr, 0);
        throw;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    out.assignScalarInt(1);
}

struct GzCloser {
    void operator()(gzFile file) const { ::gzclose(file); }
};

std::string unpackedName(const std::string& path) {
    bool gz = path.size() > 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
    check(gz, "unzipg", "the file name must end in .gz");
    return path.substr(0, path.size() - 3);
}

void unzipg(BuiltinContext& context, const Value& name, IntValue& out) {
    std::string path = resolvedPath(context, name, "", true, "unzipg");
    std::string target = unpackedName(path);
    std::unique_ptr<gzFile_s, GzCloser> archive;
    if (WorkingDirectory::classify(path) == WorkingDirectory::File)
        archive.reset(::gzopen(path.c_str(), "rb"));
    check(archive != nullptr, "unzipg", "cannot open " + path);
    check(::gzdirect(archive.get()) == 0, "unzipg", path + " is not a gzip file");
    bool damaged = false;
    bool written = writeFileAtomically(target, [&](BinaryWriter& writer) {
        char chunk[65536];
        int got;
        while ((got = ::gzread(archive.get(), chunk, sizeof chunk)) > 0)
            writer.writeBytes(chunk, size_t(got));
        int state = Z_OK;
        ::gzerror(archive.get(), &state);
        damaged = got < 0 || state != Z_OK; // a cut archive reads short, then says so here
        return !damaged && !writer.failed();
    });
    check(!damaged, "unzipg", "the compressed data in " + path + " is damaged");
    check(written, "unzipg", "cannot write " + target + " (" + std::strerror(errno) + ")");
    out.assignString(target);
}

} // namespace

std::span<const BuiltinDefinition> systemCommandsTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("sysCommand", sysCommand),
        defineBuiltin("unzipg", unzipg),
    };
    return table;
}

} // namespace vemlor
