#include "core/system/kpaths.h"

#include <filesystem>

#include "temphome.h"

using namespace kolvarin;

class PathsTest : public ktest::TempHomeTest {};

TEST_F(PathsTest, UserPathFollowsKolvarinHomeAndIsPrivate)
{
    auto folder = home() / "nested" / "user";
    ::setenv("KOLVARIN_HOME", folder.c_str(), 1);
    EXPECT_EQ(DetectUserPath(), folder.string() + "/");
    auto perms = std::filesystem::status(folder).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_all);
}

TEST_F(PathsTest, UserPathFallsBackToXdgDataHome)
{
    ::unsetenv("KOLVARIN_HOME");
    ::setenv("XDG_DATA_HOME", (dir().path() / "xdg").c_str(), 1);
    EXPECT_EQ(DetectUserPath(), (dir().path() / "xdg" / "kolvarin").string() + "/");
}

TEST_F(PathsTest, ApplicationPathFindsDataAboveABuildTree)
{
    std::filesystem::create_directories(dir().path() / "src" / "data");
    std::filesystem::create_directories(dir().path() / "src" / "build" / "src" / "app");
    auto install = (dir().path() / "src" / "build" / "src" / "app").string() + "/";
    EXPECT_EQ(DetectApplicationPath(install), (dir().path() / "src").string() + "/");
}

TEST_F(PathsTest, ApplicationPathFindsInstalledShareFolder)
{
    std::filesystem::create_directories(dir().path() / "usr" / "share" / "kolvarin" / "data");
    std::filesystem::create_directories(dir().path() / "usr" / "bin");
    auto install = (dir().path() / "usr" / "bin").string() + "/";
    EXPECT_EQ(DetectApplicationPath(install), (dir().path() / "usr" / "share" / "kolvarin").string() + "/");
}
