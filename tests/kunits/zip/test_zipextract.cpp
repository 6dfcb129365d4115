#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "zipfixture.h"

namespace {

namespace fs = std::filesystem;
using kolvarin::TZipHandler;
using ktest::ZipArchive;
using ktest::ZipMember;

ZipArchive SkinPackage()
{
    ZipArchive a;
    a.Members = {ZipMember("Blue.bmp", std::string(50000, 'b')), ZipMember("blue.xml", "<skin name=\"Blue\"/>"),
                 ZipMember("old.kskn", "line skin")};
    return a;
}

class ZipExtractTest : public ZipFixture {
protected:
    fs::path Temp() const { return dir_.path() / "home" / "data" / "temp"; }
    std::u16string TempText() const { return kolvarin::codepage::Utf8ToUtf16(Temp().string()) + u"/"; }

    // Extracts and returns the number of the EZipHandler raised, 0 when none.
    int Extract(int& count)
    {
        try {
            count = zip_.Extract();
        } catch (const kolvarin::EZipHandler& e) {
            raised_ = e.Text();
            return e.Number();
        }
        return 0;
    }
};

// Returns a loader whose library reports the given version.
kolvarin::ziplib::Loader VersionLoader(int version)
{
    return [version](const std::string& path, kolvarin::ziplib::LoadFailure& failure) {
        auto entries = kolvarin::ziplib::LoadBuiltinLibrary(path, failure);
        entries->DZ_Version = [version] { return version; };
        return entries;
    };
}

TEST_F(ZipExtractTest, SkinPageExtractsTheChosenDescriptionOnly)
{
    fs::create_directories(Temp());
    ASSERT_EQ(Open(Write("Blue.kskz", SkinPackage())), 0);
    std::u16string xml;
    for (int i = 0; i < zip_.Count(); ++i) {
        if (zip_.DirEntry(i).FileName.ends_with(u".xml")) {
            xml = zip_.DirEntry(i).FileName;
        }
    }
    zip_.FSpecArgs.clear();
    zip_.FSpecArgs.push_back(xml);
    zip_.ExtrBaseDir = TempText();
    zip_.ExtrOptions = kolvarin::ExtrOverWrite;
    dir_.write("home/data/temp/blue.xml", "stale");
    int count = 0;
    ASSERT_EQ(Extract(count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(zip_.SuccessCnt(), 1);
    EXPECT_EQ(ktest::readFile(Temp() / "blue.xml"), "<skin name=\"Blue\"/>");
    EXPECT_FALSE(fs::exists(Temp() / "Blue.bmp"));

    zip_.FSpecArgs.clear();
    ASSERT_EQ(Extract(count), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(ktest::readFile(Temp() / "Blue.bmp"), std::string(50000, 'b'));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ZipExtractTest, ExtractRefusals)
{
    int count = 0;
    EXPECT_EQ(Extract(count), 10102);
    EXPECT_EQ(raised_, u"Error - no zip file specified!");

    ZipArchive folders;
    folders.Members = {ZipMember("only/", "", 0)};
    ASSERT_EQ(Open(Write("folders.zip", folders)), 0);
    EXPECT_EQ(Extract(count), 11002);

    ASSERT_EQ(Open(Write("Blue.kskz", SkinPackage())), 0);
    zip_.ExtrBaseDir = TempText();
    EXPECT_EQ(Extract(count), 10504);
    EXPECT_EQ(raised_, u"Extract directory '" + TempText() + u"' must exist");

    zip_.ExtrOptions = kolvarin::ExtrForceDirs;
    ASSERT_EQ(Extract(count), 0);
    EXPECT_EQ(count, 3);
}

TEST_F(ZipExtractTest, LibraryLoadAndVersion)
{
    zip_.SetDllDirectory(u"/opt/kolvarin/");
    zip_.SetDll_Load(true);
    EXPECT_TRUE(zip_.Dll_Load());
    EXPECT_EQ(zip_.DllVersion(), 179);
    EXPECT_EQ(zip_.DllPath(), u"/opt/kolvarin/DelZip179.dll");
    zip_.SetDll_Load(false);
    EXPECT_FALSE(zip_.Dll_Load());

    for (const int version : {178, 301}) {
        zip_.SetLoader(VersionLoader(version));
        try {
            zip_.SetDll_Load(true);
            ADD_FAILURE() << version;
        } catch (const kolvarin::EZipHandler& e) {
            EXPECT_EQ(e.Number(), 10651);
            EXPECT_EQ(e.Text(), u"Unable to load /opt/kolvarin/DelZip179.dll - It is old or corrupt");
        }
        EXPECT_FALSE(zip_.Dll_Load());
    }
    for (const int version : {179, 300}) {
        zip_.SetLoader(VersionLoader(version));
        zip_.SetDll_Load(true);
        EXPECT_EQ(zip_.DllVersion(), version);
    }

    zip_.SetLoader([](const std::string&, kolvarin::ziplib::LoadFailure& failure) {
        failure = {2, "No such file or directory"};
        return std::optional<kolvarin::ziplib::EntryPoints>();
    });
    std::vector<std::pair<std::string, std::u16string>> log;
    kolvarin::SetZipLogHook([&log](const std::string& proc, const std::u16string& text) {
        log.push_back({proc, text});
    });
    zip_.Trace = true;
    try {
        zip_.SetDll_Load(true);
        ADD_FAILURE();
    } catch (const kolvarin::EZipHandler& e) {
        EXPECT_EQ(e.Number(), 10650);
        EXPECT_EQ(e.Text(), u"Failed to load DelZip179.dll");
    }
    kolvarin::SetZipLogHook(nullptr);
    EXPECT_FALSE(zip_.Dll_Load());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].second, u"Error [2 No such file or directory] loading DelZip179.dll");

    // A library lacking one call does not load either.
    zip_.SetLoader([](const std::string& path, kolvarin::ziplib::LoadFailure& failure) {
        auto entries = kolvarin::ziplib::LoadBuiltinLibrary(path, failure);
        entries->DZ_Abort = nullptr;
        return entries;
    });
    EXPECT_THROW(zip_.SetDll_Load(true), kolvarin::EZipHandler);

    // Extract loads on demand and raises the same way.
    ASSERT_EQ(Open(Write("Blue.kskz", SkinPackage())), 0);
    int count = 0;
    EXPECT_EQ(Extract(count), 10650);
}

TEST_F(ZipExtractTest, LibraryWarningsReachTheMessageOperation)
{
    ZipArchive a = SkinPackage();
    a.Members[0].Flags = 1;
    a.Members[1].Crc = 7;
    ASSERT_EQ(Open(Write("Blue.kskz", a)), 0);
    zip_.ExtrBaseDir = TempText();
    zip_.ExtrOptions = kolvarin::ExtrForceDirs;
    int count = 0;
    ASSERT_EQ(Extract(count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(messages_, (std::vector<int>{kolvarin::ziplib::DZ_WARN_ENCRYPTED, kolvarin::ziplib::DZ_ERR_CRC}));
    EXPECT_EQ(zip_.ErrCode(), kolvarin::ziplib::DZ_ERR_CRC);
    EXPECT_EQ(dialogs_.size(), 2u);
    EXPECT_FALSE(fs::exists(Temp() / "blue.xml"));
    EXPECT_TRUE(fs::exists(Temp() / "old.kskn"));
}

TEST_F(ZipExtractTest, HandlerExceptionAndCancelStopTheLibrary)
{
    ASSERT_EQ(Open(Write("Blue.kskz", SkinPackage())), 0);
    zip_.ExtrBaseDir = TempText();
    zip_.ExtrOptions = kolvarin::ExtrForceDirs;
    zip_.OnProgress = [](kolvarin::TZMProgressKind kind, const std::u16string&, std::uint64_t) {
        if (kind == kolvarin::TZMProgressKind::Advance) {
            throw std::runtime_error("handler fault");
        }
    };
    int count = 0;
    ASSERT_EQ(Extract(count), 0);
    EXPECT_EQ(count, 1);

    zip_.OnProgress = [this](kolvarin::TZMProgressKind kind, const std::u16string&, std::uint64_t) {
        zip_.Cancel = kind == kolvarin::TZMProgressKind::Advance;
    };
    ASSERT_EQ(Extract(count), 0);
    EXPECT_EQ(count, 1);
}

TEST_F(ZipExtractTest, OneOperationAtATime)
{
    const std::u16string first = Write("first.kskz", SkinPackage());
    const std::u16string second = Write("second.zip", SkinPackage());
    ASSERT_EQ(Open(first), 0);
    zip_.ExtrOptions = kolvarin::ExtrTest;
    int inner = 0;
    zip_.OnProgress = [&](kolvarin::TZMProgressKind kind, const std::u16string&, std::uint64_t) {
        if (kind == kolvarin::TZMProgressKind::Start && inner == 0) {
            inner = zip_.Extract();
            zip_.SetZipFileName(second);
            EXPECT_EQ(zip_.ZipFileName(), first);
        }
    };
    EXPECT_EQ(zip_.Extract(), 3);
    EXPECT_EQ(inner, TZipHandler::kBusy);
    // The name set meanwhile took effect once the extraction ended.
    EXPECT_EQ(zip_.ZipFileName(), second);
}

TEST_F(ZipExtractTest, LibraryFaultGivesMinusSeven)
{
    zip_.SetLoader([](const std::string& path, kolvarin::ziplib::LoadFailure& failure) {
        auto entries = kolvarin::ziplib::LoadBuiltinLibrary(path, failure);
        entries->DZ_UnzExec = [](const kolvarin::ziplib::UnzCommand&) -> int { throw std::bad_alloc(); };
        return entries;
    });
    ASSERT_EQ(Open(Write("Blue.kskz", SkinPackage())), 0);
    EXPECT_EQ(zip_.Extract(), TZipHandler::kLibraryFault);
}

TEST_F(ZipExtractTest, SpannedMarkerBeforeASinglePartArchive)
{
    ZipArchive a = SkinPackage();
    a.SpanMarker = true;
    ASSERT_EQ(Open(Write("Blue.kskz", a)), 0);
    EXPECT_EQ(zip_.Count(), 3);
    zip_.ExtrBaseDir = TempText();
    zip_.ExtrOptions = kolvarin::ExtrForceDirs;
    EXPECT_EQ(zip_.Extract(), 3);
    EXPECT_EQ(ktest::readFile(Temp() / "old.kskn"), "line skin");
    EXPECT_TRUE(messages_.empty());
}

// An archive made by the outside zip tool lists and extracts like ours.
TEST_F(ZipExtractTest, ArchiveMadeByTheZipTool)
{
    if (std::system("command -v zip >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "zip is not installed";
    }
    dir_.write("src/skin/skin.bmp", std::string(200000, 'p') + "end");
    dir_.write("src/skin/skin.kskn", "a\nb\n");
    const fs::path archive = dir_.path() / "tool.kskz";
    const std::string command = "cd '" + (dir_.path() / "src").string() + "' && zip -q -r -z '" + archive.string() +
                                "' skin <<'EOF'\nmade by zip\nEOF";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(Open(kolvarin::codepage::Utf8ToUtf16(archive.string())), 0);
    std::vector<std::u16string> names = Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"skin/skin.bmp", u"skin/skin.kskn"}));
    EXPECT_EQ(zip_.ZipComment(), u"made by zip");
    zip_.ExtrBaseDir = TempText();
    zip_.ExtrOptions = kolvarin::ExtrForceDirs | kolvarin::ExtrOverWrite;
    EXPECT_EQ(zip_.Extract(), 2);
    EXPECT_EQ(ktest::readFile(Temp() / "skin.bmp"), std::string(200000, 'p') + "end");
}

} // namespace
