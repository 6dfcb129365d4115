// The video window's part of preparing a medium: its menus of streams,
// filters and monitors, the defaults, the stepping hot keys and the
// on-screen text.
#include <QGuiApplication>
#include <QScreen>

#include "core/desktop/kshellutils.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "forms/videogeometry.h"
#include "forms/videoosd.h"
#include "gdi/canvas.h"
#include "media/controlif.h"
#include "playback/ksystem.h"
#include "skin/kskinapply.h"

namespace kolvarin {

namespace {

// Status texts (from 1).
constexpr int kTextAudiostream = 33, kTextSubtitlestream = 34, kTextMonitor = 45, kTextPrimaryMonitor = 46,
              kTextAspectRatio = 47;
// The subtitle menu's "off" item (VideoPopupMenu_Subtitles).
constexpr int kTextSubtitlesOff = 2;

TSystemType CurrentType() { return PlaySystem ? PlaySystem->SystemType() : TSystemType::None; }

bool FileOrStream(TSystemType type) { return type == TSystemType::DirectXVideo || type == TSystemType::DirectXStream; }

void Click(QAction* item)
{
    if (item)
        item->trigger();
}

} // namespace

// --- the video side's calls ------------------------------------------------------

void TfrmVideo::ApplyColorControls()
{
    if (!Config)
        return;
    const auto& c = Config->VideoColorControls;
    video::TColorControl& colours = DSVideoWindowEx->ColorControl();
    try {
        colours.SetBrightness(c.Brightness);
        colours.SetContrast(c.Contrast);
        colours.SetHue(c.Hue);
        colours.SetSaturation(c.Saturation);
        colours.SetSharpness(c.Sharpness);
        colours.SetGamma(c.Gamma);
    } catch (const std::runtime_error&) {
        // A stored value out of range leaves the control's own.
    }
}

void TfrmVideo::VideoPrepared(bool hasVideo, bool dvd)
{
    const char* proc = "TKSystem.PrepareVideo";
    VideoSpectrumData.fill(0);
    if (video::TFilterGraph* graph = FilterGraph())
        graph->OnDSEvent = [this](int32_t code, intptr_t, intptr_t) { FilterGraphDSEvent(code); };
    streams_ = FindGraphFilters(FilterGraph() ? FilterGraph()->Query<media::IFilterGraph>().get() : nullptr);
    Log(proc, "Clear audio streams in menuitem");
    Menu.Audio1->clear();
    Log(proc, "Clear subtitle streams in menuitem");
    Menu.Subtitles1->clear();
    Log(proc, "Clear jump to in menuitem");
    Menu.Jumpto1->clear();
    Log(proc, "Clear monitor output menuitem");
    Menu.MonitorOutput1->clear();
    bool hasAudio = false, hasSubtitles = false;
    Log(proc, "Get directshow media properties...");
    GetMediaProperties(hasAudio, hasSubtitles);
    Log(proc, "Set video color control...");
    ApplyColorControls();
    if (dvd)
        PrepareDvd();
    Log(proc, "Check if video is present...");
    if (!hasVideo) {
        Log(proc, "Check if video is present failed!");
        Log(proc, "Disable video window");
        hide();
        Log(proc, "-- Video disabled");
    } else {
        ShowVideo(dvd, hasAudio, hasSubtitles);
    }
    Log(proc, "Get filters from graph...");
    BuildFilterMenu();
    LogMediaProperties();
    if (streams_.Subtitles)
        streams_.Subtitles->put_HideSubtitles(true);
    OSDTimer.start();
}

void TfrmVideo::ShowVideo(bool dvd, bool hasAudio, bool hasSubtitles)
{
    const char* proc = "TKSystem.PrepareVideo";
    Log(proc, "Show video window...");
    Log(proc, "Set window zoom...");
    SetWindowZoom(100, false);
    Log(proc, dvd ? "DVD mode, assign menu image" : "Media mode, assign menu image");
    SkinApplyPopup(Skin(), *Menu.popmVideo, dvd ? Skin().Video.DVDPopupBackground : Skin().Video.VideoPopupBackground);
    Log(proc, "Refresh output monitors...");
    RefreshOutputMonitors();
    Log(proc, "Set video menu...");
    UpdateVideoMenu();
    const bool autoFullscreen = Config && Config->AutoFullscreen;
    if (VideoDisplayMode == vdmNone) {
        Log(proc, "Videomode is none");
        Log(proc, autoFullscreen ? "-- Autofullscreen active" : "-- Autofullscreen inactive");
        autoFullscreen ? Fullscreen1Click() : Windowmode1Click();
        Log(proc, "Disable digital zoom...");
        SetDigitalZoom(0);
    } else if (autoFullscreen) {
        Fullscreen1Click();
    } else {
        Log(proc, "Handle video mode...");
        if (VideoDisplayMode == vdmFullscreen)
            Fullscreen1Click();
        else
            VideoDisplayMode == vdmDesktop ? Desktopmode1Click() : Windowmode1Click();
    }
    Log(proc, "Set video menu states...");
    Menu.Showmenu1->menuAction()->setVisible(dvd);
    Menu.Jumpto1->menuAction()->setVisible(dvd);
    Menu.Audio1->menuAction()->setVisible(dvd || hasAudio);
    Menu.Subtitles1->menuAction()->setVisible(dvd || hasSubtitles);
    Log(proc, "-- Video enabled");
}

void TfrmVideo::VideoReset(bool fullStop)
{
    if (!fullStop)
        return;
    OSDTimer.stop();
    screensaverInhibit_.Release();
    osdLabel_->ShowText({}, {}, {}, {}, {}, 0);
    if (DSVideoWindowEx->FullScreen() || DSVideoWindowEx->DesktopPlayback()) {
        DSVideoWindowEx->LeaveFullScreen();
        DSVideoWindowEx->setGeometry(pnlVideo->rect());
    }
    hide();
    streams_ = {};
    VideoDisplayMode = vdmNone;
}

void TfrmVideo::VideoSizeChanged(int, int) { SetAspectRatio(); }

void TfrmVideo::ToForeground()
{
    if (!isVisible())
        return;
    raise();
    activateWindow();
}

bool TfrmVideo::ChooseScript(const std::vector<std::string>& candidates, std::string& chosen, bool& dontAskAgain)
{
    std::vector<std::u16string> items;
    for (const std::string& name : candidates)
        items.push_back(Utf8ToUtf16(name));
    std::u16string choice;
    if (!ShowDontAskAgainDialog(u"Choose video filter script", u"Filterscript:", items, choice, dontAskAgain))
        return false;
    chosen = Utf16ToUtf8(choice);
    return true;
}

// --- stream menus ------------------------------------------------------------------

void TfrmVideo::GetMediaProperties(bool& hasAudio, bool& hasSubtitles)
{
    hasAudio = hasSubtitles = false;
    if (!FileOrStream(CurrentType()))
        return;
    FillAudioStreamMenu(*Menu.Audio1, GetAudioStreamEntries(streams_.Splitter.get()));
    FillSubtitleStreamMenu(*Menu.Subtitles1,
                           GetSubtitleStreamEntries(streams_.Splitter.get(), streams_.Subtitles.get()),
                           Language.Text(TLanguageSection::VideoPopupMenu_Subtitles, kTextSubtitlesOff));
    for (QAction* item : Menu.Audio1->actions())
        QObject::connect(item, &QAction::triggered, this, [this, item] { AudioStreamClick(item); });
    for (QAction* item : MenuItems(*Menu.Subtitles1))
        QObject::connect(item, &QAction::triggered, this, [this, item] { SubtitleStreamClick(item); });
    hasAudio = !Menu.Audio1->isEmpty();
    hasSubtitles = !Menu.Subtitles1->isEmpty();
}

void TfrmVideo::LogMediaProperties()
{
    const char* proc = "TKSystem.PrepareVideo";
    Log(proc, "Get video size");
    int width = 0, height = 0;
    if (PlaySystem)
        PlaySystem->GetVideoSize(width, height);
    Log(proc, "-- Video width: " + std::to_string(width));
    Log(proc, "-- Video height: " + std::to_string(height));
    const std::vector<QAction*> audio = MenuItems(*Menu.Audio1);
    Log(proc, "-- Audio streams (" + std::to_string(audio.size()) + ")");
    for (size_t i = 0; i < audio.size(); ++i)
        Log(proc, "-- Audio [" + std::to_string(i) + "]: " + audio[i]->text().toStdString());
    // The first two items are the "off" entry and its separator.
    const QList<QAction*> subtitles = Menu.Subtitles1->actions();
    Log(proc, "-- Subtitle streams:");
    for (qsizetype i = 2; i < subtitles.size(); ++i)
        Log(proc, "-- Subtitle [" + std::to_string(i) + "]: " + subtitles[i]->text().toStdString());
}

void TfrmVideo::SetVideoDefaults()
{
    if (!FileOrStream(CurrentType()))
        return;
    const TKConfig defaults;
    const auto& d = Config ? Config->VidDefault : defaults.VidDefault;
    Click(DefaultAudioItem(*Menu.Audio1, AnsiToUtf16(d.Language)));
    Click(DefaultSubtitleItem(*Menu.Subtitles1, AnsiToUtf16(d.Subtitle), d.SubtitleFailed));
}

void TfrmVideo::AudioStreamClick(QAction* item)
{
    if (SelectAudioStream(*Menu.Audio1, item, streams_))
        Notify(Language.Format(TLanguageSection::Status, kTextAudiostream, StreamName(item)), 2000);
}

void TfrmVideo::SubtitleStreamClick(QAction* item)
{
    if (SelectSubtitleStream(*Menu.Subtitles1, item, streams_))
        Notify(Language.Format(TLanguageSection::Status, kTextSubtitlestream, StreamName(item)), 2000);
}

// --- filter and monitor menus ------------------------------------------------------

void TfrmVideo::BuildFilterMenu()
{
    Menu.Filter1->clear();
    const auto graph = FilterGraph() ? FilterGraph()->Query<media::IFilterGraph>() : nullptr;
    media::ComPtr<media::IEnumFilters> filters;
    if (!graph || media::Failed(graph->EnumFilters(filters.put())))
        return;
    media::ComPtr<media::IBaseFilter> filter;
    while (filters->Next(1, filter.put(), nullptr) == media::S_OK) {
        QAction* item = Menu.Filter1->addAction(QString::fromStdU16String(media::FilterName(filter.get())));
        item->setCheckable(true);
        item->setChecked(static_cast<bool>(filter.as<media::ISpecifyPropertyPages>()));
        // No property frame exists here: a click only keeps the tick.
        QObject::connect(item, &QAction::triggered, item, [item](bool checked) { item->setChecked(!checked); });
    }
}

void TfrmVideo::RefreshOutputMonitors()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QMenu* menu : MonitorMenus()) {
        menu->clear();
        for (int i = 0; i < screens.size(); ++i) {
            const QRect r = screens[i]->geometry();
            const int text = screens[i] == QGuiApplication::primaryScreen() ? kTextPrimaryMonitor : kTextMonitor;
            QAction* item = menu->addAction(
                QString::fromStdU16String(Language.Format(TLanguageSection::Status, text, i, r.width(), r.height())));
            item->setCheckable(true);
            SetItemTag(item, i);
            QObject::connect(item, &QAction::triggered, this, [this, i] { SelectMonitorOutput(i); });
        }
    }
    CheckMonitorOutputs();
}

