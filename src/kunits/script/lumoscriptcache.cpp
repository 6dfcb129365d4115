// The engine's use of its cache file.
#include <fstream>
#include <iterator>

#include "script/lumocache.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

bool TLumoScript::LoadCache() {
  if (FCacheFolder.empty() || FCacheFileName.empty()) return false;
  std::ifstream in(FCacheFolder + FCacheFileName, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size <= 0 || uint64_t(size) > kMaxCacheSize) return false;
  std::vector<uint8_t> file(static_cast<size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(file.data()), size)) return false;
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

void TLumoScript::SaveCache() {
  if (FCacheFolder.empty() || FCacheFileName.empty()) return;
  TCacheContent content{FImage, FNatives, FImports, FOutputBlocks};
  std::vector<uint8_t> file =
      WriteCacheFile(content, CacheKey(FSourceCrc, FSource, alignment, breakpointOption), compressCache);
  std::ofstream out(FCacheFolder + FCacheFileName, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));  // failures leave no cache
}

}  // namespace kolvarin::script
