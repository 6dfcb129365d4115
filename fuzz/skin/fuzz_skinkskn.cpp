#include <cstddef>
#include <cstdint>
#include <string_view>

#include "skin/kskinkskn.h"
#include "skin/kskinload.h"

#include "skinwindows.h"

// Any line-oriented description: read into a fresh record, every image cut
// from a small bitmap, then applied to the windows and painted once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    static TKGUI skin;
    static const gdi::Bitmap bitmap(64, 64);
    InitGUI(skin);
    ReadSkinKsknText(skin, std::string_view(reinterpret_cast<const char*>(data), size));
    if (CutSkinImages(skin, bitmap))
        ApplyAndPaintOnce(skin);
    return 0;
}
