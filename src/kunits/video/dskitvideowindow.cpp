#include "video/dskitvideowindow.h"

#include <chrono>
#include <cmath>
#include <stdexcept>

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "media/filterif.h"
#include "media/uuids.h"

namespace kolvarin::video {

using namespace media;

namespace {

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

ComPtr<IPin> FreeInput(IBaseFilter* f)
{
    for (auto& pin : PinsOf(f, PINDIR_INPUT))
        if (!PeerOf(pin.get()))
            return pin;
    return {};
}

} // namespace

void KeepAbove(QWidget& top, QWidget& below)
{
    top.winId();
    below.winId();
    if (top.windowHandle() && below.windowHandle())
        top.windowHandle()->setTransientParent(below.windowHandle());
}

void TVideoFullscreenControlForm::SetPosition(const QRect&) { throw std::runtime_error("Virtual method!"); }
void TVideoFullscreenControlForm::StartAutoHide() { throw std::runtime_error("Virtual method!"); }

TDSVideoWindowEx2::TDSVideoWindowEx2(QWidget* parent)
    : QWidget(parent),
      colors_([this] { return graph_; }),
      caps_([this] { return HasMixer(); }, &colors_),
      fullScreenForm_(std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint))
{
    setFocusPolicy(Qt::StrongFocus);
    resize(320, 240);
    setMouseTracking(true);
    setAutoFillBackground(false);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    fullScreenForm_->setPalette(p);
    lastMove_ = NowMs();
}

TDSVideoWindowEx2::~TDSVideoWindowEx2()
{
    if (desktop_ || fullScreen_)
        LeaveFullScreen();
    SetFilterGraph(nullptr);
}

std::u16string TDSVideoWindowEx2::GetName()
{
    const QString name = objectName().isEmpty() ? QStringLiteral("Video Window") : objectName();
    return name.toStdU16String();
}

void TDSVideoWindowEx2::SetFilterGraph(TFilterGraph* graph)
{
    if (graph == graph_)
        return;
    if (graph_) {
        graph_->RemoveFilter(this);
        graph_->RemoveEventSink(this);
    }
    graph_ = graph;
    if (graph_) {
        graph_->InsertFilter(this);
        graph_->AddEventSink(this);
    }
}

void TDSVideoWindowEx2::NotifyFilter(Operation operation, int)
{
    switch (operation) {
    case foAdding:
        setupDone_ = false;
        renderer_ = CreateInstance<IBaseFilter>(CLSID_VideoRenderer);
        break;
    case foAdded: window_ = renderer_.as<IVideoWindow>(); break;
    case foRemoving:
        if (mixer_) {
            colors_.RestoreDefault();
            mixer_->Stop();
            for (auto& pin : PinsOf(mixer_.get()))
                pin->Disconnect();
        }
        if (renderer_) {
            renderer_->Stop();
            for (auto& pin : PinsOf(renderer_.get()))
                if (auto peer = PeerOf(pin.get())) {
                    peer->Disconnect();
                    pin->Disconnect();
                }
        }
        overlayInUse_ = false;
        break;
    case foRemoved:
        setupDone_ = false;
        mixer_.reset();
        window_.reset();
        renderer_.reset();
        break;
    case foRefresh: break;
    }
}

void TDSVideoWindowEx2::GraphEvent(int32_t event, intptr_t, intptr_t)
{
    if (event == EC_PALETTE_CHANGED)
        ConfigureRendererWindow();
    else if (event == EC_CLOCK_CHANGED) {
        SetDigitalZoom(zoom_);
        SetAspectRatio(ratio_);
        update();
    }
}

void TDSVideoWindowEx2::ControlEvent(Control event, int)
{
    auto setup = [this] {
        overlayInUse_ = SetupRenderer();
        if (overlayInUse_) {
            colors_.ReadDefaults();
            colors_.Write();
        }
        ConfigureRendererWindow();
    };
    switch (event) {
    case cePlay:
    case cePause:
        if (!setupDone_)
            setup();
        if (overlayInUse_ && !overlayVisible_ && !desktop_) {
            overlayVisible_ = true;
            if (OnOverlayVisible)
                OnOverlayVisible(true);
            update();
        }
        break;
    case ceStop:
        if (!setupDone_)
            setup();
        if (overlayInUse_ && overlayVisible_) {
            overlayVisible_ = false;
            update();
            if (OnOverlayVisible)
                OnOverlayVisible(false);
        }
        break;
    case ceFileRendered: setup(); break;
    default: break;
    }
}

