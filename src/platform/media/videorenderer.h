#pragma once

// The video renderer (CLSID_VideoRenderer): shows I420 pictures in a widget
// of its own, the video window (videoview.h: OpenGL where the display
// offers it, else software), which IVideoWindow places inside an owner
// widget. IBasicVideo2 gives the picture size and the shown part of it
// (digital zoom). Pictures are drawn on the main thread: the streaming
// thread hands over the latest picture and asks for a repaint through the
// event loop.

#include <QImage>

#include "media/filterif.h"

namespace kolvarin::media {

ComPtr<IBaseFilter> MakeVideoRenderer();

// The last picture the renderer received, converted to RGB at its own size
// (the part shown by the source rectangle); a null image when there is none
// or filter is no video renderer of ours. Main thread.
QImage CurrentVideoImage(IBaseFilter* filter);
// What the video window shows now, drawn as on screen. Main thread.
QImage GrabVideoWindow(IBaseFilter* filter);
// Whether the renderer's window draws with OpenGL (else in software).
bool VideoWindowUsesOpenGL(IBaseFilter* filter);

} // namespace kolvarin::media
