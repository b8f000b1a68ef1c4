// The registry after every registration and retagging step: how many names
// each family ends with, where retagged names land, argument ranges and the
// arity messages, the complex side map and the mixed-argument set.
#include "BuiltinTestSupport.h"

#include "core/Errors.h"

#include <algorithm>
#include <gmock/gmock.h>

namespace vemlor {
namespace {

using test::builtin;
using testing::HasSubstr;

const Registry& registry() {
    return Registry::instance();
}

TEST(Registry, FamilySizesAfterRetagging) {
    // Family 3: 42 double + 9 integer functions.
    EXPECT_EQ(registry().countInFamily(3), 51);
    // Family 4: 15 column reductions less the 3 moved to family 5, plus the
    // 6 integer ones moved in from family 5.
    EXPECT_EQ(registry().countInFamily(4), 18);
    // Family 5: 23 less 6 moved out, plus 3 moved in.
    EXPECT_EQ(registry().countInFamily(5), 20);
    EXPECT_EQ(registry().countInFamily(1), 14);
    EXPECT_EQ(registry().countInFamily(2), 6);
    EXPECT_EQ(registry().countInFamily(6), 28 + 19);
    EXPECT_EQ(registry().countInFamily(7), 37 - 10);
    EXPECT_EQ(registry().countInFamily(8), 10);
    EXPECT_EQ(registry().countInFamily(9), 54);
    EXPECT_EQ(registry().countInFamily(0), 0);
}

TEST(Registry, NamesAreSortedAndComplete) {
    std::vector<std::string> names = registry().names();
    EXPECT_EQ(names.size(), 51u + 18 + 20 + 14 + 6 + 47 + 27 + 10 + 54);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), "G"));
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), "numeric_limits"));
}

void expectEntry(const std::string& name, int family, int index, int variant) {
    BuiltinEntry e = registry().lookup(name);
    EXPECT_EQ(e.family, family) << name;
    EXPECT_EQ(e.index, index) << name;
    EXPECT_EQ(e.variant, variant) << name;
}

TEST(Registry, RetaggedNamesKeepTheirIndex) {
    expectEntry("all", 4, 0, 0);
    expectEntry("rfind", 4, 5, 0);
    expectEntry("size", 5, 6, 0);
    expectEntry("numeric_limits", 5, 0, 1);
    expectEntry("grindex", 5, 2, 1);
    expectEntry("mean", 4, 3, 1);
    expectEntry("norm", 4, 14, 1);
    expectEntry("poly", 8, 0, 1);
    expectEntry("binomial", 8, 9, 1);
    expectEntry("diag", 7, 10, 1);
    expectEntry("sqrt", 3, 0, 1);
    expectEntry("zeta", 3, 41, 1);
    expectEntry("close", 3, 0, 0);
    expectEntry("bitweight", 3, 8, 0);
}

TEST(Registry, GeneralFunctionVariants) {
    EXPECT_EQ(registry().lookup("dir").variant, 3);
    EXPECT_EQ(registry().lookup("readtext").variant, 3);
    EXPECT_EQ(registry().lookup("complex").variant, 2);
    EXPECT_EQ(registry().lookup("cdiag").variant, 2);
    EXPECT_EQ(registry().lookup("plot").variant, 0);
    EXPECT_EQ(registry().lookup("set").variant, 0);
    // The 34th name is the last one moved to variant 0.
    const BuiltinInfo& last = builtin("table");
    EXPECT_EQ(last.entry.index, 33);
    EXPECT_EQ(last.entry.variant, 0);
    EXPECT_EQ(registry().lookup("integ").variant, 1);
    EXPECT_EQ(registry().lookup("odetest").variant, 1);
}

TEST(Registry, UnknownNames) {
    EXPECT_EQ(registry().lookup("nosuchfunction").family, 0);
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
        EXPECT_EQ(builtin(name).complexTag, 2) << name;
        EXPECT_NE(builtin(name).complexHandler, nullptr) << name;
    }
    for (const char* name : {"real", "imag", "abs", "arg"})
        EXPECT_EQ(builtin(name).complexTag, 1) << name;
    for (const char* name : {"erf", "asin", "gamma", "floor", "log10", "log2"}) {
        EXPECT_EQ(builtin(name).complexTag, 0) << name;
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
