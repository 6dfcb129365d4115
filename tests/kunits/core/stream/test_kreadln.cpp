#include <gtest/gtest.h>

#include "core/stream/kreadln.h"

#include <sstream>

using namespace kolvarin;

TEST(ReadLnSkipCommentsTest, SkipsEmptyAndSlashLinesAndStripsLineEnds)
{
    std::istringstream file("// head\r\n\r\n/x\nfirst\r\n\n/// mid\r\nsecond\nthird");
    std::string line = "stale";
    const char* expected[] = {"first", "second", "third", "", ""};
    for (const char* want : expected) {
        ReadLnSkipComments(file, line);
        EXPECT_EQ(line, want);
    }
}

TEST(ReadLnSkipCommentsTest, OnlyCommentsGiveAnEmptyLine)
{
    std::istringstream file("//\r\n/\r\n\r\n");
    std::string line = "stale";
    ReadLnSkipComments(file, line);
    EXPECT_EQ(line, "");
}
