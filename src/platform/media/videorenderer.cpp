#include "media/videorenderer.h"

#include <atomic>
#include <optional>

#include <QWidget>

extern "C" {
#include <libavutil/frame.h>
}

#include "media/controlif.h"
#include "media/graphif.h"
#include "media/overlaymixer.h"
#include "media/renderer.h"
#include "media/uuids.h"
#include "media/videoview.h"
#include "post/post.h"

namespace kolvarin::media {
namespace {

class VideoRenderer final : public Extend<Renderer, IVideoWindow, IBasicVideo2> {
public:
    VideoRenderer() : Extend(CLSID_VideoRenderer, u"Video Renderer"), view_(new VideoView(store_)) {}
    ~VideoRenderer() override
    {
        {
            MutexLock lock(viewLock_);
            alive_ = false;
        }
        delete view_;
    }

    HRESULT CheckInputType(const AMMediaType& type) override
    {
        return type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_I420 &&
                       type.formattype == FORMAT_VideoInfo2 && ReadVideoInfo2(type.formatBytes())
                   ? S_OK
                   : VFW_E_TYPE_NOT_ACCEPTED;
    }

    void SetInputType(const AMMediaType& type) override
    {
        auto v = ReadVideoInfo2(type.formatBytes());
        if (!v)
            return;
        MutexLock lock(formatLock_);
        width_ = v->bmiHeader.biWidth;
        height_ = std::abs(v->bmiHeader.biHeight);
        aspectX_ = v->dwPictAspectRatioX ? v->dwPictAspectRatioX : width_;
        aspectY_ = v->dwPictAspectRatioY ? v->dwPictAspectRatioY : height_;
        frameTime_ = v->AvgTimePerFrame;
        source_ = QRect(0, 0, width_, height_);
        sourceChanged_ = true;
    }

    void Render(IMediaSample* sample) override
    {
        const AVFrame* frame = FrameOf(sample);
        if (!frame)
            return;
        REFERENCE_TIME start = 0, stop = 0;
        if (Succeeded(sample->GetTime(&start, &stop)) && stop < 0)
            return; // preroll before the segment start
        store_.Put(frame);
        ++frames_;
        RequestRepaint();
    }

    void OnFlush() override {}

    // Colour controls set by the mixer in front of us.
    void SetColorControls(const DDCOLORCONTROL& c)
    {
        MutexLock lock(formatLock_);
        controls_ = c;
        sourceChanged_ = true;
        RequestRepaint();
    }

    int64_t Frames() const { return frames_; }
    QImage Current()
    {
        Sync();
        return view_->Render(view_->Source().size());
    }
    QImage Grab()
    {
        Sync();
        return view_->Grab();
    }
    bool UsesOpenGL() const { return view_->UsesOpenGL(); }