// Puts the mixer between the renderer and what feeds it; true when it is
// there afterwards. A failure leaves the graph as it was.
bool TDSVideoWindowEx2::SetupRenderer()
{
    setupDone_ = true;
    if (!graph_ || !renderer_)
        return false;
    auto builder = graph_->Query<IGraphBuilder>();
    if (!builder)
        return false;
    ComPtr<IEnumFilters> e;
    builder->EnumFilters(e.put());
    ComPtr<IBaseFilter> f;
    ComPtr<IBaseFilter> mixer;
    while (e->Next(1, f.put(), nullptr) == S_OK)
        if (ClassIdOf(f.get()) == CLSID_OverlayMixer)
            mixer = f;
    auto rendererIn = PinsOf(renderer_.get(), PINDIR_INPUT)[0];
    if (mixer) {
        mixer_ = mixer;
        auto out = PinsOf(mixer.get(), PINDIR_OUTPUT);
        return !out.empty() && SameObject(PeerOf(out[0].get()).get(), rendererIn.get());
    }
    auto upstream = PeerOf(rendererIn.get());
    if (!upstream)
        return false;
    mixer = CreateInstance<IBaseFilter>(CLSID_OverlayMixer);
    if (!mixer || Failed(builder->AddFilter(mixer.get(), u"Overlay Mixer")))
        return false;
    AMMediaType mt;
    upstream->ConnectionMediaType(&mt);
    upstream->Disconnect();
    rendererIn->Disconnect();
    auto mixerIn = FreeInput(mixer.get());
    ComPtr<IPin> mixerOut;
    mixer->FindPin(u"Out", mixerOut.put());
    if (mixerIn && mixerOut && Succeeded(builder->Connect(upstream.get(), mixerIn.get())) &&
        Succeeded(builder->Connect(mixerOut.get(), rendererIn.get()))) {
        mixer_ = mixer;
        return true;
    }
    // Undo: the old connection again, the mixer out.
    builder->RemoveFilter(mixer.get());
    builder->ConnectDirect(upstream.get(), rendererIn.get(), &mt);
    return false;
}

void TDSVideoWindowEx2::ConfigureRendererWindow()
{
    if (!window_)
        return;
    window_->put_Owner(parentWidget() ? parentWidget() : this);
    window_->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    const QRect r = VideoRect().translated(parentWidget() ? pos() : QPoint());
    window_->SetWindowPosition(r.left(), r.top(), r.width(), r.height());
    window_->put_Caption(GetName());
    window_->put_MessageDrain(this);
    window_->put_AutoShow(!desktop_ || fullScreenForm_->isVisible());
}

void TDSVideoWindowEx2::SetDigitalZoom(int32_t value)
{
    if (value < 0 || value > 99)
        throw std::runtime_error("Value " + std::to_string(value) + " out of range. Value must bee between 0 -> 99");
    auto video = renderer_ ? renderer_.as<IBasicVideo2>() : ComPtr<IBasicVideo2>();
    if (video && Succeeded(video->SetDefaultSourcePosition())) {
        int32_t w = 0, h = 0;
        video->get_SourceWidth(&w);
        video->get_SourceHeight(&h);
        if (w > 0) {
            const double ratio = double(h) / w;
            const double nw = w - double(value) * w / 100.0;
            const double nh = nw * ratio;
            video->put_SourceWidth(static_cast<int32_t>(std::lround(nw)));
            video->put_SourceHeight(static_cast<int32_t>(std::lround(nh)));
            video->put_SourceLeft(static_cast<int32_t>(std::lround((w - nw) / 2)));
            video->put_SourceTop(static_cast<int32_t>(std::lround((h - nh) / 2)));
        }
    }
    zoom_ = value;
}

void TDSVideoWindowEx2::SetAspectRatio(TRatioModes mode)
{
    if (!renderer_ || !mixer_) {
        ratio_ = mode;
        return;
    }
    auto pins = PinsOf(mixer_.get());
    auto config = pins.empty() ? ComPtr<IMixerPinConfig2>() : pins[0].as<IMixerPinConfig2>();
    if (config && Succeeded(config->SetAspectRatioMode(static_cast<AM_ASPECT_RATIO_MODE>(mode))))
        ratio_ = mode;
    if (overlayInUse_ && !desktop_) {
        ConfigureRendererWindow();
        update();
    }
}

QRect TDSVideoWindowEx2::VideoRect()
{
    const QRect client = rect();
    if (ratio_ == TRatioModes::rmLetterBox) {
        auto excl = mixer_ ? mixer_.as<IDDrawExclModeVideo>() : ComPtr<IDDrawExclModeVideo>();
        uint32_t w = 0, h = 0, ax = 0, ay = 0;
        if (!excl || Failed(excl->GetNativeVideoProps(&w, &h, &ax, &ay)) || !ax || !ay)
            return client;
        aspectX_ = ax;
        aspectY_ = ay;
        QSize fitted(static_cast<int>(ax), static_cast<int>(ay));
        fitted.scale(client.size(), Qt::KeepAspectRatio);
        return QRect(QPoint((client.width() - fitted.width()) / 2, (client.height() - fitted.height()) / 2), fitted);
    }
    QRect r = client;
    if (OnGetVideoRect && OnGetVideoRect(r))
        return r.translated(-pos());
    return client;
}

