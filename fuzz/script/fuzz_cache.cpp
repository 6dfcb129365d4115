// Reads arbitrary bytes as a cache file (with the magic, version and key put
// in front so the body is reached): a numbered error or a sound image, never
// a crash or an allocation beyond the cache bound.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "script/lumocache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kolvarin::script;
    static const std::vector<TNativeEntry> registered{{"A", "", 1}, {"B", "", 2}};
    std::vector<uint8_t> file{'L', 'S', 'C', 'F', 1, 0, 0, 0, 7, 0, 0, 0};
    file.insert(file.end(), data, data + size);
    TCacheContent out;
    if (ReadCacheFile(file, 7, registered, out) != TCacheError::None)
        return 0;
    const uint64_t code = out.image.code.size();
    if (code > kMaxCacheSize || out.natives.size() != registered.size())
        __builtin_trap();
    for (const TFixup& f : out.image.fixups)
        if (uint64_t(f.position) + 4 > code)
            __builtin_trap();
    return 0;
}