    // ---- IVideoWindow
    HRESULT put_Caption(const std::u16string& caption) override
    {
        caption_ = caption;
        QWidget* w = view_->Widget();
        if (!w)
            return E_UNEXPECTED;
        w->setWindowTitle(QString::fromStdU16String(caption));
        return S_OK;
    }
    HRESULT get_Caption(std::u16string* caption) override
    {
        if (!caption)
            return E_POINTER;
        *caption = caption_;
        return S_OK;
    }
    HRESULT put_WindowStyle(int32_t style) override
    {
        style_ = style;
        return S_OK;
    }
    HRESULT put_WindowStyleEx(int32_t) override { return S_OK; }
    HRESULT put_AutoShow(bool autoShow) override
    {
        autoShow_ = autoShow;
        QWidget* w = view_->Widget();
        if (!w)
            return E_UNEXPECTED;
        if (autoShow)
            w->show();
        return S_OK;
    }
    HRESULT put_Visible(bool visible) override
    {
        QWidget* w = view_->Widget();
        if (!w)
            return E_UNEXPECTED;
        w->setVisible(visible);
        return S_OK;
    }
    HRESULT get_Visible(bool* visible) override
    {
        if (!visible)
            return E_POINTER;
        QWidget* w = view_->Widget();
        *visible = w && w->isVisible();
        return w ? S_OK : E_UNEXPECTED;
    }
    HRESULT put_Owner(QWidget* owner) override
    {
        QWidget* w = view_->Widget();
        if (!w)
            return E_UNEXPECTED;
        const bool shown = w->isVisible() || autoShow_;
        w->setParent(owner);
        if (shown)
            w->show();
        return S_OK;
    }
    HRESULT get_Owner(QWidget** owner) override
    {
        if (!owner)
            return E_POINTER;
        QWidget* w = view_->Widget();
        *owner = w ? w->parentWidget() : nullptr;
        return w ? S_OK : E_UNEXPECTED;
    }
    HRESULT put_MessageDrain(QWidget* drain) override
    {
        view_->SetDrain(drain);
        return S_OK;
    }
    HRESULT SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) override
    {
        if (width < 0 || height < 0)
            return E_INVALIDARG;
        QWidget* w = view_->Widget();
        if (!w)
            return E_UNEXPECTED;
        w->setGeometry(left, top, width, height);
        return S_OK;
    }
    HRESULT GetWindowPosition(int32_t* left, int32_t* top, int32_t* width, int32_t* height) override
    {
        if (!left || !top || !width || !height)
            return E_POINTER;
        QWidget* w = view_->Widget();
        if (!w)
            return E_UNEXPECTED;
        const QRect g = w->geometry();
        *left = g.left();
        *top = g.top();
        *width = g.width();
        *height = g.height();
        return S_OK;
    }
    HRESULT HideCursor(bool hide) override
    {
        QWidget* w = view_->Widget();
        if (!w)
            return E_UNEXPECTED;
        hidden_ = hide;
        view_->SetCursorShape(hide ? Qt::BlankCursor : Qt::ArrowCursor);
        return S_OK;
    }
    HRESULT IsCursorHidden(bool* hidden) override
    {
        if (!hidden)
            return E_POINTER;
        *hidden = hidden_;
        return S_OK;
    }

    // ---- IBasicVideo2
    HRESULT get_AvgTimePerFrame(REFERENCE_TIME* time) override
    {
        return Get(time, [this]() REQUIRES(formatLock_) { return frameTime_; });
    }
    HRESULT get_VideoWidth(int32_t* width) override
    {
        return Get(width, [this]() REQUIRES(formatLock_) { return width_; });
    }
    HRESULT get_VideoHeight(int32_t* height) override
    {
        return Get(height, [this]() REQUIRES(formatLock_) { return height_; });
    }
    HRESULT put_SourceLeft(int32_t v) override { return SetSource(v, {}, {}, {}); }
    HRESULT put_SourceTop(int32_t v) override { return SetSource({}, v, {}, {}); }
    HRESULT put_SourceWidth(int32_t v) override { return SetSource({}, {}, v, {}); }
    HRESULT put_SourceHeight(int32_t v) override { return SetSource({}, {}, {}, v); }
    HRESULT get_SourceWidth(int32_t* v) override
    {
        return Get(v, [this]() REQUIRES(formatLock_) { return source_.width(); });
    }
    HRESULT get_SourceHeight(int32_t* v) override
    {
        return Get(v, [this]() REQUIRES(formatLock_) { return source_.height(); });
    }
    HRESULT GetSourcePosition(int32_t* left, int32_t* top, int32_t* width, int32_t* height) override
    {
        if (!left || !top || !width || !height)
            return E_POINTER;
        MutexLock lock(formatLock_);
        *left = source_.left();
        *top = source_.top();
        *width = source_.width();
        *height = source_.height();
        return S_OK;
    }
    HRESULT SetDefaultSourcePosition() override
    {
        MutexLock lock(formatLock_);
        return SetSourceLocked(0, 0, width_, height_);
    }
    HRESULT GetVideoSize(int32_t* width, int32_t* height) override
    {
        if (!width || !height)
            return E_POINTER;
        MutexLock lock(formatLock_);
        *width = width_;
        *height = height_;
        return width_ ? S_OK : VFW_E_NOT_CONNECTED;
    }
    HRESULT GetPreferredAspectRatio(int32_t* x, int32_t* y) override
    {
        if (!x || !y)
            return E_POINTER;
        MutexLock lock(formatLock_);
        *x = aspectX_;
        *y = aspectY_;
        return S_OK;
    }

private:
    // Answers what read gives; the format changes on the streaming thread.
    template <class T, class Read>
    HRESULT Get(T* out, Read read)
    {
        if (!out)
            return E_POINTER;
        MutexLock lock(formatLock_);
        *out = static_cast<T>(read());
        return Input().IsConnected() ? S_OK : VFW_E_NOT_CONNECTED;
    }

