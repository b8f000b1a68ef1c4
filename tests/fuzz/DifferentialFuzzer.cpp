// Differential fuzz harness: runs the same typed inputs once with the
// compiled scalar form and once with tree evaluation alone, and fails on any
// difference in what a user could see: every console line (values, messages,
// "at line" traces), then every global variable (type, shape, kind word,
// elements) and the answer.
//
// The two runs happen one after the other in fresh instances with the same
// process-wide state (random seed, answer, cleared workspace). Inputs that
// reach outside the interpreter are refused as in the interpreter harness.
#include "builtins/Random.h"
#include "core/MathMatrix.h"
#include "exec/Answer.h"
#include "platform/terminal/TerminalPlatform.h"
#include "session/Calc.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cmath>
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

struct Outcome {
    std::vector<std::string> lines;
    std::map<std::string, ValuePtr> variables;
    ValuePtr answer;
};

Outcome run(std::string_view text, bool compiled) {
    TerminalPlatform platform([](const std::string&) {}, false, {"", scratch().path()});
    CalcSetup setup;
    setup.mode = 1;
    setup.useStateFiles = false;
    setup.startDirectory = scratch().path();
    setup.platform = &platform;
    setup.isolated = true; // generated inputs start no programs
    Calc calc(setup);
    calc.workspace().setScalarForms(compiled);
    calc.workspace().clear("reset", false);
    Answer::clear();
    seedRandom(1);

    Outcome outcome;
    calc.console().setLineListener([&](const std::string& line) { outcome.lines.push_back(line); });
    for (const std::string& typed : typedInputs(text)) {
        calc.setInput(typed, '>');
        calc.executePendingInput();
        calc.console().endLine();
    }
    for (const auto& [name, value] : calc.workspace().variables())
        if (value) outcome.variables[name] = newValueCopy(*value);
    outcome.answer = newValueCopy(Answer::value());
    return outcome;
}

bool sameNumber(double x, double y) {
    return x == y || (std::isnan(x) && std::isnan(y));
}

// Equal in type, shape, kind word and elements, NaN matching NaN.
bool sameValue(const Value& a, const Value& b) {
    if (a.type() != b.type() || a.kind != b.kind || a.n != b.n || a.nrow != b.nrow) return false;
    for (int i = 0; i < a.n; ++i) {
        switch (a.type()) {
        case INTEGER_VAL:
            if (static_cast<const IntValue&>(a)[i] != static_cast<const IntValue&>(b)[i])
                return false;
            break;
        case DOUBLE_VAL:
            if (!sameNumber(static_cast<const DoubleValue&>(a)[i],
                            static_cast<const DoubleValue&>(b)[i]))
                return false;
            break;
        case COMPLEX_VAL: {
            complexd x = static_cast<const ComplexValue&>(a)[i],
                     y = static_cast<const ComplexValue&>(b)[i];
            if (!sameNumber(x.real(), y.real()) || !sameNumber(x.imag(), y.imag())) return false;
            break;
        }
        default: {
            const Value* x = static_cast<const ListValue&>(a)[i].value.get();
            const Value* y = static_cast<const ListValue&>(b)[i].value.get();
            if (!x || !y ? x != y : !sameValue(*x, *y)) return false;
        }
        }
    }
    return true;
}

[[noreturn]] void differ(const std::string& what) {
    std::fprintf(stderr, "vemlor differential fuzz: the two forms differ: %s\n", what.c_str());
    std::abort();
}

void compare(const Outcome& tree, const Outcome& compiled) {
    size_t lines = std::max(tree.lines.size(), compiled.lines.size());
    for (size_t i = 0; i < lines; ++i) {
        std::string a = i < tree.lines.size() ? tree.lines[i] : "(none)";
        std::string b = i < compiled.lines.size() ? compiled.lines[i] : "(none)";
        if (a != b)
            differ("console line " + std::to_string(i + 1) + ": tree '" + a + "', compiled '" + b +
                   "'");
    }
    for (const auto& [name, value] : tree.variables) {
        auto it = compiled.variables.find(name);
        if (it == compiled.variables.end()) differ("variable " + name + " missing");
        if (!sameValue(*value, *it->second)) differ("variable " + name);
    }
    if (tree.variables.size() != compiled.variables.size()) differ("variable count");
    if (!sameValue(*tree.answer, *compiled.answer)) differ("answer");
}

} // namespace
} // namespace vemlor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vemlor::fuzz;
    if (size > kMaxInputLength) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (mentionsOutsideName(text)) return -1; // keep it out of the corpus
    Outcome tree = run(text, false);
    Outcome compiled = run(text, true);
    compare(tree, compiled);
    return 0;
}
