#pragma once

// The OpenGL path of the video window: a window of its own (an OpenGL
// widget would be composed into its top level once more per picture, which
// a software rasteriser pays for in full), embedded in a container widget.
// The picture's three planes are uploaded as textures when a new picture
// comes, and a shader converts YUV to RGB with the view's colour controls
// while the GPU scales it. Main thread.

#include <QImage>

class QOpenGLWindow;
class QWidget;

namespace kolvarin::media {

class VideoView;

struct GlVideoSurface {
    QWidget* container; // owns window; the caller owns the container
    QOpenGLWindow* window;
};
GlVideoSurface MakeGlVideoSurface(VideoView& view);
// The picture drawn by window at its size, as on screen; a null image before
// the window has been shown. window must come from MakeGlVideoSurface.
QImage SnapshotGlVideo(QOpenGLWindow* window);

} // namespace kolvarin::media
