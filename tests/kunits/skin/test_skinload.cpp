#include <algorithm>
#include <filesystem>
#include <utility>

#include <gtest/gtest.h>

#include "core/system/kpaths.h"
#include "skin/kskinload.h"
#include "skinfixture.h"
#include "temphome.h"
#include "zip/ziphandler.h"
#include "zipwriter.h"

using namespace kolvarin;
namespace fs = std::filesystem;

namespace {

// A description placing one element of each cut kind at known places.
const char* const kCutDescription = R"(<KolvarinSkin><Common><TransparentColor Color="255,0,255" /></Common><Forms>
<Main>
  <Form><SkinPos X="3" Y="4" /><Size Width="40" Height="30" /><Masked Enabled="true" /></Form>
  <PlayButton><SkinPos X="10" Y="280" /><Size Width="7" Height="5" /><SkinBorder Border="3" /></PlayButton>
  <Balance><BgSkinPos X="50" Y="60" /><BgSize Width="30" Height="6" /><BarSkinPos X="90" Y="61" />
    <BarSize Width="6" Height="6" /><BarSkinBorder Border="1" /></Balance>
  <Scrolllabel><Size Width="33" Height="11" /></Scrolllabel>
  <Time><UseBg Enabled="true" /><BgSkinPos X="5" Y="200" /><BgSize Width="20" Height="9" />
    <Chars><C><SkinPos X="260" Y="270" /><Size Width="4" Height="6" /></C></Chars></Time>
</Main>
<Playlist>
  <ResizeForm><Size Width="64" Height="48" />
    <Edges><Right><SkinPos X="300" Y="2" /><Size Width="5" Height="3" /></Right></Edges></ResizeForm>
  <FileTypeIcons><SkinPos X="100" Y="100" /><Size Width="4" Height="4" /><SkinBorder Border="2" /></FileTypeIcons>
</Playlist>
</Forms></KolvarinSkin>)";

class SkinLoadTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        UserPath = (home() / "user/").string();
        ApplicationPath = (home() / "app/").string();
        InitGUI(skin_);
    }

    std::string Write(const std::string& relative, const std::string& bytes)
    {
        return dir().write("home/" + relative, bytes).string();
    }

    static ktest::ZipMember Member(std::string name, std::string data) { return {std::move(name), std::move(data)}; }

    std::string Package(const std::string& relative, std::vector<ktest::ZipMember> members)
    {
        ktest::ZipArchive archive;
        archive.Members = std::move(members);
        return Write(relative, ktest::WriteZip(archive));
    }

    bool TempIsEmpty() const
    {
        const fs::path temp = home() / "user/data/temp";
        return !fs::exists(temp) || fs::is_empty(temp);
    }

    TKGUI skin_;
    TZipHandler zip_;
};

} // namespace

TEST_F(SkinLoadTest, CutsEveryImageFromItsPlace)
{
    const std::string bmp = Write("skin/a.bmp", ktest::BmpBytes(ktest::PositionBitmap(320, 320)));
    const std::string xml = Write("skin/a.xml", kCutDescription);
    ASSERT_EQ(LoadSkin(skin_, bmp, xml, false), kSkinLoaded) << LastSkinError();
    EXPECT_TRUE(skin_.Loaded);
    const TKSMain& m = skin_.Main;
    EXPECT_TRUE(ktest::CutFrom(m.Form.Bitmap, 3, 4, 40, 30));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(ktest::CutFrom(m.PlayButton.Bitmaps[i], 10, 280 + i * 8, 7, 5)) << "state " << i;
    EXPECT_TRUE(ktest::CutFrom(m.Balance.BgBitmap, 50, 60, 30, 6));
    EXPECT_TRUE(ktest::CutFrom(m.Balance.BarBitmaps[1], 90, 68, 6, 6));
    EXPECT_TRUE(ktest::CutFrom(m.Time.BgBitmap, 5, 200, 20, 9));
    EXPECT_TRUE(ktest::CutFrom(m.Time.CharBitmaps[0], 260, 270, 4, 6));
    EXPECT_EQ(m.Scrolllabel.Buffer.width(), 33);
    EXPECT_EQ(m.Scrolllabel.Buffer.height(), 11);
    // A piece running past the bitmap keeps the part inside.
    EXPECT_TRUE(ktest::CutFrom(skin_.Playlist.ResizeForm.EdgeBitmaps[eRight], 300, 2, 5, 3));
    EXPECT_EQ(skin_.Playlist.ResizeForm.Background.width(), 64);
    EXPECT_TRUE(ktest::CutFrom(skin_.Playlist.FileTypeIcons.Bitmaps[6], 100, 136, 4, 4));
    EXPECT_TRUE(LastSkinError().empty());
}

