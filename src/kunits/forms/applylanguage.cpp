#include "forms/applylanguage.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

#include "core/system/kfiles.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "playback/ksystem.h"

namespace kolvarin {

namespace {

using S = TLanguageSection;

// One text: its section and number, the window and the component (empty:
// the window's caption).
struct TKLanguageTarget {
    TLanguageSection Section;
    int Number;
    const char* Window;
    const char* Component;
};

// In the order of assignment; the video menu's texts go to the video window
// and to the main window's video menu.
constexpr TKLanguageTarget kTargets[] = {
    {S::MainPopupMenu, 1, "frmMain", "AboutKolvarin1"},
    {S::MainPopupMenu, 2, "frmMain", "Configuration1"},
    {S::MainPopupMenu, 3, "frmMain", "Main1"},
    {S::MainPopupMenu, 4, "frmMain", "Mediacontrols1"},
    {S::MainPopupMenu, 5, "frmMain", "Playlistwindow1"},
    {S::MainPopupMenu, 6, "frmMain", "Close1"},
    {S::MainPopupMenu, 7, "frmMain", "Restore1"},
    {S::MainPopupMenu, 8, "frmMain", "Minimize1"},
    {S::MainPopupMenu, 9, "frmMain", "Helpcenter1"},
    {S::MainPopupMenu, 10, "frmMain", "Video1"},
    {S::MainPopupMenu, 11, "frmMain", "Audio1"},
    {S::MainPopupMenu_Help, 1, "frmMain", "Tellafriend1"},
    {S::MainPopupMenu_Help, 2, "frmMain", "Homepage1"},
    {S::MainPopupMenu_Help, 3, "frmMain", "OnlineFAQ1"},
    {S::MainPopupMenu_Help, 4, "frmMain", "Onlinefeedback1"},
    {S::MainPopupMenu_Help, 5, "frmMain", "LiveUpdate1"},
    {S::MainPopupMenu_Help, 6, "frmMain", "News1"},
    {S::MainPopupMenu_Audio, 1, "frmMain", "AudioLiveStream"},
    {S::MainAudioLivestream, 1, "frmMain", "AudioLiveStreamRecord"},
    {S::MainAudioLivestream, 2, "frmMain", "AudioLiveStreamStop"},
    {S::PlaylistPopupMenu, 1, "frmPlaylist", "Addfiles1"},
    {S::PlaylistPopupMenu, 2, "frmPlaylist", "Adddirectory1"},
    {S::PlaylistPopupMenu, 3, "frmPlaylist", "AddDVD1"},
    {S::PlaylistPopupMenu, 4, "frmPlaylist", "AddURL1"},
    {S::PlaylistPopupMenu, 5, "frmPlaylist", "Playitems1"},
    {S::PlaylistPopupMenu, 6, "frmPlaylist", "Edititem1"},
    {S::PlaylistPopupMenu, 7, "frmPlaylist", "RemoveItems1"},
    {S::PlaylistPopupMenu, 8, "frmPlaylist", "CropItems1"},
    {S::PlaylistPopupMenu, 9, "frmPlaylist", "Sort1"},
    {S::PlaylistPopupMenu, 10, "frmPlaylist", "Finditem1"},
    {S::PlaylistPopupMenu, 11, "frmPlaylist", "Selectall1"},
    {S::PlaylistPopupMenu, 12, "frmPlaylist", "Selectnone1"},
    {S::PlaylistPopupMenu, 13, "frmPlaylist", "Invertselection1"},
    {S::PlaylistPopupMenu, 14, "frmPlaylist", "Clearplaylist1"},
    {S::PlaylistPopupMenu, 15, "frmPlaylist", "Loadplaylist1"},
    {S::PlaylistPopupMenu, 16, "frmPlaylist", "Saveplaylist1"},
    {S::PlaylistPopupMenu, 17, "frmPlaylist", "Removefilesfromharddisk1"},
    {S::PlaylistPopupMenu, 18, "frmPlaylist", "RefreshID3Tag1"},
    {S::PlaylistPopupMenu_Sort, 1, "frmPlaylist", "Caption1"},
    {S::PlaylistPopupMenu_Sort, 2, "frmPlaylist", "FileName1"},
    {S::PlaylistPopupMenu_Sort, 3, "frmPlaylist", "Time1"},
    {S::PlaylistPopupMenu_Sort, 4, "frmPlaylist", "Track1"},
    {S::PlaylistPopupMenu_Sort, 5, "frmPlaylist", "Audio1"},
    {S::PlaylistPopupMenu_Sort, 6, "frmPlaylist", "Video1"},
    {S::PlaylistPopupMenu_Sort, 7, "frmPlaylist", "Random1"},
    {S::PlaylistPopupMenu_Sort, 8, "frmPlaylist", "Reverse1"},
    {S::ConfigurationSystem, 2, "frmMain", "None1"},
    {S::ConfigurationSystem, 3, "frmMain", "Repeat1"},
    {S::ConfigurationSystem, 4, "frmMain", "Random1"},
    {S::ConfigurationSystem, 5, "frmMain", "Jumptonextuntilend1"},
    {S::ConfigurationSystem, 6, "frmMain", "JumptonextuntilendLoop1"},
    {S::VideoPopupMenu, 1, "frmVideo", "PreviosChapter1"},
    {S::VideoPopupMenu, 2, "frmVideo", "Previous1"},
    {S::VideoPopupMenu, 3, "frmVideo", "Pause1"},
    {S::VideoPopupMenu, 4, "frmVideo", "Play1"},
    {S::VideoPopupMenu, 5, "frmVideo", "Stop1"},
    {S::VideoPopupMenu, 6, "frmVideo", "Next1"},
    {S::VideoPopupMenu, 7, "frmVideo", "NextChapter1"},
    {S::VideoPopupMenu, 8, "frmVideo", "Forwardspeed1"},
    {S::VideoPopupMenu, 9, "frmVideo", "Backwardspeed1"},
    {S::VideoPopupMenu, 10, "frmVideo", "Mode1"},
    {S::VideoPopupMenu, 10, "frmMain", "Mode1"},
    {S::VideoPopupMenu, 11, "frmVideo", "Ratio1"},
    {S::VideoPopupMenu, 11, "frmMain", "Ratio1"},
    {S::VideoPopupMenu, 12, "frmVideo", "DigitalZoom1"},
    {S::VideoPopupMenu, 13, "frmVideo", "Showmenu1"},
    {S::VideoPopupMenu, 14, "frmVideo", "Audio1"},
    {S::VideoPopupMenu, 15, "frmVideo", "Subtitles1"},
    {S::VideoPopupMenu, 16, "frmVideo", "Jumpto1"},
    {S::VideoPopupMenu, 17, "frmVideo", "Close1"},
    {S::VideoPopupMenu, 18, "frmVideo", "screenshot1"},
    {S::VideoPopupMenu, 19, "frmMain", "MonitorOutput1"},
    {S::VideoPopupMenu, 19, "frmVideo", "MonitorOutput1"},
    {S::VideoPopupMenu_Mode, 1, "frmVideo", "Fullscreen1"},
    {S::VideoPopupMenu_Mode, 1, "frmMain", "Fullscreen1"},
    {S::VideoPopupMenu_Mode, 2, "frmVideo", "Desktopmode1"},
    {S::VideoPopupMenu_Mode, 2, "frmMain", "Desktop1"},
    {S::VideoPopupMenu_Mode, 3, "frmVideo", "Windowmode1"},
    {S::VideoPopupMenu_Mode, 3, "frmMain", "Window1"},
    {S::VideoPopupMenu_Ratio, 1, "frmVideo", "RatStretched"},
    {S::VideoPopupMenu_Ratio, 1, "frmMain", "RatStretched"},
    {S::VideoPopupMenu_Ratio, 2, "frmVideo", "RatLetterbox"},
    {S::VideoPopupMenu_Ratio, 2, "frmMain", "RatLetterbox"},
    {S::VideoPopupMenu_Ratio, 3, "frmVideo", "RatCrop"},
    {S::VideoPopupMenu_Ratio, 3, "frmMain", "RatCrop"},
    {S::VideoPopupMenu_Ratio, 4, "frmVideo", "Rat43"},
    {S::VideoPopupMenu_Ratio, 4, "frmMain", "Rat43"},
    {S::VideoPopupMenu_Ratio, 5, "frmVideo", "Rat54"},
    {S::VideoPopupMenu_Ratio, 5, "frmMain", "Rat54"},
    {S::VideoPopupMenu_Ratio, 6, "frmVideo", "Rat169"},
    {S::VideoPopupMenu_Ratio, 6, "frmMain", "Rat169"},
    {S::VideoPopupMenu_Ratio, 7, "frmVideo", "Rat1610"},
    {S::VideoPopupMenu_Ratio, 7, "frmMain", "Rat1610"},
    {S::VideoPopupMenu_Ratio, 8, "frmVideo", "Rat2351"},
    {S::VideoPopupMenu_Ratio, 8, "frmMain", "Rat2351"},
    {S::VideoPopupMenu_Ratio, 9, "frmVideo", "RatUserdef"},
    {S::VideoPopupMenu_Ratio, 9, "frmMain", "RatUserDef"},
    {S::VideoPopupMenu_DigitalZoom, 1, "frmVideo", "Off1"},
    {S::VideoPopupMenu_DigitalZoom, 2, "frmVideo", "N4X3"},
    {S::VideoPopupMenu_DigitalZoom, 3, "frmVideo", "N9X1"},
    {S::VideoPopupMenu_DigitalZoom, 4, "frmVideo", "N1751"},
    {S::VideoPopupMenu_DigitalZoom, 5, "frmVideo", "N2001"},
    {S::VideoPopupMenu_Showmenu, 1, "frmVideo", "Titlemenu1"},
    {S::VideoPopupMenu_Showmenu, 2, "frmVideo", "Mainmenu1"},
    {S::VideoPopupMenu_Showmenu, 3, "frmVideo", "Subtitlesmenu1"},
    {S::VideoPopupMenu_Showmenu, 4, "frmVideo", "Audiomenu1"},
    {S::VideoPopupMenu_Showmenu, 5, "frmVideo", "Angelsmenu1"},
    {S::VideoPopupMenu_Showmenu, 6, "frmVideo", "Chaptermenu1"},
    {S::VideoPopupMenu_Screenshot, 1, "frmVideo", "Original1"},
    {S::VideoPopupMenu_Screenshot, 2, "frmVideo", "Angepasst1"},
    {S::PlaylistSearch, 1, "frmSearch", ""},
    {S::PlaylistSearch, 2, "frmSearch", "Label1"},
    {S::PlaylistSearch, 3, "frmSearch", "Label2"},
    {S::PlaylistSearch, 4, "frmSearch", "btnCancel"},
    {S::PlaylistSearch, 5, "frmSearch", "btnSelect"},
    {S::PlaylistSearch_For, 1, "frmSearch", "RadioGroup1"},
    {S::EditPlaylistEntry, 1, "frmEditItem", ""},
    {S::EditPlaylistEntry, 2, "frmEditItem", "lblFileName"},
    {S::EditPlaylistEntry, 3, "frmEditItem", "lblIndex"},
    {S::EditPlaylistEntry, 4, "frmEditItem", "tabPlaylistEntry"},
    {S::EditPlaylistEntry, 5, "frmEditItem", "lblPECaption"},
    {S::EditPlaylistEntry, 6, "frmEditItem", "lblPETime"},
    {S::EditPlaylistEntry, 7, "frmEditItem", "lblPETrack"},
    {S::EditPlaylistEntry, 8, "frmEditItem", "cbPEPlayed"},
    {S::EditPlaylistEntry, 9, "frmEditItem", "cbPESelected"},
    {S::EditPlaylistEntry, 10, "frmEditItem", "btnEdit"},
    {S::EditPlaylistEntry, 11, "frmEditItem", "btnCancel"},
    {S::EditPlaylistEntry, 12, "frmEditItem", "btnReload"},
    {S::EditPlaylistEntry, 13, "frmEditItem", "gbPlaylistEntry"},
    {S::EditPlaylistEntry, 14, "frmEditItem", "gbFileInfo"},
    {S::AddCDtoPlaylist, 1, "frmAddDVDVCD", ""},
    {S::AddCDtoPlaylist, 2, "frmAddDVDVCD", "lblDrives"},
    {S::AddCDtoPlaylist, 3, "frmAddDVDVCD", "btnOK"},
    {S::AddCDtoPlaylist, 4, "frmAddDVDVCD", "btnCancel"},
    {S::AddURLtoPlaylist, 1, "frmAddURL", ""},
    {S::AddURLtoPlaylist, 2, "frmAddURL", "Label1"},
    {S::AddURLtoPlaylist, 4, "frmAddURL", "Button1"},
    {S::AddURLtoPlaylist, 5, "frmAddURL", "Button2"},
    {S::EditID3Tag, 1, "frmEditItem", "tsID3v1"},
    {S::EditID3Tag, 2, "frmEditItem", "tsID3v2"},
    {S::EditID3Tag, 3, "frmEditItem", "cbID3V1_Exists"},
    {S::EditID3Tag, 4, "frmEditItem", "cbID3V2_Exists"},
    {S::EditID3Tag, 5, "frmEditItem", "Label1"},
    {S::EditID3Tag, 5, "frmEditItem", "Label8"},
    {S::EditID3Tag, 6, "frmEditItem", "Label2"},
    {S::EditID3Tag, 6, "frmEditItem", "Label9"},
    {S::EditID3Tag, 7, "frmEditItem", "Label3"},
    {S::EditID3Tag, 7, "frmEditItem", "Label10"},
    {S::EditID3Tag, 8, "frmEditItem", "Label4"},
    {S::EditID3Tag, 8, "frmEditItem", "Label11"},
    {S::EditID3Tag, 9, "frmEditItem", "Label5"},
    {S::EditID3Tag, 9, "frmEditItem", "Label12"},
    {S::EditID3Tag, 10, "frmEditItem", "Label6"},
    {S::EditID3Tag, 10, "frmEditItem", "Label13"},
    {S::EditID3Tag, 11, "frmEditItem", "Label7"},
    {S::EditID3Tag, 11, "frmEditItem", "Label14"},
    {S::EditID3Tag, 12, "frmEditItem", "Label15"},
    {S::EditID3Tag, 13, "frmEditItem", "Label16"},
    {S::EditID3Tag, 14, "frmEditItem", "Label17"},
    {S::EditID3Tag, 15, "frmEditItem", "Label18"},
    {S::EditID3Tag, 16, "frmEditItem", "Label19"},
    {S::EditID3Tag, 17, "frmEditItem", "btnID3Tagv1_Convert"},
    {S::EditID3Tag, 18, "frmEditItem", "btnID3Tagv2_Convert"},
    {S::MediaControlsPopupMenu, 1, "frmMediaControls", "DefaultPreset1"},
    {S::MediaControlsPopupMenu, 2, "frmMediaControls", "LoadPreset1"},
    {S::MediaControlsPopupMenu, 3, "frmMediaControls", "SavePreset1"},
    {S::MediaControlsPopupMenu, 4, "frmMediaControls", "Presets1"},
    {S::News, 1, "frmNews", ""},
    {S::News, 2, "frmNews", "btnOK"},
    {S::News, 3, "frmNews", "cbDontShowWindow"},
};

// A tab page takes its text as the tab's label.
bool SetTabText(QWidget& page, const QString& text)
{
    auto* stack = qobject_cast<QStackedWidget*>(page.parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return false;
    tabs->setTabText(tabs->indexOf(&page), text);
    return true;
}

void SetText(QObject& target, const QString& text)
{
    if (auto* menu = qobject_cast<QMenu*>(&target))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(&target))
        action->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&target))
        button->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(&target))
        box->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(&target))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(&target))
        edit->setText(text);
    else if (auto* widget = qobject_cast<QWidget*>(&target))
        SetTabText(*widget, text);
}

