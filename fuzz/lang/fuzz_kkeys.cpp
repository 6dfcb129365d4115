#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings/khotkeys.h"

// A hot-key file is accepted only whole, and what is accepted is written
// back byte for byte.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<THotKeyEntry> records;
    if (!TKHotKeys::Decode(bytes, records))
        return 0;
    if (TKHotKeys::Encode(records) != bytes)
        __builtin_trap();
    return 0;
}