    // A side not given stays as it is.
    HRESULT SetSource(std::optional<int32_t> left, std::optional<int32_t> top, std::optional<int32_t> width,
                      std::optional<int32_t> height)
    {
        MutexLock lock(formatLock_);
        return SetSourceLocked(left.value_or(source_.left()), top.value_or(source_.top()),
                               width.value_or(source_.width()), height.value_or(source_.height()));
    }
    HRESULT SetSourceLocked(int32_t left, int32_t top, int32_t width, int32_t height) REQUIRES(formatLock_)
    {
        if (left < 0 || top < 0 || width <= 0 || height <= 0 || left + width > width_ || top + height > height_)
            return E_INVALIDARG;
        source_ = QRect(left, top, width, height);
        sourceChanged_ = true;
        RequestRepaint();
        return S_OK;
    }

    // Asks the main thread to repaint; one request at a time.
    void RequestRepaint()
    {
        if (repaintPending_.exchange(true))
            return;
        MutexLock lock(viewLock_);
        if (!alive_)
            return;
        post::PostCall(view_, [this] {
            repaintPending_ = false;
            Sync();
            view_->Refresh();
        });
    }

    // Main thread: takes over what the streaming thread changed.
    void Sync()
    {
        MutexLock lock(formatLock_);
        if (sourceChanged_) {
            view_->SetSource(source_);
            view_->SetControls(controls_);
            sourceChanged_ = false;
        }
    }

    PictureStore store_;
    VideoView* view_;
    // Whether view_ may still be posted to; taken after formatLock_.
    Mutex viewLock_;
    bool alive_ GUARDED_BY(viewLock_) = true;
    std::atomic<bool> repaintPending_{false};
    // The picture's format and what the view shows of it, set on the
    // streaming thread and read on the main thread; taken before viewLock_.
    Mutex formatLock_;
    int32_t width_ GUARDED_BY(formatLock_) = 0, height_ GUARDED_BY(formatLock_) = 0;
    int32_t aspectX_ GUARDED_BY(formatLock_) = 0, aspectY_ GUARDED_BY(formatLock_) = 0;
    REFERENCE_TIME frameTime_ GUARDED_BY(formatLock_) = 0;
    QRect source_ GUARDED_BY(formatLock_);
    DDCOLORCONTROL controls_ GUARDED_BY(formatLock_) = DefaultColorControls();
    bool sourceChanged_ GUARDED_BY(formatLock_) = false;
    std::u16string caption_;
    int32_t style_ = 0;
    bool autoShow_ = true, hidden_ = false;
    std::atomic<int64_t> frames_{0};
};

VideoRenderer* OurRenderer(IBaseFilter* filter) { return dynamic_cast<VideoRenderer*>(filter); }

} // namespace

void SetRendererColorControls(IBaseFilter* filter, const DDCOLORCONTROL& controls)
{
    if (auto* r = OurRenderer(filter))
        r->SetColorControls(controls);
}

ComPtr<IBaseFilter> MakeVideoRenderer()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter*>(MakeCom<VideoRenderer>().get()));
}

QImage CurrentVideoImage(IBaseFilter* filter)
{
    auto* r = OurRenderer(filter);
    return r ? r->Current() : QImage();
}

QImage GrabVideoWindow(IBaseFilter* filter)
{
    auto* r = OurRenderer(filter);
    return r ? r->Grab() : QImage();
}

bool VideoWindowUsesOpenGL(IBaseFilter* filter)
{
    auto* r = OurRenderer(filter);
    return r && r->UsesOpenGL();
}

} // namespace kolvarin::media
