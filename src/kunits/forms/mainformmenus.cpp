// The main window's popup menus, tray icon, window events and caption bars.
#include <filesystem>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QEvent>
#include <QProcess>

#include "core/desktop/kshellutils.h"
#include "core/settings/kconfig.h"
#include "core/system/kerrors.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dialogs/aboutform.h"
#include "dialogs/configfollow.h"
#include "dialogs/configform.h"
#include "dialogs/newsform.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/videogeometry.h"
#include "forms/videomenus.h"
#include "playback/ksystem.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"

namespace kolvarin {

namespace {

constexpr char16_t kHomepage[] = u"https://www.kolvarin.org/";
constexpr char16_t kFAQ[] = u"https://www.kolvarin.org/faq";
constexpr char16_t kFeedback[] = u"https://www.kolvarin.org/feedback";
constexpr char kLiveUpdate[] = "kolvupdate.exe";

QAction* Item(QMenu* menu, const char* name, const char16_t* caption)
{
    QAction* action = menu->addAction(QString::fromStdU16String(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* Submenu(QMenu* menu, const char* name, const char16_t* caption)
{
    QMenu* sub = menu->addMenu(QString::fromStdU16String(caption));
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name));
    return sub;
}

} // namespace

void TfrmMain::CreateMenus()
{
    QMenu* m = popmMain;
    AboutKolvarin1 = Item(m, "AboutKolvarin1", u"About Kolvarin");
    Helpcenter1 = Submenu(m, "Helpcenter1", u"Help center");
    Tellafriend1 = Item(Helpcenter1, "Tellafriend1", u"Tell a friend...");
    Helpcenter1->addSeparator();
    News1 = Item(Helpcenter1, "News1", u"News");
    Homepage1 = Item(Helpcenter1, "Homepage1", u"Homepage");
    OnlineFAQ1 = Item(Helpcenter1, "OnlineFAQ1", u"Online FAQ");
    Onlinefeedback1 = Item(Helpcenter1, "Onlinefeedback1", u"Online feedback");
    Helpcenter1->addSeparator();
    LiveUpdate1 = Item(Helpcenter1, "LiveUpdate1", u"LiveUpdate!");
    m->addSeparator();
    Configuration1 = Item(m, "Configuration1", u"Configuration...");
    m->addSeparator();
    Main1 = Item(m, "Main1", u"Main window");
    Mediacontrols1 = Item(m, "Mediacontrols1", u"Mediacontrols window");
    Playlistwindow1 = Item(m, "Playlistwindow1", u"Playlist window");
    for (QAction* a : {Main1, Mediacontrols1, Playlistwindow1})
        a->setCheckable(true);
    m->addSeparator();
    Video1 = Submenu(m, "Video1", u"Video");
    Video1->menuAction()->setEnabled(false);
    Mode1 = Submenu(Video1, "Mode1", u"Mode");
    Fullscreen1 = Item(Mode1, "Fullscreen1", u"Fullscreen");
    Desktop1 = Item(Mode1, "Desktop1", u"Desktop");
    Window1 = Item(Mode1, "Window1", u"Window");
    Ratio1 = Submenu(Video1, "Ratio1", u"Ratio");
    RatStretched = Item(Ratio1, "RatStretched", u"Stretched");
    RatLetterbox = Item(Ratio1, "RatLetterbox", u"Letter Box");
    RatCrop = Item(Ratio1, "RatCrop", u"Crop");
    Ratio1->addSeparator();
    Rat43 = Item(Ratio1, "Rat43", u"4:3");
    Rat54 = Item(Ratio1, "Rat54", u"5:4");
    Rat169 = Item(Ratio1, "Rat169", u"16:9");
    Rat1610 = Item(Ratio1, "Rat1610", u"16:10");
    Rat2351 = Item(Ratio1, "Rat2351", u"2.35:1");
    RatUserDef = Item(Ratio1, "RatUserDef", u"Userdefinied");
    // Each ratio item carries the stored mode it stands for: the video
    // window's item of the same mode is its command, whatever their places.
    const std::pair<QAction*, TKRatioMode> ratios[] = {
        {RatStretched, rmStretched},
        {RatLetterbox, rmLetterbox},
        {RatCrop, rmCrop},
        {Rat43, rm43},
        {Rat54, rm54},
        {Rat169, rm169},
        {Rat1610, rm1610},
        {Rat2351, rm2351},
        {RatUserDef, rmUserdef},
    };
    for (const auto& [item, mode] : ratios)
        SetItemTag(item, mode);
    // The video commands tick these items, one of each menu at a time.
    for (QMenu* menu : {Mode1, Ratio1})
        for (QAction* item : MenuItems(*menu))
            item->setCheckable(true);
    MonitorOutput1 = Submenu(Video1, "MonitorOutput1", u"Monitor output");
    Audio1 = Submenu(m, "Audio1", u"Audio");
    Audio1->menuAction()->setEnabled(false);
    AudioLiveStream = Submenu(Audio1, "AudioLiveStream", u"Livestream");
    AudioLiveStreamRecord = Item(AudioLiveStream, "AudioLiveStreamRecord", u"Record");
    AudioLiveStreamStop = Item(AudioLiveStream, "AudioLiveStreamStop", u"Stop");
    AudioLiveStreamRecord->setCheckable(true);
    AudioLiveStreamStop->setCheckable(true);
    AudioLiveStreamStop->setChecked(true);
    m->addSeparator();
    Restore1 = Item(m, "Restore1", u"Restore");
    Minimize1 = Item(m, "Minimize1", u"Minimize");
    m->addSeparator();
    Close1 = Item(m, "Close1", u"Close");
    Autoliveupdate1 = Item(m, "Autoliveupdate1", u"Autoliveupdate (invis)");
    Autoliveupdate1->setVisible(false);
    Debug1 = Submenu(m, "Debug1", u"Debug");
    Debug1->menuAction()->setVisible(false);
    const std::pair<QAction*, size_t> images[] = {
        {AboutKolvarin1, 0}, {Helpcenter1->menuAction(), 1},
        {Configuration1, 2}, {Close1, 3},
        {LiveUpdate1, 4},    {Minimize1, 5},
        {Restore1, 6},       {Fullscreen1, 7},
        {Desktop1, 8},       {Window1, 9},
    };
    for (const auto& [item, image] : images)
        item->setIcon(imglstPopmMain[image]);

    popmPlaymode = new QMenu(this);
    popmPlaymode->setObjectName(QStringLiteral("popmPlaymode"));
    const std::pair<const char*, const char16_t*> playModes[] = {
        {"None1", u"None"},
        {"Repeat1", u"Repeat"},
        {"Random1", u"Random"},
        {"Jumptonextuntilend1", u"Jump to next until end"},
        {"JumptonextuntilendLoop1", u"Jump to next until end (Loop)"},
    };
    for (size_t i = 0; i < PlaymodeItems.size(); ++i) {
        PlaymodeItems[i] = Item(popmPlaymode, playModes[i].first, playModes[i].second);
        PlaymodeItems[i]->setCheckable(true);
        QObject::connect(PlaymodeItems[i], &QAction::triggered, this, [this, i] { SetPlayMode(static_cast<int>(i)); });
    }
    QObject::connect(popmPlaymode, &QMenu::aboutToShow, this, [this] {
        const int mode = Config && Config->PlayMode.Enabled ? Config->PlayMode.Mode : 0;
        for (size_t i = 0; i < PlaymodeItems.size(); ++i)
            PlaymodeItems[i]->setChecked(static_cast<int>(i) == mode);
    });

    const std::pair<QAction*, void (TfrmMain::*)()> handlers[] = {
        {Main1, &TfrmMain::Main1Click},
        {Mediacontrols1, &TfrmMain::Mediacontrols1Click},
        {Playlistwindow1, &TfrmMain::Playlistwindow1Click},
        {Restore1, &TfrmMain::Restore1Click},
        {Minimize1, &TfrmMain::Minimize1Click},
        {Close1, &TfrmMain::Close1Click},
        {Tellafriend1, &TfrmMain::Tellafriend1Click},
        {AudioLiveStreamRecord, &TfrmMain::AudioLiveStreamRecordClick},
        {AudioLiveStreamStop, &TfrmMain::AudioLiveStreamStopClick},
    };
    for (const auto& [action, handler] : handlers)
        QObject::connect(action, &QAction::triggered, this, handler);
    QObject::connect(AboutKolvarin1, &QAction::triggered, this, [this] { ShowAboutWindow(this); });
    QObject::connect(Configuration1, &QAction::triggered, this, [] { ShowConfigDialog(nullptr); });
    QObject::connect(News1, &QAction::triggered, this, [] {
        if (frmNews)
            frmNews->ShowNews(true);
    });
    QObject::connect(Homepage1, &QAction::triggered, this, [] { OpenURL(kHomepage); });
    QObject::connect(OnlineFAQ1, &QAction::triggered, this, [] { OpenURL(kFAQ); });
    QObject::connect(Onlinefeedback1, &QAction::triggered, this, [] { OpenURL(kFeedback); });
    QObject::connect(LiveUpdate1, &QAction::triggered, this, [this] { LiveUpdate1Click(false); });
    QObject::connect(Autoliveupdate1, &QAction::triggered, this, [this] { LiveUpdate1Click(true); });

    // The background and the caption open the main menu on a right click.
    for (TKControl* surface : {static_cast<TKControl*>(imgForm), static_cast<TKControl*>(imgCaptionbar)}) {
        TKControl::MouseButtonEvent mover = surface->OnMouseDown;
        surface->OnMouseDown = [this, mover](TKControl& c, TMouseButton button, TShiftState shift, int x, int y) {
            mover(c, button, shift, x, y);
            if (button == TMouseButton::mbRight)
                popmMain->popup(QCursor::pos());
        };
    }
    imgPlaymodeCheckbox->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(imgPlaymodeCheckbox, &QWidget::customContextMenuRequested, this,
                     [this] { popmPlaymode->popup(QCursor::pos()); });
    KTrayIcon1.OnMouseDown = [this](TMouseButton button, TShiftState, int, int) {
        if (button == TMouseButton::mbLeft)
            Restore1Click();
    };
}

// --- menu items ------------------------------------------------------------------

void TfrmMain::Main1Click()
{
    const bool on = !(Config ? Config->MainVis : isVisible());
    if (Config)
        Config->MainVis = on;
    Main1->setChecked(on);
    setVisible(on);
}

void TfrmMain::Mediacontrols1Click()
{
    const bool on = Config ? !Config->MediaConVis : !Mediacontrols1->isChecked();
    if (Config)
        Config->MediaConVis = on;
    Mediacontrols1->setChecked(on);
    SetMediaControlsVisible(on);
    SetCheckbox(*imgEqualizerCheckbox, Skin().Main.EqualizerCheckbox, on);
}

void TfrmMain::Playlistwindow1Click()
{
    const bool on = Config ? !Config->PlaylistVis : !Playlistwindow1->isChecked();
    if (Config)
        Config->PlaylistVis = on;
    Playlistwindow1->setChecked(on);
    SetPlaylistVisible(on);
    SetCheckbox(*imgPlaylistCheckbox, Skin().Main.PlaylistCheckbox, on);
}

void TfrmMain::Restore1Click() { BringApplicationToFront(); }

void TfrmMain::Minimize1Click() { MinimizeApplication(); }

std::u16string TfrmMain::TellAFriendLink()
{
    auto text = [](int n) { return Language.Text(TLanguageSection::MainTellafriend, n); };
    std::u16string link = u"mailto:" + text(2) + u"?subject=" + text(1) + u"&body=";
    for (int line = 3; line <= 10; ++line)
        link += text(line) + u"<br>";
    return link;
}

void TfrmMain::Tellafriend1Click() { OpenURL(TellAFriendLink()); }

void TfrmMain::LiveUpdate1Click(bool autoStart)
{
    const std::string program = ApplicationPath + kLiveUpdate;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(program, ec)) {
        ShowError(TKErrorCode::LiveUpdateMissing, u"TKLiveUpdate", u"", false);
        return;
    }
    QStringList arguments;
    if (autoStart)
        arguments << QStringLiteral("/autostart");
    QProcess::startDetached(QString::fromStdString(program), arguments);
}

void TfrmMain::AudioLiveStreamRecordClick()
{
    AudioLiveStreamRecord->setChecked(true);
    AudioLiveStreamStop->setChecked(false);
    if (PlaySystem)
        PlaySystem->AudioLiveStreamRecord();
}

void TfrmMain::AudioLiveStreamStopClick()
{
    AudioLiveStreamRecord->setChecked(false);
    AudioLiveStreamStop->setChecked(true);
    if (PlaySystem)
        PlaySystem->AudioLiveStreamStop();
}

void TfrmMain::SetPlayMode(int mode)
{
    const bool on = mode > 0;
    if (Config) {
        if (on)
            Config->PlayMode.Mode = static_cast<uint8_t>(mode);
        Config->PlayMode.Enabled = on;
    }
    ConfigControlFollows("rgPlaymode", mode);
    SetCheckbox(*imgPlaymodeCheckbox, Skin().Main.PlaymodeCheckbox, on);
    for (size_t i = 0; i < PlaymodeItems.size(); ++i)
        PlaymodeItems[i]->setChecked(static_cast<int>(i) == mode);
}

// --- window events ------------------------------------------------------------------

void TfrmMain::FormActivate()
{
    if (!AppInitialized || AppKilled)
        return;
    ShowCaptionsActive(Skin(), this);
    for (const char* name : {"frmPlaylist", "frmMediaControls"})
        if (QWidget* w = PlayerWindow(name); w && w->isVisible())
            w->raise();
    if (isVisible())
        raise();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    TKSkinnedMain::showEvent(event);
    Restore1->setEnabled(false);
    Minimize1->setEnabled(true);
    Main1->setChecked(true);
    if (Config)
        Config->MainVis = true;
}

void TfrmMain::hideEvent(QHideEvent* event)
{
    TKSkinnedMain::hideEvent(event);
    // Minimising hides too; only a real hide switches the window off.
    if (isMinimized())
        return;
    Main1->setChecked(false);
    if (Config)
        Config->MainVis = false;
    if (PlaySystem && AppInitialized && !AppKilled)
        PlaySystem->SwapMemory();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Close1Click();
}

void TfrmMain::changeEvent(QEvent* event)
{
    TKSkinnedMain::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Restore1->setEnabled(isMinimized());
        Minimize1->setEnabled(!isMinimized());
        SetTrayMode();
    } else if (event->type() == QEvent::ActivationChange && !QApplication::activeWindow() && AppInitialized &&
               !AppKilled) {
        // The program lost the focus: every caption bar inactive.
        ShowCaptionsActive(Skin(), nullptr);
    }
}

} // namespace kolvarin
