#pragma once

#include <QImage>

#include "gdi/bitmap.h"

namespace kolvarin::gdi {

// A QImage over the bitmap's own pixels, so QPainter draws straight into
// them. Valid while the bitmap keeps its size and format; the bitmap must
// outlive the image and every painter on it. Empty for an empty bitmap.
QImage WrapAsQImage(Bitmap& bitmap);

// A read-only view of the pixels, with the same lifetime rule.
QImage ViewAsQImage(const Bitmap& bitmap);

} // namespace kolvarin::gdi
