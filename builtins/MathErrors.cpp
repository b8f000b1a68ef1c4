// The GSL error handler and the console it writes to.
#include "builtins/MathErrors.h"

#include "core/OutputSink.h"

#include <gsl/gsl_errno.h>

#include <string>
#include <string_view>

namespace vemlor {

namespace {

// The console of the instance currently executing; set by the driver.
OutputSink* currentOutput = nullptr;

// GSL's plain special-function wrappers report a failure a second time,
// naming the inner call ("gsl_sf_zeta_e(s, &result)") after the inner
// function has already given the reason; one line per failure is enough.
bool isWrapperEcho(std::string_view reason) {
    return reason.starts_with("gsl_sf_") && reason.ends_with(")");
}

// The line names the kind of failure (GSL's text for the error number), not
// the routine-specific reason, which speaks of GSL's internals.
void printMathError(const char* reason, const char*, int, int gslErrno) {
    std::string_view text = reason ? reason : "";
    if (!currentOutput || isWrapperEcho(text)) return;
    currentOutput->print("math error: " + std::string(gsl_strerror(gslErrno)), true, PRINT_LITERAL);
}

} // namespace

void setMathErrorOutput(OutputSink* sink) {
    currentOutput = sink;
}

void installMathErrorHandler() {
    gsl_set_error_handler(&printMathError);
}

} // namespace vemlor
