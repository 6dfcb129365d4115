#pragma once
// The compiled-code cache file (".lsc"): the unlinked code image and its link
// tables, so an unchanged script is linked without compiling.
//
// Layout (little-endian): "LSCF", version 1, the cache key (32-bit), a packed
// flag byte; then either the body or a 32-bit packed length and the body
// AP32-packed. A string is a 32-bit length and its bytes.
//
// The key is the CRC-32 of the preprocessed source; when an option that
// changes the code (alignment off, breakpoint on) differs from its default,
// the options are hashed in too, so a file written under other options is
// never taken.
//
// Reading checks every count, length, packed size and position against what
// the file holds and the code length; a rejected file changes nothing in the
// caller's tables.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "script/lumocodeimage.h"
#include "script/lumolinker.h"

namespace kolvarin::script {

inline constexpr uint32_t kCacheVersion = 1;
// Bound on a cache file and on what its code may claim (the emulated heap).
inline constexpr uint64_t kMaxCacheSize = 64u << 20;

enum class TCacheError : int {
    None = 0,
    Missing = 1, // no file, or no folder or name to find it by
    BadMagic = 2,
    BadVersion = 3,
    OtherSource = 4, // the key differs: other source or other options
    Truncated = 5, // a count, length or packed size beyond the data
    BadPosition = 6, // a fix-up, label or public entry outside the code
    Unpack = 7, // the packed body does not unpack
    NativeCount = 8, // another number of natives than registered now
    UnknownNative = 9, // a native the file names is not registered now
    TrailingBytes = 10, // the body has bytes after its last record
    BadFlag = 11, // a packed flag other than 0 or 1
};

// What a cache file carries.
struct TCacheContent {
    TCodeImage image; // code including the zero area
    std::vector<TNativeEntry> natives; // name and link name
    std::vector<TImportEntry> imports;
    std::vector<std::string> outputBlocks;
};

uint32_t CacheKey(uint32_t sourceCrc, std::string_view source, bool alignment, bool breakpoint);

std::vector<uint8_t> WriteCacheFile(const TCacheContent& content, uint32_t key, bool pack);

// Fills OUT only when the whole file is sound. REGISTERED are the natives of
// this compile: their count must match and every native named must be there.
TCacheError ReadCacheFile(std::span<const uint8_t> file, uint32_t key, const std::vector<TNativeEntry>& registered,
                          TCacheContent& out);

} // namespace kolvarin::script
