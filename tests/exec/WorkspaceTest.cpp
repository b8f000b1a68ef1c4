// The symbol store: what a name denotes, declarations, the function scope,
// temporary bindings and every form of `clear`. Constant values come from
// the published tables (CODATA and the SI definitions).
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/UserFuncTable.h"
#include "exec/Workspace.h"
#include "support/Fuzzy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

namespace vemlor {
namespace {

using test::fuzzyEqual;

struct RecordingSink : OutputSink {
    std::vector<std::string> lines;
    void print(std::string_view text, bool, int) override { lines.emplace_back(text); }
    char setItemSeparator(char separator) override { return separator; }
};

// A function with a header and no body is enough for naming and clearing.
void declareFunction(Workspace& ws, const std::string& name) {
    FunctionSignature signature;
    signature.name = name;
    ws.userFunctions().declare(signature, {});
}

class WorkspaceTest : public ::testing::Test {
protected:
    // The built-in constants are shared by the whole process: whatever a test
    // cleared comes back for the next one.
    void TearDown() override { Workspace(sink_).clear("reset", false); }

    RecordingSink sink_;
    Workspace ws_{sink_};
};

std::string syntaxMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const SyntaxError& e) {
        return e.what();
    }
    return "no error";
}

TEST_F(WorkspaceTest, ClassificationPrefersVariableThenConstantThenBuiltinConstantThenFunction) {
    EXPECT_EQ(ws_.classify("sin").kind, NAME_FUNCTION);
    EXPECT_EQ(ws_.classify("undefinedName").kind, NAME_UNKNOWN);

    NameInfo pi = ws_.classify("pi");
    EXPECT_EQ(pi.kind, NAME_CONSTANT);
    EXPECT_EQ(pi.constant, 3.141592653589793);

    EXPECT_EQ(ws_.declareConstant("pi", 3), "");
    EXPECT_EQ(ws_.classify("pi").constant, 3);
    EXPECT_EQ(ws_.declareConstant("sin", 2), "");
    EXPECT_EQ(ws_.classify("sin").kind, NAME_CONSTANT);

    Value* piVar = ws_.createVariable("pi", DOUBLE_VAL);
    Value* sinVar = ws_.createVariable("sin", DOUBLE_VAL);
    EXPECT_EQ(ws_.classify("pi").variable, piVar);
    EXPECT_EQ(ws_.classify("sin").kind, NAME_VARIABLE);
    EXPECT_EQ(ws_.classify("sin").variable, sinVar);
}

TEST_F(WorkspaceTest, StartsWithSpeedOfLightAndBothGravityConstants) {
    EXPECT_EQ(ws_.classify("c").constant, 299792458.0);
    EXPECT_TRUE(fuzzyEqual(ws_.classify("G").constant, 6.674301e-11));
    EXPECT_TRUE(fuzzyEqual(ws_.classify("g").constant, 9.80665));
    EXPECT_TRUE(std::isinf(ws_.classify("inf").constant));
    EXPECT_TRUE(std::isnan(ws_.classify("nan").constant));
    EXPECT_TRUE(fuzzyEqual(ws_.classify("deg").constant, 3.141592653589793 / 180));
}

TEST_F(WorkspaceTest, ConstantMayBeRepeatedWithItsValueButNotChanged) {
    EXPECT_EQ(ws_.declareConstant("k", 2), "");
    EXPECT_EQ(ws_.declareConstant("k", 2), "");
    EXPECT_EQ(ws_.declareConstant("k", 3), "attempt to change value of a const");
    EXPECT_EQ(ws_.classify("k").constant, 2);

    ws_.createVariable("x", DOUBLE_VAL);
    EXPECT_EQ(ws_.declareConstant("x", 1), "const name clash");
    EXPECT_EQ(ws_.classify("x").kind, NAME_VARIABLE);
}

TEST_F(WorkspaceTest, FunctionScopeConstantsStayInTheirScope) {
    ws_.declareConstant("k", 2);
    ws_.enterFunction(1);
    ws_.createVariable("x", DOUBLE_VAL);
    EXPECT_EQ(ws_.declareConstant("k", 5), "");
    EXPECT_EQ(ws_.classify("k").constant, 5);
    EXPECT_EQ(ws_.declareConstant("k", 6), "attempt to change value of a const");
    EXPECT_EQ(ws_.declareConstant("x", 1), "const name clash");
    ws_.leaveFunction();
    EXPECT_EQ(ws_.classify("k").constant, 2);
    EXPECT_EQ(ws_.classify("x").kind, NAME_UNKNOWN);
}

