#pragma once
// Whole-file reads for the engine's binary readers (cache files, AP32
// blocks, archives, PE images); their fields go through base/bytereader.h.

#include <cstdint>
#include <string>
#include <vector>

#include "base/bytereader.h"

namespace kolvarin::script {

// The whole file into OUT; false when it cannot be read, is empty or is
// larger than LIMIT (then nothing is allocated for it).
bool ReadFileBytes(const std::string& path, uint64_t limit, std::vector<uint8_t>& out);

} // namespace kolvarin::script
