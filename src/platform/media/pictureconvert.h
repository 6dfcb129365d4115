#pragma once

// I420 pictures to RGB images, with the mixer's colour controls applied on
// the way. One converter per user; not thread-safe.

#include <array>
#include <cstdint>

#include <QImage>
#include <QRect>

#include "media/controlif.h"

struct AVFrame;
struct SwsContext;

namespace kolvarin::media {

// True when the controls change nothing (the values the platform reports by default).
bool NeutralColorControls(const DDCOLORCONTROL& c);

// The controls as the software path and the shader apply them: a table for
// brightness, contrast and gamma on luma, a 2x2 matrix on centred chroma
// (hue rotation times saturation; colour off = 0), and the strength of an
// unsharp mask along the rows (0 = none, below 0 a blur).
struct ColorAdjust {
    std::array<uint8_t, 256> luma{};
    double chroma[2][2]{};
    double sharpen = 0;
};
ColorAdjust MakeColorAdjust(const DDCOLORCONTROL& c);

// YUV to RGB for a frame's colour space and range, on values in 0..1:
// rgb = matrix * (y - yOffset, u - 0.5, v - 0.5) (rows R, G, B).
struct YuvMatrix {
    double m[3][3]{};
    double yOffset = 0;
};
YuvMatrix YuvToRgbMatrix(const AVFrame* frame);

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
    // The context whose colour space was set last, and for what.
    const SwsContext* configured_ = nullptr;
    int space_ = 0;
    bool fullRange_ = false;
    QImage image_;
};

// Applies the controls to an I420 frame in place (the frame must be writable).
void ApplyColorControls(AVFrame* frame, const DDCOLORCONTROL& controls);

} // namespace kolvarin::media
