// The main-window fixture (in a test_ file, so the folder's glob takes it).
#include "mainformfixture.h"

#include <fstream>

#include <QTest>

#include "core/playlist/kplaylistprocs.h"
#include "core/system/kpaths.h"
#include "forms/useractions.h"
#include "playback/kbass.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "zip/ziphandler.h"

using namespace kolvarin;

namespace ktest {

void MainFormTest::SetUp()
{
    TempHomeTest::SetUp();
    UserPath = home().string() + "/";
    Config = new TKConfig();
    Config->SetDefaults();
    Config->Notifications.ShowMsgBoxOnProblems = false;
    TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
    Config->OFAReadTime = false;
    Config->OFAReadID3Tag = false;
    Playlist = new TKPlaylist();
    PlaylistItemIndex = -1;
    ResetProcessFlags();
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    InitGUI(GUI);
    TZipHandler zip;
    ASSERT_EQ(LoadSkinByName(GUI, kDefaultSkinName, true, zip), kSkinLoaded) << LastSkinError();
    main = std::make_unique<TfrmMain>();
    TKSkinWindows windows;
    windows.Main = main.get();
    ApplySkin(GUI, windows);
    main->show();
    system = new TKSystem();
    PlaySystem = system;
    system->SetView(main.get());
    AppInitialized = true;
}

void MainFormTest::TearDown()
{
    UserActionHooks() = {};
    delete system;
    PlaySystem = nullptr;
    main.reset();
    BASS_Free();
    delete Playlist;
    Playlist = nullptr;
    delete Config;
    Config = nullptr;
    FreeGUI(GUI);
    GUI.Loaded = false;
    ResetProcessFlags();
    TempHomeTest::TearDown();
}

QPoint MainFormTest::Centre(const TKSButton& element)
{
    return {element.FormPos.X + element.Size.Width / 2, element.FormPos.Y + element.Size.Height / 2};
}

void MainFormTest::ClickAt(QPoint point)
{
    QWidget* control = main->childAt(point);
    ASSERT_NE(control, nullptr) << point.x() << "," << point.y();
    QTest::mouseClick(control, Qt::LeftButton, {}, control->mapFrom(main.get(), point));
}

void MainFormTest::PressAndLeave(QPoint point)
{
    QWidget* control = main->childAt(point);
    ASSERT_NE(control, nullptr);
    QTest::mousePress(control, Qt::LeftButton, {}, control->mapFrom(main.get(), point));
    QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(-20, -20));
}

void MainFormTest::WriteSilence(const std::filesystem::path& file, int seconds)
{
    const uint32_t data = static_cast<uint32_t>(seconds) * 44100 * 4;
    std::string bytes = "RIFF";
    auto le = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    le(36 + data, 4);
    bytes += "WAVEfmt ";
    le(16, 4);
    le(1, 2); // PCM
    le(2, 2);
    le(44100, 4);
    le(44100 * 4, 4);
    le(4, 2);
    le(16, 2);
    bytes += "data";
    le(data, 4);
    bytes.append(data, '\0');
    std::ofstream(file, std::ios::binary) << bytes;
}

} // namespace ktest
