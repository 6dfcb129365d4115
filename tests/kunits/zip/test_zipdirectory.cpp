#include <filesystem>
#include <fstream>

#include <zlib.h>

#include "zipfixture.h"

namespace {

using kolvarin::ZipMessageText;
using ktest::ZipArchive;
using ktest::ZipMember;

ZipArchive SkinArchive()
{
    ZipArchive a;
    a.Members = {ZipMember("blue/", "", 0), ZipMember("blue/skin.bmp", std::string(4000, 'b')),
                 ZipMember("blue/skin.xml", "<skin/>", 0)};
    a.Members[2].Extra = std::string("\x55\x54\x01\x00\x07", 5);
    a.Members[2].Comment = "the description";
    return a;
}

using ZipDirectoryTest = ZipFixture;

TEST_F(ZipDirectoryTest, ListsEntryRecordsWithoutFolders)
{
    const std::string bytes = ktest::WriteZip(SkinArchive());
    ASSERT_EQ(Open(Write("blue.kskz", bytes)), 0);
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"blue/skin.bmp", u"blue/skin.xml"}));
    const kolvarin::TZMDirEntry& xml = zip_.DirEntry(1);
    EXPECT_EQ(xml.Method, 0);
    EXPECT_EQ(xml.MadeByVersion, 30);
    EXPECT_EQ(xml.HostSystem, 3);
    EXPECT_EQ(xml.VersionNeeded, 20);
    EXPECT_EQ(xml.DateTime, 0x5A8C6000u);
    EXPECT_EQ(xml.CompressedSize, 7u);
    EXPECT_EQ(xml.UncompressedSize, 7u);
    EXPECT_EQ(xml.Crc32, crc32(0, reinterpret_cast<const Bytef*>("<skin/>"), 7));
    EXPECT_EQ(xml.Extra, std::string("\x55\x54\x01\x00\x07", 5));
    EXPECT_EQ(xml.FileComment, u"the description");
    EXPECT_EQ(xml.ExternalAttributes, 0x81A40000u);
    EXPECT_EQ(bytes.substr(xml.LocalHeaderOffset, 4), "PK\x03\x04");
    EXPECT_FALSE(xml.Encrypted());
    EXPECT_THROW(zip_.DirEntry(2), std::out_of_range);
    EXPECT_THROW(zip_.DirEntry(-1), std::out_of_range);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ZipDirectoryTest, NamesAreConvertedByTheirOrigin)
{
    ZipArchive a;
    a.Members = {ZipMember("dos\x81.txt", "1"), ZipMember("ansi\x80.txt", "2"), ZipMember("utf\xC3\xA9.txt", "3"),
                 ZipMember("ntfs\x81.txt", "4")};
    a.Members[0].HostSystem = 0;
    a.Members[2].Flags = 0x0800;
    a.Members[3].HostSystem = 11;
    a.Members[3].MadeByVersion = 50;
    ASSERT_EQ(Open(Write("names.zip", a)), 0);
    EXPECT_EQ(Names(),
              (std::vector<std::u16string>{u"dos\u00fc.txt", u"ansi\u20ac.txt", u"utf\u00e9.txt", u"ntfs\u00fc.txt"}));
}

TEST_F(ZipDirectoryTest, CommentIsFoundByTheBackwardScan)
{
    ZipArchive a = SkinArchive();
    a.Comment = "Made for the player";
    ASSERT_EQ(Open(Write("c.zip", a)), 0);
    EXPECT_EQ(zip_.ZipComment(), u"Made for the player");
    EXPECT_EQ(zip_.Count(), 2);
}

TEST_F(ZipDirectoryTest, TrailingBytesWarnUnlessShortPadding)
{
    const struct {
        std::string trailing;
        bool warns;
    } cases[] = {
        {std::string(511, '\0'), false},     {std::string(300, ' ') + std::string(11, '\x1A'), false},
        {std::string(512, '\0'), true},      {"garbage", true},
        {std::string(10, '\0') + "/", true},
    };
    for (const auto& c : cases) {
        ZipArchive a = SkinArchive();
        a.Comment = "note";
        a.Trailing = c.trailing;
        messages_.clear();
        ASSERT_EQ(Open(Write("t.zip", a)), 0);
        EXPECT_EQ(messages_, c.warns ? std::vector<int>{10204} : std::vector<int>{}) << c.trailing.size();
        EXPECT_EQ(zip_.Count(), 2);
        EXPECT_EQ(zip_.ZipComment(), u"note");
    }
    EXPECT_EQ(dialogs_.back(), u"Warning - Garbage at the end of the zipfile!");
}

