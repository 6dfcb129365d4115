#include "media/pictureconvert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace kolvarin::media {

bool NeutralColorControls(const DDCOLORCONTROL& c)
{
    return c.lBrightness == 750 && c.lContrast == 10000 && c.lHue == 0 && c.lSaturation == 10000 && c.lSharpness == 5 &&
           c.lGamma == 1 && c.lColorEnable != 0;
}

ColorAdjust MakeColorAdjust(const DDCOLORCONTROL& c)
{
    ColorAdjust a;
    // Luma: contrast around mid grey, brightness as an offset (750 = none,
    // 10000 = +255), gamma as a power (1 = none, 500 = 1/5 of it).
    const double contrast = c.lContrast / 10000.0;
    const double offset = (c.lBrightness - 750) * 255.0 / 9250.0;
    const double gamma = 1.0 + (c.lGamma - 1) / 100.0;
    for (int v = 0; v < 256; ++v) {
        double y = (v - 128) * contrast + 128 + offset;
        y = 255.0 * std::pow(std::clamp(y, 0.0, 255.0) / 255.0, 1.0 / gamma);
        a.luma[v] = static_cast<uint8_t>(std::lround(std::clamp(y, 0.0, 255.0)));
    }
    // Chroma: rotate by the hue, scale by the saturation; colour off = grey.
    const double sat = c.lColorEnable ? c.lSaturation / 10000.0 : 0.0;
    const double angle = c.lHue * M_PI / 180.0;
    const double cs = std::cos(angle) * sat, sn = std::sin(angle) * sat;
    a.chroma[0][0] = cs;
    a.chroma[0][1] = -sn;
    a.chroma[1][0] = sn;
    a.chroma[1][1] = cs;
    // Sharpness: 5 is none.
    a.sharpen = (c.lSharpness - 5) / 5.0;
    return a;
}

YuvMatrix YuvToRgbMatrix(const AVFrame* frame)
{
    double kr = 0.299, kb = 0.114; // BT.601, also for pictures that do not say
    switch (frame->colorspace) {
    case AVCOL_SPC_BT709: kr = 0.2126, kb = 0.0722; break;
    case AVCOL_SPC_SMPTE240M: kr = 0.212, kb = 0.087; break;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: kr = 0.2627, kb = 0.0593; break;
    default: break;
    }
    const bool full = frame->color_range == AVCOL_RANGE_JPEG || frame->format == AV_PIX_FMT_YUVJ420P;
    const double ys = full ? 1.0 : 255.0 / 219.0, cs = full ? 1.0 : 255.0 / 224.0;
    const double kg = 1 - kr - kb;
    YuvMatrix m;
    m.yOffset = full ? 0.0 : 16.0 / 255.0;
    const double rv = 2 * (1 - kr), bu = 2 * (1 - kb);
    const double rows[3][3] = {{ys, 0, rv * cs}, {ys, -bu * kb / kg * cs, -rv * kr / kg * cs}, {ys, bu * cs, 0}};
    std::copy(&rows[0][0], &rows[0][0] + 9, &m.m[0][0]);
    return m;
}

void ApplyColorControls(AVFrame* frame, const DDCOLORCONTROL& c)
{
    if (NeutralColorControls(c))
        return;
    const ColorAdjust a = MakeColorAdjust(c);
    const int w = frame->width, h = frame->height;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = frame->data[0] + size_t(y) * frame->linesize[0];
        for (int x = 0; x < w; ++x)
            row[x] = a.luma[row[x]];
    }
    // Above 0 an unsharp mask along the rows, below a blur.
    if (a.sharpen != 0) {
        std::vector<uint8_t> line(static_cast<size_t>(w));
        for (int y = 0; y < h; ++y) {
            uint8_t* row = frame->data[0] + size_t(y) * frame->linesize[0];
            std::copy(row, row + w, line.begin());
            for (int x = 1; x + 1 < w; ++x) {
                const double blur = (line[x - 1] + 2 * line[x] + line[x + 1]) / 4.0;
                row[x] =
                    static_cast<uint8_t>(std::clamp(std::lround(line[x] + a.sharpen * (line[x] - blur)), 0L, 255L));
            }
        }
    }
    for (int y = 0; y < (h + 1) / 2; ++y) {
        uint8_t* u = frame->data[1] + size_t(y) * frame->linesize[1];
        uint8_t* v = frame->data[2] + size_t(y) * frame->linesize[2];
        for (int x = 0; x < (w + 1) / 2; ++x) {
            const double cu = u[x] - 128.0, cv = v[x] - 128.0;
            u[x] = static_cast<uint8_t>(
                std::clamp(std::lround(128 + a.chroma[0][0] * cu + a.chroma[0][1] * cv), 0L, 255L));
            v[x] = static_cast<uint8_t>(
                std::clamp(std::lround(128 + a.chroma[1][0] * cu + a.chroma[1][1] * cv), 0L, 255L));
        }
    }
}

PictureConverter::~PictureConverter() { sws_freeContext(sws_); }

QImage PictureConverter::Convert(const AVFrame* frame, QRect source, QSize size, const DDCOLORCONTROL& controls)
{
    if (!frame || (frame->format != AV_PIX_FMT_YUV420P && frame->format != AV_PIX_FMT_YUVJ420P) || size.isEmpty())
        return {};
    source = source.intersected(QRect(0, 0, frame->width, frame->height));
    if (source.isEmpty())
        source = QRect(0, 0, frame->width, frame->height);
    // Chroma planes are half size: the source starts on even pixels.
    source.setLeft(source.left() & ~1);
    source.setTop(source.top() & ~1);
    AVFrame* work = nullptr;
    const AVFrame* in = frame;
    if (!NeutralColorControls(controls)) {
        work = av_frame_clone(frame);
        if (!work || av_frame_make_writable(work) < 0) {
            av_frame_free(&work);
            return {};
        }
        ApplyColorControls(work, controls);
        in = work;
    }
    sws_ = sws_getCachedContext(sws_, source.width(), source.height(), AV_PIX_FMT_YUV420P, size.width(), size.height(),
                                AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    const bool full = frame->color_range == AVCOL_RANGE_JPEG || frame->format == AV_PIX_FMT_YUVJ420P;
    if (sws_ && (sws_ != configured_ || frame->colorspace != space_ || full != fullRange_)) {
        sws_setColorspaceDetails(sws_, sws_getCoefficients(frame->colorspace), full ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
        configured_ = sws_;
        space_ = frame->colorspace;
        fullRange_ = full;
    }
    QImage image;
    if (sws_) {
        // The last picture's buffer, unless its user still holds it: a fresh
        // one a picture would be allocated and cleared by the system each time.
        if (image_.size() != size)
            image_ = QImage(size, QImage::Format_RGB32);
        const uint8_t* planes[3] = {in->data[0] + source.top() * in->linesize[0] + source.left(),
                                    in->data[1] + source.top() / 2 * in->linesize[1] + source.left() / 2,
                                    in->data[2] + source.top() / 2 * in->linesize[2] + source.left() / 2};
        uint8_t* out[1] = {image_.bits()};
        const int outStride[1] = {static_cast<int>(image_.bytesPerLine())};
        sws_scale(sws_, planes, in->linesize, 0, source.height(), out, outStride);
        image = image_;
    }
    av_frame_free(&work);
    return image;
}

} // namespace kolvarin::media
