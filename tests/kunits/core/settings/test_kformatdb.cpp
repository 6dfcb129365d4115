#include <string>

#include <gtest/gtest.h>

#include "core/settings/kcodecnames.h"
#include "core/settings/kformatdb.h"
#include "core/text/ktemplates.h"
#include "temphome.h"

namespace kolvarin {
namespace {

constexpr uint32_t kXVID = 0x44495658;
constexpr uint32_t kxvid = 0x64697678;

std::string Db(const std::string& formats)
{
    return "<?xml version=\"1.0\"?>\r\n<KolvarinFormatDB Version=\"1\"><Formats>" + formats +
           "</Formats></KolvarinFormatDB>";
}

TEST(FormatDatabase, EntriesFromCharCodeAndHexCode)
{
    ktest::TempDir dir;
    const auto file = dir.write("db.xml", Db("<Format Description=\"XviD\" CharCode=\"XVID\"/>"
                                             "<Format Description=\"mp3\" HexCode=\"55\"/>"
                                             "<Format Description=\"mp3 again\" HexCode=\"$0055\"/>"
                                             "<Format Description=\"bad\" HexCode=\"5G\"/>"
                                             "<Format Description=\"huge\" HexCode=\"123456789\"/>"
                                             "<Format CharCode=\"Y8\"/>"
                                             "<Other Description=\"skipped\" HexCode=\"1\"/>"
                                             "<Format/>"));
    TKFormatDatabase db;
    ASSERT_TRUE(db.LoadFromFile(file.string()));
    ASSERT_EQ(db.GetCount(), 7);
    EXPECT_EQ(db.GetItem(0).Code, kXVID);
    EXPECT_EQ(db.GetItem(0).CharCode, "XVID");
    EXPECT_EQ(db.GetItem(1).Code, 85u);
    EXPECT_EQ(db.GetItem(1).CharCode, "");
    EXPECT_EQ(db.GetItem(2).Code, 85u);
    EXPECT_EQ(db.GetItem(3).Code, 0u);
    EXPECT_EQ(db.GetItem(4).Code, 0u);
    EXPECT_EQ(db.GetItem(5).Code, 0x3859u);
    EXPECT_EQ(db.GetItem(5).Description, "");
    EXPECT_EQ(db.GetItem(6).Code, 0u);

    EXPECT_EQ(db.Find(kXVID)->Description, "XviD");
    EXPECT_EQ(db.Find(kxvid)->Description, "XviD"); // through the upper-cased text
    EXPECT_EQ(db.Find(85)->Description, "mp3");
    EXPECT_EQ(db.Find(0x12345), nullptr);

    ASSERT_TRUE(db.LoadFromFile(file.string()));
    EXPECT_EQ(db.GetCount(), 14);
    EXPECT_EQ(db.Find(85), &db.GetItem(1));
}

TEST(FormatDatabase, MissingDamagedAndForeignFiles)
{
    ktest::TempDir dir;
    TKFormatDatabase db;
    EXPECT_FALSE(db.LoadFromFile((dir.path() / "absent.xml").string()));
    EXPECT_FALSE(db.LoadFromFile(dir.write("broken.xml", "<KolvarinFormatDB><Formats><Format").string()));
    EXPECT_TRUE(
        db.LoadFromFile(dir.write("other.xml", "<Other><Formats><Format HexCode=\"1\"/></Formats></Other>").string()));
    EXPECT_TRUE(db.LoadFromFile(dir.write("noformats.xml", "<KolvarinFormatDB/>").string()));
    EXPECT_EQ(db.GetCount(), 0);
}

class CodecNameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AudioFormatDB = &audio;
        VideoFormatDB = &video;
    }
    void TearDown() override
    {
        AudioFormatDB = nullptr;
        VideoFormatDB = nullptr;
    }
    TKFormatDatabase audio, video;
};

