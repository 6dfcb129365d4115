// The engine's use of its cache file.
#include <fstream>

#include "script/lumobytes.h"
#include "script/lumocache.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

bool TLumoScript::LoadCache()
{
    if (cacheFolder_.empty() || cacheFileName_.empty())
        return false;
    std::vector<uint8_t> file;
    if (!ReadFileBytes(cacheFolder_ + cacheFileName_, kMaxCacheSize, file))
        return false;
    TCacheContent content;
    if (ReadCacheFile(file, CacheKey(sourceCrc_, source_, alignment, breakpointOption), natives_, content) !=
        TCacheError::None)
        return false;
    image_ = std::move(content.image);
    natives_ = std::move(content.natives);
    imports_ = std::move(content.imports);
    outputBlocks_ = std::move(content.outputBlocks);
    return true;
}

void TLumoScript::SaveCache()
{
    if (cacheFolder_.empty() || cacheFileName_.empty())
        return;
    TCacheContent content{image_, natives_, imports_, outputBlocks_};
    std::vector<uint8_t> file =
        WriteCacheFile(content, CacheKey(sourceCrc_, source_, alignment, breakpointOption), compressCache);
    std::ofstream out(cacheFolder_ + cacheFileName_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size())); // failures leave no cache
}

} // namespace kolvarin::script
