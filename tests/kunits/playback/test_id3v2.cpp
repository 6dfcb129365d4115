#include <gtest/gtest.h>

#include "playback/kid3v2.h"

#include <filesystem>
#include <sys/stat.h>

#include "tagbytes.h"
#include "temphome.h"

using namespace kolvarin;
using namespace tagbytes;

namespace {

class ID3v2Test : public ::testing::Test {
protected:
    std::u16string write(const std::string& bytes) { return Name(dir_.write("song.mp3", bytes)); }
    std::string read() const { return ktest::readFile(dir_.path() / "song.mp3"); }
    TID3v2 readTag(const std::string& bytes)
    {
        TID3v2 tag;
        EXPECT_TRUE(tag.ReadFromFile(write(bytes)));
        return tag;
    }
    ktest::TempDir dir_;
};

std::string Enc(int encoding, const std::string& bytes) { return std::string(1, static_cast<char>(encoding)) + bytes; }

} // namespace

TEST_F(ID3v2Test, DecodesEveryTextEncoding)
{
    const std::u16string text = u"Ÿes ÿ €ж";
    struct Case {
        const char* name;
        std::string content;
        std::u16string expected;
    } cases[] = {
        {"latin", Enc(0, "Caf\xE9 \x80"), u"Café €"},
        {"utf16 FF FE", Enc(1, Utf16(text, false, true)), text},
        {"utf16 FE FF", Enc(1, Utf16(text, true, true)), text},
        {"utf16 no mark", Enc(1, Utf16(text, false, false)), text},
        {"utf16be", Enc(2, Utf16(text, true, false)), text},
        {"utf8",
         Enc(3, "\xC5\xB8"
                "es \xC3\xBF \xE2\x82\xAC\xD0\xB6"),
         text},
        {"terminated", Enc(1, Utf16(u"ab", false, true) + std::string(2, '\0') + Utf16(u"cd", false, false)), u"ab"},
        {"unknown encoding", Enc(4, "abc"), u""},
    };
    for (const Case& c : cases) {
        TID3v2 tag = readTag(Tag(3, Frame(3, "TIT2", c.content)) + Audio());
        EXPECT_TRUE(tag.Exists());
        EXPECT_EQ(tag.Title(), c.expected) << c.name;
    }
}

TEST_F(ID3v2Test, ReadsFieldsFallbacksAndDescribedFrames)
{
    std::string frames =
        TextFrame(3, "TIT1", "Group") + TextFrame(3, "TOPE", "Original") + TextFrame(3, "TPE1", "  Artist ") +
        Frame(3, "TRCK", Enc(1, Utf16(u"7/12", false, true))) + TextFrame(3, "TDRC", "2004-05-01") +
        TextFrame(3, "TCON", "(13)Pop") + TextFrame(3, "TOAL", "Old album") +
        // A UTF-16 description "a" whose terminator starts at an odd offset if unaligned.
        Frame(3, "COMM",
              Enc(1, "eng" + Utf16(u"a", false, false) + std::string(2, '\0') + Utf16(u"Comment", false, true))) +
        Frame(3, "COMM", Enc(0, std::string("eng") + '\0' + "Plain")) +
        Frame(3, "COMM", Enc(0, std::string("eng") + "iTunNORM" + '\0' + "numbers")) +
        Frame(3, "WXXX", Enc(1, Utf16(u"site", false, true) + std::string(2, '\0') + "http://x.org/\xE9")) +
        TextFrame(3, "TCOM", "Composer") + TextFrame(3, "TENC", "Enc") + TextFrame(3, "TCOP", "(c)") +
        TextFrame(3, "TLAN", "eng");
    TID3v2 tag = readTag(Tag(3, frames, 100) + Audio());
    EXPECT_EQ(tag.VersionID(), 3);
    EXPECT_EQ(tag.Size(), static_cast<int64_t>(10 + frames.size() + 100));
    EXPECT_EQ(tag.Title(), u"Group");
    EXPECT_EQ(tag.Artist(), u"Artist");
    EXPECT_EQ(tag.Album(), u"Old album");
    EXPECT_EQ(tag.Track(), 7);
    EXPECT_EQ(tag.TrackString(), u"7/12");
    EXPECT_EQ(tag.Year(), u"2004");
    EXPECT_EQ(tag.Genre(), u"Pop");
    EXPECT_EQ(tag.Comment(), u"Plain");
    EXPECT_EQ(tag.Link(), u"http://x.org/é");
    EXPECT_EQ(tag.Composer(), u"Composer");
    EXPECT_EQ(tag.Encoder(), u"Enc");
    EXPECT_EQ(tag.Copyright(), u"(c)");
    EXPECT_EQ(tag.Language(), u"eng");

    TID3v2 described = readTag(Tag(
        3, Frame(3, "COMM",
                 Enc(1, "eng" + Utf16(u"a", false, false) + std::string(2, '\0') + Utf16(u"Comment", false, true)))));
    EXPECT_EQ(described.Comment(), u"Comment");
}

