#include "media/videoview.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QWidget>

extern "C" {
#include <libavutil/frame.h>
}

#include "media/glvideowidget.h"

namespace kolvarin::media {

PictureStore::~PictureStore() { av_frame_free(&frame_); }

void PictureStore::Put(const AVFrame* frame)
{
    AVFrame* copy = av_frame_clone(frame);
    MutexLock guard(lock_);
    av_frame_free(&frame_);
    frame_ = copy;
    ++serial_;
}

AVFrame* PictureStore::Take(uint64_t* serial)
{
    MutexLock guard(lock_);
    if (serial)
        *serial = serial_;
    return frame_ ? av_frame_clone(frame_) : nullptr;
}

void PictureStore::Clear()
{
    MutexLock guard(lock_);
    av_frame_free(&frame_);
    ++serial_;
}

namespace {

// The software path: swscale to the widget's size, painted with QPainter.
class SoftwareVideoWidget final : public QWidget {
public:
    explicit SoftwareVideoWidget(VideoView& view) : view_(view)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QImage image = view_.Render(size());
        if (image.isNull())
            p.fillRect(rect(), Qt::black);
        else
            p.drawImage(0, 0, image);
    }
    bool event(QEvent* e) override { return view_.ForwardMouse(e) || QWidget::event(e); }

private:
    VideoView& view_;
};

VideoOutput output = VideoOutput::Automatic;

struct OpenGLSupport {
    bool available = false;
    bool software = false; // drawn by the CPU (Mesa's rasterisers)
};

// Only window systems with real OpenGL windows; the offscreen platform has
// none (QOpenGLWidget cannot render there).
OpenGLSupport ProbeOpenGL()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != "xcb" && platform != "wayland")
        return {};
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.create();
    if (!context.create() || !context.makeCurrent(&surface))
        return {};
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QString renderer = QString::fromLatin1(name ? name : "").toLower();
    const bool software = renderer.contains("llvmpipe") || renderer.contains("softpipe") || renderer.contains("swrast");
    context.doneCurrent();
    return {true, software};
}

const OpenGLSupport& Support()
{
    static const OpenGLSupport support = ProbeOpenGL();
    return support;
}

} // namespace

void SetVideoOutput(VideoOutput o) { output = o; }

bool OpenGLVideoAvailable() { return Support().available; }

VideoView::VideoView(PictureStore& store) : store_(store)
{
    // A software rasteriser pays more for the shader and its scaling than
    // swscale does for the same picture.
    const bool openGL = output == VideoOutput::OpenGL || (output == VideoOutput::Automatic && !Support().software);
    if (openGL && OpenGLVideoAvailable()) {
        const GlVideoSurface gl = MakeGlVideoSurface(*this);
        widget_ = gl.container;
        surface_ = gl.window;
    } else {
        widget_ = new SoftwareVideoWidget(*this);
    }
    widget_->setObjectName("VideoRenderer");
}

VideoView::~VideoView() { delete widget_.data(); }

void VideoView::Refresh()
{
    if (surface_)
        surface_->update();
    else if (widget_)
        widget_->update();
}

void VideoView::SetCursorShape(Qt::CursorShape shape)
{
    if (widget_)
        widget_->setCursor(shape);
    if (surface_)
        surface_->setCursor(shape);
}

QImage VideoView::Grab()
{
    if (!widget_)
        return {};
    if (!surface_)
        return widget_->grab().toImage();
    QImage image = SnapshotGlVideo(surface_);
    return image.isNull() ? Render(widget_->size()) : image; // not shown yet
}

bool VideoView::ForwardMouse(QEvent* e)
{
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        if (!drain_)
            return false;
        auto* m = static_cast<QMouseEvent*>(e);
        QMouseEvent copy(m->type(), drain_->mapFromGlobal(m->globalPosition()), m->globalPosition(), m->button(),
                         m->buttons(), m->modifiers(), m->pointingDevice());
        // The device remembers the press it last saw: one without its time
        // would keep the next press from making a double click.
        copy.setTimestamp(m->timestamp());
        QCoreApplication::sendEvent(drain_, &copy);
        return true;
    }
    case QEvent::ContextMenu: {
        if (!drain_)
            return false;
        auto* c = static_cast<QContextMenuEvent*>(e);
        QContextMenuEvent copy(c->reason(), drain_->mapFromGlobal(c->globalPos()), c->globalPos(), c->modifiers());
        QCoreApplication::sendEvent(drain_, &copy);
        return true;
    }
    default: return false;
    }
}

QImage VideoView::Render(QSize size)
{
    AVFrame* f = store_.Take();
    QImage image = converter_.Convert(f, source_, size, controls_);
    av_frame_free(&f);
    return image;
}

} // namespace kolvarin::media