TEST_F(SkinLoadTest, ResultCodesTellWhatFailed)
{
    const std::string bmp = Write("skin/a.bmp", ktest::BmpBytes(ktest::PositionBitmap(8, 8)));
    const std::string xml = Write("skin/a.xml", "<KolvarinSkin/>");
    const std::string txt = Write("skin/a.txt", "<KolvarinSkin/>");
    const std::string junk = Write("skin/junk.bmp", "BM not really");
    const std::string huge = Write("skin/huge.xml", "<KolvarinSkin><Forms><Main><Form><Size Width=\"30000\" "
                                                    "Height=\"30000\" /></Form></Main></Forms></KolvarinSkin>");
    const std::string unparsed = Write("skin/bad.xml", "<KolvarinSkin><Forms>");
    const std::string wide = Write("skin/wide.xml", "<KolvarinSkin><Forms><Main><Form><Size Width=\"458983\" "
                                                    "Height=\"3\" /></Form></Main></Forms></KolvarinSkin>");
    const struct {
        std::string bitmap, description;
        uint8_t result;
    } cases[] = {
        {bmp, xml, kSkinLoaded},
        {bmp + ".missing", xml, kSkinFilesMissing},
        {bmp, xml + ".missing", kSkinFilesMissing},
        {bmp, txt, kSkinBadDescription},
        {junk, xml, kSkinLoadError},
        {bmp, huge, kSkinLoadError},
        {bmp, wide, kSkinLoaded}, // its width is bounded where it is read
        {bmp, unparsed, kSkinLoaded},
    };
    for (const auto& c : cases) {
        InitGUI(skin_);
        EXPECT_EQ(LoadSkin(skin_, c.bitmap, c.description, false), c.result) << c.bitmap << " " << c.description;
        EXPECT_EQ(skin_.Loaded, c.result == kSkinLoaded);
        EXPECT_EQ(LastSkinError().empty(), c.result == kSkinLoaded) << LastSkinError();
    }
}

TEST_F(SkinLoadTest, CuttingRefusesImagesNoBitmapMayHold)
{
    const gdi::Bitmap bitmap(16, 16);
    skin_.Main.Form.Size = {40000, 2};
    EXPECT_FALSE(CutSkinImages(skin_, bitmap));
    skin_.Main.Form.Size = {-5, 7};
    skin_.Main.PlayButton.Size = {8, 8};
    EXPECT_TRUE(CutSkinImages(skin_, bitmap));
    EXPECT_TRUE(skin_.Main.Form.Bitmap.empty()) << "a negative side counts as 0";
    EXPECT_EQ(skin_.Main.PlayButton.Bitmaps[3].width(), 8);
}

TEST_F(SkinLoadTest, PackagesLoadByTheirMembersFileNames)
{
    const std::string bmp = ktest::BmpBytes(ktest::PositionBitmap(320, 320));
    const std::string other = ktest::BmpBytes(ktest::PositionBitmap(20, 20));
    const std::string xml = kCutDescription;
    const struct {
        const char* name;
        std::vector<ktest::ZipMember> members;
        uint8_t result;
    } cases[] = {
        {"flat", {Member("skin.bmp", bmp), Member("skin.xml", xml)}, kSkinLoaded},
        {"folders", {Member("Deep/Er/skin.BMP", bmp), Member("deep/skin.XML", xml)}, kSkinLoaded},
        {"later bitmap wins", {Member("a.bmp", other), Member("b.bmp", bmp), Member("s.xml", xml)}, kSkinLoaded},
        {"xml before kskn", {Member("s.kskn", "garbage"), Member("s.xml", xml), Member("s.bmp", bmp)}, kSkinLoaded},
        {"no bitmap", {Member("skin.xml", xml)}, kSkinFilesMissing},
        {"escaping names", {Member("../../escaped.bmp", bmp), Member("skin.xml", xml)}, kSkinFilesMissing},
    };
    for (const auto& c : cases) {
        InitGUI(skin_);
        const std::string package = Package(std::string("packages/") + c.name + ".kskz", c.members);
        EXPECT_EQ(LoadSkinFromArchive(skin_, package, zip_), c.result) << c.name << ": " << LastSkinError();
        if (c.result == kSkinLoaded) {
            EXPECT_TRUE(ktest::CutFrom(skin_.Main.Form.Bitmap, 3, 4, 40, 30)) << c.name;
        }
        EXPECT_TRUE(TempIsEmpty()) << c.name;
    }
    EXPECT_FALSE(fs::exists(home() / "user/escaped.bmp"));
    EXPECT_FALSE(fs::exists(home() / "escaped.bmp"));
}

TEST_F(SkinLoadTest, ADamagedPackageIsAnErrorNotAnException)
{
    ktest::ZipArchive truncated;
    truncated.Members = {Member("skin.bmp", ktest::BmpBytes(ktest::PositionBitmap(20, 20))),
                         Member("skin.xml", "<KolvarinSkin/>")};
    const std::string whole = ktest::WriteZip(truncated);
    const std::string packages[] = {
        Write("bad/garbage.kskz", "PK\x03\x04 this is not an archive"),
        Write("bad/cut.kskz", whole.substr(0, whole.size() / 2)),
        Write("bad/empty.kskz", ""),
    };
    for (const std::string& package : packages) {
        uint8_t result = kSkinLoaded;
        EXPECT_NO_THROW(result = LoadSkinFromArchive(skin_, package, zip_)) << package;
        EXPECT_EQ(result, kSkinLoadError) << package;
        EXPECT_FALSE(skin_.Loaded);
        EXPECT_FALSE(LastSkinError().empty());
        EXPECT_TRUE(TempIsEmpty());
    }
}

