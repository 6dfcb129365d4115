#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include <QMenu>

#include <gtest/gtest.h>

#include "core/settings/kcodecnames.h"
#include "core/settings/kformatdb.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "forms/debugmenu.h"
#include "temphome.h"

using namespace kolvarin;

namespace {

std::vector<std::string> LinesOf(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::istringstream in(ktest::readFile(file));
    for (std::string line; std::getline(in, line);) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "CR LF ends every line";
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class DebugMenuTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        UserPath = dir().path().string() + "/user/";
        ApplicationPath = dir().path().string() + "/app/";
        std::filesystem::create_directories(UserPath);
        VersionText = "1.2.3.4";
    }
    std::filesystem::path user(const std::string& name) const { return UserPath + name; }
};

TEST_F(DebugMenuTest, FiletypeListsSeparateBuiltInTypesFromCodecTypes)
{
    CreateFiletypeFile(UserPath);
    const std::vector<std::string> lines = LinesOf(user("filetypes.txt"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Out-Of-The-Box:");
    const auto codecs = std::find(lines.begin(), lines.end(), "Codec based:");
    ASSERT_NE(codecs, lines.end());
    const auto at = [&](const std::string& text) { return std::find(lines.begin(), lines.end(), text); };
    EXPECT_LT(at("Wavestream (*.wav)"), codecs);
    EXPECT_GT(at("OptimFROG (*.ofr)"), codecs);
    EXPECT_GT(at("Matroska video (*.mkv)"), codecs);
    EXPECT_TRUE(std::is_sorted(lines.begin() + 1, codecs));
    EXPECT_TRUE(std::is_sorted(codecs + 1, lines.end()));
    EXPECT_EQ(lines.size(), 2u + 19 + 25 + 33 + 2 + 1 + 3) << "every row of the six tables once";

    CreateFiletypeFeatureFiles(UserPath);
    struct Export {
        const char* name;
        size_t rows;
        std::string sample;
    };
    const Export exports[] = {
        {"Audio", 19 + 25 + 1, ".WAV\tWavestream (*.wav)\tYes"},
        {"Video", 33 + 2, ".MKV\tMatroska video (*.mkv)\tNo"},
        {"Playlists", 3, ".KPL\tKolvarin playlist (*.kpl)\tYes"},
    };
    for (const Export& e : exports) {
        SCOPED_TRACE(e.name);
        const std::vector<std::string> csv = LinesOf(user(std::string("format_") + e.name + "_export.csv"));
        ASSERT_EQ(csv.size(), e.rows + 1);
        EXPECT_EQ(csv[0], "Fileype\tDescription\tBuilt-in");
        EXPECT_TRUE(std::is_sorted(csv.begin() + 1, csv.end()));
        EXPECT_NE(std::find(csv.begin(), csv.end(), e.sample), csv.end());
    }
    EXPECT_NE(ktest::readFile(user("format_Audio_export.csv")).find(".OFR\tOptimFROG (*.ofr)\tNo"), std::string::npos);
}

TEST_F(DebugMenuTest, CheckIconsListsOnlyTheMissingOnes)
{
    std::filesystem::create_directories(ApplicationPath + "data/icons");
    for (const char* icon : {"wav.ico", "mp3.ico"})
        std::ofstream(ApplicationPath + "data/icons/" + icon) << "icon";
    CheckIcons(ApplicationPath, UserPath);
    const std::vector<std::string> missing = LinesOf(user("iconswofehlen.txt"));
    EXPECT_TRUE(std::is_sorted(missing.begin(), missing.end()));
    EXPECT_EQ(std::set<std::string>(missing.begin(), missing.end()).size(), missing.size());
    EXPECT_EQ(std::count(missing.begin(), missing.end(), "wav.ico"), 0);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), "ogg.ico"), 1);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), "imf.ico"), 1) << ".IMF is in two tables, listed once";
}

