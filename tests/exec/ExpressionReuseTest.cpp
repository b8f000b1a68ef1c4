// Evaluating the same tree again: once the workspace, the scratch values and
// the frames of user functions have their sizes, evaluation allocates
// nothing. The language cannot see allocations, so this file replaces the
// global allocation functions with counting ones.
#include "core/MathMatrix.h"
#include "exec/UserFuncTable.h"
#include "frontend/ExpressionParser.h"
#include "frontend/InputSource.h"
#include "frontend/Lexer.h"
#include "session/Calc.h"
#include "support/TestPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return countedAllocation(size);
}
void* operator new[](std::size_t size) {
    return countedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace vemlor {
namespace {

struct NoDialogs : Dialogs {
    void inform(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};

// Allocations made by `action` run `times` times.
template <class F> long allocationsOf(int times, F action) {
    long before = allocations.load();
    for (int i = 0; i < times; ++i)
        action();
    return allocations.load() - before;
}

class ExpressionReuse : public ::testing::Test {
  protected:
    ExpressionReuse() {
        CalcSetup setup;
        setup.mode = 1;
        setup.useStateFiles = false;
        setup.platform = &platform_;
        calc_ = std::make_unique<Calc>(setup);
    }
    void run(const std::string& text) {
        calc_->setInput(text, '>');
        calc_->executePendingInput();
    }
    // The parsed tree of one expression, evaluated once into `workspace`.
    EvaluatablePtr parsed(const std::string& text) {
        InputSource nothingMore('s', "");
        Lexer lexer(nothingMore);
        TokenList tokens;
        lexer.lex(text + " #", '#', tokens, nullptr);
        ExpressionParser parser(calc_->workspace(), *calc_);
        EvaluatablePtr e = parser.parse(tokens);
        e->pValue(&workspace_);
        return e;
    }
    double element(int i) { return workspace_.data()[i]; }

    NoDialogs dialogs_;
    test::TestPlatform platform_{dialogs_};
    std::unique_ptr<Calc> calc_;
    DoubleValue workspace_;
};

TEST_F(ExpressionReuse, WarmMatrixExpressionsAllocateNothing) {
    run("x = [1 2 3 4]; y = [0.5 0.5 0.5 0.5]; z = [2 2 2 2]; k = 3");
    EvaluatablePtr sum = parsed("x*2 + y*z*x - z/4");
    EXPECT_EQ(element(3), 11.5);
    const double* buffer = workspace_.data();
    EXPECT_EQ(allocationsOf(100, [&] { sum->pValue(&workspace_); }), 0);
    EXPECT_EQ(workspace_.data(), buffer);
    EXPECT_EQ(element(0), 2.5);

    EvaluatablePtr climb = parsed("x^k _ 3 + k");
    EXPECT_EQ(element(1), 2 + 3); // floor(8 / 3) + 3
    EXPECT_EQ(allocationsOf(100, [&] { climb->pValue(&workspace_); }), 0);

    // The counter does see allocations: a fresh workspace needs a buffer.
    EXPECT_GT(allocationsOf(1,
                            [&] {
                                DoubleValue fresh;
                                sum->pValue(&fresh);
                            }),
              0);
}

// Once the frames and scratch values of every recursion level exist, neither
// a recursive call nor a quick call allocates.
TEST_F(ExpressionReuse, WarmFunctionCallsAllocateNothing) {
    run("function y = fib(n)\r  if n < 2: y = n\r  else: y = fib(n - 1) + fib(n - 2)\rend");
    run("q(x) := x*x + 1");
    UserFunc* fib = calc_->workspace().userFunctions().find("fib");
    ASSERT_NE(fib, nullptr);
    DoubleValue argument(12.0), result;
    const Value* arguments[] = {&argument};
    // Buffers travel between the frames and the locals; a few calls settle them.
    for (int warm = 0; warm < 3; ++warm)
        fib->call(arguments, {}, {}, result);
    EXPECT_EQ(result.data()[0], 144);
    EXPECT_EQ(allocationsOf(3, [&] { fib->call(arguments, {}, {}, result); }), 0);

    EvaluatablePtr call = parsed("q(3) + q(4)");
    EXPECT_EQ(element(0), 27);
    EXPECT_EQ(allocationsOf(100, [&] { call->pValue(&workspace_); }), 0);
}

} // namespace
} // namespace vemlor
