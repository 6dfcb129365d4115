#include <filesystem>
#include <stdexcept>
#include <string>

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

// A disk that fills up during the write: a child process limited to 1 KiB of
// file size stands for it.
TEST(FileSave, FullDiskKeepsTheOldFile)
{
    ktest::TempDir dir;
    const auto file = dir.write("default.kpl", "the old playlist");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
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
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the save reports the failure";
    EXPECT_EQ(ktest::readFile(file), "the old playlist");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

} // namespace
} // namespace kolvarin
