// The registry after every registration and retagging step (checked against
// the recorded table registry_entries.txt), argument ranges and the arity
// messages, the complex side map and the mixed-argument set.
#include "BuiltinTestSupport.h"

#include "core/Errors.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <sstream>

namespace vemlor {
namespace {

using test::builtin;
using testing::HasSubstr;

const Registry& registry() {
    return Registry::instance();
}

// Every name with its family, index and variant after all registration and
// retagging steps, one line each in name order, as listings show them.
TEST(Registry, EntriesAsRecorded) {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "registry_entries.txt");
    ASSERT_TRUE(file) << "registry_entries.txt not found";
    std::stringstream expected;
    expected << file.rdbuf();
    std::string actual;
    for (const std::string& name : registry().names()) {
        BuiltinEntry e = registry().lookup(name);
        actual += name + " " + std::to_string(static_cast<int>(e.family)) + " " +
                  std::to_string(e.index) + " " + std::to_string(static_cast<int>(e.variant)) +
                  "\n";
    }
    EXPECT_EQ(actual, expected.str());
}

TEST(Registry, UnknownNames) {
    EXPECT_EQ(registry().lookup("nosuchfunction").family, Family::None);
    EXPECT_EQ(registry().find("nosuchfunction"), nullptr);
    EXPECT_EQ(registry().find("Sqrt"), nullptr); // names are case-sensitive
}

TEST(Registry, ArgumentRangesPerFamily) {
    auto range = [](const std::string& name) {
        const BuiltinInfo& f = builtin(name);
        return std::pair(f.minArgs, f.maxArgs);
    };
    EXPECT_EQ(range("pi"), std::pair(0, 0));
    EXPECT_EQ(range("ans"), std::pair(0, 1));
    EXPECT_EQ(range("sin"), std::pair(1, 1));
    EXPECT_EQ(range("max"), std::pair(1, 1));
    EXPECT_EQ(range("size"), std::pair(1, 1));
    EXPECT_EQ(range("zeros"), std::pair(1, 1));
    EXPECT_EQ(range("sort"), std::pair(1, 2));
    EXPECT_EQ(range("poly"), std::pair(2, 2));
    EXPECT_EQ(range("plot"), std::pair(1, -1));
    EXPECT_EQ(range("lsfit"), std::pair(4, 7));
    EXPECT_EQ(range("ode"), std::pair(5, 5));
}

std::string arityError(const std::string& name, int count) {
    const BuiltinInfo& f = builtin(name);
    try {
        Registry::checkArity(name, f.minArgs, f.maxArgs, count);
    } catch (const SyntaxError& e) {
        return e.what();
    }
    return {};
}

TEST(Registry, ArityMessages) {
    EXPECT_THAT(arityError("plot", 0), HasSubstr("plot(...) has too few arguments"));
    EXPECT_THAT(arityError("menu", 3), HasSubstr("menu(...) has too many arguments"));
    EXPECT_THAT(arityError("lsfit", 3), HasSubstr("lsfit(...) has too few arguments"));
    EXPECT_EQ(arityError("plot", 200), ""); // unlimited
    EXPECT_EQ(arityError("menu", 2), "");
    EXPECT_THAT(arityError("sin", 2), HasSubstr("sin(...) has too many arguments"));
}

TEST(Registry, ComplexSideMap) {
    for (const char* name :
         {"sqrt", "exp", "log", "ln", "sin", "cos", "tan", "sinh", "cosh", "tanh", "conj"}) {
        EXPECT_EQ(builtin(name).complexKind, ComplexCounterpartKind::ComplexResult) << name;
        EXPECT_NE(builtin(name).complexHandler, nullptr) << name;
    }
    for (const char* name : {"real", "imag", "abs", "arg"})
        EXPECT_EQ(builtin(name).complexKind, ComplexCounterpartKind::DoubleResult) << name;
    for (const char* name : {"erf", "asin", "gamma", "floor", "log10", "log2"}) {
        EXPECT_EQ(builtin(name).complexKind, ComplexCounterpartKind::None) << name;
        EXPECT_EQ(builtin(name).complexHandler, nullptr) << name;
    }
    // ln shares log's counterpart, as the double functions share a handler.
    EXPECT_EQ(builtin("ln").complexHandler, builtin("log").complexHandler);
    EXPECT_EQ(builtin("ln").handler, builtin("log").handler);
    EXPECT_EQ(builtin("G").handler, builtin("gamma").handler);
    EXPECT_EQ(builtin("ceil").handler, builtin("ceiling").handler);
}

TEST(Registry, MixedArgumentSet) {
    for (const char* name :
         {"list", "disp", "save", "menu", "writetext", "fft", "ifft", "join", "cdiag"})
        EXPECT_TRUE(builtin(name).mixedArguments) << name;
    for (const char* name : {"plot", "split", "size", "str"})
        EXPECT_FALSE(builtin(name).mixedArguments) << name;
}

TEST(Registry, FixedResultTypes) {
    EXPECT_EQ(builtin("sqrt").resultType, DOUBLE_VAL);
    EXPECT_EQ(builtin("lower").resultType, INTEGER_VAL);
    EXPECT_EQ(builtin("all").resultType, INTEGER_VAL);
    EXPECT_EQ(builtin("numeric_limits").resultType, DOUBLE_VAL);
    EXPECT_EQ(builtin("poly").resultType, DOUBLE_VAL);
    EXPECT_EQ(builtin("pi").resultType, DOUBLE_VAL);
}

TEST(Registry, NotYetAvailable) {
    try {
        notYetAvailable("grid");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_STREQ(e.what(), "grid is not yet available");
    }
}

} // namespace
} // namespace vemlor
