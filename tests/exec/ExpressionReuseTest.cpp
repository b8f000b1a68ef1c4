// Evaluating the same tree again: once the workspace and the scratch values
// have their sizes, a flat-loop expression allocates nothing; and a tree that
// is entered again while it evaluates (a recursive user function) still gets
// its partial results right.
//
// This file replaces the global allocation functions with counting ones so
// that an evaluation loop can be checked for allocations.
#include "ExpressionTestSupport.h"

#include "session/Calc.h"
#include "exec/Expression.h"
#include "exec/UserFuncTable.h"
#include "frontend/ExpressionParser.h"
#include "frontend/InputSource.h"
#include "frontend/Lexer.h"
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

using test::Build;
using test::elements;

// Allocations made by `action` run `times` times.
template <class F> long allocationsOf(int times, F action) {
    long before = allocations.load();
    for (int i = 0; i < times; ++i)
        action();
    return allocations.load() - before;
}

TEST(ExpressionReuse, FlatLoopAllocatesNothingOnceSized) {
    DoubleValue x, y, z;
    test::fill(x, {1.0, 2.0, 3.0, 4.0}, 1);
    test::fill(y, {0.5, 0.5, 0.5, 0.5}, 1);
    test::fill(z, {2.0, 2.0, 2.0, 2.0}, 1);
    // x * 2 + y * z * x - z / 4: terms of one and of several operands
    auto e = Build()
                 .var(x)
                 .op('*')
                 .num(2)
                 .op('+')
                 .var(y)
                 .op('*')
                 .var(z)
                 .op('*')
                 .var(x)
                 .op('-')
                 .var(z)
                 .op('/')
                 .num(4)
                 .finish();
    ASSERT_NE(dynamic_cast<SimpleMixedTypeExpression*>(e.get()), nullptr);
    DoubleValue workspace;
    e->pValue(&workspace);
    EXPECT_EQ(elements(workspace), (std::vector<double>{2.5, 5.5, 8.5, 11.5}));
    const double* buffer = workspace.data();
    EXPECT_EQ(allocationsOf(100, [&] { e->pValue(&workspace); }), 0);
    // The counter does see allocations: a fresh workspace needs a buffer.
    EXPECT_GT(allocationsOf(1,
                            [&] {
                                DoubleValue fresh;
                                e->pValue(&fresh);
                            }),
              0);
    EXPECT_EQ(workspace.data(), buffer);
    EXPECT_EQ(elements(workspace), (std::vector<double>{2.5, 5.5, 8.5, 11.5}));
}

TEST(ExpressionReuse, ScalarLoopAllocatesNothing) {
    IntValue a{3}, b{4};
    auto e = Build().var(a).op('*').var(b).op('-').var(b).op('*').var(b).op('+').num(1).finish();
    ASSERT_NE(dynamic_cast<SimpleExpression*>(e.get()), nullptr);
    IntValue workspace;
    e->pValue(&workspace);
    EXPECT_EQ(allocationsOf(1000, [&] { e->pValue(&workspace); }), 0);
    EXPECT_EQ(workspace[0], 12 - 16 + 1);
}

TEST(ExpressionReuse, ClimbAndComparisonsAllocateNothingOnceSized) {
    DoubleValue x{2.0};
    IntValue k{3};
    auto climb = Build().var(x).op('^').var(k).op('_').num(3).op('+').var(k).finish();
    DoubleValue workspace;
    climb->pValue(&workspace);
    EXPECT_EQ(allocationsOf(100, [&] { climb->pValue(&workspace); }), 0);
    EXPECT_EQ(workspace[0], 2 + 3); // floor(8 / 3) + 3

    auto chain = Build().num(1).op('<').var(x).op('L').var(k).finish();
    IntValue result;
    chain->pValue(&result);
    EXPECT_EQ(allocationsOf(100, [&] { chain->pValue(&result); }), 0);
    EXPECT_EQ(result[0], 1);
}

