#include <gtest/gtest.h>

#include <filesystem>

#include "core/stream/kresources.h"
#include "core/system/kdebug.h"
#include "core/system/kdrives.h"
#include "core/system/kfiles.h"
#include "core/text/kstrings.h"
#include "core/xml/kxmlaccess.h"
#include "temphome.h"

namespace kolvarin {
namespace {

namespace fs = std::filesystem;

std::u16string u16(const fs::path& p) { return Utf8ToUtf16(p.string()); }

class KUtilsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        trace_.SetLogToFile(true);
        DebugLog = &trace_;
    }
    void TearDown() override { DebugLog = nullptr; }

    // The trace log's lines as "Proc - Text", date and time cut off.
    std::vector<std::string> LogLines() const
    {
        const std::string text = Utf16ToUtf8(LeBytesToUtf16(ktest::readFile(trace_.FileName()).substr(2)));
        std::vector<std::string> lines;
        for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            const std::string line = text.substr(start, end - start);
            lines.push_back(line.substr(line.find(": ") + 2));
        }
        return lines;
    }

    ktest::TempDir dir;

private:
    TKDebug trace_{(dir.path() / "trace.log").string()};
};

TEST_F(KUtilsFiles, ExistenceTestsAreLogged)
{
    const auto file = dir.write("a b.txt", "x");
    EXPECT_TRUE(KFileExists(u16(file)));
    EXPECT_FALSE(KDirectoryExists(u16(file)));
    EXPECT_TRUE(KDirectoryExists(u16(dir.path())));
    EXPECT_FALSE(KFileExists(u16(dir.path())));
    EXPECT_FALSE(KFileExists(u16(dir.path() / "missing")));
    const auto log = LogLines();
    ASSERT_EQ(log.size(), 20u);
    EXPECT_EQ(log[0], "KFileExists - Enter with \"" + file.string() + "\"");
    EXPECT_EQ(log[1], "KFileExists - Get file attribute code...");
    EXPECT_EQ(log[2], "KFileExists - Get file attribute code ok, got: 32");
    EXPECT_EQ(log[3], "KFileExists - Leave with result: true");
    EXPECT_EQ(log[7], "KDirectoryExists - Leave with result: false");
    EXPECT_EQ(log[18], "KFileExists - Get file attribute code ok, got: 4294967295");
    EXPECT_EQ(log[19], "KFileExists - Leave with result: false");
}

TEST_F(KUtilsFiles, PathPieces)
{
    EXPECT_EQ(ExtractFileNameA("C:\\music\\a.mp3"), "a.mp3");
    EXPECT_EQ(ExtractFileNameA("/music/a.mp3"), "a.mp3");
    EXPECT_EQ(ExtractFileNameA("a.mp3"), "a.mp3");
    EXPECT_EQ(IncludeTrailingBackslashW(u""), u"/");
    EXPECT_EQ(IncludeTrailingBackslashW(u"/a"), u"/a/");
    EXPECT_EQ(IncludeTrailingBackslashW(u"/a/"), u"/a/");
    EXPECT_EQ(AddTrailingBackslashW(u""), u"");
    EXPECT_EQ(AddTrailingBackslashW(u"/a"), u"/a/");
}

TEST_F(KUtilsFiles, ScansFoldersWithoutLoopingOnLinks)
{
    dir.write("m/b.MP3", "");
    dir.write("m/a.mp3", "");
    dir.write("m/c.ogg", "");
    dir.write("m/sub/d.mp3", "");
    dir.write("m/sub/deeper/e.mp3", "");
    fs::create_directory(dir.path() / "m" / "x.mp3"); // a folder never matches
    fs::create_directory_symlink(dir.path() / "m", dir.path() / "m" / "sub" / "loop");
    const std::string base = (dir.path() / "m").string();

    std::vector<std::string> flat;
    ScanDirectory(base, "*.mp3", false, flat);
    EXPECT_EQ(flat, (std::vector<std::string>{base + "/a.mp3", base + "/b.MP3"}));

    std::vector<std::u16string> deep;
    ScanDirectoryW(Utf8ToUtf16(base + "/"), u"*.mp3", true, deep);
    std::vector<std::u16string> want = {u"/a.mp3", u"/b.MP3", u"/sub/d.mp3", u"/sub/deeper/e.mp3"};
    for (auto& w : want)
        w = Utf8ToUtf16(base) + w;
    EXPECT_EQ(deep, want);

    std::vector<std::string> all;
    ScanDirectory(base, "*.*", true, all);
    EXPECT_EQ(all.size(), 5u);
    std::vector<std::string> none;
    ScanDirectory(base + "/missing", "*", true, none);
    EXPECT_TRUE(none.empty());

    std::vector<std::u16string> subs;
    GetSubDirectories(Utf8ToUtf16(base + "/sub"), subs);
    EXPECT_EQ(subs, (std::vector<std::u16string>{Utf8ToUtf16(base + "/sub/deeper"), Utf8ToUtf16(base + "/sub/loop")}));
}

