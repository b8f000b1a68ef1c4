// Time: the stopwatch and the local time of day and date.
//
// The stopwatch is process-wide, like the random generator: `tic` restarts
// it, `toc` reads the seconds since the last `tic` (since the program
// started when there was none), and `Toc` reads them and restarts it, so a
// loop can time its laps. `oclock` gives the local time of day as the string
// "hh:mm:ss" and `today` the date as "yyyy-mm-dd"; with any argument they
// give the numbers instead, the integer row [hours minutes seconds] or
// [year month day].
//
// `pause(n)` and `wait(n)` wait n milliseconds (element by element, like
// every integer function of their family); Ctrl-C or Abort ends the wait,
// and figure windows go on painting meanwhile.
#include "builtins/Arguments.h"
#include "builtins/BuiltinContext.h"
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace vemlor {

namespace {

using detail::resultAs;
using SteadyClock = std::chrono::steady_clock;

SteadyClock::time_point& stopwatchStart() {
    static SteadyClock::time_point start = SteadyClock::now();
    return start;
}

double secondsSinceStart() {
    return std::chrono::duration<double>(SteadyClock::now() - stopwatchStart()).count();
}

// Returns 0, the reading of the freshly started stopwatch.
double tic(BuiltinContext&) {
    stopwatchStart() = SteadyClock::now();
    return 0.0;
}

double toc(BuiltinContext&) {
    return secondsSinceStart();
}

double lapToc(BuiltinContext&) {
    SteadyClock::time_point now = SteadyClock::now();
    double seconds = std::chrono::duration<double>(now - stopwatchStart()).count();
    stopwatchStart() = now;
    return seconds;
}

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return parts;
}

void threeNumbers(IntValue& out, int a, int b, int c) {
    out.setShapeKind(3, 1, KIND_NUMERIC);
    out[0] = a;
    out[1] = b;
    out[2] = c;
}

void oclock(BuiltinContext&, const Value* argument, ValuePtr& result) {
    std::tm t = localNow();
    IntValue& out = resultAs<IntValue>(result);
    if (argument) return threeNumbers(out, t.tm_hour, t.tm_min, t.tm_sec);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    out.assignString(text);
}

void today(BuiltinContext&, const Value* argument, ValuePtr& result) {
    std::tm t = localNow();
    IntValue& out = resultAs<IntValue>(result);
    if (argument) return threeNumbers(out, t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    out.assignString(text);
}

// Sleeps in short steps, so that an interrupt ends the wait at once. An
// isolated instance (a fuzzer's) never waits.
void waitMilliseconds(BuiltinContext& context, long long milliseconds) {
    if (context.isolated()) return;
    using Clock = std::chrono::steady_clock;
    auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (auto now = Clock::now(); now < end; now = Clock::now()) {
        context.checkInterrupt();
        std::this_thread::sleep_for(
            std::min<Clock::duration>(end - now, std::chrono::milliseconds(20)));
    }
    context.checkInterrupt();
}

int waitMillis(BuiltinContext& context, int milliseconds) {
    waitMilliseconds(context, milliseconds);
    return milliseconds;
}

} // namespace

std::span<const BuiltinDefinition> clockTable() {
    static const BuiltinDefinition table[] = {
        defineBuiltin("tic", tic),
        defineBuiltin("toc", toc),
        defineBuiltin("Toc", lapToc),
        defineBuiltin("oclock", oclock, INTEGER_VAL),
        defineBuiltin("today", today, INTEGER_VAL),
        defineBuiltin("pause", waitMillis, INTEGER_VAL),
        defineBuiltin("wait", waitMillis, INTEGER_VAL),
    };
    return table;
}

} // namespace vemlor