TEST_F(CodecNameTest, BuiltinTables)
{
    audio.Add({1, {}, "stale"});
    SetDefaultAudioFormats(audio);
    SetDefaultVideoFormats(video);
    EXPECT_EQ(audio.GetCount(), 145);
    EXPECT_EQ(video.GetCount(), 327);
    EXPECT_EQ(audio.GetItem(0).Description, "PCM");
    EXPECT_EQ(audio.GetItem(144).Code, 65535u);
    EXPECT_EQ(video.GetItem(0).Code, 0x30564933u); // 3IV0
    EXPECT_EQ(video.GetItem(326).Code, 0x3553564Eu); // NVS5
    EXPECT_EQ(FourCCToString(video.GetItem(42).Code), "DIB ");

    EXPECT_EQ(AudioCodecName(85), "MPEG1 Layer-3");
    EXPECT_EQ(AudioCodecName(80), "MPEG1 Layer 1,2");
    EXPECT_EQ(AudioCodecName(26447), "Ogg Vorbis (mode 1)");
    EXPECT_EQ(AudioCodecName(9), "Unknown ($09)");
    EXPECT_EQ(AudioCodecName(4660), "Unknown ($1234)");
    EXPECT_EQ(AudioCodecName(9, [] { return std::string("from media type"); }), "from media type");
    EXPECT_EQ(VideoCodecName(kXVID), "XviD MPEG-4 codec");
    EXPECT_EQ(VideoCodecName(kxvid), "Unknown (xvid)");
    EXPECT_EQ(VideoCodecName(0x31435641), "H.264/AVC1");
    EXPECT_EQ(VideoCodecName(0x34363248), "H.264/AVC1");
    EXPECT_EQ(VideoCodecName(0x20203859), "Grayscale video"); // "Y8  "
}

TEST_F(CodecNameTest, EmptyDatabasesAndDirectLookup)
{
    EXPECT_EQ(AudioCodecName(1), "Unknown ($01)");
    EXPECT_EQ(VideoCodecName(kXVID), "Unknown (XVID)");
    EXPECT_EQ(BuiltinAudioCodecName(0), "Unknown Wave");
    EXPECT_EQ(BuiltinAudioCodecName(65534), "Extensible wave format");
    EXPECT_EQ(BuiltinAudioCodecName(255), "Free Advanced Audio Codec");
    EXPECT_EQ(BuiltinAudioCodecName(8192), "FAST Multimedia AG DVM (Dolby AC3)");
    EXPECT_EQ(BuiltinAudioCodecName(0xABC), "Unknown ($ABC)");
    EXPECT_EQ(BuiltinVideoCodecName(0x30355844), "DivX 5.0 codec"); // DX50
    EXPECT_EQ(BuiltinVideoCodecName(0x33564D57), "Windows Media Video 9");
    EXPECT_EQ(BuiltinVideoCodecName(0x58564933), "MPEG4-based codec 3ivx");
    EXPECT_EQ(BuiltinVideoCodecName(kxvid), "Unknown (xvid)");
}

TEST(TemplateLoader, ReadsLinesInEveryEncoding)
{
    ktest::TempDir dir;
    TKTemplateLoader t;
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"abc", u"abc\r\n"},
        {"a\r\nb\nc\rd\r\n", u"a\r\nb\r\nc\r\nd\r\n"},
        {"", u""},
        {"\xE4", u"\u00E4\r\n"},
        {std::string("\xFF\xFE"
                     "a\0\r\0\n\0\xAC\x20",
                     10),
         u"a\r\n\u20AC\r\n"},
        {"\xEF\xBB\xBF\xE2\x82\xAC", u"\u20AC\r\n"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(t.LoadFromFile(dir.write("t.txt", c.bytes).string()));
        EXPECT_EQ(t.Text, c.text) << c.bytes;
    }
    t.Text = u"before";
    EXPECT_FALSE(t.LoadFromFile((dir.path() / "absent.txt").string()));
    EXPECT_EQ(t.Text, u"before");
}

TEST(TemplateLoader, SavesUtf16LinesAndReadsThemBack)
{
    ktest::TempDir dir;
    TKTemplateLoader t;
    t.Text = DefaultBalloonTemplate;
    const std::string file = (dir.path() / "mediainfo_balloon.txt").string();
    t.SaveToFile(file);
    const std::string bytes = ktest::readFile(file);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFEP\0", 4));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));
    TKTemplateLoader read;
    ASSERT_TRUE(read.LoadFromFile(file));
    EXPECT_EQ(read.Text, std::u16string(DefaultBalloonTemplate) + u"\r\n");
}

} // namespace
} // namespace kolvarin
