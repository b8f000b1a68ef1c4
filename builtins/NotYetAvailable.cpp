// Built-ins whose subject a later part of the program provides: figures,
// the keyboard and mouse, `table`, numerical methods, the debugger and the
// help system. Each name is registered already, with its family and
// argument range, so that calls parse as they will later; running one raises
// "<name> is not yet available". (The elementwise ones, such as `close` and
// `grid`, stay with the elementary functions.)
#include "builtins/FamilyTables.h"

#include <algorithm>
#include <cstddef>

namespace vemlor {

namespace {

// A built-in's name as a template argument, so that every placeholder
// handler knows which name to report.
template <std::size_t N> struct Name {
    char text[N];
    constexpr Name(const char (&name)[N]) { std::copy_n(name, N, text); }
};

template <Name N, class Handler> struct Placeholder;

template <Name N, class Result, class... Parameters>
struct Placeholder<N, Result (*)(Parameters...)> {
    static Result run(Parameters...) { notYetAvailable(N.text); }
};

// The row of a placeholder with the signature H of its family.
template <Name N, class H>
BuiltinDefinition later(int resultType = DOUBLE_VAL, int minArgs = 0, int maxArgs = 0) {
    return defineBuiltin(N.text, &Placeholder<N, H>::run, resultType, minArgs, maxArgs);
}

using handler::Functor;
using handler::General;
using handler::NoArg;
using handler::OneOrTwo;
using handler::ValueToDouble;
using handler::ValueToDoubleValue;
using handler::ValueToInt;
using handler::ValueToIntValue;

constexpr int D = DOUBLE_VAL;
constexpr int I = INTEGER_VAL;
constexpr int C = COMPLEX_VAL;
constexpr int L = LIST_VAL;
constexpr int kAny = kUnlimitedArgs;

} // namespace

std::span<const BuiltinDefinition> notYetAvailableTable() {
    static const BuiltinDefinition table[] = {
        // Figures and plot commands.
        later<"figure", ValueToInt>(),
        later<"qplot", ValueToInt>(),
        later<"subplot", ValueToInt>(),
        later<"grindex", ValueToDouble>(),
        later<"figpos", ValueToIntValue>(),
        later<"wipe", ValueToIntValue>(),
        later<"useColour", ValueToIntValue>(),
        later<"dragable", OneOrTwo>(),
        later<"replot_move", OneOrTwo>(),
        later<"circle", OneOrTwo>(),
        later<"getpixel", OneOrTwo>(),
        later<"loadBitmap", OneOrTwo>(),
        later<"plot", General>(D, 1, kAny),
        later<"loglog", General>(D, 1, kAny),
        later<"semilogx", General>(D, 1, kAny),
        later<"semilogy", General>(D, 1, kAny),
        later<"print", General>(D, 1, 1),
        later<"set", General>(D, 0, 2),
        later<"errbar", General>(D, 3, 3),
        later<"barchart", General>(D, 2, 3),
        later<"replot", General>(D, 0, 3),
        later<"text", General>(D, 2, 5),
        later<"title", General>(D, 1, 2),
        later<"xlabel", General>(D, 1, 2),
        later<"ylabel", General>(D, 1, 2),
        later<"fill", General>(D, 2, kAny),
        later<"snipImage", General>(D, 2, 3),
        later<"axis", General>(D, 1, 4),
        later<"update", NoArg>(),
        later<"fix", NoArg>(),
        later<"unfix", NoArg>(),
        // The keyboard, the mouse, buttons, menus and message boxes.
        later<"getkeyb", NoArg>(),
        later<"getch", NoArg>(),
        later<"getmouse", ValueToDoubleValue>(),
        later<"setmouse", ValueToDoubleValue>(),
        later<"getclick", ValueToDoubleValue>(),
        later<"messageBox", ValueToInt>(),
        later<"createButton", General>(D, 1, 3),
        later<"menu", General>(D, 2, 2),
        // Files.
        later<"table", General>(D, 2, 3),
        // Numerical methods: interpolation, linear algebra, signals, roots,
        // minima, integrals, differential equations and fits.
        later<"interp", Functor>(),
        later<"qfind", Functor>(),
        later<"linterp", Functor>(),
        later<"err", ValueToDoubleValue>(),
        later<"diff2", ValueToDoubleValue>(),
        later<"vdiffer", ValueToDoubleValue>(),
        later<"inv", ValueToDoubleValue>(),
        later<"det", ValueToDoubleValue>(),
        later<"eigval", ValueToDoubleValue>(),
        later<"eigvec", ValueToDoubleValue>(),
        later<"SGfilter", ValueToDoubleValue>(),
        later<"setLU", ValueToInt>(),
        later<"polyshow", ValueToIntValue>(),
        later<"solve", OneOrTwo>(),
        later<"smooth", OneOrTwo>(),
        later<"fft", General>(C, 1, 1),
        later<"ifft", General>(C, 1, 1),
        later<"qinteg", General>(D, 2, 4),
        later<"integ", General>(D, 0, kAny),
        later<"ode", General>(D, 5, 5),
        later<"odetest", General>(D, 5, 5),
        later<"slf", General>(D, 2, 4),
        later<"fzero", General>(D, 1, 5),
        later<"differ", General>(D, 1, 3),
        later<"fminbrac", General>(D, 2, 3),
        later<"fmin", General>(D, 2, 3),
        later<"lsfit", General>(D, 4, 7),
        later<"eigvv", General>(D, 1, 1),
        // The debugger, the help system and the remaining switches.
        later<"debug", General>(D, 0, kAny),
        later<"debugtest", General>(D, 0, kAny),
        later<"help", NoArg>(),
        later<"property", General>(D, 2, 3),
        later<"on", NoArg>(),
        later<"off", NoArg>(),
    };
    return table;
}

} // namespace vemlor