TEST_F(WorkspaceTest, TypeCodesChooseTheValueClass) {
    EXPECT_EQ(ws_.createVariable("a", 0)->type(), DOUBLE_VAL);
    EXPECT_EQ(ws_.createVariable("b", 1)->type(), DOUBLE_VAL);
    EXPECT_EQ(ws_.createVariable("c2", 2)->type(), COMPLEX_VAL);
    EXPECT_EQ(ws_.createVariable("d", 3)->type(), LIST_VAL);
    EXPECT_EQ(ws_.createVariable("e", 4)->type(), DOUBLE_VAL);
    EXPECT_TRUE(sink_.lines.empty());
    EXPECT_EQ(ws_.createVariable("f", 9)->type(), DOUBLE_VAL);
    ASSERT_EQ(sink_.lines.size(), 1u);
    EXPECT_EQ(sink_.lines[0], "variable of unknown type declared; double assumed");

    Value* replaced = ws_.createVariable("a", 2);
    EXPECT_EQ(ws_.findVariable("a"), replaced);
    EXPECT_EQ(replaced->type(), COMPLEX_VAL);
}

TEST_F(WorkspaceTest, FunctionScopeHandsOverLocalsInCreationOrder) {
    ws_.createVariable("x", DOUBLE_VAL); // a global of a parameter's name
    ws_.enterFunction(2);
    EXPECT_EQ(ws_.functionDepth(), 1);
    Value* x = ws_.createVariable("x", 0);
    ws_.createVariable("z", COMPLEX_VAL);
    EXPECT_EQ(ws_.declarePersistent("count", 4), "");
    ws_.createVariable("tmp", DOUBLE_VAL);
    EXPECT_EQ(ws_.classify("x").variable, x);
    EXPECT_EQ(ws_.declarePersistent("x", 0), "misplaced declaration");
    EXPECT_EQ(syntaxMessage([&] { ws_.enterFunction(0); }),
              std::string(SyntaxError("nested functions not allowed").what()));

    FunctionLocals locals = ws_.leaveFunction();
    EXPECT_EQ(ws_.functionDepth(), 0);
    ASSERT_EQ(locals.values.size(), 4u);
    EXPECT_EQ(locals.values[0].name, "x");
    EXPECT_EQ(locals.values[0].value.get(), x);
    EXPECT_EQ(locals.values[1].value->type(), COMPLEX_VAL);
    EXPECT_EQ(locals.values[2].name, "count");
    EXPECT_EQ(locals.values[2].value->n, 1);
    EXPECT_EQ(locals.values[2].value->scalarDouble(), 4);
    EXPECT_EQ(locals.values[3].name, "tmp");
    EXPECT_EQ(locals.persistentCount, 1);
    EXPECT_NE(ws_.classify("x").variable, x);
    EXPECT_EQ(ws_.classify("tmp").kind, NAME_UNKNOWN);
}

TEST_F(WorkspaceTest, PersistentDeclarationsComeRightAfterTheParameters) {
    EXPECT_EQ(ws_.declarePersistent("p", 1), "invalid command at global scope");
    ws_.enterFunction(1);
    ws_.createVariable("a", DOUBLE_VAL);
    ws_.createVariable("local", DOUBLE_VAL);
    EXPECT_EQ(syntaxMessage([&] { ws_.declarePersistent("p", 1); }),
              std::string(SyntaxError("misplaced persistent declaration").what()));
    ws_.leaveFunction();
}

