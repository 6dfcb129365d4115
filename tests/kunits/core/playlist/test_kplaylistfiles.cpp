#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kerrors.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "temphome.h"

namespace kolvarin {
namespace {

std::string fixture(const char* name) { return ktest::TestData(std::string("playlists/") + name).string(); }

void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(v >> (8 * i) & 0xFF);
}

// A KPL2 header with the given size field, count and token.
std::string header(uint32_t size, uint32_t count, const char* token = "4A7C2E91")
{
    std::string out = "KPL2";
    putU32(out, size);
    putU32(out, 0);
    putU32(out, count);
    return out + token;
}

struct Problem {
    TKErrorCode code;
    std::u16string file;
};

class PlaylistFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Playlist = &list;
        PlaylistClear();
        savedHooks = PlaylistHooks();
        PlaylistHooks().ShowMediaProblem = [this](TKErrorCode code, const std::u16string& f) {
            problems.push_back({code, f});
        };
        PlaylistHooks().StartPlay = [this] { ++starts; };
    }
    void TearDown() override
    {
        PlaylistHooks() = savedHooks;
        Playlist = nullptr;
        SysPlayed = SysPaused = false;
    }
    void addOld(int n)
    {
        for (int i = 0; i < n; ++i)
            PlaylistAdd(u"old", u"/old.mp3", "00:00:01", false, "01");
    }
    std::vector<std::u16string> captions() const
    {
        std::vector<std::u16string> out;
        for (int i = 0; i < PlaylistCount(); ++i)
            out.push_back(PlaylistGetItem(i)->Caption);
        return out;
    }

    ktest::TempDir dir;
    TKPlaylist list;
    TKPlaylistHooks savedHooks;
    std::vector<Problem> problems;
    int starts = 0;
};

TEST_F(PlaylistFilesTest, KplFixturesOfBothVersions)
{
    addOld(1);
    ASSERT_TRUE(LoadPlaylistFile(fixture("good.kpl"), false, false));
    ASSERT_EQ(PlaylistCount(), 4);
    const TKPlaylistEntry* e = PlaylistGetItem(1);
    EXPECT_EQ(e->Caption, u"Caf\u00e9 \u266b");
    EXPECT_EQ(e->FileName, u"/music/caf\u00e9.mp3");
    EXPECT_EQ(e->Time, "00:03:25");
    EXPECT_EQ(e->Track, "07");
    EXPECT_FALSE(e->Selected);
    EXPECT_EQ(PlaylistGetItem(2)->Caption, u"");
    EXPECT_EQ(PlaylistGetItem(3)->Track, "1");
    EXPECT_EQ(starts, 0);

    ASSERT_TRUE(LoadPlaylistFile(fixture("old.kpl"), true, true));
    EXPECT_EQ(captions(), (std::vector<std::u16string>{u"One", u"Two"}));
    EXPECT_EQ(PlaylistGetItem(0)->FileName, u"C:\\m\\1.mp3");
    EXPECT_EQ(starts, 1);
    SysPlayed = true;
    ASSERT_TRUE(LoadPlaylistFile(fixture("empty-old.kpl"), true, true));
    EXPECT_EQ(PlaylistCount(), 0);
    EXPECT_EQ(starts, 1) << "something plays already";
    EXPECT_TRUE(problems.empty());
}

// The file a save writes is the fixture byte for byte (with its token).
TEST_F(PlaylistFilesTest, KplIsWrittenByteForByte)
{
    ASSERT_TRUE(LoadPlaylistFile(fixture("good.kpl"), false, true));
    EXPECT_EQ(BuildKplFile(list, 3), ktest::readFile(fixture("good.kpl")));

    std::srand(1);
    for (int i = 0; i < 200; ++i) {
        const int token = ChooseKplToken();
        EXPECT_TRUE(token >= 0 && token <= 8);
    }
    const std::string path = (dir.path() / "default.kpl").string();
    PlaylistGetItem(0)->Selected = true;
    SavePlaylistFile(path);
    const std::string saved = ktest::readFile(path);
    EXPECT_EQ(saved.substr(24), ktest::readFile(fixture("good.kpl")).substr(24));
    TKPlaylist other;
    Playlist = &other;
    ASSERT_TRUE(LoadPlaylistFile(path, false, false));
    EXPECT_EQ(BuildKplFile(other, 3), BuildKplFile(list, 3));
    EXPECT_FALSE(other.GetItem(0)->Selected) << "flags are not stored";
}

