#pragma once

#include <string>
#include <string_view>

namespace kolvarin {

// Reads a whole file. False when it cannot be opened or read; Bytes is then
// empty. Files beyond MaxBytes are refused rather than loaded.
bool ReadWholeFile(const std::string& fileName, std::string& bytes, size_t maxBytes = size_t(1) << 31);

// Replaces the file with Bytes: they go to a temporary file in the same
// folder, which is flushed to disk and renamed over the old one, so a crash or
// a full disk leaves either the old file or the new one, never a truncated
// one. Throws std::runtime_error naming the cause; the old file is then kept
// and no temporary file is left behind.
void SaveFileAtomically(const std::string& fileName, std::string_view bytes);

// True when Name is what SaveFileAtomically calls a temporary file for a
// target named Target (both without folder): the target's name, a dot and
// six letters or digits.
bool IsSaveTemporaryName(std::string_view name, std::string_view target);

} // namespace kolvarin