TEST_F(ZipDirectoryTest, PrefixWarnsAndListsCorrectly)
{
    ZipArchive a = SkinArchive();
    a.Prefix = "MZ stub " + ktest::RandomBytes(5000, 1);
    ASSERT_EQ(Open(Write("sfx.kskz", a)), 0);
    EXPECT_EQ(messages_, std::vector<int>{10203});
    EXPECT_EQ(zip_.ErrCode(), 10203);
    EXPECT_EQ(zip_.ErrMessage(), u"Warning - Error in zip structure!");
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"blue/skin.bmp", u"blue/skin.xml"}));
}

TEST_F(ZipDirectoryTest, UnattendedComponentShowsNoDialog)
{
    ZipArchive a = SkinArchive();
    a.Prefix = "stub";
    zip_.Unattended = true;
    ASSERT_EQ(Open(Write("sfx.kskz", a)), 0);
    EXPECT_EQ(messages_, std::vector<int>{10203});
    EXPECT_TRUE(dialogs_.empty());
}

TEST_F(ZipDirectoryTest, NotAnArchive)
{
    const std::string good = ktest::WriteZip(SkinArchive());
    const struct {
        const char* name;
        std::string bytes;
        int number;
    } cases[] = {
        {"short.zip", "PK\x05\x06", 11036},
        {"empty.zip", "", 11036},
        {"random.zip", ktest::RandomBytes(70000, 2), 11036},
        {"truncated.zip", good.substr(0, good.size() - 30), 11036},
        // Digits at the end of a damaged package's name are no disk number.
        {"skin123.kskz", ktest::RandomBytes(3000, 3), 11036},
        {"backup007", ktest::RandomBytes(100, 4), 11036},
        {"set.z02", ktest::RandomBytes(3000, 5), 11038},
        {"set.Z01", "PK\x07\x08PK\x03\x04" + ktest::RandomBytes(3000, 6), 11037},
        {"set.zip", "PK\x07\x08PK\x03\x04" + ktest::RandomBytes(3000, 7), 11045},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Open(Write(c.name, c.bytes)), c.number) << c.name;
        EXPECT_EQ(zip_.Count(), 0);
    }
    EXPECT_EQ(raised_, u"This is the first file in a backup set,\r\nplease choose the last file of this set");
    Open(Write("x.z12", ktest::RandomBytes(3000, 8)));
    EXPECT_EQ(raised_, u"This is the 12th disk in a backup set,\r\nplease insert the last disk of this set");
}

TEST_F(ZipDirectoryTest, MissingFileShowsAndRaises)
{
    EXPECT_EQ(Open(u"/nonexistent/skin.kskz"), 11001);
    EXPECT_EQ(messages_, std::vector<int>{11002});
    EXPECT_EQ(dialogs_, std::vector<std::u16string>{u"Zip file could not be opened"});
}

