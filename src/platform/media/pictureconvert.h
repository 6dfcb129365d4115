#pragma once

// I420 pictures to RGB images, with the mixer's colour controls applied on
// the way. One converter per user; not thread-safe.

#include <QImage>
#include <QRect>

#include "media/controlif.h"

struct AVFrame;
struct SwsContext;

namespace kolvarin::media {

// True when the controls change nothing (the values the platform reports by default).
bool NeutralColorControls(const DDCOLORCONTROL& c);
DDCOLORCONTROL DefaultColorControls();

class PictureConverter {
public:
    PictureConverter() = default;
    ~PictureConverter();
    PictureConverter(const PictureConverter&) = delete;
    PictureConverter& operator=(const PictureConverter&) = delete;

    // The source rectangle of the frame scaled to size (RGB32), with the
    // controls applied; a null image for a frame of another format.
    QImage Convert(const AVFrame* frame, QRect source, QSize size, const DDCOLORCONTROL& controls);

private:
    SwsContext* sws_ = nullptr;
};

// Applies the controls to an I420 frame in place (the frame must be writable).
void ApplyColorControls(AVFrame* frame, const DDCOLORCONTROL& controls);

} // namespace kolvarin::media