TEST_F(ID3v2Test, LongFramesAreCutAndVersionsReadTheirOwnLayout)
{
    std::string longTitle(700, 'x');
    EXPECT_EQ(readTag(Tag(3, TextFrame(3, "TIT2", longTitle) + TextFrame(3, "TPE1", "After"))).Title(),
              std::u16string(499, u'x'));
    EXPECT_EQ(readTag(Tag(3, TextFrame(3, "TIT2", longTitle) + TextFrame(3, "TPE1", "After"))).Artist(), u"After");

    // Version 2.4 frame sizes are syncsafe: 200 bytes is 01 48.
    TID3v2 v24 = readTag(Tag(4, TextFrame(4, "TIT2", std::string(199, 'y')) + TextFrame(4, "TPE1", "Next")));
    EXPECT_EQ(v24.Title(), std::u16string(199, u'y'));
    EXPECT_EQ(v24.Artist(), u"Next");

    // 2.3-style sizes in a 2.4 tag, as some writers make them: 200 is 00 00 00 C8
    // (not syncsafe at all) and 300 is 00 00 01 2C (syncsafe 172, which lands
    // inside the frame).
    for (uint32_t size : {200u, 300u}) {
        std::string content = Enc(0, std::string(size - 1, 'p'));
        std::string frame = "TIT2" + BE32(size) + std::string(2, '\0') + content;
        TID3v2 plain = readTag(Tag(4, frame + TextFrame(4, "TPE1", "Next"), 10));
        EXPECT_EQ(plain.Title().size(), std::min<size_t>(size - 1, 499)) << size;
        EXPECT_EQ(plain.Artist(), u"Next") << size;
    }

    TID3v2 v22 = readTag(Tag(2, TextFrame(2, "TT2", "Two") + TextFrame(2, "TP1", "Artist") + TextFrame(2, "TRK", "4")));
    EXPECT_EQ(v22.Title(), u"Two");
    EXPECT_EQ(v22.Artist(), u"Artist");
    EXPECT_EQ(v22.Track(), 4);
}

TEST_F(ID3v2Test, FrameFlagsAreReadPerVersion)
{
    struct Case {
        int version;
        uint8_t flags;
        std::string prefix; // bytes the flags put before the content
        bool readable;
    } cases[] = {
        {3, 0x80, "", false}, // 2.3 compression
        {3, 0x40, "", false}, // 2.3 encryption
        {3, 0x20, "G", true}, // 2.3 group identifier
        {4, 0x08, "", false}, // 2.4 compression
        {4, 0x04, "", false}, // 2.4 encryption
        {4, 0x40, "G", true}, // 2.4 group identifier (2.3 encryption bit)
        {4, 0x01, Syncsafe(6), true}, // 2.4 data length indicator
        {4, 0x41, std::string("G").append(Syncsafe(6)), true}, // both
    };
    for (const Case& c : cases) {
        std::string frames =
            Frame(c.version, "TIT2", c.prefix + Enc(0, "Title"), 0, c.flags) + TextFrame(c.version, "TPE1", "A");
        TID3v2 tag = readTag(Tag(c.version, frames));
        EXPECT_EQ(tag.Title(), c.readable ? u"Title" : u"") << c.version << " " << int(c.flags);
        EXPECT_EQ(tag.Artist(), u"A") << c.version << " " << int(c.flags);
    }
}

