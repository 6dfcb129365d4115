// Unpacks arbitrary bytes: a numbered error or output within the limit, never
// a crash, a hang or a larger allocation; what unpacks packs back losslessly.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "script/lumoap32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kolvarin::script::ap32;
    std::vector<uint8_t> out;
    constexpr uint64_t kLimit = 1 << 20;
    if (Unpack({data, size}, out, kLimit) != Ap32Error::None)
        return 0;
    if (out.size() > kLimit)
        __builtin_trap();
    if (out.size() <= 4096) {
        std::vector<uint8_t> again;
        if (Unpack(Pack(out), again) != Ap32Error::None || again != out)
            __builtin_trap();
    }
    return 0;
}