// The main window's controls take their hints from the MainHints texts.
void ApplyMainHints(const TKLanguage& texts)
{
    if (!frmMain)
        return;
    TfrmMain& m = *frmMain;
    QWidget* const hinted[] = {
        m.imgCloseButton,
        m.imgMinimizeButton,
        m.imgEjectButton,
        m.imgForwardButton,
        m.imgStopButton,
        m.imgPauseButton,
        m.imgPlayButton,
        m.imgRewindButton,
        m.imgProgressBar,
        m.imgVolume,
        m.imgConfigButton,
        m.imgEqualizerCheckbox,
        m.imgPlaylistCheckbox,
        m.imgPlaymodeCheckbox,
        m.imgAutofullscreenCheckbox,
        m.imgAutoVideoResizeCheckbox,
        m.imgScrolllabel,
        m.imgTime,
        m.imgBalanceBar,
        m.imgMuteCheckbox,
        m.imgProgressSeekbarBar,
        m.imgVolumeSeekbarBar,
    };
    for (int i = 0; i < static_cast<int>(std::size(hinted)); ++i)
        hinted[i]->setToolTip(QString::fromStdU16String(texts.Text(S::MainHints, i + 1)));
}

} // namespace

QString LanguageQText(TLanguageSection section, int number)
{
    return QString::fromStdU16String(Language.Text(section, number));
}

void ApplyPlayTexts(const TKLanguage& texts)
{
    auto status = [&](int number) { return texts.Text(S::Status, number); };
    if (PlaySystem)
        PlaySystem->SetTexts({.Loading = status(14),
                              .Connecting = status(18),
                              .Ready = status(4),
                              .Paused = status(10),
                              .IsPlaying = status(21),
                              .Buffering = status(44)});
    TKDVDCaptionTexts dvd;
    dvd.Disc = status(23);
    dvd.NoDirectory = status(35);
    dvd.File = status(36);
    dvd.Directory = status(41);
    SetDVDCaptionTexts(dvd);
}

void ApplyLanguage(const TKLanguage& texts)
{
    ApplyPlayTexts(texts);
    for (const TKLanguageTarget& t : kTargets) {
        QWidget* window = PlayerWindow(t.Window);
        if (!window)
            continue;
        const QString text = QString::fromStdU16String(texts.Text(t.Section, t.Number));
        if (!*t.Component) {
            window->setWindowTitle(text);
            continue;
        }
        if (QObject* target = window->findChild<QObject*>(QLatin1String(t.Component)))
            SetText(*target, text);
    }
    ApplyMainHints(texts);
}

} // namespace kolvarin