// The design looked up every code below 2^31; the table walk must give the
// same entries, so every named code is in the file with its name, and codes
// the file lacks have none.
TEST_F(DebugMenuTest, VideoDatabaseHoldsEveryNamedCodeSortedByCharacters)
{
    GenVideoFormatsDB(ApplicationPath);
    TKFormatDatabase loaded;
    ASSERT_TRUE(loaded.LoadFromFile(ApplicationPath + "data/db/videoformats.xml"));
    EXPECT_NE(ktest::readFile(ApplicationPath + "data/db/videoformats.xml").find("Version=\"1.2.3.4\""),
              std::string::npos);

    TKFormatDatabase table;
    SetDefaultVideoFormats(table);
    std::set<uint32_t> codes;
    for (int i = 0; i < table.GetCount(); ++i)
        codes.insert(table.GetItem(i).Code);
    ASSERT_EQ(loaded.GetCount(), static_cast<int>(codes.size())) << "each code once";
    for (uint32_t code : codes) {
        const TKFormatDBEntry* entry = loaded.Find(code);
        ASSERT_NE(entry, nullptr) << FourCCToString(code);
        EXPECT_EQ(entry->Description, BuiltinVideoCodecName(code)) << FourCCToString(code);
    }
    for (int i = 1; i < loaded.GetCount(); ++i)
        EXPECT_LE(loaded.GetItem(i - 1).CharCode, loaded.GetItem(i).CharCode) << i;

    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const uint32_t code = random() & 0x7FFFFFFFu;
        if (!codes.count(code)) {
            EXPECT_EQ(BuiltinVideoCodecName(code).rfind("Unknown (", 0), 0u) << code;
        }
    }
}

TEST_F(DebugMenuTest, AudioDatabaseSkipsTheUnknownCodesAndLoadsBack)
{
    GenAudioFormatsDB(ApplicationPath);
    const std::string text = ktest::readFile(ApplicationPath + "data/db/audioformats.xml");
    EXPECT_NE(text.find("HexCode=\"$0055\""), std::string::npos);
    EXPECT_EQ(text.find("Unknown"), std::string::npos);
    TKFormatDatabase loaded;
    ASSERT_TRUE(loaded.LoadFromFile(ApplicationPath + "data/db/audioformats.xml"));
    TKFormatDatabase defaults;
    SetDefaultAudioFormats(defaults);
    int named = 0;
    for (int i = 0; i < defaults.GetCount(); ++i)
        named += defaults.GetItem(i).Description.rfind("Unknown", 0) != 0;
    ASSERT_EQ(loaded.GetCount(), named);
    for (int i = 1; i < loaded.GetCount(); ++i)
        EXPECT_LT(loaded.GetItem(i - 1).Code, loaded.GetItem(i).Code);
    EXPECT_EQ(loaded.Find(0x55)->Description, BuiltinAudioCodecName(0x55));
}

TEST_F(DebugMenuTest, DefaultCodeHasOneLinePerEntry)
{
    TKFormatDatabase db;
    db.Add({85, {}, "MPEG Layer 3"});
    db.Add({0x31637661, "AVC1", "H.264"});
    GenDefaultFormatsCode(db, UserPath + "code.txt");
    EXPECT_EQ(LinesOf(user("code.txt")),
              (std::vector<std::string>{"  AddEntry(85, 'MPEG Layer 3');", "  AddEntry(828601953, 'H.264');"}));
}

TEST_F(DebugMenuTest, MenuItemsReportSuccessAndFailure)
{
    QMenu debug1;
    auto* items = new TKDebugMenu(debug1);
    TKDebugMenu& menu = *items;
    std::vector<QString> messages;
    menu.ShowMessage = [&](const QString& text) { messages.push_back(text); };
    ASSERT_EQ(debug1.actions().size(), 8);
    EXPECT_EQ(debug1.actions()[0], menu.CreateFiletypefile1);
    menu.Genaudioformatsdb1->trigger();
    SetDefaultLanguage(Language);
    menu.Savecurrentlanguagetoxml1->trigger();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Audio format db is generated successfully.");
    EXPECT_EQ(messages[1], QString::fromStdString("Language saved in \"" + UserPath + "\""));
    EXPECT_TRUE(std::filesystem::exists(user("current language.xml")));

    UserPath = dir().path().string() + "/missing/folder/";
    menu.CreateFiletypefile1->trigger();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_TRUE(messages[2].startsWith("Create filetype file for readme (debug) failed: "))
        << messages[2].toStdString();
}

} // namespace