TEST_F(SkinLoadTest, ByNameTheUserFolderAndPackagesComeFirst)
{
    const std::string bmp = ktest::BmpBytes(ktest::PositionBitmap(320, 320));
    auto description = [](int color) {
        return "<KolvarinSkin><Common><TransparentColor Color=\"" + std::to_string(color) +
               "\" /></Common></KolvarinSkin>";
    };
    Write("app/data/skins/one/s.bmp", bmp);
    Write("app/data/skins/one/s.xml", description(1));
    Package("app/data/skins/two.kskz", {Member("s.bmp", bmp), Member("s.xml", description(2))});
    Write("app/data/skins/two/s.bmp", bmp);
    Write("app/data/skins/two/s.xml", description(3));
    Write("user/data/skins/three/s.bmp", bmp);
    Write("user/data/skins/three/s.xml", description(4));
    Write("app/data/skins/three/s.bmp", bmp);
    Write("app/data/skins/three/s.xml", description(5));
    const struct {
        const char* name;
        uint8_t result;
        int color;
    } cases[] = {{"one", kSkinLoaded, 1},        {"two", kSkinLoaded, 2},          {"three", kSkinLoaded, 4},
                 {"four", kSkinFilesMissing, 0}, {"../app", kSkinFilesMissing, 0}, {"", kSkinFilesMissing, 0}};
    for (const auto& c : cases) {
        InitGUI(skin_);
        EXPECT_EQ(LoadSkinByName(skin_, c.name, false, zip_), c.result) << c.name;
        const gdi::Color expected = c.result == kSkinLoaded ? gdi::RGB(uint8_t(c.color), 0, 0) : gdi::RGB(0, 255, 0);
        EXPECT_EQ(skin_.TransparentColor, expected) << c.name;
    }
}

TEST_F(SkinLoadTest, TheBuiltInBitmapDecodedAheadGivesTheSamePictures)
{
    ASSERT_EQ(LoadSkinByName(skin_, "ignored", true, zip_), kSkinLoaded) << LastSkinError();
    const gdi::Bitmap form = skin_.Main.Form.Bitmap;
    const gdi::Bitmap play = skin_.Main.PlayButton.Bitmaps[1];
    // Taken from the thread, then decoded again once it was taken.
    PrepareBuiltinSkinBitmap();
    for (int load = 0; load < 2; ++load) {
        SCOPED_TRACE(load);
        ASSERT_EQ(LoadSkinByName(skin_, "ignored", true, zip_), kSkinLoaded) << LastSkinError();
        for (const auto& [now, before] :
             {std::pair{&skin_.Main.Form.Bitmap, &form}, std::pair{&skin_.Main.PlayButton.Bitmaps[1], &play}}) {
            EXPECT_EQ(now->width(), before->width());
            EXPECT_EQ(now->height(), before->height());
            EXPECT_TRUE(std::ranges::equal(now->bits(), before->bits()));
        }
    }
}

TEST_F(SkinLoadTest, TheBuiltInSkinGivesEveryShownElementItsPictures)
{
    ASSERT_EQ(LoadSkinByName(skin_, "ignored", true, zip_), kSkinLoaded) << LastSkinError();
    const TKSMain& m = skin_.Main;
    for (const TKSButton* b :
         {&m.CloseButton, &m.MinimizeButton, &m.RewindButton, &m.PlayButton, &m.PauseButton, &m.StopButton,
          &m.ForwardButton, &m.EjectButton, &m.ConfigButton, static_cast<const TKSButton*>(&m.MuteCheckbox),
          static_cast<const TKSButton*>(&m.EqualizerCheckbox)})
        for (const gdi::Bitmap& state : b->Bitmaps)
            EXPECT_FALSE(state.empty());
    EXPECT_FALSE(m.Form.Bitmap.empty());
    EXPECT_FALSE(m.Analyzer.Bitmap.empty());
    EXPECT_TRUE(m.ProgressSeekBar.Visible);
    EXPECT_FALSE(m.Balance.BarBitmaps[1].empty());
    for (const gdi::Bitmap& glyph : m.Time.CharBitmaps)
        EXPECT_FALSE(glyph.empty());
    for (const gdi::Bitmap& edge : skin_.Playlist.ResizeForm.EdgeBitmaps)
        EXPECT_FALSE(edge.empty());
    for (const gdi::Bitmap& icon : skin_.Playlist.FileTypeIcons.Bitmaps)
        EXPECT_FALSE(icon.empty());
    for (const TKSSeekBar& band : skin_.MediaControls.Equalizer)
        EXPECT_FALSE(band.BgBitmap.empty());
    EXPECT_FALSE(skin_.Video.CaptionBar.Bitmaps[1].empty());
    EXPECT_FALSE(skin_.VideoFullscreenControl.Form.Bitmap.empty());
    EXPECT_EQ(skin_.VideoFullscreenControl.Align, bpBottom);
}
