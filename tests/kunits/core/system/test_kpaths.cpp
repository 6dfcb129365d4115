#include "core/system/kpaths.h"

#include <filesystem>
#include <vector>

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

// Each case makes the folders below a temporary root, runs the program from
// `program` with the build's locations, and expects the folder holding data/.
TEST_F(PathsTest, ApplicationPathFollowsTheBuildThenTheWalk)
{
    struct Case {
        const char* what;
        std::vector<const char*> folders;
        const char* program;
        TKDataLocations where; // BuildTree and BuildData below the root
        const char* expected; // below the root; "" for the program's own folder
    };
    const Case cases[] = {
        {"installed below any prefix",
         {"opt/k/share/kolvarin/data", "opt/k/bin"},
         "opt/k/bin",
         {"../share/kolvarin/", "", ""},
         "opt/k/share/kolvarin/"},
        {"an installed layout of its own",
         {"opt/k/lib/kolvarin/data", "opt/k/libexec"},
         "opt/k/libexec",
         {"../lib/kolvarin/", "", ""},
         "opt/k/lib/kolvarin/"},
        {"a build folder outside the source",
         {"src/data", "build/src/app"},
         "build/src/app",
         {"../share/kolvarin/", "build/", "src/"},
         "src/"},
        {"installed from that build folder",
         {"src/data", "build", "usr/share/kolvarin/data", "usr/bin"},
         "usr/bin",
         {"../share/kolvarin/", "build/", "src/"},
         "usr/share/kolvarin/"},
        {"a copy outside the build folder",
         {"src/data", "build", "elsewhere"},
         "elsewhere",
         {"../share/kolvarin/", "build/", "src/"},
         ""},
        {"the walk: a build folder inside the source",
         {"src/data", "src/build/src/app"},
         "src/build/src/app",
         {"../share/kolvarin/", "", ""},
         "src/"},
        {"the walk: a share folder above",
         {"usr/share/kolvarin/data", "usr/lib/kolvarin/bin"},
         "usr/lib/kolvarin/bin",
         {"", "", ""},
         "usr/share/kolvarin/"},
    };
    for (const Case& c : cases) {
        const std::filesystem::path root = dir().path() / "layouts" / c.what;
        for (const char* folder : c.folders)
            std::filesystem::create_directories(root / folder);
        auto below = [&root](const std::string& relative) {
            return relative.empty() ? std::string() : (root / relative).string();
        };
        const std::string program = (root / c.program).string() + "/";
        const TKDataLocations where{c.where.Installed, below(c.where.BuildTree), below(c.where.BuildData)};
        EXPECT_EQ(DetectApplicationPath(program, where), *c.expected ? below(c.expected) : program) << c.what;
    }
}

TEST_F(PathsTest, TheBuildTellsWhereItsDataIs)
{
    const TKDataLocations& built = BuiltDataLocations();
    EXPECT_EQ(built.Installed, "../share/kolvarin/");
    EXPECT_TRUE(std::filesystem::is_directory(built.BuildData + "data/dsgraphs")) << built.BuildData;
    EXPECT_TRUE(DetectInstallPath().starts_with(built.BuildTree)) << built.BuildTree;
    EXPECT_EQ(DetectApplicationPath(DetectInstallPath()), built.BuildData);
}
