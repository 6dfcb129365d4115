// Hostile sizes and positions from a skin or from the settings, through the
// configuration dialog's skin change and the window arrangement, on the
// program's own windows: nothing ends the program, every window keeps a size
// and a place the user can reach, and a skin that cannot be shown gives way
// to the built-in one.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "app/kforms.h"
#include "base/bounds.h"
#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "dialogs/configform.h"
#include "forms/appstates.h"
#include "gdi/bmpcodec.h"
#include "skin/kskinload.h"
#include "temphome.h"

namespace kolvarin {
namespace {

// The numbers of a small skin that sizes every window; each row of the
// table below changes some of them.
struct SkinNumbers {
    int mainHeight = 120;
    int closeX = 4;
    int glyphWidth = 10;
    int fontSize = 8;
    int playlistHeight = 232;
    int playlistMinWidth = 320, playlistMinHeight = 116;
    int videoMinWidth = 240, videoMinHeight = 160;
};

std::string Size(const char* name, int width, int height)
{
    return "<" + std::string(name) + " Width=\"" + std::to_string(width) + "\" Height=\"" + std::to_string(height) +
           "\"/>";
}

std::string Description(const SkinNumbers& n)
{
    std::string glyphs;
    for (int i = 0; i < 14; ++i)
        glyphs += "<Char><SkinPos X=\"0\" Y=\"0\"/>" + Size("Size", n.glyphWidth, 18) + "</Char>";
    return "<KolvarinSkin><Forms><Main><Form>" + Size("Size", 300, n.mainHeight) + "</Form><CloseButton><FormPos X=\"" +
           std::to_string(n.closeX) + "\" Y=\"4\"/>" + Size("Size", 8, 8) +
           "<Visible Enabled=\"true\"/></CloseButton><Scrolllabel><FormPos X=\"14\" Y=\"54\"/>" +
           Size("Size", 188, 14) + "<Font Face=\"DejaVu Sans\" Size=\"" + std::to_string(n.fontSize) +
           "\"/></Scrolllabel><Time><FormPos X=\"28\" Y=\"26\"/><Chars>" + glyphs +
           "</Chars><FormBorder Border=\"1\"/></Time></Main><Playlist><ResizeForm>" +
           Size("Size", 320, n.playlistHeight) + Size("DefaultSize", n.playlistMinWidth, n.playlistMinHeight) +
           "</ResizeForm></Playlist><MediaControls><Form>" + Size("Size", 320, 132) +
           "</Form></MediaControls><Video><ResizeForm>" + Size("Size", 400, 300) +
           Size("DefaultSize", n.videoMinWidth, n.videoMinHeight) + "</ResizeForm></Video></Forms></KolvarinSkin>";
}

class HostileSizesTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        UserPath = home().string() + "/";
        Config = new TKConfig();
        Config->SetDefaults();
        forms_.CreateAll();
        Forms = &forms_;
    }
    void TearDown() override
    {
        Forms = nullptr;
        forms_.DestroyAll();
        delete Config;
        Config = nullptr;
        TempHomeTest::TearDown();
    }

    void WriteSkin(const std::string& name, const SkinNumbers& numbers) const
    {
        const auto bmp = gdi::EncodeBmp24(gdi::Bitmap(64, 64));
        dir().write("home/data/skins/" + name + "/skin.bmp", std::string(bmp.begin(), bmp.end()));
        dir().write("home/data/skins/" + name + "/skin.xml", Description(numbers));
    }

    // The settings read from a config.xml whose root holds body.
    void ReadSettings(const std::string& body) const
    {
        const auto file = dir().write("settings.xml", "<KolvarinConfigFile>" + body + "</KolvarinConfigFile>");
        ASSERT_TRUE(Config->LoadFromFile(file.string()));
    }

    TKForms forms_;
};

// Some piece of the window, as large as a caption needs, lies on a screen.
::testing::AssertionResult Reachable(const QWidget& window)
{
    // In 64 bits: a window placed near the int limit must not wrap onto a screen.
    const auto overlap = [](int64_t a, int64_t length, int64_t b, int64_t room) {
        return std::min(a + length, b + room) - std::max(a, b);
    };
    const QRect rect = window.geometry();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        if (overlap(rect.x(), rect.width(), area.x(), area.width()) >= std::min(32, rect.width()) &&
            overlap(rect.y(), rect.height(), area.y(), area.height()) >= std::min(32, rect.height()))
            return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << window.objectName().toStdString() << " at " << rect.x() << "," << rect.y()
                                         << " is on no screen";
}

TEST_F(HostileSizesTest, NoSkinOrSettingEndsTheProgramOrLosesAWindow)
{
    const struct {
        const char* name;
        SkinNumbers skin;
        const char* settings;
        bool kept; // the skin stays; else the built-in one replaces it
    } cases[] = {
        {"glyphs-4000-wide", {.glyphWidth = 4000}, "", true},
        {"playlist-minimum-9000", {.playlistMinWidth = 9000, .playlistMinHeight = 130}, "", true},
        {"playlist-minimum-40000x10", {.playlistMinWidth = 40000, .playlistMinHeight = 10}, "", true},
        {"video-minimum-9000", {.videoMinWidth = 9000, .videoMinHeight = 200}, "", true},
        {"button-at-int-max", {.closeX = INT_MAX}, "", true},
        {"font-beyond-any-size", {.fontSize = 2000000000}, "", true},
        {"playlist-height-negative", {.playlistHeight = -100000}, "", true},
        {"main-height-negative", {.mainHeight = -5}, "", false},
        {"playlist-without-a-height", {.playlistHeight = -100000, .playlistMinHeight = -5}, "", false},
        {"settings-playlist-8193-wide", {}, "<PlaylistSize Width=\"8193\" Height=\"300\"/>", true},
        {"settings-positions-at-int-max",
         {},
         "<PlaylistPos X=\"2147483647\" Y=\"0\"/><MainPos X=\"2147483647\" Y=\"2147483647\"/>"
         "<MediaControlsPos X=\"-2147483648\" Y=\"-2147483648\"/>",
         true},
        {"settings-sizes-negative", {}, "<PlaylistSize Width=\"-100000\" Height=\"-5\"/>", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSkin(c.name, c.skin);
        forms_.ConfigDialog().ApplySkin(c.name);
        EXPECT_EQ(Config->Skin, c.kept ? c.name : kDefaultSkinName);
        // The skin change stored the windows' places; the row's settings
        // replace them.
        Config->SetDefaults();
        ReadSettings(c.settings);
        ArrangeWindows();
        for (TKForms::Form form : {TKForms::frmMain, TKForms::frmPlaylist, TKForms::frmMediaControls, TKForms::frmVideo,
                                   TKForms::frmVideoFullscreenControl}) {
            QWidget& window = *forms_.Get(form);
            SCOPED_TRACE(TKForms::Name(form));
            if (form != TKForms::frmVideoFullscreenControl) {
                EXPECT_GT(window.width(), 0);
                EXPECT_GT(window.height(), 0);
            }
            EXPECT_LE(window.width(), kMaxExtent);
            EXPECT_LE(window.height(), kMaxExtent);
            if (window.isVisible()) {
                EXPECT_TRUE(Reachable(window));
            }
            if (!window.size().isEmpty()) {
                EXPECT_FALSE(window.grab().isNull()) << "painted once";
            }
        }
    }
}

} // namespace
} // namespace kolvarin
