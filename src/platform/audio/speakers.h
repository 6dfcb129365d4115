#pragma once

// Speaker layout of the output and the stereo fold-down of sources.

#include <cstdint>

namespace kolvarin::audio {

// First output channel of speaker pair 0 (front), 1 (rear), 2 (centre/LFE) or
// 3 (second rear) on an output of 2, 4, 6 or 8 channels; -1 when absent.
// The order is front L R, centre, LFE, rear L R, side L R; 4 channels are
// front and rear.
int pairFirstChannel(int pair, int outChannels);

// Folds interleaved frames of 1..8 channels (FFmpeg's default orders) to
// stereo: mono goes to both sides at full level, surround channels to their
// side, and each side is normalised by the sum of its weights.
void downmixToStereo(const float* in, int channels, std::int64_t frames, float* out);

} // namespace kolvarin::audio
