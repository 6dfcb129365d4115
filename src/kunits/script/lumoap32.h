#pragma once
// AP32: the engine's LZ77 coder for cache bodies and archive entries.
//
// A packed block is the unpacked length (32-bit little-endian) followed by the
// bit stream; the unpacker also takes a block with an "AP32" header (magic,
// header size >= 24, packed size, packed CRC, unpacked size, unpacked CRC; the
// CRCs are not checked). Pack's output is deterministic: the same input gives
// the same bytes, which the cache file relies on.
//
// Unpack never trusts its input: every read is checked against the end of the
// block, every gamma code and match offset against what it may address, and
// the declared length against a caller's limit, so damaged data gives an error
// code, never a crash or an allocation beyond that limit.

#include <cstdint>
#include <span>
#include <vector>

namespace kolvarin::script::ap32 {

enum class Ap32Error : int {
    None = 0,
    Truncated = 1, // the stream ends before the output is complete
    BadGamma = 2, // a gamma code longer than 32 bits
    BadOffset = 3, // a match reaching before the start of the output
    Overrun = 4, // a match or byte beyond the declared length
    ShortHeader = 5, // an "AP32" header below 24 bytes or beyond the block
    TooLarge = 6, // declared length above the caller's limit
    EarlyEnd = 7, // end code before the declared length
};

// Default bound on what one Unpack may produce.
inline constexpr uint64_t kDefaultUnpackLimit = 64u << 20;

// Packs SOURCE; empty input gives empty output.
std::vector<uint8_t> Pack(std::span<const uint8_t> source);

// Unpacks BLOCK into OUT (emptied first). An empty block gives empty output.
// On error OUT holds what was decoded before the fault.
Ap32Error Unpack(std::span<const uint8_t> block, std::vector<uint8_t>& out, uint64_t limit = kDefaultUnpackLimit);

} // namespace kolvarin::script::ap32