TEST_F(ID3v2Test, UnsynchronisationAndExtendedHeadersAreUndone)
{
    // Whole-tag unsynchronisation of 2.3: each FF is followed by an inserted 00.
    std::string frame = Frame(3, "TIT2", Enc(1, Utf16(u"ÿÿ", false, true)));
    std::string unsynced;
    for (char c : frame) {
        unsynced.push_back(c);
        if (static_cast<uint8_t>(c) == 0xFF)
            unsynced.push_back('\0');
    }
    EXPECT_EQ(readTag(Tag(3, unsynced + TextFrame(3, "TPE1", "A"), 0, 0x80)).Title(), u"ÿÿ");

    // 2.4 frame unsynchronisation flag.
    std::string raw = Enc(1, std::string("\xFF\x00\xFE\xFF\x00\x00", 6));
    EXPECT_EQ(readTag(Tag(4, Frame(4, "TIT2", raw, 0, 0x02))).Title(), u"ÿ");

    std::string ext23 = BE32(6) + std::string(6, '\0');
    EXPECT_EQ(readTag(Tag(3, ext23 + TextFrame(3, "TIT2", "X"), 0, 0x40)).Title(), u"X");
    std::string ext24 = Syncsafe(6) + std::string("\x01\x00", 2);
    EXPECT_EQ(readTag(Tag(4, ext24 + TextFrame(4, "TIT2", "Y"), 0, 0x40)).Title(), u"Y");
}

TEST_F(ID3v2Test, LyingSizesNeitherCrashNorReadPastTheTag)
{
    std::string good = TextFrame(3, "TIT2", "Good");
    // Frame claims more than the tag holds: the walk stops there.
    TID3v2 overrun = readTag(Tag(3, good + "TPE1" + BE32(0x7FFFFFF0) + std::string(2, '\0') + "x") + Audio());
    EXPECT_EQ(overrun.Title(), u"Good");
    EXPECT_EQ(overrun.Artist(), u"");

    // Zero-size frames still move on.
    EXPECT_EQ(readTag(Tag(3, Frame(3, "TXXX", "") + Frame(3, "TALB", "") + good)).Title(), u"Good");

    // A 2.4 frame size with a high bit set is malformed.
    EXPECT_EQ(readTag(Tag(4, "TPE1" + std::string("\x00\x00\x80\x01\x00\x00", 6) + "x" + good)).Title(), u"");

    // Tag size past the end of the file: a tag, but no frames.
    std::string tag = Tag(3, good);
    TID3v2 truncated = readTag(tag.substr(0, tag.size() - 2));
    EXPECT_TRUE(truncated.Exists());
    EXPECT_EQ(truncated.Size(), 0);
    EXPECT_EQ(truncated.Title(), u"");

    // A syncsafe tag size with a high bit set is no tag.
    TID3v2 badHeader = readTag(std::string("ID3\x03\x00\x00\x00\x00\x80\x10", 10) + good);
    EXPECT_FALSE(badHeader.Exists());

    TID3v2 tiny;
    EXPECT_FALSE(tiny.ReadFromFile(write("ID3\x03")));
    EXPECT_FALSE(tiny.ReadFromFile(Name(dir_.path() / "missing.mp3")));
}

TEST_F(ID3v2Test, SaveIntoAnUntaggedFileRewritesItWithAPaddedTag)
{
    const std::string audio = Audio();
    auto name = write(audio);
    TID3v2 tag;
    tag.SetTitle(u"  Title ");
    tag.SetArtist(u"Артист");
    tag.SetAlbum(u"Album");
    tag.SetTrack(5);
    tag.SetYear(u"2004");
    tag.SetGenre(u"Rock");
    tag.SetComment(u"Комментарий");
    tag.SetComposer(u"Composer");
    tag.SetEncoder(u"Encoder");
    tag.SetCopyright(u"Copyright");
    tag.SetLanguage(u"eng");
    tag.SetURL(u"http://example.org/");
    ASSERT_TRUE(tag.SaveToFile(name));
    std::string bytes = read();
    ASSERT_EQ(bytes.size(), 4096 + audio.size());
    EXPECT_EQ(bytes.substr(4096), audio);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1) << "no temporary file left";

    TID3v2 back;
    ASSERT_TRUE(back.ReadFromFile(name));
    EXPECT_EQ(back.VersionID(), 3);
    EXPECT_EQ(back.Size(), 4096);
    EXPECT_EQ(back.Title(), u"Title");
    EXPECT_EQ(back.Artist(), u"Артист");
    EXPECT_EQ(back.Album(), u"Album");
    EXPECT_EQ(back.Track(), 5);
    EXPECT_EQ(back.Year(), u"2004");
    EXPECT_EQ(back.Genre(), u"Rock");
    EXPECT_EQ(back.Comment(), u"Комментарий");
    EXPECT_EQ(back.Composer(), u"Composer");
    EXPECT_EQ(back.Encoder(), u"Encoder");
    EXPECT_EQ(back.Copyright(), u"Copyright");
    EXPECT_EQ(back.Language(), u"eng");
    EXPECT_EQ(back.Link(), u"http://example.org/");

    // The second save fits the 4096 bytes: in place, same length.
    back.SetTitle(u"Other");
    ASSERT_TRUE(back.SaveToFile(name));
    EXPECT_EQ(read().size(), 4096 + audio.size());
    ASSERT_TRUE(back.ReadFromFile(name));
    EXPECT_EQ(back.Title(), u"Other");

    ASSERT_TRUE(back.RemoveFromFile(name));
    EXPECT_EQ(read(), audio);
    EXPECT_FALSE(back.RemoveFromFile(name));
}

