#pragma once
// Little-endian fields and whole-file reads for the engine's binary readers
// (cache files, AP32 blocks, archives, PE images).

#include <cstdint>
#include <string>
#include <vector>

namespace kolvarin::script {

inline uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void PutLe32(uint8_t* p, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        p[k] = uint8_t(v >> (8 * k));
}

// The whole file into OUT; false when it cannot be read, is empty or is
// larger than LIMIT (then nothing is allocated for it).
bool ReadFileBytes(const std::string& path, uint64_t limit, std::vector<uint8_t>& out);

} // namespace kolvarin::script
