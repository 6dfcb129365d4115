#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "temphome.h"

namespace kolvarin {
namespace {

class FilterTablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        config.SetDefaultFilters();
        TKConfig::FillKnownExtensions(config.AcceptedExtensions);
    }
    std::string path(const char* name) const { return (dir.path() / name).string(); }

    ktest::TempDir dir;
    TKConfig config;
};

TEST_F(FilterTablesTest, DefaultsAndFinders)
{
    ASSERT_EQ(config.VideoFilters.size(), 26u);
    EXPECT_EQ(config.VideoFilters[19].Extension, "AVSEQ??.MPG");
    EXPECT_EQ(config.VideoFilters[25].Script, "Windows Media Video");
    EXPECT_EQ(config.FindFilterByExtension(".AVI"), 0);
    EXPECT_EQ(config.FindFilterByExtension(".flac"), -1);
    EXPECT_EQ(config.FindFilterByExtension("avseq01.mpg"), -1);
    EXPECT_EQ(config.FindFilterByExtension("avseq??.mpg"), 19);
    EXPECT_EQ(config.FindFilterEntry(".xm", "TRACKER"), 9);
    EXPECT_EQ(config.FindFilterEntry(".xm", "RealMedia"), -1);

    ASSERT_EQ(config.AcceptedExtensions.size(), 80u);
    EXPECT_EQ(config.AcceptedExtensions.front(), ".WAV");
    EXPECT_EQ(config.AcceptedExtensions.back(), ".CDA");
    EXPECT_EQ(std::count(config.AcceptedExtensions.begin(), config.AcceptedExtensions.end(), ".IMF"), 2);
}

TEST_F(FilterTablesTest, RoundTripsAndWrittenForm)
{
    config.VideoFilters[3].CanAsk = true;
    config.VideoFilters.push_back({".webm", "Caf\xe9 Script", false});
    config.AcceptedExtensions = {".mp3", ".OGG", ".mp3"};
    config.SaveFilterManager(path("filtermanager.xml"));
    config.SaveAcceptedExtensions(path("acceptedextensions.xml"));

    const std::string table = ktest::readFile(path("filtermanager.xml"));
    EXPECT_EQ(table.rfind("<KolvarinFilterManager Version=\"", 0), 0u) << "no declaration, no comment";
    EXPECT_NE(table.find("    <Entry Extension=\".mp4\" Scriptfile=\"Kolvarin Codec Pack\" CanAsk=\"true\" />\r\n"),
              std::string::npos);
    EXPECT_NE(ktest::readFile(path("acceptedextensions.xml")).find("<Entry Ext=\".MP3\" />"), std::string::npos);

    TKConfig loaded;
    loaded.LoadFilterManager(path("filtermanager.xml"));
    loaded.LoadAcceptedExtensions(path("acceptedextensions.xml"));
    ASSERT_EQ(loaded.VideoFilters.size(), 27u);
    for (size_t i = 0; i < 27; ++i) {
        EXPECT_EQ(loaded.VideoFilters[i].Extension, config.VideoFilters[i].Extension);
        EXPECT_EQ(loaded.VideoFilters[i].Script, config.VideoFilters[i].Script);
        EXPECT_EQ(loaded.VideoFilters[i].CanAsk, config.VideoFilters[i].CanAsk);
    }
    EXPECT_EQ(loaded.AcceptedExtensions, (std::vector<std::string>{".MP3", ".OGG", ".MP3"}));
}

TEST_F(FilterTablesTest, FileContents)
{
    const auto filters = dir.write("f.xml", "<KolvarinFilterManager><Entries><Entry Extension=\".x\" CanAsk=\"1\"/>"
                                            "<!-- c --><Other Scriptfile=\"" +
                                                std::string(300, 's') +
                                                "\"/>"
                                                "</Entries></KolvarinFilterManager>");
    config.LoadFilterManager(filters.string());
    ASSERT_EQ(config.VideoFilters.size(), 3u) << "every child of Entries is a row";
    EXPECT_EQ(config.VideoFilters[0].Extension, ".x");
    EXPECT_EQ(config.VideoFilters[0].Script, "");
    EXPECT_TRUE(config.VideoFilters[0].CanAsk);
    EXPECT_EQ(config.VideoFilters[1].Extension, "");
    EXPECT_EQ(config.VideoFilters[2].Script.size(), 255u);

    config.LoadAcceptedExtensions(
        dir.write("a.xml", "<KolvarinAcceptedExtensions><Entries><Entry Ext=\".mp3\"/><Entry/></Entries>"
                           "</KolvarinAcceptedExtensions>")
            .string());
    EXPECT_EQ(config.AcceptedExtensions, (std::vector<std::string>{".MP3", ""}));

    config.LoadFilterManager(dir.write("e.xml", "<KolvarinFilterManager><Entries/></KolvarinFilterManager>").string());
    EXPECT_TRUE(config.VideoFilters.empty()) << "an empty Entries element is an empty table";
}

// A damaged file keeps what was there (the defaults at start-up) instead of
// an empty list that would refuse every file.
TEST_F(FilterTablesTest, DamagedFilesKeepTheDefaults)
{
    for (const char* bytes : {"", "<KolvarinFilterManager><Entries><Entry", "<KolvarinFilterManager/>",
                              "<kolvarinfiltermanager><Entries/></kolvarinfiltermanager>",
                              "<KolvarinAcceptedExtensions><Entries/></KolvarinAcceptedExtensions>"}) {
        config.LoadFilterManager(dir.write("f.xml", bytes).string());
        EXPECT_EQ(config.VideoFilters.size(), 26u) << bytes;
    }
    for (const char* bytes : {"\xff\xfe<", "<KolvarinAcceptedExtensions>",
                              "<KolvarinFilterManager><Entries/>"
                              "</KolvarinFilterManager>"}) {
        config.LoadAcceptedExtensions(dir.write("a.xml", bytes).string());
        EXPECT_EQ(config.AcceptedExtensions.size(), 80u) << bytes;
    }
}

} // namespace
} // namespace kolvarin