// Emulates a recursive user function f inside its own body: while `depth`
// is above 0 it lowers it and evaluates the body again into a workspace of
// its own; at depth 0 it delivers 1.
class RecursiveCall : public Evaluatable {
  public:
    explicit RecursiveCall(int& depth) : depth_(depth) {}
    Value* pValue(Value* workspace) override {
        if (depth_ == 0) {
            workspace->assignScalarInt(1);
            return workspace;
        }
        --depth_;
        IntValue inner;
        workspace->assign(*body_->pValue(&inner)); // the result may be the body's own
        return workspace;
    }
    int resultType() const override { return INTEGER_VAL; }
    bool refersTo(const Value*) const override { return false; }
    Evaluatable* body_ = nullptr;

  private:
    int& depth_;
};

// Delivers depth + 2 at the moment it is evaluated.
class DepthElement : public Evaluatable {
  public:
    explicit DepthElement(const int& depth) : depth_(depth) {}
    Value* pValue(Value* workspace) override {
        workspace->assignScalarInt(depth_ + 2);
        return workspace;
    }
    int resultType() const override { return INTEGER_VAL; }
    bool refersTo(const Value*) const override { return false; }

  private:
    const int& depth_;
};

// The body 1 + d * f(): at depth 2 it is 1 + 4 * (1 + 3 * (1 + 2 * 1)) = 41.
// The running term 4 must survive the two nested evaluations.
int recursiveResult(bool general) {
    int depth = 2;
    auto call = std::make_unique<RecursiveCall>(depth);
    RecursiveCall* callPtr = call.get();
    Build b;
    b.num(1).op('+').add(std::make_unique<DepthElement>(depth)).op('*').add(std::move(call));
    if (general) b.op('_').num(1);
    auto body = b.finish();
    callPtr->body_ = body.get();
    IntValue workspace;
    body->pValue(&workspace);
    return workspace[0];
}

TEST(ExpressionReuse, NestedEvaluationKeepsPartialResults) {
    EXPECT_EQ(recursiveResult(false), 41);
    EXPECT_EQ(recursiveResult(true), 41);
}

struct NoDialogs : Dialogs {
    void inform(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};

// Calls of user functions: once the frames and scratch values of every
// recursion level exist, neither a recursive call nor a quick call allocates.
TEST(ExpressionReuse, WarmFunctionCallsAllocateNothing) {
    NoDialogs dialogs;
    test::TestPlatform platform(dialogs);
    CalcSetup setup;
    setup.mode = 1;
    setup.useStateFiles = false;
    setup.platform = &platform;
    Calc calc(setup);
    calc.setInput("function y = fib(n)\r  if n < 2: y = n\r  else: y = fib(n - 1) + fib(n - 2)\rend", '>');
    calc.executePendingInput();
    calc.setInput("q(x) := x*x + 1", '>');
    calc.executePendingInput();

    UserFunc* fib = calc.workspace().userFunctions().find("fib");
    ASSERT_NE(fib, nullptr);
    DoubleValue argument(12.0), result;
    const Value* arguments[] = {&argument};
    // Buffers travel between the frames and the locals; a few calls settle them.
    for (int warm = 0; warm < 3; ++warm) fib->call(arguments, {}, {}, result);
    EXPECT_EQ(result.data()[0], 144);
    EXPECT_EQ(allocationsOf(3, [&] { fib->call(arguments, {}, {}, result); }), 0);

    InputSource nothingMore('s', "");
    Lexer lexer(nothingMore);
    TokenList tokens;
    lexer.lex("q(3) + q(4) #", '#', tokens, nullptr);
    ExpressionParser parser(calc.workspace(), calc);
    EvaluatablePtr call = parser.parse(tokens);
    DoubleValue workspace;
    EXPECT_EQ(static_cast<DoubleValue*>(call->pValue(&workspace))->data()[0], 27);
    EXPECT_EQ(allocationsOf(100, [&] { call->pValue(&workspace); }), 0);
}

} // namespace
} // namespace vemlor