TEST_F(PlaylistFilesTest, BadKplFilesAreRefusedAndTheListKept)
{
    const std::string good = ktest::readFile(fixture("good.kpl"));
    std::string longTime = good;
    longTime[good.find("00:03:25") - 1] = 9;
    std::string hugeString = good;
    hugeString[24] = '\xff', hugeString[25] = '\xff', hugeString[26] = '\xff', hugeString[27] = '\x7f';
    struct Case {
        const char* name;
        std::string bytes;
        TKplStatus status;
    } cases[] = {
        {"empty", "", TKplStatus::BadMagic},
        {"other magic", "KPL3" + good.substr(4), TKplStatus::BadMagic},
        {"header size", header(25, 3) + good.substr(24), TKplStatus::BadHeader},
        {"token", header(24, 3, "4a7c2e91") + good.substr(24), TKplStatus::BadHeader},
        {"100 million", header(24, 100'000'000), TKplStatus::BadCount},
        {"negative", header(24, 0x80000000u), TKplStatus::BadCount},
        {"more than the bytes hold", header(24, 9) + good.substr(24), TKplStatus::BadCount},
        {"one record missing", header(24, 4) + good.substr(24), TKplStatus::Truncated},
        {"old negative", std::string("KPLW\xff\xff\xff\xff", 8), TKplStatus::BadCount},
        {"old short", "KPLW\x01", TKplStatus::Truncated},
        {"time length 9", longTime, TKplStatus::BadLength},
        {"string past the end", hugeString, TKplStatus::Truncated},
        {"cut in the last record", good.substr(0, good.size() - 1), TKplStatus::Truncated},
    };
    const std::string path = (dir.path() / "bad.kpl").string();
    for (const auto& c : cases) {
        TKPlaylistEntries entries;
        EXPECT_EQ(ParseKplFile(c.bytes, entries).Status, c.status) << c.name;
        EXPECT_TRUE(entries.empty());
        PlaylistClear();
        addOld(2);
        problems.clear();
        dir.write("bad.kpl", c.bytes);
        EXPECT_FALSE(LoadPlaylistFile(path, true, true)) << c.name;
        EXPECT_EQ(PlaylistCount(), 2) << "even with the clear flag: " << c.name;
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].code, TKErrorCode::PlaylistNotSupported);
        EXPECT_EQ(problems[0].file, Utf8ToUtf16(path));
    }
    EXPECT_EQ(starts, 0);
    TKPlaylistEntries entries;
    EXPECT_EQ(ParseKplFile(hugeString, entries).Offset, 24) << "the offset names the record";
}

// Every prefix and many random mutations of a good file: refused or read,
// never more entries than the bytes can describe.
TEST_F(PlaylistFilesTest, KplSurvivesTruncationAndNoise)
{
    const std::string good = ktest::readFile(fixture("good.kpl"));
    TKPlaylistEntries entries;
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(ParseKplFile(std::string_view(good).substr(0, n), entries)) << n;
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = good;
        for (int k = 0; k < 3; ++k)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        if (ParseKplFile(bytes, entries)) {
            EXPECT_LE(entries.size() * 20, bytes.size());
        }
    }
}

TEST_F(PlaylistFilesTest, PlsFixture)
{
    addOld(1);
    ASSERT_TRUE(LoadPlsFile(fixture("good.pls"), false, true));
    ASSERT_EQ(PlaylistCount(), 3);
    EXPECT_EQ(captions(), (std::vector<std::u16string>{u"First", u"two.ogg", u"Radio \u00e9t\u00e9"}));
    EXPECT_EQ(PlaylistGetItem(0)->FileName, u"C:\\Music\\one.mp3") << "File1 comes before File10";
    EXPECT_EQ(PlaylistGetItem(2)->FileName, u"http://radio.example:8000/");
    EXPECT_EQ(PlaylistGetItem(1)->Time, "00:00:00");
    EXPECT_EQ(PlaylistGetItem(1)->Track, "00");
}

class RecordingDialog : public TErrorDialog {
public:
    void Show(const std::u16string&, const std::u16string& text, Icon) override { texts.push_back(text); }
    std::vector<std::u16string> texts;
};

