// Family 1: built-ins called without arguments that give a double, the
// values of the moment (the stopwatch, a random number) and pi.
//
// The stopwatch is process-wide, like the random generator: `tic` restarts
// it, `toc` reads the seconds since the last `tic` (since the program
// started when there was none), and `Toc` reads them and restarts it, so a
// loop can time its laps. Names that belong to figures, the keyboard and the
// help system are not available yet.
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"
#include "builtins/Random.h"
#include "core/Errors.h"

#include <array>
#include <chrono>

namespace vemlor {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point& stopwatchStart() {
    static Clock::time_point start = Clock::now();
    return start;
}

double secondsSinceStart() {
    return std::chrono::duration<double>(Clock::now() - stopwatchStart()).count();
}

// Returns 0, the reading of the freshly started stopwatch.
double tic(BuiltinContext&) {
    stopwatchStart() = Clock::now();
    return 0.0;
}

double toc(BuiltinContext&) {
    return secondsSinceStart();
}

double lapToc(BuiltinContext&) {
    Clock::time_point now = Clock::now();
    double seconds = std::chrono::duration<double>(now - stopwatchStart()).count();
    stopwatchStart() = now;
    return seconds;
}

double rnd(BuiltinContext&) {
    return randomUnit();
}

double pi(BuiltinContext&) {
    return 3.141592653589793;
}

// The parser turns `end` inside an index into the index's end and refuses it
// elsewhere, so reaching this handler means a call built by other means.
double strayEnd(BuiltinContext&) {
    raiseRuntime("stray 'end' keyword");
}

template <const char* Name> double unavailable(BuiltinContext&) {
    notYetAvailable(Name);
}

constexpr char kFix[] = "fix";
constexpr char kUnfix[] = "unfix";
constexpr char kHelp[] = "help";
constexpr char kOn[] = "on";
constexpr char kOff[] = "off";
constexpr char kUpdate[] = "update";
constexpr char kGetkeyb[] = "getkeyb";
constexpr char kGetch[] = "getch";

const void* entry(handler::NoArg h) {
    return reinterpret_cast<const void*>(h);
}

} // namespace

std::span<const BuiltinDefinition> noArgTable() {
    static const std::array<BuiltinDefinition, 14> table = {{
        {"tic", entry(tic)},
        {"toc", entry(toc)},
        {"Toc", entry(lapToc)},
        {"fix", entry(unavailable<kFix>)},
        {"unfix", entry(unavailable<kUnfix>)},
        {"rnd", entry(rnd)},
        {"help", entry(unavailable<kHelp>)},
        {"on", entry(unavailable<kOn>)},
        {"off", entry(unavailable<kOff>)},
        {"end", entry(strayEnd)},
        {"update", entry(unavailable<kUpdate>)},
        {"getkeyb", entry(unavailable<kGetkeyb>)},
        {"getch", entry(unavailable<kGetch>)},
        {"pi", entry(pi)},
    }};
    return table;
}

} // namespace vemlor