TEST_F(ZipDirectoryTest, DamagedCentralDirectory)
{
    ZipArchive a = SkinArchive();
    const std::string good = ktest::WriteZip(a);
    const std::size_t central = good.find("PK\x01\x02");
    const std::size_t end = good.find("PK\x05\x06");
    auto withCentral = [&](const std::string& dir, std::uint32_t size) {
        std::string end16 = good.substr(end);
        for (int i = 0; i < 4; ++i) {
            end16[12 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        }
        return good.substr(0, central) + dir + end16;
    };
    const std::string dir = good.substr(central, end - central);
    const auto size = static_cast<std::uint32_t>(dir.size());
    // Patches a u16 field of the last header (blue/skin.xml, 79 bytes).
    auto patched = [&](std::size_t field, std::uint16_t value) {
        std::string d = dir;
        const std::size_t at = d.size() - 79 + field;
        d[at] = static_cast<char>(value & 0xFF);
        d[at + 1] = static_cast<char>(value >> 8);
        return withCentral(d, size);
    };
    std::string moreEntries = withCentral(dir, size);
    moreEntries[moreEntries.size() - 12] = 4; // total entries
    std::string badSignature = dir;
    badSignature[2] = 9;
    // Lengths that run past the end of the file: the reads come up short.
    const struct {
        std::string bytes;
        int number;
    } cases[] = {
        {withCentral(badSignature, size), 11015},
        {withCentral(dir, size + 100000), 10201}, // directory larger than the file
        {moreEntries, 11013},
        {patched(28, 400), 11017},
        {patched(30, 400), 10201},
        {patched(32, 400), 11022},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Open(Write("d.zip", c.bytes)), c.number);
        EXPECT_EQ(zip_.Count(), 0);
    }
}

TEST_F(ZipDirectoryTest, CommentLengthBeyondTheFileIsNoEndRecord)
{
    // The comment ends in what looks like an end record whose comment would
    // run past the file: the search must skip it and find the real one.
    ZipArchive a = SkinArchive();
    a.Comment = "note " + std::string("PK\x05\x06", 4) + std::string(16, '\0') + "\xff\xff";
    ASSERT_EQ(Open(Write("c.zip", a)), 0);
    EXPECT_EQ(zip_.Count(), 2);
    EXPECT_EQ(zip_.ZipComment().substr(0, 5), u"note ");

    // The record at the very end with a comment length: not taken either.
    ZipArchive b = SkinArchive();
    b.CommentLength = 40;
    EXPECT_EQ(Open(Write("b.zip", b)), 11036);
}

TEST_F(ZipDirectoryTest, SplitSetDirectoryInAnotherPart)
{
    ZipArchive a = SkinArchive();
    a.ThisDisk = 2;
    a.CentralDisk = 1;
    EXPECT_EQ(Open(Write("set.zip", a)), 11013);
}

TEST_F(ZipDirectoryTest, FourGigabytesOrMoreIsRefused)
{
    const std::filesystem::path big = dir_.path() / "big.zip";
    {
        std::ofstream(big) << "x";
    }
    std::filesystem::resize_file(big, (std::uintmax_t{1} << 32) + 100);
    EXPECT_EQ(Open(kolvarin::codepage::Utf8ToUtf16(big.string())), 10205);
}

TEST_F(ZipDirectoryTest, CancelStopsTheListing)
{
    zip_.OnProgress = [this](kolvarin::TZMProgressKind kind, const std::u16string& text, std::uint64_t size) {
        if (kind == kolvarin::TZMProgressKind::Start) {
            EXPECT_EQ(text, u"*Loading Directory");
            EXPECT_EQ(size, 3u);
        }
        zip_.Cancel = kind == kolvarin::TZMProgressKind::Advance;
    };
    EXPECT_EQ(Open(Write("a.zip", SkinArchive())), 11007);
    EXPECT_EQ(zip_.Count(), 0);
}

TEST(ZipMessages, TextsByNumber)
{
    EXPECT_EQ(ZipMessageText(kolvarin::TZMMessage(99999)), u"Resource missing for 99999");
    EXPECT_EQ(ZipMessageText(kolvarin::TZMMessage::CannotOpen), u"Zip file could not be opened");
    EXPECT_EQ(ZipMessageText(kolvarin::TZMMessage::FirstDiskOfSet),
              u"This is the first disk in a backup set,\r\nplease insert the last disk of this set");
    EXPECT_EQ(ZipMessageText(kolvarin::TZMMessage::ExtractFolderMissing, u"/tmp/x/"),
              u"Extract directory '/tmp/x/' must exist");
    EXPECT_EQ(kolvarin::ZipLanguageName(), u"US: default");
    const kolvarin::EZipHandler e(kolvarin::TZMMessage::LibraryLoadFailed, u"DelZip179.dll");
    EXPECT_EQ(e.Number(), 10650);
    EXPECT_STREQ(e.what(), "Failed to load DelZip179.dll");
}

} // namespace