TEST(KUtilsCaptions, FromFileNames)
{
    const struct {
        const char16_t* file;
        const char16_t* caption;
    } cases[] = {
        {u"/music/Artist - Song.mp3", u"Artist - Song"},
        {u"/music/noext", u"noext"},
        {u"/music/a.b.c.flac", u"a.b.c"},
        {u"C:\\music\\win.mp3", u"win"},
        {u"/films/Movie/VIDEO_TS/VIDEO_TS.IFO", u"[ DVD Directory: Movie ]"},
        {u"/films/Movie/video_ts/VTS_01_1.VOB", u"[ DVD Directory: Movie ]"},
        {u"VIDEO_TS/VIDEO_TS.IFO", u"[ DVD ]"},
        {u"/films/clip.vob", u"[ DVD File: clip.vob ]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetCaptionFromFileName(c.file), c.caption);

    TKDVDCaptionTexts german;
    german.File = u"[ DVD-Datei: %s ]";
    SetDVDCaptionTexts(german);
    EXPECT_EQ(GetCaptionFromFileName(u"/f/x.vob"), u"[ DVD-Datei: x.vob ]");
    SetDVDCaptionTexts(TKDVDCaptionTexts{});
}

TEST(KUtilsDrives, ParsesKernelTables)
{
    const std::string info = "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
                             "drive name:\t\tsr1\tsr0\n"
                             "drive speed:\t\t24\t24\n";
    const auto drives = ParseCDRomInfo(info);
    EXPECT_EQ(drives, (std::vector<std::string>{"/dev/sr1", "/dev/sr0"}));
    EXPECT_TRUE(ParseCDRomInfo("").empty());

    const std::string mounts = "/dev/sda1 / ext4 rw 0 0\n"
                               "/dev/sr0 /media/user/MY\\040MOVIE udf ro 0 0\n";
    EXPECT_EQ(FindCDMountPoint("/media/user/MY MOVIE/VIDEO_TS/VIDEO_TS.IFO", drives, mounts), "/media/user/MY MOVIE");
    EXPECT_EQ(FindCDMountPoint("/dev/sr0", drives, mounts), "/media/user/MY MOVIE");
    EXPECT_EQ(FindCDMountPoint("/media/user/MY MOVIES/x", drives, mounts), "");
    EXPECT_EQ(FindCDMountPoint("/home/x", drives, mounts), "");
    // No drive on the test machine is assumed; the calls just must not fail.
    EXPECT_FALSE(IsCDDrive(u"/definitely/not/a/drive"));
    EXPECT_EQ(GetVolumeLabelW(u"/definitely/not/a/drive"), u"");
}

TEST(KUtilsXml, PathAccess)
{
    TLumoXML doc;
    ASSERT_TRUE(doc.Parse("<?xml version=\"1.0\"?><Cfg><OSD Enabled=\"true\"><Font Name=\"Tahoma\" Size=\"12\" "
                          "Size=\"14\"/></OSD><OSD Enabled=\"false\"/></Cfg>"));
    TLumoXMLTag* cfg = FindXmlTag(&doc.Root, "Cfg");
    ASSERT_NE(cfg, nullptr);
    EXPECT_EQ(FindXmlTag(&doc.Root, "cfg"), nullptr);
    EXPECT_EQ(FindXmlTag(nullptr, "Cfg"), nullptr);
    EXPECT_EQ(FindXmlTag(&doc.Root, "xml")->Kind(), TLumoXMLItemKind::Process);

    EXPECT_EQ(FindXmlTagByPath(cfg, "OSD/Font")->Name, "Font");
    EXPECT_EQ(FindXmlTagByPath(cfg, ""), cfg);
    EXPECT_EQ(FindXmlTagByPath(cfg, "OSD/Nope"), nullptr);
    EXPECT_EQ(FindXmlTagByPath(cfg, "OSD//Font"), nullptr);
    EXPECT_EQ(FindXmlTagByPath(&doc.Root, "Cfg/OSD")->GetParameter("Enabled", ""), "true"); // the first OSD

    EXPECT_EQ(GetXmlPathAttribute(cfg, "OSD/Font", "Name", u"x"), u"Tahoma");
    EXPECT_EQ(GetXmlPathAttribute(cfg, "OSD/Font", "Size", u"x"), u"12"); // the first of two
    EXPECT_EQ(GetXmlPathAttribute(cfg, "OSD/Font", "Color", u"0,255,0"), u"0,255,0");
    EXPECT_EQ(GetXmlPathAttribute(cfg, "Missing", "Name", u"d"), u"d");
    EXPECT_EQ(GetXmlAttribute(nullptr, "Name", u"d"), u"d");
}

TEST(KUtilsResources, RegisteredCopies)
{
    EXPECT_EQ(LoadResourceStream(4242), nullptr);
    EXPECT_FALSE(ResourceRegistered(4242));
    EXPECT_FALSE(ReadResource(4242, [](std::string_view) { ADD_FAILURE() << "nothing to read"; }));
    RegisterResource(4242, std::string("<skin/>\0x", 9));
    auto a = LoadResourceStream(4242);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetPosition(), 0);
    EXPECT_EQ(a->GetText(), std::string("<skin/>\0x", 9));
    a->SetText("changed");
    EXPECT_EQ(LoadResourceStream(4242)->GetSize(), 9);
    EXPECT_TRUE(ResourceRegistered(4242));
    std::string read;
    EXPECT_TRUE(ReadResource(4242, [&](std::string_view bytes) { read = bytes; }));
    EXPECT_EQ(read, std::string("<skin/>\0x", 9));
}

} // namespace
} // namespace kolvarin
