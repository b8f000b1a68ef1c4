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
#include "exec/Answer.h"
#include "exec/ComparisonElements.h"
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

bool sameValue(const Value& a, const Value& b) {
    return a.type() == b.type() && a.kind == b.kind && fullyEqual(a, b);
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
        if (a != b) differ("console line " + std::to_string(i + 1) + ": tree '" + a + "', compiled '" + b + "'");
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
