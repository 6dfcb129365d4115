#pragma once

// TDSVideoWindowEx2: the control that shows the video of a TFilterGraph. It
// contributes the video renderer to the graph, puts the overlay mixer in
// front of it after rendering (the mixer carries the colour controls), and
// shows the picture in the control, full screen on a given screen, or as
// desktop playback (a frameless full-screen window kept below all others,
// since there is no wallpaper surface to draw on). It applies digital zoom
// and the aspect-ratio mode and hides the mouse cursor after a quiet time.
//
// Main thread only.

#include <cstdint>
#include <functional>
#include <memory>

#include <QPointer>
#include <QWidget>

#include "video/dskitcolorcontrol.h"
#include "video/dskitfiltergraph.h"

class QScreen;

namespace kolvarin::video {

enum class TRatioModes : uint8_t { rmStretched = 0, rmLetterBox = 1, rmCrop = 2 };

// Keeps the top-level window top above the top-level window below under a
// window manager, which stacks a full-screen window over all others but
// those that belong to it (its transients).
void KeepAbove(QWidget& top, QWidget& below);

// The full-screen control bar's base: SetPosition and StartAutoHide must be
// overridden.
class TVideoFullscreenControlForm : public QWidget {
public:
    using QWidget::QWidget;
    // Raise std::runtime_error("Virtual method!") unless overridden.
    virtual void SetPosition(const QRect& monitor);
    virtual void StartAutoHide();
    // The bar floats over the full-screen window fullScreen.
    virtual void FloatOver(QWidget& fullScreen) { KeepAbove(*this, fullScreen); }
};

class TDSVideoWindowEx2 : public QWidget, public IFilter, public IGraphEventSink {
public:
    explicit TDSVideoWindowEx2(QWidget* parent = nullptr);
    ~TDSVideoWindowEx2() override;

    TFilterGraph* FilterGraph() const { return graph_; }
    void SetFilterGraph(TFilterGraph* graph);

    TColorControl& ColorControl() { return colors_; }
    const TDSVideoWindowEx2Caps& Caps() const { return caps_; }

    int32_t DigitalZoom() const { return zoom_; }
    // 0..99, else std::runtime_error("Value %d out of range. Value must bee between 0 -> 99").
    void SetDigitalZoom(int32_t value);
    TRatioModes AspectRatio() const { return ratio_; }
    void SetAspectRatio(TRatioModes mode);
    uint32_t AspectX() const { return aspectX_; }
    uint32_t AspectY() const { return aspectY_; }
    int32_t AutoHideCursor() const { return autoHideCursor_; }
    void SetAutoHideCursor(int32_t ms) { autoHideCursor_ = ms; }
    bool FullScreenTopMost() const { return topMost_; }
    void SetFullScreenTopMost(bool on) { topMost_ = on; }
    bool FSControlActive() const { return fsControlActive_; }
    void SetFSControlActive(bool on) { fsControlActive_ = on; }
    void SetControlForm(TVideoFullscreenControlForm* form) { controlForm_ = form; }

    bool FullScreen() const { return fullScreen_; }
    bool DesktopPlayback() const { return desktop_; }
    bool OverlayInUse() const { return overlayInUse_; }
    // The screen of full screen or desktop playback; nullptr otherwise.
    QScreen* Monitor() const { return monitor_; }
    QWidget* FullscreenControlHandle() const { return fullScreenForm_.get(); }

    void StartFullScreen();
    void StartFullScreenOn(QScreen* monitor);
    void StartDesktopPlayback();
    void StartDesktopPlaybackOn(QScreen* monitor);
    void LeaveFullScreen();

    // The idle routine: hides the cursor after AutoHideCursor ms without a
    // move, shows the control bar in full screen while the mouse moves.
    void IdleAutoHideCursor(bool& done);
    bool CursorHidden() const { return cursorHidden_; }

    // The video rectangle inside the control by the aspect-ratio mode.
    QRect VideoRect();

    std::function<void(bool)> OnCursorShowHide;
    std::function<void(bool)> OnOverlayVisible;
    std::function<bool(QRect&)> OnGetVideoRect; // true: handled

    // IFilter
    media::ComPtr<media::IBaseFilter> GetFilter() override { return renderer_; }
    std::u16string GetName() override;
    void NotifyFilter(Operation operation, int param) override;
    void GraphDestroyed() override { graph_ = nullptr; }
    // IGraphEventSink
    void GraphEvent(int32_t event, intptr_t param1, intptr_t param2) override;
    void ControlEvent(Control event, int param) override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    bool SetupRenderer();
    void ConfigureRendererWindow();
    void NoteMouse(QPoint global, bool always);
    QScreen* NearestScreen() const;
    void MoveInto(QWidget* form, QScreen* monitor);
    bool HasMixer() const { return mixer_ != nullptr; }

    TFilterGraph* graph_ = nullptr;
    media::ComPtr<media::IBaseFilter> renderer_;
    media::ComPtr<media::IBaseFilter> mixer_;
    media::ComPtr<media::IVideoWindow> window_;
    TColorControl colors_;
    TDSVideoWindowEx2Caps caps_;
    int32_t zoom_ = 0;
    TRatioModes ratio_ = TRatioModes::rmLetterBox;
    uint32_t aspectX_ = 0, aspectY_ = 0;
    int32_t autoHideCursor_ = 0;
    bool topMost_ = false, fsControlActive_ = true;
    bool fullScreen_ = false, desktop_ = false, overlayInUse_ = false, overlayVisible_ = false;
    bool setupDone_ = false, cursorHidden_ = false;
    QPoint lastMouse_;
    int64_t lastMove_ = 0;
    QPointer<QScreen> monitor_;
    QPointer<QWidget> oldParent_;
    QRect oldGeometry_;
    std::unique_ptr<QWidget> fullScreenForm_;
    QPointer<TVideoFullscreenControlForm> controlForm_;
};

} // namespace kolvarin::video
