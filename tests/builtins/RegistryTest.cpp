// The registry after every registration and retagging step, checked against
// the recorded table registry_entries.txt: listings and saved references
// depend on each name's family, index and variant.
#include "builtins/Registry.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vemlor {
namespace {

TEST(Registry, EntriesAsRecorded) {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "registry_entries.txt");
    ASSERT_TRUE(file) << "registry_entries.txt not found";
    std::stringstream expected;
    expected << file.rdbuf();
    std::string actual;
    const Registry& registry = Registry::instance();
    for (const std::string& name : registry.names()) {
        BuiltinEntry e = registry.lookup(name);
        actual += name + " " + std::to_string(static_cast<int>(e.family)) + " " +
                  std::to_string(e.index) + " " + std::to_string(static_cast<int>(e.variant)) +
                  "\n";
    }
    EXPECT_EQ(actual, expected.str());
}

} // namespace
} // namespace vemlor
