#include <cstddef>
#include <cstdint>

#include "core/stream/lumostream.h"
#include "skin/kskinload.h"
#include "skin/kskinxml.h"

#include "skinwindows.h"

// Any XML description: read into a fresh record, every image cut from a
// small bitmap, then applied to the windows and painted once. Sizes from the
// description are bounded where they are read, so memory stays bounded too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    static TKGUI skin;
    static const gdi::Bitmap bitmap(64, 64);
    InitGUI(skin);
    TLumoStream stream;
    if (size > 0 && stream.Write(data, static_cast<int32_t>(size)) == 0)
        return 0;
    stream.Seek(0);
    if (ReadSkinXml(skin, stream).Usable() && CutSkinImages(skin, bitmap))
        ApplyAndPaintOnce(skin);
    return 0;
}
