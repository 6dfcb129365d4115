// Text, number and file routines.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "script/lumosupport.h"

namespace kolvarin::script {
namespace {

TEST(Support, Crc32)
{
    EXPECT_EQ(Crc32("abc"), 0x352441C2u);
    EXPECT_EQ(Crc32(""), 0u);
}

TEST(Support, NumberTexts)
{
    EXPECT_EQ(IntToHex(-255), "-FF");
    EXPECT_EQ(UIntToHex(0xFFFFFFFFu), "FFFFFFFF");
    EXPECT_EQ(IntToBase(255, 16), "FF");
    EXPECT_EQ(IntToBase(0, 16), "");
    EXPECT_EQ(IntToBase(5, 37), "");
    EXPECT_EQ(IntToBase(INT32_MIN, 2), "-1" + std::string(31, '0'));
    EXPECT_EQ(UIntToBase(35, 36), "Z");
}

TEST(Support, FileNameParts)
{
    EXPECT_EQ(ExtractFileExt("c:\\dir.x\\file"), "");
    EXPECT_EQ(ExtractFileExt("file.tar.gz"), ".gz");
    EXPECT_EQ(ExtractFileName("data\\dsgraphs/avi.kgraph"), "avi.kgraph");
    EXPECT_EQ(ChangeFileExt("graph.kgraph", ".lsc"), "graph.lsc");
    EXPECT_EQ(ChangeFileExt("graph", ".lsc"), "graph.lsc");
}

TEST(Support, WholeWords)
{
    EXPECT_EQ(FindWholeWord("ab a_b a", "a", 1), 8u);
    EXPECT_EQ(FindWholeWord("a", "a", 0), 1u);
    EXPECT_EQ(ReplaceWholeWords("x+xx+x", "x", "xx"), "xx+xx+xx");
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
}

TEST(Support, RandomFloatStaysInItsRange)
{
    for (int i = 0; i < 1000; ++i) {
        float value = RandomFloat();
        EXPECT_GE(value, 0.0f);
        EXPECT_LE(value, 1.0f);
    }
}

TEST(Support, FileExistsOnlyTests)
{
    std::string path = testing::TempDir() + "/lumo_readonly.txt";
    std::ofstream(path) << "x";
    chmod(path.c_str(), 0444);
    EXPECT_TRUE(FileExists(path));
    struct stat info {};
    stat(path.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    chmod(path.c_str(), 0644);
    std::remove(path.c_str());
    EXPECT_FALSE(FileExists(path));
}

TEST(Support, ExecAndWaitRunsThroughTheShell)
{
    std::string path = testing::TempDir() + "/lumo_exec.txt";
    EXPECT_TRUE(ExecAndWait("", "echo hi > " + path));
    std::ifstream file(path);
    std::string word;
    file >> word;
    EXPECT_EQ(word, "hi");
    std::remove(path.c_str());
}

} // namespace
} // namespace kolvarin::script