void TfrmVideo::SelectMonitorOutput(int monitor)
{
    if (Config)
        Config->VideoFSForceDisplay = static_cast<int8_t>(monitor);
    Windowmode1Click();
    Fullscreen1Click();
}

void TfrmVideo::UpdateVideoMenu()
{
    const TSystemType type = CurrentType();
    const bool dvd = type == TSystemType::DVD;
    if (!FileOrStream(type) && !dvd)
        return;
    Menu.PreviosChapter1->setVisible(dvd);
    Menu.Previous1->setVisible(!dvd);
    for (QMenu* menu : {Menu.Mode1, Menu.Ratio1, Menu.DigitalZoom1})
        menu->setEnabled(true);
    Menu.Stop1->setEnabled(true);
    Menu.Pause1->setEnabled(!SysPaused);
    Menu.Play1->setEnabled(SysPaused);
    Menu.Next1->setVisible(!dvd);
    Menu.NextChapter1->setVisible(dvd);
    for (QMenu* menu : {Menu.Forwardspeed1, Menu.Backwardspeed1, Menu.Showmenu1})
        menu->menuAction()->setVisible(dvd);
    Menu.N1->setVisible(dvd);
}

// --- stepping hot keys ---------------------------------------------------------------

void TfrmVideo::NextAspectRatio()
{
    if (GetVideoSize().isEmpty())
        return;
    QAction* next = NextChecked(*Menu.Ratio1);
    if (!next)
        return;
    next->trigger();
    Notify(Language.Format(TLanguageSection::Status, kTextAspectRatio, StreamName(next)), 2000);
}