TEST_F(WorkspaceTest, GlobalDeclarationReachesTheGlobalVariable) {
    EXPECT_EQ(ws_.declareGlobal("gv"), "invalid command at global scope");
    Value* existing = ws_.createVariable("shared", DOUBLE_VAL);
    ws_.enterFunction(0);
    EXPECT_EQ(ws_.declareGlobal("shared"), "");
    NameInfo info = ws_.classify("shared");
    EXPECT_EQ(info.variable, existing);
    EXPECT_TRUE(info.throughGlobal);

    EXPECT_EQ(ws_.declareGlobal("fresh"), ""); // created when absent
    ws_.createVariable("mine", DOUBLE_VAL);
    EXPECT_EQ(ws_.declareGlobal("mine"), "misplaced declaration");
    EXPECT_FALSE(ws_.classify("mine").throughGlobal);
    ws_.leaveFunction();

    Value* fresh = ws_.findVariable("fresh");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->type(), DOUBLE_VAL);
    EXPECT_FALSE(ws_.classify("shared").throughGlobal);
}

TEST_F(WorkspaceTest, RebindSwapsAVariableAndBindRestoresIt) {
    Value* original = ws_.createVariable("x", DOUBLE_VAL);
    auto dummy = std::make_unique<DoubleValue>(0.5);
    Value* dummyPtr = dummy.get();

    ValuePtr previous = ws_.rebind("x", std::move(dummy));
    EXPECT_EQ(previous.get(), original);
    EXPECT_EQ(ws_.classify("x").variable, dummyPtr);
    ValuePtr back = ws_.bind("x", std::move(previous));
    EXPECT_EQ(back.get(), dummyPtr);
    EXPECT_EQ(ws_.classify("x").variable, original);

    std::string expected = SyntaxError("something wrong with temporary function definition").what();
    EXPECT_EQ(syntaxMessage([&] { ws_.rebind("absent", std::make_unique<DoubleValue>()); }),
              expected);
    EXPECT_EQ(ws_.classify("absent").kind, NAME_UNKNOWN);

    // A name that is no variable is bound for the time of the expression.
    EXPECT_EQ(ws_.bind("t", std::move(back)), nullptr);
    EXPECT_EQ(ws_.classify("t").variable, dummyPtr);
    EXPECT_EQ(ws_.unbind("t").get(), dummyPtr);
    EXPECT_EQ(ws_.classify("t").kind, NAME_UNKNOWN);
}

TEST_F(WorkspaceTest, RebindInAFunctionScopeTakesTheLocalFirst) {
    Value* global = ws_.createVariable("x", DOUBLE_VAL);
    ws_.enterFunction(1);
    Value* local = ws_.createVariable("x", DOUBLE_VAL);
    ValuePtr previous = ws_.rebind("x", std::make_unique<DoubleValue>(1.0));
    EXPECT_EQ(previous.get(), local);
    EXPECT_EQ(ws_.findVariable("x")->scalarDouble(), 1.0);
    ws_.bind("x", std::move(previous));
    FunctionLocals locals = ws_.leaveFunction();
    EXPECT_EQ(locals.values[0].value.get(), local);
    EXPECT_EQ(ws_.findVariable("x"), global);
}

TEST_F(WorkspaceTest, ClearingAConstantNeedsTheConstantForm) {
    try {
        ws_.clear("pi", false);
        FAIL() << "clearing pi without the flag succeeded";
    } catch (const RuntimeError& e) {
        EXPECT_STREQ(e.what(), "To clear a constant you must use 'clear (const) pi'");
    }
    EXPECT_EQ(ws_.classify("pi").kind, NAME_CONSTANT);

    // Without its constant, pi is the built-in function of that name.
    Workspace other(sink_);
    EXPECT_EQ(ws_.clear("pi", true), CLEAR_CONSTANT);
    EXPECT_EQ(ws_.classify("pi").kind, NAME_FUNCTION);
    EXPECT_EQ(ws_.clear("rt2", true), CLEAR_CONSTANT);
    EXPECT_EQ(ws_.classify("rt2").kind, NAME_UNKNOWN);
    EXPECT_EQ(other.classify("rt2").kind, NAME_UNKNOWN); // the table is shared

    EXPECT_EQ(ws_.clear("reset", false), CLEAR_DONE);
    EXPECT_EQ(ws_.classify("pi").constant, 3.141592653589793);
    EXPECT_EQ(other.classify("rt2").constant, 1.4142135623730951);
}

TEST_F(WorkspaceTest, ClearingAGlobalConstantUncoversTheBuiltinOne) {
    ws_.declareConstant("pi", 3);
    EXPECT_EQ(ws_.clear("pi", true), CLEAR_CONSTANT);
    EXPECT_EQ(ws_.classify("pi").constant, 3.141592653589793);
    EXPECT_EQ(ws_.clear("g", true), CLEAR_CONSTANT);
    EXPECT_EQ(ws_.classify("g").kind, NAME_UNKNOWN);
}