TEST_F(ID3v2Test, SaveKeepsFramesItDoesNotEdit)
{
    const std::string audio = Audio();
    const std::string picture =
        Frame(3, "APIC", Enc(0, std::string("image/png\0\x03\0", 12) + std::string(6000, '\x89')));
    const std::string lyrics = Frame(3, "USLT", Enc(0, std::string("eng\0", 4) + "la la"));
    const std::string described = Frame(3, "COMM", Enc(0, std::string("eng") + "iTunNORM" + '\0' + "00000"));
    const std::string custom = Frame(3, "TXXX", Enc(0, std::string("key\0", 4) + "value"));
    const std::string old = TextFrame(3, "TIT2", "Old") + picture +
                            Frame(3, "COMM", Enc(0, std::string("eng\0", 4) + "old")) + lyrics + described + custom +
                            TextFrame(3, "TRCK", "3/9");
    auto name = write(Tag(3, old, 50) + audio);

    TID3v2 tag;
    ASSERT_TRUE(tag.ReadFromFile(name));
    EXPECT_EQ(tag.Comment(), u"old");
    tag.SetTitle(u"New");
    tag.SetComment(u"new");
    ASSERT_TRUE(tag.SaveToFile(name));
    std::string bytes = read();
    for (const std::string* frame : {&picture, &lyrics, &described, &custom})
        EXPECT_NE(bytes.find(*frame), std::string::npos);
    EXPECT_EQ(bytes.find("Old"), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - audio.size()), audio);

    TID3v2 back;
    ASSERT_TRUE(back.ReadFromFile(name));
    EXPECT_EQ(back.Title(), u"New");
    EXPECT_EQ(back.Comment(), u"new");
    EXPECT_EQ(back.TrackString(), u"3/9");
    EXPECT_EQ(back.Size(), static_cast<int64_t>(bytes.size() - audio.size()));
}

TEST_F(ID3v2Test, SaveKeepsTheVersionOfAnExistingTag)
{
    const std::string audio = Audio();
    const std::string oldTag = Tag(
        4, TextFrame(4, "TYER", "1999") + TextFrame(4, "TSSE", "Lavf") + Frame(4, "TPE1", Enc(3, "\xC3\xA9")), 3000);
    auto name = write(oldTag + audio);
    TID3v2 tag;
    ASSERT_TRUE(tag.ReadFromFile(name));
    EXPECT_EQ(tag.Artist(), u"é");
    tag.SetYear(u"2010");
    tag.SetTitle(std::u16string(150, u'z'));
    ASSERT_TRUE(tag.SaveToFile(name));
    std::string bytes = read();
    EXPECT_EQ(bytes.size(), oldTag.size() + audio.size()) << "fits in place";
    EXPECT_EQ(bytes[3], '\x04');
    EXPECT_NE(bytes.find(TextFrame(4, "TSSE", "Lavf")), std::string::npos);
    EXPECT_NE(bytes.find(TextFrame(4, "TDRC", "2010")), std::string::npos);
    EXPECT_EQ(bytes.find("TYER"), std::string::npos);
    TID3v2 back;
    ASSERT_TRUE(back.ReadFromFile(name));
    EXPECT_EQ(back.Year(), u"2010");
    EXPECT_EQ(back.Title(), std::u16string(150, u'z'));
    EXPECT_EQ(back.Artist(), u"é");
}

