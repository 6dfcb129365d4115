#pragma once

#include <QImage>
#include <QString>

namespace skingen {

// The built-in skin: the bitmap holding every element's pictures and the
// XML description that places them.
struct BuiltinSkin {
    QImage Bitmap;
    QString Description;
};

// Draws the whole skin. Deterministic: the same program gives the same
// pixels and text.
BuiltinSkin MakeBuiltinSkin();

} // namespace skingen
