#include "forms/appstates.h"

#include <locale.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/settings/ksystemtypes.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/kfunctions.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "core/text/ktemplates.h"
#include "core/text/kwideformat.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "skin/kdocking.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"
#include "skin/spectrum_vis.h"
#include "video/dskitfiltergraph.h"

namespace kolvarin {

TKAppStateHooks& AppStateHooks()
{
    static TKAppStateHooks hooks;
    return hooks;
}

namespace {

// Texts of the language's NotifiyStatus section.
enum : int {
    txtNoStreams = 1,
    txtMuteActive = 2,
    txtNotPlayed = 4,
    txtNoVideoDecoder = 5,
    txtNoAudioDecoder = 6,
    txtNoSubtitleDecoder = 7,
    txtVideoStream = 8,
    txtAudioStream = 9,
    txtSubtitleStream = 10,
};

const std::u16string& NotifyText(int number) { return Language.Text(TLanguageSection::NotifiyStatus, number); }

void Call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

void SetRange(TKSSeekBar& bar, int64_t min, int64_t max, int64_t value)
{
    bar.Min = min;
    bar.Max = max;
    bar.Value = value;
}

void SetRange(TKSBar& bar, int64_t min, int64_t max, int64_t value)
{
    bar.Min = min;
    bar.Max = max;
    bar.Value = value;
}

// The media-controls window's speed slider and equalizer bands, placed for
// the record's values.
void PlaceMediaControls()
{
    auto* controls = PlayerWindowAs<TKSkinnedMediaControls>("frmMediaControls");
    if (!controls || !GUI.Loaded)
        return;
    TKSMediaControls& m = GUI.MediaControls;
    SkinPlaceSeekBarThumb(GUI, *controls->imgSpeedBackground, *controls->imgSpeedBar, m.SpeedSeekBar);
    for (size_t i = 0; i < m.Equalizer.size(); ++i)
        SkinPlaceSeekBarThumb(GUI, *controls->imgEQBackground[i], *controls->imgEQBar[i], m.Equalizer[i]);
}

// The place the settings give a window of that size, moved onto a screen
// when the user could not reach it there (a screen gone, a hand-edited
// position).
QPoint OnScreen(QPoint place, QSize size)
{
    std::vector<TKWinRect> areas;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        areas.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    const TKWinRect placed = BringOntoScreen({place.x(), place.y(), size.width(), size.height()}, areas);
    return {placed.Left, placed.Top};
}

// Seek, volume and balance elements placed for their values.
void PlaceMainBars()
{
    if (!frmMain || !GUI.Loaded)
        return;
    for (TKTransportPanel* panel : frmMain->Panels())
        panel->PaintBars();
    SkinPlaceSeekBarThumb(GUI, *frmMain->imgBalanceBackground, *frmMain->imgBalanceBar, GUI.Main.Balance);
}

// Step 2 of the start: every element at its start value.
void StartElementStates()
{
    TKSMain& m = GUI.Main;
    TKSVideoFullscreenControl& f = GUI.VideoFullscreenControl;
    const int64_t volume = Config ? Config->Volume : 0;
    SetRange(m.ProgressBar, 0, 100, 0);
    SetRange(m.ProgressSeekBar, 0, 100, 0);
    SetRange(f.ProgressBar, 0, 100, 0);
    SetRange(f.ProgressSeekBar, 0, 100, 0);
    SetRange(m.Volume, 0, 10000, volume);
    SetRange(m.VolumeSeekBar, 0, 10000, volume);
    SetRange(f.Volume, 0, 10000, volume);
    SetRange(f.VolumeSeekBar, 0, 10000, volume);
    SetRange(m.Balance, 0, 200, Config ? Config->Balance : 100);
    SetRange(GUI.MediaControls.SpeedSeekBar, 1, 10, Config ? Config->Speed : 4);
    for (TKSSeekBar& band : GUI.MediaControls.Equalizer)
        SetRange(band, 0, 24, 12);
    if (frmMain && GUI.Loaded) {
        m.PlayButton.State = 1;
        SkinShowButton(GUI, *frmMain->imgPlayButton, m.PlayButton);
        frmMain->imgStatus->SetPicture(m.StatusIconReady.Bitmap);
        frmMain->SetStatusText(StatusLanguageText(txtReady));
    }
    PlaceMainBars();
    PlaceMediaControls();
    GUI.Playlist.Scrollbar.Position = 0;
    Call(AppStateHooks().PlaylistLayout);
    Call(AppStateHooks().VideoLayout);
}

// Step 8: the entry played last selected and in the middle of the view.
void RestoreLastPlayed()
{
    if (!Config || !Config->LastPlayed.Remember || LastPlayedIndex == -1 || LastPlayedIndex >= PlaylistCount())
        return;
    PlaylistDeselectAll();
    if (TKPlaylistEntry* entry = PlaylistGetItem(LastPlayedIndex))
        entry->Selected = true;
    if (UserActionHooks().ScrollPlaylistTo)
        UserActionHooks().ScrollPlaylistTo(LastPlayedIndex);
}

void RepaintLabelsAndTime(bool blankTime)
{
    if (!frmMain || !GUI.Loaded)
        return;
    frmMain->SetStatusText(frmMain->StatusText());
    if (blankTime)
        ShowTimeDigits(-1, -1, -1, false);
}

void ProgramStart()
{
    const bool debug = Config && Config->DebugEnabled;
    if (frmMain)
        frmMain->Debug1->menuAction()->setVisible(debug);
    if (AppStateHooks().DebugEnabled)
        AppStateHooks().DebugEnabled(debug);
    // Takes effect with the graph's next activation, which every play does.
    if (video::TFilterGraph* graph = frmVideo ? frmVideo->FilterGraph() : nullptr)
        graph->SetLogFile(debug ? Utf8ToUtf16(UserPath + "dxlog.txt") : std::u16string());
    StartElementStates();
    PlaylistAnchorFirst = -1;
    PlaylistAnchorSecond = -1;
    PlaylistItemIndex = -1;
    if (frmMain)
        frmMain->SetRecordChecked(false);
    PlaylistClearPlayed();
    ArrangeWindows();
    if (frmMain) {
        frmMain->AddFilesFilter = QtFileDialogFilter(OpenDialogFilter());
        frmMain->SetStatusText(StatusLanguageText(txtReady));
    }
    RepaintLabelsAndTime(true);
    if (Config && Config->AutoLiveUpdate && frmMain)
        frmMain->LiveUpdate1Click(true);
    RestoreLastPlayed();
    Call(AppStateHooks().PlaylistRepaint);
    if (PlaySystem)
        PlaySystem->SetBassBuffer();
}

void ProgramEnd()
{
    if (!Config)
        return;
    if (frmMain)
        Config->MainPos = {frmMain->x(), frmMain->y()};
    if (QWidget* playlist = PlayerWindow("frmPlaylist")) {
        Config->PlaylistSize.Width = playlist->width();
        Config->PlaylistSize.Height = playlist->height();
        // Placed by its client area (setGeometry), so stored by it too.
        Config->PlaylistPos = {playlist->geometry().x(), playlist->geometry().y()};
    }
    if (QWidget* controls = PlayerWindow("frmMediaControls"))
        Config->MediaControlsPos = {controls->x(), controls->y()};
}

void SkinChange()
{
    if (frmMain && GUI.Loaded) {
        // The play button shows its pressed image while paused.
        GUI.Main.PlayButton.State = SysPaused ? 3 : 1;
        SkinShowButton(GUI, *frmMain->imgPlayButton, GUI.Main.PlayButton);
        frmMain->SetStatusText(StatusLanguageText(txtReady));
    }
    RepaintLabelsAndTime(!SysPlayed && !SysPaused);
    PlaceMainBars();
    PlaceMediaControls();
    // The windows stay where the user has them: the settings take their
    // places first (they hold those of the last end otherwise).
    ProgramEnd();
    ArrangeWindows();
    Call(AppStateHooks().PlaylistLayout);
    Call(AppStateHooks().PlaylistRepaint);
    Call(AppStateHooks().VideoLayout);
    if (frmMain && frmMain->Spectrum && Config) {
        const auto& s = Config->Spectrum;
        ConfigureSpectrum(*frmMain->Spectrum, GUI.Main.Analyzer, s.Type, s.PeaksFallOff, s.LinesFallOff, s.ShowPeaks,
                          s.Blur);
    }
}

} // namespace

void ShowStartStates()
{
    StartElementStates();
    RepaintLabelsAndTime(true);
}

void SetApplicationState(const std::string& state)
{
    if (state == "PROGRAMMSTART")
        ProgramStart();
    else if (state == "SKINCHANGE")
        SkinChange();
    else if (state == "PROGRAMEND")
        ProgramEnd();
}

void ArrangeWindows()
{
    if (!Config)
        return;
    QWidget* playlist = PlayerWindow("frmPlaylist");
    QWidget* controls = PlayerWindow("frmMediaControls");
    if (frmMain) {
        TKSMain& m = GUI.Main;
        const std::pair<TKImage*, std::pair<TKSCheckbox*, bool>> boxes[] = {
            {frmMain->imgPlaylistCheckbox, {&m.PlaylistCheckbox, Config->PlaylistVis}},
            {frmMain->imgEqualizerCheckbox, {&m.EqualizerCheckbox, Config->MediaConVis}},
            {frmMain->imgMuteCheckbox, {&m.MuteCheckbox, Config->Mute}},
            {frmMain->imgPlaymodeCheckbox, {&m.PlaymodeCheckbox, Config->PlayMode.Enabled}},
            {frmMain->imgAutofullscreenCheckbox, {&m.AutofullscreenCheckbox, Config->AutoFullscreen}},
            {frmMain->imgAutoVideoResizeCheckbox, {&m.AutoVideoResizeCheckbox, Config->AutoVideoResize}},
        };
        for (const auto& [control, box] : boxes)
            frmMain->SetCheckbox(*control, *box.first, box.second);
        frmMain->move(OnScreen({Config->MainPos.X, Config->MainPos.Y}, frmMain->size()));
        frmMain->Main1->setChecked(Config->MainVis);
        frmMain->Mediacontrols1->setChecked(Config->MediaConVis);
        frmMain->Playlistwindow1->setChecked(Config->PlaylistVis);
        for (QAction* a : {frmMain->Main1, frmMain->Mediacontrols1, frmMain->Playlistwindow1})
            a->setEnabled(true);
    }
    if (playlist) {
        const TKSSize min = GUI.Playlist.ResizeForm.DefaultSize;
        playlist->setMinimumSize(std::max(min.Width, 0), std::max(min.Height, 0));
        const QSize size(std::max(Config->PlaylistSize.Width, min.Width),
                         std::max(Config->PlaylistSize.Height, min.Height));
        playlist->setGeometry(QRect(OnScreen({Config->PlaylistPos.X, Config->PlaylistPos.Y}, size), size));
    }
    if (controls)
        controls->move(OnScreen({Config->MediaControlsPos.X, Config->MediaControlsPos.Y}, controls->size()));
    if (frmMain)
        frmMain->setVisible(Config->MainVis);
    if (playlist)
        playlist->setVisible(Config->PlaylistVis);
    if (controls)
        controls->setVisible(Config->MediaConVis);
    SetTrayMode();
    // The settings number the movement modes differently from the labels.
    static constexpr uint8_t kScrollModes[] = {smStatic, smLeft, smRight};
    const int prog = Config->SLMoveProg;
    if (prog >= 0 && prog <= 2) {
        GUI.Main.Scrolllabel.Mode = kScrollModes[prog];
        GUI.VideoFullscreenControl.Scrolllabel.Mode = kScrollModes[prog];
    }
    for (size_t i = 0; i < GUI.MediaControls.Equalizer.size(); ++i)
        GUI.MediaControls.Equalizer[i].Value = Config->Equalizer[i];
    PlaceMediaControls();
    GUI.Playlist.Statusbar.Hidden = Config->SBTextAlign == 0;
    Call(AppStateHooks().PlaylistLayout);
}

// --- the open-dialog filter --------------------------------------------------------

namespace {

std::vector<std::u16string> ExtensionsOf(TSystemType type)
{
    std::vector<std::u16string> out;
    for (const TFormatTable& table : FormatTables())
        if (table.Type == type)
            for (size_t i = 1; i < table.Extensions.size(); ++i)
                out.push_back(u"*" + Utf8ToUtf16(table.Extensions[i]));
    return out;
}

std::u16string Joined(const std::vector<std::u16string>& patterns)
{
    std::u16string text;
    for (const std::u16string& p : patterns)
        text += (text.empty() ? u"" : u";") + p;
    return text;
}

} // namespace

std::u16string OpenDialogFilter()
{
    const TSystemType all[] = {TSystemType::BassFile, TSystemType::DirectXVideo, TSystemType::DirectXAudio,
                               TSystemType::DVD, TSystemType::CDTrack};
    std::vector<std::u16string> every;
    for (TSystemType type : all)
        for (const std::u16string& p : ExtensionsOf(type))
            every.push_back(p);
    std::u16string filter = u"All media files|" + Joined(every);
    const std::pair<const char16_t*, TSystemType> kinds[] = {
        {u"|Audio streams|", TSystemType::BassFile},
        {u"|Music CD files|", TSystemType::CDTrack},
        {u"|DirectX Audio files|", TSystemType::DirectXAudio},
        {u"|DirectX Video files|", TSystemType::DirectXVideo},
        {u"|DVD files|", TSystemType::DVD},
    };
    for (const auto& [name, type] : kinds)
        filter += name + Joined(ExtensionsOf(type));
    return filter + u"|Playlist files|*.kpl;*.pls;*.m3u";
}

QString QtFileDialogFilter(const std::u16string& filter)
{
    const QStringList parts = QString::fromStdU16String(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        // File names here keep their letter case; offer both spellings.
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'))) {
            patterns << p.toLower();
            if (p.toUpper() != p.toLower())
                patterns << p.toUpper();
        }
        patterns.removeDuplicates();
        entries << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

// --- time texts and digits ---------------------------------------------------------

std::u16string FormatTime(int hours, int minutes, int seconds)
{
    return WideFormat(u"%.2d:%.2d:%.2d", hours, minutes, seconds);
}

std::u16string SecondsToTimeText(int64_t s)
{
    return WideFormat(u"%.2d:%.2d:%.2d", s / 3600, (s % 3600) / 60, (s % 3600) % 60);
}

std::array<int, 6> TimeDigits(int hours, int minutes, int seconds)
{
    std::array<int, 6> digits;
    digits.fill(-1);
    if (hours == -1 || minutes == -1 || seconds == -1)
        return digits;
    const int values[3] = {hours, minutes, seconds};
    for (size_t i = 0; i < 3; ++i) {
        const std::string text = std::to_string(values[i]).substr(0, 2);
        digits[2 * i] = text.size() > 1 ? text[0] - '0' : 0;
        digits[2 * i + 1] = text.back() - '0';
    }
    return digits;
}

void ShowTimeDigits(int hours, int minutes, int seconds, bool negative)
{
    if (!frmMain || !GUI.Loaded)
        return;
    const std::array<int, 6> digits = TimeDigits(hours, minutes, seconds);
    for (TKTransportPanel* panel : frmMain->Panels())
        panel->ShowTime(digits, negative);
}

// --- media information ---------------------------------------------------------------

namespace {

// Numbers print with a decimal point on this thread while it lives, whatever
// the user's locale.
class TPointDecimals {
public:
    TPointDecimals() : c_(newlocale(LC_NUMERIC_MASK, "C", nullptr)), kept_(c_ ? uselocale(c_) : nullptr) {}
    ~TPointDecimals()
    {
        if (!c_)
            return;
        uselocale(kept_);
        freelocale(c_);
    }
    TPointDecimals(const TPointDecimals&) = delete;
    TPointDecimals& operator=(const TPointDecimals&) = delete;

private:
    locale_t c_;
    locale_t kept_;
};

} // namespace

std::u16string BuildStreamInfoText(const std::vector<TKStreamInfo>& infos)
{
    const TPointDecimals points;
    std::u16string text;
    for (const TKStreamInfo& info : infos) {
        const std::u16string codec = Utf8ToUtf16(info.Codec);
        std::u16string line;
        if (info.Valid && info.Kind == 1) {
            line = WideFormat(NotifyText(txtVideoStream), codec, info.Width, info.Height, info.BitDepth);
        } else if (info.Valid && info.Kind == 2) {
            line = WideFormat(NotifyText(txtAudioStream), codec, info.Channels, info.BitrateKbps, info.SampleRateKHz);
        } else if (info.Valid && info.Kind == 3) {
            line = WideFormat(NotifyText(txtSubtitleStream), codec, Utf8ToUtf16(info.Language), info.TrackName);
        } else if (!info.Valid && !info.MissingDecoders.empty()) {
            const TKMissingDecoder& missing = info.MissingDecoders.front();
            const int number = missing.Kind == 1   ? txtNoVideoDecoder
                               : missing.Kind == 2 ? txtNoAudioDecoder
                               : missing.Kind == 3 ? txtNoSubtitleDecoder
                                                   : 0;
            if (number != 0)
                line = WideFormat(NotifyText(number), Utf8ToUtf16(missing.Format));
        }
        if (!line.empty())
            text += line + u"\r\n";
    }
    return text;
}

namespace {

std::u16string FilledTemplate(const std::u16string& text, const TKPlaylistEntry& entry, const std::u16string& streams)
{
    std::u16string out = TrimWide(text);
    const std::u16string name = entry.FileName.substr(entry.FileName.find_last_of(u"/\\") + 1);
    const std::pair<std::u16string, std::u16string> fields[] = {
        {u"%FILENAME%", name},
        {u"%CAPTION%", entry.Caption},
        {u"%TIME%", Utf8ToUtf16(entry.Time)},
        {u"%STREAMINFOS%", streams},
    };
    for (const auto& [key, value] : fields)
        for (size_t at = out.find(key); at != std::u16string::npos; at = out.find(key, at + value.size()))
            out.replace(at, key.size(), value);
    return out;
}

} // namespace

void ShowMediaInfo(const std::vector<TKStreamInfo>& infos, const TKPlaylistEntry& entry)
{
    if (!Config)
        return;
    std::u16string streams = BuildStreamInfoText(infos);
    if (streams.empty())
        streams = NotifyText(txtNoStreams);
    size_t selected = 0;
    for (const TKStreamInfo& info : infos)
        selected += info.Valid ? 1 : 0;
    const auto& n = Config->Notifications;
    if (n.ShowMediaInfoBalloon && selected > 0 && frmMain) {
        std::u16string text = Config->Mute ? NotifyText(txtMuteActive) + u"\r\n" : std::u16string();
        text += FilledTemplate(BalloonTemplate ? BalloonTemplate->Text : DefaultBalloonTemplate, entry, streams);
        frmMain->KTrayIcon1.ShowBalloonHint(u"Kolvarin Media Player", text, selected == infos.size() ? 1 : 2, 10);
    }
    if (n.ShowMediaInfoOSD) {
        ShowOSD(FilledTemplate(OSDTemplate ? OSDTemplate->Text : DefaultOSDTemplate, entry, streams));
        StartOSDTimer(10000);
    }
    if (n.ShowBalloonOnProblems && selected == 0 && frmMain) {
        const std::u16string name = entry.FileName.substr(entry.FileName.find_last_of(u"/\\") + 1);
        frmMain->KTrayIcon1.ShowBalloonHint(
            u"Kolvarin Media Player", WideFormat(NotifyText(txtNotPlayed), name) + u"\r\n" + streams + u"\r\n", 3, 10);
    }
}

} // namespace kolvarin
