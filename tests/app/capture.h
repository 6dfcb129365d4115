#pragma once

// What SDL's disk driver wrote: interleaved 32-bit float frames.

#include <cstddef>
#include <filesystem>
#include <vector>

namespace ktest {

std::vector<float> ReadCapture(const std::filesystem::path& file);

// The output's channel count: the first of 8, 6, 4 whose extra channels are
// silent (a stereo stream plays on the front pair), else 2.
std::size_t CaptureChannels(const std::vector<float>& samples);

} // namespace ktest
