#pragma once

// The OpenGL path of the video window: the picture's three planes are
// uploaded as textures when a new picture comes, and a shader converts YUV
// to RGB with the view's colour controls while the GPU scales it to the
// widget. Main thread; the GL objects follow the widget's context (made
// again when the widget moves to another window).

class QWidget;

namespace kolvarin::media {

class VideoView;

// A new widget drawing view's pictures; the caller owns it.
QWidget* MakeGlVideoWidget(VideoView& view);

} // namespace kolvarin::media