TEST_F(ID3v2Test, LargeOldTagIsReplacedByA4096ByteTag)
{
    const std::string audio = Audio();
    auto name = write(Tag(3, TextFrame(3, "TIT2", "T"), 9000) + audio);
    TID3v2 tag;
    ASSERT_TRUE(tag.ReadFromFile(name));
    ASSERT_TRUE(tag.SaveToFile(name));
    std::string bytes = read();
    EXPECT_EQ(bytes.size(), 4096 + audio.size());
    EXPECT_EQ(bytes.substr(4096), audio);
}

TEST_F(ID3v2Test, SaveClearsReadOnlyAndKeepsTheRestOfTheMode)
{
    auto name = write(Audio());
    auto path = dir_.path() / "song.mp3";
    ASSERT_EQ(::chmod(path.c_str(), 0440), 0);
    TID3v2 tag;
    tag.SetTitle(u"x");
    ASSERT_TRUE(tag.SaveToFile(name));
    EXPECT_TRUE(std::filesystem::status(path).permissions() == std::filesystem::perms(0640));
    EXPECT_FALSE(tag.SaveToFile(Name(dir_.path() / "missing.mp3")));
    EXPECT_FALSE(tag.SaveToFile(Name(dir_.path())));
}

TEST_F(ID3v2Test, KeptFramesOfAnUnsynchronisedVersion24TagCarryTheirFlag)
{
    const std::string custom = Frame(4, "TXXX", Enc(0, std::string("k\0\xFF\x00\xE0", 5)));
    auto name = write(Tag(4, custom + TextFrame(4, "TIT2", "T"), 0, 0x80) + Audio());
    TID3v2 tag;
    ASSERT_TRUE(tag.ReadFromFile(name));
    EXPECT_EQ(tag.Title(), u"T");
    ASSERT_TRUE(tag.SaveToFile(name));
    std::string bytes = read();
    EXPECT_EQ(bytes[5], '\0') << "header flags";
    size_t at = bytes.find("TXXX");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes.substr(at, custom.size()), custom.substr(0, 9) + '\x02' + custom.substr(10));
}

TEST_F(ID3v2Test, ClearedCommentAndLinkDoNotFallBackToDescribedOnes)
{
    const std::string frames = Frame(3, "COMM", Enc(0, std::string("eng\0", 4) + "plain")) +
                               Frame(3, "COMM", Enc(0, std::string("eng") + "iTunNORM" + '\0' + "00000")) +
                               Frame(3, "WXXX", Enc(0, std::string("\0", 1) + "http://plain/")) +
                               Frame(3, "WXXX", Enc(0, std::string("shop\0", 5) + "http://shop/"));
    auto name = write(Tag(3, frames) + Audio());
    TID3v2 tag;
    ASSERT_TRUE(tag.ReadFromFile(name));
    EXPECT_EQ(tag.Comment(), u"plain");
    EXPECT_EQ(tag.Link(), u"http://plain/");
    tag.SetComment(u"");
    tag.SetURL(u"");
    ASSERT_TRUE(tag.SaveToFile(name));
    TID3v2 back;
    ASSERT_TRUE(back.ReadFromFile(name));
    EXPECT_EQ(back.Comment(), u"");
    EXPECT_EQ(back.Link(), u"");
    EXPECT_NE(read().find("iTunNORM"), std::string::npos);
    EXPECT_NE(read().find("http://shop/"), std::string::npos);
}

TEST_F(ID3v2Test, SaveThroughALinkReplacesTheLinkedFile)
{
    const std::string audio = Audio();
    auto target = write(audio);
    auto link = dir_.path() / "link.mp3";
    std::filesystem::create_symlink(dir_.path() / "song.mp3", link);
    TID3v2 tag;
    tag.SetTitle(u"Linked");
    ASSERT_TRUE(tag.SaveToFile(Name(link)));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    TID3v2 back;
    ASSERT_TRUE(back.ReadFromFile(target));
    EXPECT_EQ(back.Title(), u"Linked");
}