TEST_F(WorkspaceTest, ClearOutcomesForVariablesFunctionsAndUnknownNames) {
    declareFunction(ws_, "myf");
    ws_.createVariable("v", DOUBLE_VAL);

    EXPECT_EQ(ws_.classify("myf").kind, NAME_FUNCTION);
    EXPECT_EQ(ws_.clear("v", false), CLEAR_DONE);
    EXPECT_EQ(ws_.findVariable("v"), nullptr);
    EXPECT_EQ(ws_.clear("v", false), CLEAR_NO_SUCH_SYMBOL);
    EXPECT_EQ(ws_.clear("sin", false), CLEAR_BUILTIN_FUNCTION);
    EXPECT_EQ(ws_.classify("sin").kind, NAME_FUNCTION);
    EXPECT_EQ(ws_.clear("myf", false), CLEAR_DONE);
    EXPECT_FALSE(ws_.userFunctions().contains("myf"));
    EXPECT_EQ(ws_.classify("myf").kind, NAME_UNKNOWN);
}

TEST_F(WorkspaceTest, ResetEmptiesTheInstanceAndRefillsTheConstants) {
    declareFunction(ws_, "f1");
    declareFunction(ws_, "f2");
    ws_.createVariable("v", DOUBLE_VAL);
    ws_.declareConstant("k", 1);
    ws_.clear("c", true);
    ws_.clear("ee", true);

    EXPECT_EQ(ws_.clear("reset", false), CLEAR_DONE);
    EXPECT_TRUE(ws_.userFunctions().names('f').empty());
    EXPECT_TRUE(ws_.variables().empty());
    EXPECT_EQ(ws_.classify("k").kind, NAME_UNKNOWN);
    EXPECT_EQ(ws_.classify("c").constant, 299792458.0);
    EXPECT_EQ(ws_.classify("ee").constant, 2.718281828459045);
    EXPECT_EQ(ws_.constants().size(), 3u);
}

TEST_F(WorkspaceTest, EverythingLeavesNoConstantAtAll) {
    ws_.createVariable("v", DOUBLE_VAL);
    EXPECT_EQ(ws_.clear("everything", false), CLEAR_DONE);
    EXPECT_TRUE(ws_.variables().empty());
    EXPECT_TRUE(ws_.constants().empty());
    EXPECT_TRUE(builtinConstants().empty());
    EXPECT_EQ(ws_.classify("pi").kind, NAME_FUNCTION); // the built-in function remains
    EXPECT_EQ(ws_.classify("ee").kind, NAME_UNKNOWN);
    EXPECT_EQ(ws_.classify("g").kind, NAME_UNKNOWN);
    EXPECT_EQ(ws_.listNames('c').count, 0);
    // Built-in functions are not the workspace's to clear.
    EXPECT_EQ(ws_.classify("sin").kind, NAME_FUNCTION);
    // A workspace made now starts with its own three constants.
    Workspace later(sink_);
    EXPECT_EQ(later.classify("c").constant, 299792458.0);
}

TEST_F(WorkspaceTest, ListsNamesByCategory) {
    ws_.createVariable("beta", DOUBLE_VAL);
    ws_.createVariable("Alpha", LIST_VAL);
    NameList variables = ws_.listNames('v');
    EXPECT_EQ(variables.text, "Alpha  beta  ");
    EXPECT_EQ(variables.count, 2);

    // 28 built-in constants, byte order (capitals first), then G, c, g.
    NameList constants = ws_.listNames('c');
    EXPECT_EQ(constants.count, 31);
    EXPECT_EQ(constants.text.substr(0, 12), "AU  GG  Me  ");
    EXPECT_EQ(constants.text.substr(constants.text.size() - 15), "year  G  c  g  ");

    EXPECT_EQ(ws_.listNames('f').count, 0);
    declareFunction(ws_, "h");
    declareFunction(ws_, "f");
    NameList functions = ws_.listNames('f');
    EXPECT_EQ(functions.text, "f  h  ");
    EXPECT_EQ(functions.count, 2);
}

} // namespace
} // namespace vemlor
