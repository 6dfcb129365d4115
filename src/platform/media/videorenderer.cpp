#include "media/videorenderer.h"

#include <atomic>
#include <mutex>

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
            std::lock_guard lock(viewLock_);
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
        std::lock_guard lock(formatLock_);
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
        std::lock_guard lock(formatLock_);
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
    HRESULT get_AvgTimePerFrame(REFERENCE_TIME* time) override { return Get(time, frameTime_); }
    HRESULT get_VideoWidth(int32_t* width) override { return Get(width, width_); }
    HRESULT get_VideoHeight(int32_t* height) override { return Get(height, height_); }
    HRESULT put_SourceLeft(int32_t v) override
    {
        return SetSource(v, source_.top(), source_.width(), source_.height());
    }
    HRESULT put_SourceTop(int32_t v) override
    {
        return SetSource(source_.left(), v, source_.width(), source_.height());
    }
    HRESULT put_SourceWidth(int32_t v) override
    {
        return SetSource(source_.left(), source_.top(), v, source_.height());
    }
    HRESULT put_SourceHeight(int32_t v) override
    {
        return SetSource(source_.left(), source_.top(), source_.width(), v);
    }
    HRESULT get_SourceWidth(int32_t* v) override { return Get(v, source_.width()); }
    HRESULT get_SourceHeight(int32_t* v) override { return Get(v, source_.height()); }
    HRESULT GetSourcePosition(int32_t* left, int32_t* top, int32_t* width, int32_t* height) override
    {
        if (!left || !top || !width || !height)
            return E_POINTER;
        std::lock_guard lock(formatLock_);
        *left = source_.left();
        *top = source_.top();
        *width = source_.width();
        *height = source_.height();
        return S_OK;
    }
    HRESULT SetDefaultSourcePosition() override { return SetSource(0, 0, width_, height_); }
    HRESULT GetVideoSize(int32_t* width, int32_t* height) override
    {
        if (!width || !height)
            return E_POINTER;
        std::lock_guard lock(formatLock_);
        *width = width_;
        *height = height_;
        return width_ ? S_OK : VFW_E_NOT_CONNECTED;
    }
    HRESULT GetPreferredAspectRatio(int32_t* x, int32_t* y) override
    {
        if (!x || !y)
            return E_POINTER;
        std::lock_guard lock(formatLock_);
        *x = aspectX_;
        *y = aspectY_;
        return S_OK;
    }

private:
    template <class T, class V>
    HRESULT Get(T* out, V value)
    {
        if (!out)
            return E_POINTER;
        std::lock_guard lock(formatLock_);
        *out = static_cast<T>(value);
        return Input().IsConnected() ? S_OK : VFW_E_NOT_CONNECTED;
    }

    HRESULT SetSource(int32_t left, int32_t top, int32_t width, int32_t height)
    {
        std::lock_guard lock(formatLock_);
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
        std::lock_guard lock(viewLock_);
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
        std::lock_guard lock(formatLock_);
        if (sourceChanged_) {
            view_->SetSource(source_);
            view_->SetControls(controls_);
            sourceChanged_ = false;
        }
    }

    PictureStore store_;
    VideoView* view_;
    std::mutex viewLock_;
    bool alive_ = true;
    std::atomic<bool> repaintPending_{false};
    std::mutex formatLock_;
    int32_t width_ = 0, height_ = 0, aspectX_ = 0, aspectY_ = 0;
    REFERENCE_TIME frameTime_ = 0;
    QRect source_;
    DDCOLORCONTROL controls_ = DefaultColorControls();
    bool sourceChanged_ = false;
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
