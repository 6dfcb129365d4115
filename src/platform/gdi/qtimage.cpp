#include "gdi/qtimage.h"

namespace kolvarin::gdi {

namespace {

QImage::Format qtFormat(const Bitmap& bitmap)
{
    // Bits24 stores blue, green, red; Bits32 a little-endian 0xFFRRGGBB word.
    return bitmap.pixelFormat() == PixelFormat::Bits24 ? QImage::Format_BGR888 : QImage::Format_RGB32;
}

} // namespace

QImage WrapAsQImage(Bitmap& bitmap)
{
    if (bitmap.empty())
        return {};
    return QImage(bitmap.bits().data(), bitmap.width(), bitmap.height(), bitmap.bytesPerLine(), qtFormat(bitmap));
}

QImage ViewAsQImage(const Bitmap& bitmap)
{
    if (bitmap.empty())
        return {};
    return QImage(bitmap.bits().data(), bitmap.width(), bitmap.height(), bitmap.bytesPerLine(), qtFormat(bitmap));
}

} // namespace kolvarin::gdi
