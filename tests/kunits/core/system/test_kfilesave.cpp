#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "core/system/kfilesave.h"
#include "temphome.h"

namespace kolvarin {
namespace {

size_t filesIn(const std::filesystem::path& folder)
{
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(FileSave, ReplacesWholeAndKeepsTheMode)
{
    ktest::TempDir dir;
    const auto file = dir.write("a.xml", "old contents that are longer");
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    SaveFileAtomically(file.string(), "new");
    EXPECT_EQ(ktest::readFile(file), "new");
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(filesIn(dir.path()), 1u) << "no temporary file left";

    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(file.string(), bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_FALSE(ReadWholeFile((dir.path() / "missing").string(), bytes));
    EXPECT_FALSE(ReadWholeFile(dir.path().string(), bytes)) << "a folder is no file";
    EXPECT_FALSE(ReadWholeFile(file.string(), bytes, 2)) << "over the limit";
}

// A save that cannot finish leaves the old file as it was.
TEST(FileSave, FailureKeepsTheOldFile)
{
    ktest::TempDir dir;
    EXPECT_THROW(SaveFileAtomically((dir.path() / "no-folder" / "x.kpl").string(), "x"), std::runtime_error);

    // A folder standing where the file should go: the rename fails.
    std::filesystem::create_directory(dir.path() / "config.xml");
    TKConfig config;
    config.SetDefaults();
    EXPECT_THROW(config.SaveToFile((dir.path() / "config.xml").string()), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "config.xml"));
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

// Saves under a deferral are flushed and renamed later, in their order; the
// caller only waits for the writing, and Finish for the rest.
TEST(FileSave, DeferredSavesArriveInOrderAndReportTheirFailures)
{
    ktest::TempDir dir;
    const auto first = dir.write("config.xml", "old settings");
    const auto second = dir.path() / "hotkeys.kkeys";
    std::filesystem::create_directory(dir.path() / "default.kpl"); // its rename fails
    std::vector<std::string> failures;
    {
        TKDeferredSaves saves([&](const std::string& fileName, const std::string& message) {
            failures.push_back(fileName + ": " + message);
        });
        SaveFileAtomically(first.string(), "settings 1");
        SaveFileAtomically((dir.path() / "default.kpl").string(), "playlist");
        SaveFileAtomically(second.string(), "keys");
        SaveFileAtomically(first.string(), "settings 2");
        EXPECT_THROW(SaveFileAtomically((dir.path() / "no-folder" / "x").string(), "x"), std::runtime_error)
            << "a file that cannot be written still fails at once";
        saves.Finish();
        EXPECT_EQ(ktest::readFile(first), "settings 2") << "the later save of a file wins";
        EXPECT_EQ(ktest::readFile(second), "keys");
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_NE(failures[0].find((dir.path() / "default.kpl").string() + ": Cannot replace"), std::string::npos)
            << failures[0];
        EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "default.kpl"));
        EXPECT_EQ(filesIn(dir.path()), 3u) << "no temporary file left";

        SaveFileAtomically(second.string(), "keys 2");
        EXPECT_EQ(ktest::readFile(second), "keys 2") << "after Finish a save is whole when it returns";
    }
}

// Saves 64 KiB over File in a child process whose files may grow to 1 KiB:
// a disk that fills up during the write, or, when the signal of the limit is
// not ignored, a save killed midway. The child's wait status: exit code 3
// when the save reported its failure.
int SaveInALimitedChild(const std::filesystem::path& file, bool ignoreTheLimitSignal)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (ignoreTheLimitSignal)
            ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            SaveFileAtomically(file.string(), std::string(64 * 1024, 'x'));
        } catch (const std::runtime_error&) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = -1;
    if (child > 0)
        ::waitpid(child, &status, 0);
    return status;
}

TEST(FileSave, FullDiskKeepsTheOldFile)
{
    ktest::TempDir dir;
    const auto file = dir.write("default.kpl", "the old playlist");
    const int status = SaveInALimitedChild(file, true);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the save reports the failure";
    EXPECT_EQ(ktest::readFile(file), "the old playlist");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

// A save killed in the middle leaves its temporary behind, under the name the
// start-up looks for.
TEST(FileSave, AKilledSaveLeavesATemporaryOfTheNameTheStartUpRemoves)
{
    ktest::TempDir dir;
    const auto file = dir.write("default.kpl", "the old playlist");
    const int status = SaveInALimitedChild(file, false);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename() != "default.kpl")
            left.push_back(entry.path().filename().string());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(IsSaveTemporaryName(left[0], "default.kpl")) << left[0];
    EXPECT_FALSE(IsSaveTemporaryName(left[0], "default.kp"));
    EXPECT_EQ(ktest::readFile(file), "the old playlist");

    const struct {
        const char* name;
        bool temporary;
    } names[] = {{"config.xml.a1B2c3", true},   {"config.xml.a1B2c", false}, {"config.xml.a1B2c34", false},
                 {"config.xml.a1-2c3", false},  {"config.xml", false},       {"config.xmlXa1B2c3", false},
                 {"xconfig.xml.a1B2c3", false}, {"config.xml.tmp", false}};
    for (const auto& n : names)
        EXPECT_EQ(IsSaveTemporaryName(n.name, "config.xml"), n.temporary) << n.name;
}

} // namespace
} // namespace kolvarin