TEST_F(PlaylistFilesTest, PlsRules)
{
    RecordingDialog dialog;
    SetErrorDialog(&dialog);
    struct Case {
        const char* text;
        bool refused;
        std::vector<std::u16string> captions; // after loading with the clear flag over one entry
    } cases[] = {
        {"NumberOfEntries=1\nFile1=/a.mp3", true, {u"old"}},
        {"[playlist]\nnumberofentries=1\nFile1=/a.mp3", true, {u"old"}},
        {"[playlist]\nNumberOfEntries=1x\nFile1=/a.mp3", true, {u"old"}},
        {"[playlist]\nNumberOfEntries=\nFile1=/a.mp3", true, {u"old"}},
        {"[playlist]\nFile1=/a.mp3\nFile2=/b.mp3\nNumberOfEntries=10", false, {u"a.mp3", u"b.mp3"}},
        {"[playlist]\nNumberOfEntries=99999999999999999999999\nFile3=/c.mp3\nFile1=/a.mp3",
         false,
         {u"a.mp3", u"c.mp3"}},
        {"[playlist]\nNumberOfEntries=99999999999999999999999\n", false, {}},
        {"[playlist]\nNumberOfEntries=1\nFile1=/a.mp3\nFile2=/b.mp3", false, {u"a.mp3"}},
        {"[playlist]\nNumberOfEntries=0\nFile1=/a.mp3", false, {u"old"}},
        {"x[PLAYLIST]x\nNumberOfEntries=2\nfile2=/b.mp3\nTITLE2=Bee", false, {u"Bee"}},
        {"[playlist]\r\nNumberOfEntries=3\r\nFile12=/x.mp3\r\n", false, {u"x.mp3"}},
        {"[playlist]\nNumberOfEntries=2\nFile1\nFile2=a=b", false, {u"File1", u"a=b"}},
    };
    for (const auto& c : cases) {
        PlaylistClear();
        addOld(1);
        dialog.texts.clear();
        const std::string path = dir.write("x.pls", c.text).string();
        EXPECT_EQ(LoadPlsFile(path, false, true), !c.refused) << c.text;
        EXPECT_EQ(dialog.texts.size(), c.refused ? 1u : 0u) << c.text;
        EXPECT_EQ(captions(), c.captions) << c.text;
    }
    SetErrorDialog(nullptr);
}

TEST_F(PlaylistFilesTest, M3uFixture)
{
    const std::string path = fixture("good.m3u");
    const std::u16string folder = Utf8ToUtf16(path.substr(0, path.rfind('/')));
    ASSERT_TRUE(LoadM3uFile(path, false, false));
    ASSERT_EQ(PlaylistCount(), 5);
    struct Want {
        std::u16string caption, file;
        std::string time;
    } want[] = {
        {u"Artist - Song", folder + u"/sub/song.mp3", "00:03:25"},
        {u"Radio", u"http://radio.example/stream", "00:00:00"},
        {u"file", u"/abs/file.ogg", "00:00:00"},
        {u"Long", u"C:\\Music\\x.mp3", "25:01:01"},
        {u"\u00e9t\u00e9", folder + u"/musique/\u00e9t\u00e9.flac", "00:00:00"},
    };
    for (size_t i = 0; i < 5; ++i) {
        const TKPlaylistEntry* e = PlaylistGetItem(static_cast<int>(i));
        EXPECT_EQ(e->Caption, want[i].caption) << i;
        EXPECT_EQ(e->FileName, want[i].file) << i;
        EXPECT_EQ(e->Time, want[i].time) << i;
        EXPECT_EQ(e->Track, "00");
    }
}

TEST_F(PlaylistFilesTest, M3uDurations)
{
    struct Case {
        const char16_t* extinf;
        const char* time;
        const char16_t* caption;
    } cases[] = {
        {u"#EXTINF:59,a", "00:00:59", u"a"},
        {u"#extinf:3600,b", "01:00:00", u"b"},
        {u"#EXTINF:86400,c", "24:00:00", u"c"},
        {u"#EXTINF:359999,d", "99:59:59", u"d"},
        {u"#EXTINF:99999999999999999999999999,e", "99:59:59", u"e"},
        {u"#EXTINF:1.5,f", "00:00:00", u"f"},
        {u"#EXTINF:30", "00:00:00", u"name"},
        {u"#EXTINF,t:5", "00:00:00", u"t:5"},
    };
    for (const auto& c : cases) {
        TKPlaylistEntries entries;
        ParseM3uText(std::u16string(c.extinf) + u"\nname.mp3", u"/f", entries);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0]->Time, c.time) << Utf16ToUtf8(c.extinf);
        EXPECT_EQ(entries[0]->Caption, c.caption) << Utf16ToUtf8(c.extinf);
    }
}

TEST_F(PlaylistFilesTest, TextDecoding)
{
    EXPECT_EQ(DecodeListText("\xEF\xBB\xBF\xC3\xA9"), u"\u00e9");
    EXPECT_EQ(DecodeListText("\xE9t\xE9"), u"\u00e9t\u00e9");
    EXPECT_EQ(DecodeListText("\x80"), u"\u20ac");
    EXPECT_EQ(DecodeListText("\xED\xA0\x80"), u"\u00ed\u00a0\u20ac") << "a surrogate is no UTF-8";
}

} // namespace
} // namespace kolvarin
