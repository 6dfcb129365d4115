#pragma once

// The video window of the video renderer: a widget that shows the latest
// picture scaled to its size, drawn with OpenGL (YUV to RGB and the colour
// controls in a shader, scaled by the GPU) where the display offers it in
// hardware, else converted with swscale and painted with QPainter. Main thread only, except
// PictureStore, which the streaming thread fills.

#include <QImage>
#include <QObject>
#include <QOpenGLWindow>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "base/threadsafety.h"
#include "media/controlif.h"
#include "media/pictureconvert.h"

struct AVFrame;
class QEvent;

namespace kolvarin::media {

// The latest picture, handed from the streaming thread to the main thread.
class PictureStore {
public:
    PictureStore() = default;
    ~PictureStore();
    PictureStore(const PictureStore&) = delete;
    PictureStore& operator=(const PictureStore&) = delete;

    void Put(const AVFrame* frame); // keeps a reference of its own
    // A new reference to the latest picture (or nullptr) and its number,
    // which grows with every Put.
    AVFrame* Take(uint64_t* serial = nullptr);
    void Clear();

private:
    // Guards the picture and its number; taken alone.
    Mutex lock_;
    AVFrame* frame_ GUARDED_BY(lock_) = nullptr;
    uint64_t serial_ GUARDED_BY(lock_) = 0;
};

// What the video window shows (the source rectangle of the latest picture,
// with the colour controls) and the widget that shows it. The widget may be
// deleted with a parent it was placed in; the view then has none.
class VideoView final : public QObject {
public:
    // Makes the widget by the video output chosen (SetVideoOutput).
    explicit VideoView(PictureStore& store);
    ~VideoView() override;

    QWidget* Widget() const { return widget_; } // nullptr once deleted
    bool UsesOpenGL() const { return surface_ != nullptr; }
    // Draws again (with the source rectangle and controls set).
    void Refresh();
    void SetCursorShape(Qt::CursorShape shape);
    // What the window shows now, as drawn on screen.
    QImage Grab();

    void SetSource(QRect source) { source_ = source; }
    QRect Source() const { return source_; }
    void SetControls(const DDCOLORCONTROL& c) { controls_ = c; }
    const DDCOLORCONTROL& Controls() const { return controls_; }
    PictureStore& Store() { return store_; }
    // Where mouse input goes on to (the renderer's message drain).
    void SetDrain(QWidget* drain) { drain_ = drain; }
    // Sends a mouse or context-menu event of the widget on to the drain;
    // true when taken.
    bool ForwardMouse(QEvent* e);
    // The latest picture converted in software at size, as a screenshot.
    QImage Render(QSize size);

private:
    PictureStore& store_;
    QPointer<QWidget> widget_;
    QPointer<QOpenGLWindow> surface_; // the OpenGL path's window, inside widget_
    QPointer<QWidget> drain_;
    QRect source_;
    DDCOLORCONTROL controls_ = DefaultColorControls();
    PictureConverter converter_;
};

enum class VideoOutput { Automatic, OpenGL, Software };
// How video windows made from now on draw (Automatic: OpenGL where the
// display offers it in hardware, else software; OpenGL: wherever the display
// offers it, a software rasteriser too). Main thread.
void SetVideoOutput(VideoOutput output);
// Whether the display offers OpenGL for video windows, in hardware or not
// (tested once).
bool OpenGLVideoAvailable();

} // namespace kolvarin::media
