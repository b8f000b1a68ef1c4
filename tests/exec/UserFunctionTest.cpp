// What the case files cannot reach: function arguments as built-ins see
// them, handler calls, and the listings help shows.
#include "core/Errors.h"
#include "core/MathMatrix.h"
#include "exec/UserFuncTable.h"
#include "frontend/ExpressionParser.h"
#include "frontend/InputSource.h"
#include "frontend/Lexer.h"
#include "session/Calc.h"
#include "support/TestPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace vemlor {
namespace {

struct SilentDialogs : Dialogs {
    void inform(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};

class UserFunctions : public ::testing::Test {
  protected:
    UserFunctions() {
        CalcSetup setup;
        setup.mode = 1;
        setup.useStateFiles = false;
        setup.startDirectory = fs::temp_directory_path().string();
        setup.platform = &platform_;
        calc_ = std::make_unique<Calc>(setup);
        calc_->console().setLineListener(
            [this](const std::string& line) { lines_.push_back(line); });
    }

    void run(const std::string& text) {
        calc_->setInput(text, '>');
        calc_->executePendingInput();
        calc_->console().endLine();
    }

    // The value of an expression, evaluated in the instance.
    ValuePtr evaluate(const std::string& text) {
        InputSource nothingMore('s', "");
        Lexer lexer(nothingMore);
        TokenList tokens;
        lexer.lex(text + " #", '#', tokens, nullptr);
        ExpressionParser parser(calc_->workspace(), *calc_);
        expression_ = parser.parse(tokens);
        ValuePtr scratch = newValue(expression_->resultType());
        return newValueCopy(*expression_->pValue(scratch.get()));
    }

    ValuePtr reference(const std::string& name) {
        auto value = std::make_unique<IntValue>();
        value->assignString(name);
        value->kind = KIND_FUNCREF;
        return value;
    }

    std::string errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }

    SilentDialogs dialogs_;
    test::TestPlatform platform_{dialogs_};
    std::unique_ptr<Calc> calc_;
    std::vector<std::string> lines_;
    EvaluatablePtr expression_; // keeps an anonymous function alive
};

TEST_F(UserFunctions, ReferencesResolveToUserAndBuiltinFunctions) {
    run("sq(x) := x*x + 1");
    run("function y = twice(x)\r  y = 2*x\rend");
    EXPECT_EQ((*calc_->scalarFunction(*reference("sq")))(3), 10);
    EXPECT_EQ((*calc_->scalarFunction(*reference("twice")))(-4), -8);
    EXPECT_EQ((*calc_->scalarFunction(*reference("sqrt")))(6.25), 2.5);

    DoubleValue number(1.0);
    EXPECT_EQ(errorOf([&] { calc_->scalarFunction(number); }), "1st argument must be a function");
    EXPECT_EQ(errorOf([&] { calc_->scalarFunction(*reference("nosuch")); }),
              "1st argument must be a function");
    run("both(x, y) := x + y");
    EXPECT_EQ(errorOf([&] { calc_->scalarFunction(*reference("both")); }),
              "you can only use a single-parameter function here");
}

TEST_F(UserFunctions, EmptyAndComplexResultsAreRefused) {
    run("function y = none(x)\r  y = []\rend");
    auto none = calc_->scalarFunction(*reference("none"));
    EXPECT_EQ(errorOf([&] { (*none)(1); }), "function returned empty vector []");
    run("function y*= cplx(x)\r  y = complex(x, 1)\rend");
    auto cplx = calc_->scalarFunction(*reference("cplx"));
    EXPECT_EQ(errorOf([&] { (*cplx)(1); }), "non-real result type not yet implemented");
}

TEST_F(UserFunctions, AnAnonymousFunctionIsCallableWhileItsExpressionLives) {
    run("t = 100"); // the dummy variable is rebound, not overwritten
    ValuePtr held = evaluate("list(t*t + 1; t, 2)");
    DoubleValue first;
    held->item(0, first);
    IntValue ref;
    held->item(0, ref);
    auto f = calc_->scalarFunction(ref);
    EXPECT_EQ((*f)(3), 10);
    EXPECT_EQ((*f)(0.5), 1.25);
    run("t");
    EXPECT_EQ(lines_.back(), "{b 100}");

    expression_.reset();
    EXPECT_EQ(errorOf([&] { calc_->scalarFunction(ref); }), "1st argument must be a function");
}

TEST_F(UserFunctions, HandlersGetTheirArgumentsAndKeepPersistentValues) {
    run("function y = onKey(a, b)\r  persistent count\r  count = count + 1\r  y = a[1] + b[2] + "
        "10*count\rend");
    UserFunc* handler = calc_->workspace().userFunctions().find("onKey");
    ASSERT_NE(handler, nullptr);
    DoubleValue first, second, result;
    first.setShape(1, 2);
    first.data()[0] = 1;
    first.data()[1] = 2;
    second.copyFrom(first);
    handler->callHandler(first, second, result);
    EXPECT_EQ(result.data()[0], 13);
    handler->callHandler(first, second, result);
    EXPECT_EQ(result.data()[0], 23);
    EXPECT_FALSE(handler->isRunning());
}

TEST_F(UserFunctions, ListingsSeparateQuickFunctionsFromOthers) {
    EXPECT_EQ(calc_->workspace().userFunctions().listing('r'), "");
    run("q(x, n:2) := x^n");
    run("function y = full(^a)\r  y = a\rend");
    std::string listing = calc_->workspace().userFunctions().listing('f');
    size_t quick = listing.find("--Quick functions:\nq(x, n:2)");
    size_t others = listing.find("\n--User Functions:\nfull(^a)");
    EXPECT_EQ(quick, 0u) << listing;
    EXPECT_NE(others, std::string::npos) << listing;
    EXPECT_NE(listing.find("user-defined function\n, output type double"), std::string::npos);
}

} // namespace
} // namespace vemlor