void TDSVideoWindowEx2::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
}

void TDSVideoWindowEx2::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    ConfigureRendererWindow();
}

QScreen* TDSVideoWindowEx2::NearestScreen() const
{
    QScreen* s = screen();
    return s ? s : QGuiApplication::primaryScreen();
}

void TDSVideoWindowEx2::MoveInto(QWidget* form, QScreen* monitor)
{
    if (!oldParent_) {
        oldParent_ = parentWidget();
        oldGeometry_ = geometry();
    }
    setParent(form);
    setGeometry(QRect(QPoint(), monitor ? monitor->geometry().size() : form->size()));
    show();
    if (monitor)
        form->setGeometry(monitor->geometry());
}

void TDSVideoWindowEx2::StartFullScreen() { StartFullScreenOn(NearestScreen()); }

void TDSVideoWindowEx2::StartFullScreenOn(QScreen* monitor)
{
    if (fullScreen_)
        return;
    if (desktop_)
        LeaveFullScreen();
    monitor_ = monitor;
    fullScreenForm_->setWindowFlag(Qt::WindowStaysOnBottomHint, false);
    fullScreenForm_->setWindowFlag(Qt::WindowStaysOnTopHint, topMost_);
    MoveInto(fullScreenForm_.get(), monitor);
    if (controlForm_ && monitor) {
        controlForm_->SetPosition(monitor->geometry());
        controlForm_->FloatOver(*fullScreenForm_);
    }
    fullScreenForm_->show();
    fullScreen_ = true;
    ConfigureRendererWindow();
}

void TDSVideoWindowEx2::StartDesktopPlayback() { StartDesktopPlaybackOn(NearestScreen()); }

void TDSVideoWindowEx2::StartDesktopPlaybackOn(QScreen* monitor)
{
    if (desktop_)
        return;
    if (fullScreen_)
        LeaveFullScreen(); // this forgets the monitor: the one asked for is kept below
    monitor_ = monitor;
    fullScreenForm_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    fullScreenForm_->setWindowFlag(Qt::WindowStaysOnBottomHint, true);
    MoveInto(fullScreenForm_.get(), monitor);
    if (controlForm_)
        controlForm_->hide();
    desktop_ = true;
    fullScreenForm_->show();
    ConfigureRendererWindow();
    overlayVisible_ = false;
    update();
    if (OnOverlayVisible)
        OnOverlayVisible(false);
}

void TDSVideoWindowEx2::LeaveFullScreen()
{
    desktop_ = false;
    if (oldParent_ || fullScreen_ || fullScreenForm_->isVisible()) {
        setParent(oldParent_);
        setGeometry(oldGeometry_);
        show();
        oldParent_ = nullptr;
    }
    if (controlForm_)
        controlForm_->hide();
    fullScreenForm_->hide();
    fullScreen_ = false;
    ConfigureRendererWindow();
    overlayVisible_ = true;
    update();
    if (OnOverlayVisible)
        OnOverlayVisible(true);
    monitor_ = nullptr;
}

void TDSVideoWindowEx2::NoteMouse(QPoint global, bool always)
{
    if (always || global != lastMouse_) {
        lastMouse_ = global;
        lastMove_ = NowMs();
    }
    if (cursorHidden_) {
        if (window_)
            window_->HideCursor(false);
        unsetCursor();
        cursorHidden_ = false;
        if (OnCursorShowHide)
            OnCursorShowHide(true);
    }
}

void TDSVideoWindowEx2::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint at = e->globalPosition().toPoint();
    if (at == lastMouse_)
        return QWidget::mouseMoveEvent(e);
    NoteMouse(at, false);
    QWidget::mouseMoveEvent(e);
}

void TDSVideoWindowEx2::mousePressEvent(QMouseEvent* e)
{
    NoteMouse(e->globalPosition().toPoint(), true);
    QWidget::mousePressEvent(e);
}

void TDSVideoWindowEx2::mouseReleaseEvent(QMouseEvent* e)
{
    NoteMouse(e->globalPosition().toPoint(), true);
    QWidget::mouseReleaseEvent(e);
}

void TDSVideoWindowEx2::IdleAutoHideCursor(bool& done)
{
    done = true;
    if (autoHideCursor_ == 0)
        return;
    if (NowMs() - lastMove_ >= autoHideCursor_ && window_) {
        if (cursorHidden_)
            return;
        window_->HideCursor(true);
        setCursor(Qt::BlankCursor);
        cursorHidden_ = true;
        if (OnCursorShowHide)
            OnCursorShowHide(false);
        if (fullScreen_ && controlForm_)
            controlForm_->StartAutoHide();
    } else if (fullScreen_ && fsControlActive_ && controlForm_ && monitor_) {
        controlForm_->SetPosition(monitor_->geometry());
        controlForm_->show();
    }
}

} // namespace kolvarin::video