void TfrmVideo::NextAudioStream() { Click(NextChecked(*Menu.Audio1)); }

void TfrmVideo::NextSubtitleStream() { Click(NextChecked(*Menu.Subtitles1)); }

void TfrmVideo::NextMonitorOutput()
{
    const std::vector<QAction*> items = MenuItems(*Menu.MonitorOutput1);
    if (GetVideoSize().isEmpty() || items.empty())
        return;
    QAction* next = NextChecked(*Menu.MonitorOutput1);
    Click(next ? next : items.front());
}

// --- on-screen text ------------------------------------------------------------------

void TfrmVideo::PaintOSD()
{
    const TSystemType type = CurrentType();
    const bool applies = Config && Config->OSD.Enabled && OSDShown && (FileOrStream(type) || type == TSystemType::DVD);
    QWidget* owner = DSVideoWindowEx->parentWidget();
    if (!applies || !owner) {
        osdLabel_->ShowText({}, {}, {}, {}, {}, 0);
        return;
    }
    if (osdLabel_->parentWidget() != owner)
        osdLabel_->setParent(owner);
    const bool windowed = !DSVideoWindowEx->FullScreen() && !DSVideoWindowEx->DesktopPlayback();
    const QScreen* monitor = DSVideoWindowEx->Monitor();
    const int height = windowed || !monitor ? this->height() : monitor->geometry().height();
    const QFont font = gdi::ToQFont(
        {.name = AnsiToUtf16(Config->OSD.Font.Name), .size = std::max(1, OSDFontSize(height, Config->OSD.Font.Size))});
    const TColor c = Config->OSD.Font.Color; // 0x00BBGGRR
    osdLabel_->ShowText(OSDText, font, QColor(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF),
                        DSVideoWindowEx->palette().color(QPalette::Window), DSVideoWindowEx->geometry(),
                        Config->OSD.Position);
}

} // namespace kolvarin
