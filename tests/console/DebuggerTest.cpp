// The debugger's model: what a stop shows (the excerpt clipped to the file,
// the summaries) and what each command does to the two flags.
#include "console/Debugger.h"
#include "core/Errors.h"
#include "core/MathMatrix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vemlor {
namespace {

struct ScriptedView : DebuggerView {
    std::vector<DebugCommand> answers;
    std::vector<std::string> titles;
    DebugCommand waitForCommand(const DebugStopView& stop) override {
        titles.push_back(stop.title);
        DebugCommand next = answers.front();
        answers.erase(answers.begin());
        return next;
    }
};

TEST(DebuggerModel, ExcerptRunsFromFiveLinesBeforeToTenAfterWithinTheFile) {
    std::filesystem::path file =
        std::filesystem::temp_directory_path() / "vemlor-debug-excerpt.vml";
    {
        std::ofstream out(file);
        for (int n = 1; n <= 30; ++n)
            out << "line " << n << "\r\n";
    }
    DebugStop stop;
    stop.sourceFile = file.string();
    stop.line = 3;
    DebugStopView near = describeStop(stop, false);
    EXPECT_EQ(near.firstLine, 1);
    ASSERT_EQ(near.excerpt.size(), 13u);
    EXPECT_EQ(near.excerpt.back(), "line 13");
    stop.line = 25;
    DebugStopView end = describeStop(stop, true);
    EXPECT_EQ(end.title, "Stepping at line 25");
    EXPECT_EQ(end.firstLine, 20);
    EXPECT_EQ(end.excerpt.size(), 11u);
    std::filesystem::remove(file);
    DebugStopView missing = describeStop(stop, false);
    EXPECT_EQ(missing.excerpt, (std::vector<std::string>{"could not open file", file.string()}));
    EXPECT_EQ(missing.firstLine, 0);
}

TEST(DebuggerModel, SummariesAreOneShortLine) {
    DoubleValue m;
    m.setShape(2, 3);
    for (int i = 0; i < 6; ++i)
        m.data()[i] = i - 1.5;
    IntValue text;
    text.assignString(std::string(50, 'a'));
    EXPECT_EQ(valueSummary(DoubleValue(2.5)), "2.5");
    EXPECT_EQ(valueSummary(m), "double 2 x 3, min -1.5, max 3.5");
    EXPECT_EQ(valueSummary(text), "\"" + std::string(40, 'a') + "...\"");
    EXPECT_EQ(valueSummary(DoubleValue()), "[]");
    DebugStop stop;
    stop.function = "f";
    stop.line = 4;
    stop.value = &m;
    stop.locals = {{"x", &m}};
    DebugStopView view = describeStop(stop, false);
    EXPECT_EQ(view.title, "Breakpoint at line 4 in f");
    EXPECT_EQ(view.names, (std::vector<std::string>{"expr value", "", "Locals:", "x"}));
    EXPECT_EQ(view.values[0], view.values[3]);
}

TEST(DebuggerModel, CommandsSetTheFlags) {
    std::atomic<bool> enabled{false}, stepping{false};
    Debugger debugger(enabled, stepping);
    ScriptedView view;
    view.answers = {DebugCommand::Step, DebugCommand::Continue, DebugCommand::Off,
                    DebugCommand::Halt};
    debugger.setView(&view);
    DebugStop stop;
    debugger.stop(stop); // not enabled: no stop
    EXPECT_TRUE(view.titles.empty());
    debugger.startInput();
    debugger.stop(stop);
    EXPECT_TRUE(stepping);
    debugger.stop(stop);
    EXPECT_FALSE(stepping);
    EXPECT_EQ(view.titles, (std::vector<std::string>{"Breakpoint", "Stepping"}));
    debugger.stop(stop);
    EXPECT_FALSE(enabled);
    debugger.stop(stop); // off for the rest of the input
    EXPECT_EQ(view.titles.size(), 3u);
    EXPECT_FALSE(debugger.setEnabled(true));
    try {
        debugger.stop(stop);
        FAIL() << "Halt did not raise";
    } catch (const RuntimeError& e) {
        EXPECT_STREQ(e.what(), "execution halted from debugger");
    }
    EXPECT_EQ(debugger.lastCommand(), DebugCommand::Halt);
}

} // namespace
} // namespace vemlor
