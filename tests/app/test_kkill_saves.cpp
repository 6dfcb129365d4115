// The shutdown's saves and the settings load of the start-up, run in-process.
#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/kapp.h"
#include "app/kloadedfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "temphome.h"

namespace kolvarin {
namespace {

const char* const kFiles[] = {"config.xml", "acceptedextensions.xml", "filtermanager.xml", "default.kpl"};

class UserFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UserPath = dir.path().string() + "/";
        log = std::make_unique<TKDebug>(UserPath + "kolvarin.log");
        log->SetLogToFile(true);
        DebugLog = log.get();
        Config = new TKConfig();
        Config->SetDefaults();
        Playlist = new TKPlaylist();
        Playlist->Add(u"caption", u"/m/a.mp3", false, "01", "00:01:00");
        LoadedFiles = {true, true, true};
    }
    void TearDown() override
    {
        DebugLog = nullptr;
        delete Config;
        Config = nullptr;
        delete Playlist;
        Playlist = nullptr;
        NoSave = false;
        LoadedFiles = {};
    }
    std::string logText() const
    {
        const std::string bytes = ktest::readFile(UserPath + "kolvarin.log");
        return Utf16ToUtf8(ktest::FromUtf16Le(std::string_view(bytes).substr(std::min<size_t>(2, bytes.size()))));
    }
    bool logHas(const std::string& text) const { return logText().find(text) != std::string::npos; }

    ktest::TempDir dir;
    std::unique_ptr<TKDebug> log;
};

TEST_F(UserFilesTest, SavesTheFourFiles)
{
    KSaveUserFiles();
    for (const char* name : kFiles)
        EXPECT_TRUE(std::filesystem::is_regular_file(UserPath + name)) << name;
    EXPECT_TRUE(logHas("KKill - Save config to file \"" + UserPath + "config.xml\"...\r\n"));
    EXPECT_TRUE(logHas("KKill - Save config to file \"" + UserPath + "config.xml\" ok\r\n"));
    EXPECT_TRUE(logHas("KKill - Save extension whitelist to file \"" + UserPath + "acceptedextensions.xml\" ok"));
    EXPECT_TRUE(logHas("KKill - Save media graphs to file \"" + UserPath + "filtermanager.xml\" ok"));
    EXPECT_TRUE(logHas("KKill - Save playlist to file \"" + UserPath + "default.kpl\" ok"));
}

TEST_F(UserFilesTest, NoSaveLeavesEveryFileUntouched)
{
    for (const char* name : kFiles)
        dir.write(name, std::string("untouched ") + name);
    NoSave = true;
    KSaveUserFiles();
    for (const char* name : kFiles)
        EXPECT_EQ(ktest::readFile(UserPath + name), std::string("untouched ") + name);
    EXPECT_TRUE(logHas("KKill - Save playlist to file \"" + UserPath + "default.kpl\" skipped!"));
    EXPECT_TRUE(logHas("KKill - Save config to file \"" + UserPath + "config.xml\" skipped!"));
}

// After a start that ended before a file was read, that file is not
// overwritten with an empty table or playlist.
TEST_F(UserFilesTest, FilesWhoseLoadNeverRanAreKept)
{
    for (const char* name : kFiles)
        dir.write(name, "kept");
    LoadedFiles = {};
    KSaveUserFiles();
    EXPECT_NE(ktest::readFile(UserPath + "config.xml"), "kept");
    for (const char* name : {"acceptedextensions.xml", "filtermanager.xml", "default.kpl"})
        EXPECT_EQ(ktest::readFile(UserPath + name), "kept") << name;
    EXPECT_TRUE(logHas("Save media graphs to file \"" + UserPath + "filtermanager.xml\" skipped!"));
}

TEST_F(UserFilesTest, AFailedSaveIsLoggedAndTheNextOneRuns)
{
    std::filesystem::create_directory(UserPath + "config.xml");
    KSaveUserFiles();
    EXPECT_TRUE(logHas("KKill - Save config to file \"" + UserPath + "config.xml\" failed: "));
    EXPECT_TRUE(std::filesystem::is_regular_file(UserPath + "default.kpl"));
}

TEST_F(UserFilesTest, LoadConfigurationFallsBackToTheDefaultsAsAWhole)
{
    delete Config;
    Config = nullptr;
    const std::string bad = "<KolvarinConfigFile><Skin Name=\"dark\"/><Volume Value=\"x\"/></KolvarinConfigFile>";
    dir.write("config.xml", bad);
    KLoadConfiguration();
    ASSERT_NE(Config, nullptr);
    EXPECT_EQ(Config->Skin, "base[default]") << "never a mixture";
    EXPECT_TRUE(logHas("KLoadConfiguration - Exception while loading config: 'x' is not a valid integer value"));
    EXPECT_EQ(ktest::readFile(UserPath + "config.xml.damaged"), bad) << "kept from the defaults saved at the end";

    delete Config;
    Config = nullptr;
    dir.write("config.xml", "<KolvarinConfigFile><Skin Name=\"dark\"/></KolvarinConfigFile>");
    KLoadConfiguration();
    EXPECT_EQ(Config->Skin, "dark");
    EXPECT_TRUE(logHas("KLoadConfiguration - Load from config file \"" + UserPath + "config.xml\" ok"));
}

} // namespace
} // namespace kolvarin
