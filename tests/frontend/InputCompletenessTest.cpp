// When the terminal session waits for more lines before running an input.
#include "frontend/InputCompleteness.h"

#include <gtest/gtest.h>

namespace vemlor {
namespace {

TEST(InputCompleteness, OpenConstructsWaitForMoreLines) {
    EXPECT_TRUE(isUnfinishedInput("x = (1 +"));
    EXPECT_TRUE(isUnfinishedInput("[1, 2,"));
    EXPECT_TRUE(isUnfinishedInput("y = 3 *"));
    EXPECT_TRUE(isUnfinishedInput("while 1 {"));
    EXPECT_TRUE(isUnfinishedInput("while 1 {\rx = 1"));
    EXPECT_TRUE(isUnfinishedInput("a = [1 2\r3 4"));
}

TEST(InputCompleteness, CompleteOrBrokenInputRunsAtOnce) {
    EXPECT_FALSE(isUnfinishedInput(""));
    EXPECT_FALSE(isUnfinishedInput("1 + 2"));
    EXPECT_FALSE(isUnfinishedInput("x = (1 +\r2)"));
    EXPECT_FALSE(isUnfinishedInput("while 1 {\rx = 1\r}"));
    EXPECT_FALSE(isUnfinishedInput("while 1 { x = 1 }"));
    EXPECT_FALSE(isUnfinishedInput("a = [1 2\n3 4]"));
    // Errors that more lines cannot mend are reported straight away.
    EXPECT_FALSE(isUnfinishedInput("1.2.3"));
    EXPECT_FALSE(isUnfinishedInput("(1 + 2))"));
}

} // namespace
} // namespace vemlor
