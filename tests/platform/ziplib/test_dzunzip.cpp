#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "codepage/codepage.h"
#include "temphome.h"
#include "ziplib/dzlib.h"
#include "ziplib/dzunzip.h"
#include "zipwriter.h"

namespace fs = std::filesystem;
using namespace kolvarin::ziplib;
using kolvarin::codepage::Utf8ToUtf16;
using ktest::RandomBytes;
using ktest::ZipArchive;
using ktest::ZipMember;

namespace {

// Every file below a folder, as paths relative to it.
std::vector<std::string> Files(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (!e.is_directory()) {
            out.push_back(fs::relative(e.path(), folder).string());
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

class UnzipTest : public ::testing::Test {
public:
    void SetUp() override
    {
        fs::create_directories(Base());
        LoadFailure failure;
        library_ = *LoadBuiltinLibrary("/opt/any/" + std::string(kLibraryName), failure);
    }

    fs::path Base() const { return dir_.path() / "sandbox" / "out"; }
    fs::path ArchivePath() const { return dir_.path() / "a.zip"; }

    UnzCommand Command(const ZipArchive& archive)
    {
        dir_.write("a.zip", ktest::WriteZip(archive));
        UnzCommand c;
        c.Caller = this;
        c.Version = kCommandVersion;
        c.CallbackProc = &UnzipTest::Record;
        c.BaseDir = Utf8ToUtf16(Base().string());
        c.OverWrite = true;
        c.ZipFileName = Utf8ToUtf16(ArchivePath().string());
        return c;
    }

    int Run(const UnzCommand& c) { return library_.DZ_UnzExec(c); }
    int Run(const ZipArchive& archive) { return Run(Command(archive)); }

    std::vector<int> Codes(CallbackKind kind) const
    {
        std::vector<int> out;
        for (const auto& r : records_) {
            if (r.Kind == kind) {
                out.push_back(r.Code);
            }
        }
        return out;
    }

    static int Record(void* caller, const CallbackRecord& r)
    {
        auto* self = static_cast<UnzipTest*>(caller);
        self->records_.push_back(r);
        return self->stopAfterItems_ > 0 && r.Kind == CallbackKind::ItemEnd && --self->stopAfterItems_ == 0;
    }

    ktest::TempDir dir_;
    EntryPoints library_;
    std::vector<CallbackRecord> records_;
    int stopAfterItems_ = 0;
};

TEST_F(UnzipTest, ExtractsStoredAndDeflatedMembers)
{
    const std::string big = std::string(700 * 1024, 'x') + RandomBytes(600 * 1024, 1);
    ZipArchive a;
    a.Members = {ZipMember("skin.bmp", big), ZipMember("skin.xml", "<skin/>", 0), ZipMember("empty.txt", ""),
                 ZipMember("folder/", "", 0)};
    EXPECT_EQ(Run(a), 3);
    EXPECT_EQ(Files(Base()), (std::vector<std::string>{"empty.txt", "skin.bmp", "skin.xml"}));
    EXPECT_EQ(ktest::readFile(Base() / "skin.bmp"), big);
    EXPECT_EQ(ktest::readFile(Base() / "skin.xml"), "<skin/>");
    EXPECT_TRUE(Codes(CallbackKind::Error).empty());
    EXPECT_EQ(Codes(CallbackKind::ItemEnd).size(), 3u);
}

TEST_F(UnzipTest, MemberNamesStayInsideTheBaseFolder)
{
    ZipArchive a;
    for (const char* name : {"../up.txt", "/abs/root.txt", "C:\\win\\drive.txt", "a/../../dots.txt", "..\\..\\back.txt",
                             "D:rel.txt", "..", "sub/.", "//"}) {
        a.Members.push_back(ZipMember(name, name));
    }
    UnzCommand c = Command(a);
    EXPECT_EQ(Run(c), 6);
    EXPECT_EQ(Files(dir_.path() / "sandbox"), (std::vector<std::string>{"out/back.txt", "out/dots.txt", "out/drive.txt",
                                                                        "out/rel.txt", "out/root.txt", "out/up.txt"}));
    EXPECT_EQ(Codes(CallbackKind::Warning), (std::vector<int>{DZ_WARN_NAME, DZ_WARN_NAME}));

    records_.clear();
    c.DirNames = true;
    EXPECT_EQ(Run(c), 6);
    EXPECT_TRUE(fs::exists(Base() / "abs" / "root.txt"));
    EXPECT_TRUE(fs::exists(Base() / "win" / "drive.txt"));
    EXPECT_TRUE(fs::exists(Base() / "a" / "dots.txt"));
    EXPECT_EQ(Files(dir_.path() / "sandbox").size(), 9u);

    // A folder in the way is kept; a link in the way is replaced, not followed.
    fs::remove_all(Base());
    fs::create_directories(Base() / "up.txt");
    fs::create_symlink(dir_.path() / "outside.txt", Base() / "root.txt");
    c.DirNames = false;
    records_.clear();
    EXPECT_EQ(Run(c), 5);
    EXPECT_EQ(Codes(CallbackKind::Error), (std::vector<int>{DZ_ERR_WRITE}));
    EXPECT_TRUE(fs::is_directory(Base() / "up.txt"));
    EXPECT_FALSE(fs::is_symlink(Base() / "root.txt"));
    EXPECT_FALSE(fs::exists(dir_.path() / "outside.txt"));
    EXPECT_EQ(Files(Base()).size(), 5u); // no temporary file left behind
}

TEST(DzSafeName, StripsToTheFilesOwnName)
{
    const struct {
        std::u16string name;
        std::u16string flat;
        std::u16string withDirs;
    } cases[] = {
        {u"a/b/c.txt", u"c.txt", u"a/b/c.txt"},
        {u"a\\b\\c.txt", u"c.txt", u"a/b/c.txt"},
        {u"../../etc/passwd", u"passwd", u"etc/passwd"},
        {u"C:/x/../y.txt", u"y.txt", u"x/y.txt"},
        {u"c:y.txt", u"y.txt", u"y.txt"},
        {u"/", u"", u""},
        {u"a/..", u"", u""},
        {u"a/.", u"", u""},
        {std::u16string(u"a\0b", 3), u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SafeMemberName(c.name, false), c.flat);
        EXPECT_EQ(SafeMemberName(c.name, true), c.withDirs);
    }
}

TEST_F(UnzipTest, EncryptedMembersAreSkippedWithAWarning)
{
    ZipArchive a;
    a.Members = {ZipMember("secret.txt", "xx"), ZipMember("open.txt", "yy")};
    a.Members[0].Flags = 1;
    EXPECT_EQ(Run(a), 1);
    EXPECT_EQ(Files(Base()), (std::vector<std::string>{"open.txt"}));
    EXPECT_EQ(Codes(CallbackKind::Warning), (std::vector<int>{DZ_WARN_ENCRYPTED}));
}

TEST_F(UnzipTest, CrcMismatchIsAnErrorAndLeavesNoPartialFile)
{
    dir_.write("sandbox/out/old.txt", "previous");
    ZipArchive a;
    a.Members = {ZipMember("bad.bin", std::string(600000, 'q')), ZipMember("old.txt", "new", 0)};
    a.Members[0].Crc = 1234;
    a.Members[1].Crc = 1;
    EXPECT_EQ(Run(a), 0);
    EXPECT_EQ(Codes(CallbackKind::Error), (std::vector<int>{DZ_ERR_CRC, DZ_ERR_CRC}));
    EXPECT_EQ(Files(Base()), (std::vector<std::string>{"old.txt"}));
    EXPECT_EQ(ktest::readFile(Base() / "old.txt"), "previous");
}

TEST_F(UnzipTest, DeclaredSizesDoNotOutgrowTheArchive)
{
    ZipArchive a;
    // A small member claiming gigabytes, one inflating past its declared
    // size, and one whose compressed size runs past the archive's data.
    a.Members = {ZipMember("bomb.bin", std::string(100000, 0)), ZipMember("liar.bin", std::string(10 << 20, 0)),
                 ZipMember("long.bin", "abc", 0), ZipMember("fine.txt", "ok")};
    a.Members[0].UncompressedSize = 0xFFFFFFF0;
    a.Members[1].UncompressedSize = 1000;
    a.Members[2].CompressedSize = a.Members[2].UncompressedSize = 0x7FFFFFFF;
    EXPECT_EQ(Run(a), 1);
    EXPECT_EQ(Codes(CallbackKind::Error), (std::vector<int>{DZ_ERR_DATA, DZ_ERR_DATA, DZ_ERR_DATA}));
    EXPECT_EQ(Files(Base()), (std::vector<std::string>{"fine.txt"}));
}

TEST_F(UnzipTest, OverlappingMembersAreCutAtTheNextMember)
{
    // The second member's header lies inside the first one's claimed data.
    ZipArchive a;
    a.Members = {ZipMember("a.txt", "aaaa", 0), ZipMember("b.txt", "bbbb", 0)};
    std::string bytes = ktest::WriteZip(a);
    bytes[18] = 60, bytes[22] = 60; // local sizes of a.txt
    const std::size_t central = bytes.find("PK\x01\x02");
    bytes[central + 20] = 60, bytes[central + 24] = 60; // its central sizes
    dir_.write("a.zip", bytes);
    UnzCommand c = Command(a);
    dir_.write("a.zip", bytes);
    EXPECT_EQ(Run(c), 1);
    EXPECT_EQ(Files(Base()), (std::vector<std::string>{"b.txt"}));
}

TEST_F(UnzipTest, OptionsAndFileList)
{
    dir_.write("sandbox/out/keep.txt", "mine");
    ZipArchive a;
    a.Members = {ZipMember("keep.txt", "theirs"), ZipMember("skins/Blue.XML", "<x/>"),
                 ZipMember("skins/blue.bmp", "bmp"), ZipMember("other/blue.bmp", "bmp2")};
    UnzCommand c = Command(a);
    c.OverWrite = false;
    c.Verbose = true;
    // Without folder names both "blue.bmp" land on one file: the first wins.
    EXPECT_EQ(Run(c), 2);
    EXPECT_EQ(ktest::readFile(Base() / "keep.txt"), "mine");
    EXPECT_EQ(ktest::readFile(Base() / "blue.bmp"), "bmp");
    EXPECT_EQ(Codes(CallbackKind::Message), (std::vector<int>{DZ_MSG_EXISTS, DZ_MSG_EXISTS}));

    fs::remove_all(Base());
    fs::create_directories(Base());
    c.FSpecArgs = {u"skins/blue.xml"};
    EXPECT_EQ(Run(c), 1);
    EXPECT_EQ(Files(Base()), (std::vector<std::string>{"Blue.XML"}));

    c.FSpecArgs = {u"*.BMP"};
    c.DirNames = true;
    EXPECT_EQ(Run(c), 2);
    EXPECT_TRUE(fs::exists(Base() / "other" / "blue.bmp"));

    fs::remove_all(Base());
    c.Test = true;
    c.FSpecArgs.clear();
    EXPECT_EQ(Run(c), 4);
    EXPECT_FALSE(fs::exists(Base()));
}

TEST(DzSpec, Wildcards)
{
    EXPECT_TRUE(MatchesSpec(u"*.*", u"a.txt"));
    EXPECT_TRUE(MatchesSpec(u"*", u""));
    EXPECT_TRUE(MatchesSpec(u"s?in*.KSKN", u"skin1.kskn"));
    EXPECT_TRUE(MatchesSpec(u"a\\b.txt", u"a/B.TXT"));
    EXPECT_TRUE(MatchesSpec(u"*a*b", u"xxaxxbxb"));
    EXPECT_FALSE(MatchesSpec(u"*.xml", u"a.xml.bak"));
    EXPECT_FALSE(MatchesSpec(u"a?", u"a"));
}

TEST_F(UnzipTest, FreshenAndUpdateCompareTimes)
{
    ZipArchive a;
    a.Members = {ZipMember("old.txt", "new old"), ZipMember("new.txt", "new new"), ZipMember("missing.txt", "m")};
    dir_.write("sandbox/out/old.txt", "x");
    dir_.write("sandbox/out/new.txt", "y");
    fs::last_write_time(Base() / "old.txt", fs::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 10));
    UnzCommand c = Command(a);
    c.Freshen = true;
    EXPECT_EQ(Run(c), 1);
    EXPECT_EQ(ktest::readFile(Base() / "old.txt"), "new old");
    EXPECT_EQ(ktest::readFile(Base() / "new.txt"), "y");
    c.Freshen = false;
    c.Update = true;
    EXPECT_EQ(Run(c), 1);
    EXPECT_TRUE(fs::exists(Base() / "missing.txt"));
}

TEST_F(UnzipTest, PrefixAndTrailingBytesDoNotHideMembers)
{
    ZipArchive a;
    a.Prefix = "#!/bin/sh\nexit 0\n" + RandomBytes(3000, 2);
    a.Trailing = RandomBytes(700, 3);
    a.Comment = "skin package";
    a.Members = {ZipMember("a.txt", "A"), ZipMember("b.txt", std::string(5000, 'b'))};
    EXPECT_EQ(Run(a), 2);
    EXPECT_EQ(ktest::readFile(Base() / "b.txt"), std::string(5000, 'b'));
}

TEST_F(UnzipTest, UnreadableArchivesFailWithANegativeCode)
{
    ZipArchive a;
    a.Members = {ZipMember("a.txt", std::string(3000, 'a'))};
    const std::string good = ktest::WriteZip(a);
    UnzCommand c = Command(a);
    const struct {
        std::string bytes;
        int result;
    } cases[] = {
        {"", -DZ_ERR_INVALID},
        {RandomBytes(100000, 4), -DZ_ERR_INVALID},
        {good.substr(0, good.size() - 10), -DZ_ERR_INVALID},
        {good.substr(0, 60) + good.substr(good.size() - 22 - 46 - 5), 0}, // member data cut away
        {good.substr(good.size() - 22), -DZ_ERR_DIRECTORY},
    };
    for (const auto& k : cases) {
        dir_.write("a.zip", k.bytes);
        EXPECT_EQ(Run(c), k.result) << k.bytes.size();
    }
    c.ZipFileName = u"/nonexistent/a.zip";
    EXPECT_EQ(Run(c), -DZ_ERR_OPEN);
    c.ZipFileName = Utf8ToUtf16(dir_.path().string());
    EXPECT_EQ(Run(c), -DZ_ERR_OPEN);
    EXPECT_TRUE(Files(Base()).empty());
}

TEST_F(UnzipTest, DamagedDataAndUnknownMethods)
{
    ZipArchive a;
    a.Members = {ZipMember("garbage.bin", RandomBytes(5000, 5), 99), ZipMember("noise.bin", "data")};
    std::string bytes = ktest::WriteZip(a);
    a.Members[1].Method = 8;
    UnzCommand c = Command(a);
    // Overwrite the deflated data of noise.bin with bytes that do not inflate.
    const std::size_t at = bytes.find("noise.bin") + 9;
    bytes[at] = '\xff', bytes[at + 1] = '\xff';
    dir_.write("a.zip", bytes);
    EXPECT_EQ(Run(c), 0);
    EXPECT_EQ(Codes(CallbackKind::Error), (std::vector<int>{DZ_ERR_METHOD, DZ_ERR_DATA}));
    EXPECT_TRUE(Files(Base()).empty());
}

TEST_F(UnzipTest, CallbackAndAbortStopAtTheNextMember)
{
    ZipArchive a;
    for (int i = 0; i < 5; ++i) {
        a.Members.push_back(ZipMember("m" + std::to_string(i), "x"));
    }
    stopAfterItems_ = 2;
    EXPECT_EQ(Run(a), 2);

    UnzCommand c = Command(a);
    c.CallbackProc = [](void* caller, const CallbackRecord& r) {
        if (r.Kind == CallbackKind::ItemEnd) {
            static_cast<UnzipTest*>(caller)->library_.DZ_Abort();
        }
        return 0;
    };
    EXPECT_EQ(Run(c), 1);
    // The flag is cleared when the next command starts.
    c.CallbackProc = nullptr;
    EXPECT_EQ(Run(c), 5);
}

TEST(DzLibrary, BuiltinLoaderAnswersTheSixCalls)
{
    LoadFailure failure;
    EXPECT_FALSE(LoadBuiltinLibrary("/usr/lib/other.dll", failure));
    EXPECT_NE(failure.Code, 0);
    const auto library = LoadBuiltinLibrary("/opt/k/DelZip179.dll", failure);
    ASSERT_TRUE(library);
    EXPECT_EQ(library->DZ_Version(), 179);
    EXPECT_EQ(library->DZ_PrivVersion(), kPrivateVersion);
    EXPECT_EQ(library->DZ_Path(), u"/opt/k/DelZip179.dll");
    EXPECT_EQ(library->DZ_ZipExec(ZipCommand{}), -DZ_ERR_NOT_SUPPORTED);
    UnzCommand old;
    old.Version = 178;
    EXPECT_EQ(library->DZ_UnzExec(old), -DZ_ERR_COMMAND);
}

} // namespace
