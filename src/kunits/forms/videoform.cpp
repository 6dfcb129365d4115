#include "forms/videoform.h"

#include <algorithm>

#include <QApplication>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>

#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/klanguage.h"
#include "forms/fullscreencontrol.h"
#include "forms/useractions.h"
#include "forms/videogeometry.h"
#include "forms/videoosd.h"
#include "forms/videoshots.h"
#include "media/controlif.h"
#include "playback/ksystem.h"
#include "skin/kskinelements.h"

namespace kolvarin {

uint8_t VideoDisplayMode = vdmNone;
std::array<int, 512> VideoSpectrumData{};
TfrmVideo* frmVideo = nullptr;

namespace {

// Status texts (from 1) of the mode changes.
constexpr int kTextFullscreenMode = 26, kTextDesktopMode = 27, kTextWindowMode = 28;

const TKConfig& Settings()
{
    static const TKConfig defaults;
    return Config ? *Config : defaults;
}

} // namespace

TfrmVideo::TfrmVideo(TKGUI& skin) : TKSkinnedVideo(skin)
{
    setMinimumSize(100, 100);
    resize(351, 213);
    frmVideo = this;

    DSVideoWindowEx = new video::TDSVideoWindowEx2(pnlVideo);
    DSVideoWindowEx->setObjectName(QStringLiteral("DSVideoWindowEx"));
    DSVideoWindowEx->SetAutoHideCursor(3000);
    DSVideoWindowEx->OnGetVideoRect = [this](QRect& r) {
        const std::optional<QRect> rect = VideoRect();
        if (rect)
            r = rect->translated(DSVideoWindowEx->pos());
        return rect.has_value();
    };
    pnlVideo->installEventFilter(this);
    DSVideoWindowEx->installEventFilter(this);

    QxEqualizer.SetSeperate(false);
    QxEqualizer.SetEnabled(true);
    QxEqualizer.SetProcessMessages(false);
    QxEqualizer.SetSampleSize(8192);
    QxEqualizer.SetFFTSize(dsp::TQxFFTSize::fts512);

    QxSpectrum1.SetMinY(0);
    QxSpectrum1.SetMaxY(100);
    QxSpectrum1.SetMixChannels(true);
    QxSpectrum1.SetFFTSize(dsp::TQxFFTSize::fts512);
    QxSpectrum1.SetPreEmphesis(90);
    QxSpectrum1.SetPreEmphesisEnabled(true);
    QxSpectrum1.SetSampleSkip(1);
    QxSpectrum1.SetWindowMode(dsp::TWindowMode::wmRectangular);
    QxSpectrum1.SetLogarithmic(true);
    QxSpectrum1.OnSpectrumData = [this](dsp::TQxSpectrum&, const dsp::TVisualBuffer& bands, int, int, int, int) {
        SpectrumData(bands);
    };

    Menu.Build(this);
    ConnectMenu();
    DSVideoWindowEx->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(DSVideoWindowEx, &QWidget::customContextMenuRequested, Menu.popmVideo,
                     [this](const QPoint& at) { Menu.popmVideo->popup(DSVideoWindowEx->mapToGlobal(at)); });

    imgResizer->setCursor(Qt::SizeFDiagCursor);
    imgCaptionBar->setCursor(Qt::SizeAllCursor);
    imgResizer->OnMouseDown = [this](TKControl&, TMouseButton button, TShiftState, int, int) {
        if (button == TMouseButton::mbLeft && windowHandle())
            windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
    };
    imgResizer->OnDblClick = [this](TKControl&) { resize(minimumSize()); };

    osdLabel_ = new TKVideoOSD(pnlVideo);
    OSDTimer.setInterval(45);
    QObject::connect(&OSDTimer, &QTimer::timeout, this, [this] {
        PaintOSD();
        // The display's idle routine: hides the cursor after a quiet time and
        // shows the full-screen bar when the mouse moves.
        bool done = false;
        DSVideoWindowEx->IdleAutoHideCursor(done);
        KeepScreensaverAway();
    });
    InstallUserActionHooks(true);
}

TfrmVideo::~TfrmVideo()
{
    InstallUserActionHooks(false);
    AttachDSP(nullptr);
    if (video::TFilterGraph* graph = FilterGraph())
        graph->OnDSEvent = nullptr;
    if (frmVideo == this)
        frmVideo = nullptr;
}

void TfrmVideo::InstallUserActionHooks(bool install)
{
    TKUserActionHooks& h = UserActionHooks();
    if (!install) {
        h.VideoFullscreen = nullptr;
        h.SetVideoWindowMode = nullptr;
        h.SetBrightness = nullptr;
        h.RepaintVideoBackground = nullptr;
        h.SetDigitalZoom = nullptr;
        h.NextAspectRatio = h.NextAudioStream = h.NextSubtitleStream = h.NextMonitorOutput = nullptr;
        return;
    }
    h.VideoFullscreen = [this] { return DSVideoWindowEx->FullScreen(); };
    h.SetVideoWindowMode = [this](int mode) {
        if (mode == vdmWindow)
            Windowmode1Click();
        else if (mode == vdmFullscreen)
            Fullscreen1Click();
        else if (mode == vdmDesktop)
            Desktopmode1Click();
    };
    h.SetBrightness = [this](int brightness) {
        try {
            DSVideoWindowEx->ColorControl().SetBrightness(brightness);
        } catch (const std::runtime_error&) {
            // Out of range: the control keeps its value.
        }
    };
    h.RepaintVideoBackground = [this] { PaintOSD(); };
    h.SetDigitalZoom = [this](int zoom) { SetDigitalZoom(zoom); };
    h.NextAspectRatio = [this] { NextAspectRatio(); };
    h.NextAudioStream = [this] { NextAudioStream(); };
    h.NextSubtitleStream = [this] { NextSubtitleStream(); };
    h.NextMonitorOutput = [this] { NextMonitorOutput(); };
}

void TfrmVideo::Notify(const std::u16string& text, int ms)
{
    ShowOSD(text);
    StartOSDTimer(ms);
}

void TfrmVideo::AttachDSP(video::TDSKitQxDSPFilter* filter)
{
    if (dsp_) {
        dsp_->OnPCMData = nullptr;
        dsp_->OnVisualData = nullptr;
        dsp_->OnFlush = nullptr;
        dsp_->OnMediaTypeChanged = sideMediaTypeChanged_;
    }
    dsp_ = filter;
    if (!dsp_)
        return;
    dsp_->OnPCMData = [this](void* buffer, int size, int& newSize, video::PDSStream stream) {
        newSize = size;
        // Compressed pass-through (AC3, DTS) must reach the output untouched.
        if (!stream->AC3 && !stream->DTS)
            QxEqualizer.Process(buffer, size, static_cast<uint8_t>(stream->Bits),
                                static_cast<uint8_t>(stream->Channels), stream->Float != 0);
    };
    dsp_->OnVisualData = [this](const void* buffer, int size, video::PDSStream stream) {
        QxSpectrum1.Process(buffer, size, static_cast<uint8_t>(stream->Bits), static_cast<uint8_t>(stream->Channels),
                            stream->Float != 0);
    };
    dsp_->OnFlush = [this] { QxEqualizer.Flush(); };
    sideMediaTypeChanged_ = dsp_->OnMediaTypeChanged.Current();
    dsp_->OnMediaTypeChanged = [this](video::PDSStream stream) {
        QxEqualizer.Flush();
        if (sideMediaTypeChanged_)
            sideMediaTypeChanged_(stream);
    };
}

void TfrmVideo::SpectrumData(const dsp::TVisualBuffer& bands)
{
    std::copy_n(bands[0].begin(), VideoSpectrumData.size(), VideoSpectrumData.begin());
}

bool TfrmVideo::GetSpectrumData(std::span<float> values)
{
    const size_t count = std::min(values.size(), VideoSpectrumData.size());
    for (size_t i = 0; i < count; ++i)
        values[i] = VideoSpectrumData[i] > 0 ? static_cast<float>(VideoSpectrumData[i]) / 1000.0f : 0.0f;
    return true;
}

void TfrmVideo::ConnectMenu()
{
    TKVideoPopupMenu& m = Menu;
    QObject::connect(m.popmVideo, &QMenu::aboutToShow, this, [this] { popmVideoPopup(); });
    // A click ticks nothing by itself: the handler ticks what it changed.
    auto on = [this](QAction* item, auto handler) {
        QObject::connect(item, &QAction::triggered, this, [item, handler](bool checked) {
            if (item->isCheckable())
                item->setChecked(!checked);
            handler();
        });
    };
    on(m.Fullscreen1, [this] { Fullscreen1Click(); });
    on(m.Desktopmode1, [this] { Desktopmode1Click(); });
    on(m.Windowmode1, [this] { Windowmode1Click(); });
    for (QAction* item : m.RatioItems)
        on(item, [this, item] { SelectRatio(static_cast<uint8_t>(ItemTag(item))); });
    for (QAction* item : m.ZoomItems)
        on(item, [this, item] { SetWindowZoom(ItemTag(item), true); });
    for (QAction* item : MenuItems(*m.DigitalZoom1))
        on(item, [this, item] { SetDigitalZoom(ItemTag(item)); });
    auto play = [](void (TKSystem::*call)()) {
        return [call] {
            if (PlaySystem)
                (PlaySystem->*call)();
        };
    };
    on(m.Pause1, play(&TKSystem::Pause));
    on(m.Play1, play(&TKSystem::Pause));
    on(m.Stop1, [] {
        if (PlaySystem)
            PlaySystem->Stop(true);
    });
    on(m.Close1, [] {
        if (PlaySystem)
            PlaySystem->Stop(true);
    });
    on(m.Previous1, [] {
        if (PlaySystem)
            PlaySystem->PlayPrevious(true);
    });
    on(m.Next1, [] {
        if (PlaySystem)
            PlaySystem->PlayNext(true);
    });
    for (QMenu* speeds : {m.Forwardspeed1, m.Backwardspeed1}) {
        const std::vector<QAction*> items = MenuItems(*speeds);
        for (size_t i = 0; i < items.size(); ++i)
            on(items[i], [this, speeds, item = items[i], speed = kVideoSpeeds[i]] {
                speeds == Menu.Forwardspeed1 ? DvdPlayForwards(speed) : DvdPlayBackwards(speed);
                for (QMenu* both : {Menu.Forwardspeed1, Menu.Backwardspeed1})
                    for (QAction* a : MenuItems(*both))
                        a->setChecked(a == item);
            });
    }
    const std::pair<QAction*, media::DVD_MENU_ID> dvdMenus[] = {
        {m.Titlemenu1, media::DVD_MENU_Title},          {m.Mainmenu1, media::DVD_MENU_Root},
        {m.Subtitlesmenu1, media::DVD_MENU_Subpicture}, {m.Audiomenu1, media::DVD_MENU_Audio},
        {m.Angelsmenu1, media::DVD_MENU_Angle},         {m.Chaptermenu1, media::DVD_MENU_Chapter},
    };
    for (const auto& [item, menu] : dvdMenus)
        on(item, [this, menu = menu] { DvdShowMenu(menu); });
    on(m.PreviosChapter1, [this] { DvdPlayChapter(false); });
    on(m.NextChapter1, [this] { DvdPlayChapter(true); });
    on(m.Toggledrawsubtitlesinvis1, [this] { Toggledrawsubtitlesinvis1Click(); });
    on(m.Original1, [this] { ScreenshotClick(smOriginal); });
    on(m.Angepasst1, [this] { ScreenshotClick(smFitted); });
}

void TfrmVideo::popmVideoPopup()
{
    for (QMenu* sub : {Menu.Audio1, Menu.Subtitles1, Menu.Jumpto1, Menu.Filter1})
        sub->setEnabled(!sub->isEmpty());
}

void TfrmVideo::FormActivate()
{
    if (!Skin().Loaded || AppKilled)
        return;
    ShowCaptionsActive(Skin(), this);
}

void TfrmVideo::resizeEvent(QResizeEvent* event)
{
    TKSkinnedVideo::resizeEvent(event);
    SetAspectRatio();
}

void TfrmVideo::hideEvent(QHideEvent* event)
{
    TKSkinnedVideo::hideEvent(event);
    if (PlaySystem && !AppKilled && VideoDisplayMode != vdmFullscreen && VideoDisplayMode != vdmDesktop)
        PlaySystem->SwapMemory();
}

bool TfrmVideo::eventFilter(QObject* watched, QEvent* event)
{
    // The display fills the video panel while it lives there (not in full
    // screen or desktop mode, where it moves to a form of its own).
    if (watched == pnlVideo && event->type() == QEvent::Resize && DSVideoWindowEx->parentWidget() == pnlVideo)
        DSVideoWindowEx->setGeometry(pnlVideo->rect());
    else if (watched == DSVideoWindowEx && event->type() == QEvent::MouseButtonDblClick) {
        ToggleFullscreen();
        return true;
    } else if (watched == DSVideoWindowEx && event->type() == QEvent::MouseButtonPress)
        FormActivate();
    else if (watched == DSVideoWindowEx && event->type() == QEvent::MouseMove)
        DvdMouse(*static_cast<QMouseEvent*>(event), false);
    else if (watched == DSVideoWindowEx && event->type() == QEvent::MouseButtonRelease &&
             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        DvdMouse(*static_cast<QMouseEvent*>(event), true);
    return TKSkinnedVideo::eventFilter(watched, event);
}

// --- display modes -----------------------------------------------------------

void TfrmVideo::EnterFullscreenOrDesktop(bool desktop)
{
    hide();
    DSVideoWindowEx->setGeometry(pnlVideo->rect());
    const QList<QScreen*> screens = QGuiApplication::screens();
    const int index = Settings().VideoFSForceDisplay;
    QScreen* chosen = nullptr;
    if (index >= 0 && !screens.isEmpty())
        chosen = index < screens.size() ? screens[index] : screens.first();
    if (desktop) {
        chosen ? DSVideoWindowEx->StartDesktopPlaybackOn(chosen) : DSVideoWindowEx->StartDesktopPlayback();
        return;
    }
    DSVideoWindowEx->SetFSControlActive(Settings().VideoFSControlActive);
    DSVideoWindowEx->SetControlForm(frmVideoFullscreenControl ? &frmVideoFullscreenControl->ControlForm() : nullptr);
    chosen ? DSVideoWindowEx->StartFullScreenOn(chosen) : DSVideoWindowEx->StartFullScreen();
}

void TfrmVideo::KeepScreensaverAway()
{
    const auto isVideo = [](const TKStreamInfo& info) { return info.Valid && info.Kind == 1; };
    const bool video =
        PlaySystem && std::any_of(PlaySystem->StreamInfos().begin(), PlaySystem->StreamInfos().end(), isVideo);
    if (Settings().NoScreensaver && SysPlayed && video)
        screensaverInhibit_.Hold();
    else
        screensaverInhibit_.Release();
}

void TfrmVideo::ApplyCursorHiding() { DSVideoWindowEx->SetAutoHideCursor(Settings().HideCursor ? 3000 : 0); }

void TfrmVideo::ApplyFullscreenControl()
{
    DSVideoWindowEx->SetFSControlActive(Settings().VideoFSControlActive);
    if (!Settings().VideoFSControlActive && frmVideoFullscreenControl)
        frmVideoFullscreenControl->hide();
}

void TfrmVideo::ModeEntered(uint8_t mode, QAction* item, int text)
{
    CheckMonitorOutputs();
    CheckOnly(MenuItems(*Menu.Mode1), item);
    SetAspectRatio();
    VideoDisplayMode = mode;
    Notify(Language.Text(TLanguageSection::Status, text), 2000);
}

void TfrmVideo::Fullscreen1Click()
{
    if (!GraphActive())
        return;
    EnterFullscreenOrDesktop(false);
    if (frmVideoFullscreenControl)
        frmVideoFullscreenControl->LayoutBar();
    ModeEntered(vdmFullscreen, Menu.Fullscreen1, kTextFullscreenMode);
}

void TfrmVideo::Desktopmode1Click()
{
    if (!GraphActive())
        return;
    EnterFullscreenOrDesktop(true);
    ModeEntered(vdmDesktop, Menu.Desktopmode1, kTextDesktopMode);
}

void TfrmVideo::Windowmode1Click()
{
    if (!GraphActive())
        return;
    show();
    FormResize();
    DSVideoWindowEx->LeaveFullScreen();
    DSVideoWindowEx->setGeometry(pnlVideo->rect());
    ModeEntered(vdmWindow, Menu.Windowmode1, kTextWindowMode);
}

std::vector<QMenu*> TfrmVideo::MonitorMenus() const
{
    std::vector<QMenu*> menus{Menu.MonitorOutput1};
    if (MainMonitorOutput)
        menus.push_back(MainMonitorOutput);
    return menus;
}

void TfrmVideo::CheckMonitorOutputs()
{
    const QScreen* monitor = DSVideoWindowEx->Monitor();
    const int number = monitor ? static_cast<int>(QGuiApplication::screens().indexOf(monitor)) : -1;
    for (QMenu* menu : MonitorMenus())
        for (QAction* item : MenuItems(*menu))
            item->setChecked(monitor && ItemTag(item) == number);
}

// --- size and shape ------------------------------------------------------------

QSize TfrmVideo::GetVideoSize() const
{
    const auto renderer = DSVideoWindowEx->GetFilter();
    const auto video = renderer ? renderer.as<media::IBasicVideo>() : media::ComPtr<media::IBasicVideo>();
    int32_t width = 0, height = 0;
    if (!video || media::Failed(video->get_VideoWidth(&width)) || media::Failed(video->get_VideoHeight(&height)))
        return {};
    return {width, height};
}

QSize TfrmVideo::GetPictureShape() const
{
    const QSize size = GetVideoSize();
    const auto renderer = DSVideoWindowEx->GetFilter();
    const auto video = renderer ? renderer.as<media::IBasicVideo2>() : media::ComPtr<media::IBasicVideo2>();
    int32_t x = 0, y = 0;
    if (size.isEmpty() || !video || media::Failed(video->GetPreferredAspectRatio(&x, &y)) || x <= 0 || y <= 0)
        return size;
    return {x, y};
}

void TfrmVideo::SetWindowZoom(int percent, bool force)
{
    CheckOnly({Menu.ZoomItems.begin(), Menu.ZoomItems.end()},
              percent % 25 == 0 && percent >= 25 && percent <= 200 ? Menu.ZoomItems[percent / 25 - 1] : nullptr);
    const QSize video = GetVideoSize();
    if (video.height() <= 0 || !(Settings().AutoVideoResize || force))
        return;
    resize(WindowZoomSize(video, percent));
    if (Settings().CenterVideo) {
        const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (s)
            move(s->geometry().width() / 2 - width() / 2, s->geometry().height() / 2 - height() / 2);
    }
}

void TfrmVideo::SetDigitalZoom(int value)
{
    const auto items = MenuItems(*Menu.DigitalZoom1);
    const auto found = std::find_if(items.begin(), items.end(), [value](QAction* a) { return ItemTag(a) == value; });
    CheckOnly(items, found == items.end() ? nullptr : *found);
    DSVideoWindowEx->SetDigitalZoom(value);
}

std::optional<QRect> TfrmVideo::VideoRect() const
{
    const TKConfig& c = Settings();
    return AspectRatioRect(c.Ratio.Mode, DSVideoWindowEx->rect(), GetPictureShape(), c.Ratio.User.X, c.Ratio.User.Y);
}

bool TfrmVideo::SetAspectRatio()
{
    // Stretched: the display no longer fits the picture itself; the
    // rectangle comes from VideoRect through OnGetVideoRect.
    DSVideoWindowEx->SetAspectRatio(video::TRatioModes::rmStretched);
    if (!VideoRect())
        return false;
    const uint8_t mode = std::min<uint8_t>(Settings().Ratio.Mode, kRatioModeCount - 1);
    CheckOnly({Menu.RatioItems.begin(), Menu.RatioItems.end()}, Menu.RatioItems[mode]);
    return true;
}

void TfrmVideo::SelectRatio(uint8_t mode)
{
    if (Config)
        Config->Ratio.Mode = mode;
    SetAspectRatio();
}

} // namespace kolvarin
