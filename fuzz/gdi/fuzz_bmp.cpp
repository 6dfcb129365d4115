#include <cstddef>
#include <cstdint>
#include <span>

#include "gdi/bmpcodec.h"

// Any bytes must give a result, never a crash; a decoded bitmap must survive
// a write and read back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin::gdi;
    Bitmap bitmap;
    if (!ReadBmp(std::span<const std::uint8_t>(data, size), bitmap))
        return 0;
    Bitmap again;
    if (!ReadBmp(EncodeBmp24(bitmap), again) || !(again == bitmap))
        __builtin_trap();
    return 0;
}
