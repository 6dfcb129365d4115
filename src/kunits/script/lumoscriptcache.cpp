// The engine's use of its cache file.
#include <fstream>

#include "script/lumobytes.h"
#include "script/lumocache.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

bool TLumoScript::LoadCache()
{
    if (FCacheFolder.empty() || FCacheFileName.empty())
        return false;
    std::vector<uint8_t> file;
    if (!ReadFileBytes(FCacheFolder + FCacheFileName, kMaxCacheSize, file))
        return false;
    TCacheContent content;
    if (ReadCacheFile(file, CacheKey(FSourceCrc, FSource, alignment, breakpointOption), FNatives, content) !=
        TCacheError::None)
        return false;
    FImage = std::move(content.image);
    FNatives = std::move(content.natives);
    FImports = std::move(content.imports);
    FOutputBlocks = std::move(content.outputBlocks);
    return true;
}

void TLumoScript::SaveCache()
{
    if (FCacheFolder.empty() || FCacheFileName.empty())
        return;
    TCacheContent content{FImage, FNatives, FImports, FOutputBlocks};
    std::vector<uint8_t> file =
        WriteCacheFile(content, CacheKey(FSourceCrc, FSource, alignment, breakpointOption), compressCache);
    std::ofstream out(FCacheFolder + FCacheFileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size())); // failures leave no cache
}

} // namespace kolvarin::script
