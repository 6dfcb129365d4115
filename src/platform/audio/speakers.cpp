#include "audio/speakers.h"

#include <array>
#include <cstring>

namespace kolvarin::audio {
namespace {

constexpr float kSide = 0.70710678f;

struct Weights {
    std::array<float, 8> left;
    std::array<float, 8> right;
};

// FL FR FC LFE BL BR SL SR in FFmpeg's default order for each channel count.
constexpr std::array<Weights, 9> kWeights{{
    {},
    {{1}, {1}}, // mono
    {{1, 0}, {0, 1}}, // stereo
    {{1, 0, kSide}, {0, 1, kSide}}, // FL FR FC
    {{1, 0, kSide, kSide}, {0, 1, kSide, kSide}}, // FL FR FC BC
    {{1, 0, kSide, kSide, 0}, {0, 1, kSide, 0, kSide}}, // FL FR FC BL BR
    {{1, 0, kSide, 0, kSide, 0}, {0, 1, kSide, 0, 0, kSide}}, // 5.1
    {{1, 0, kSide, 0, kSide, kSide, 0}, {0, 1, kSide, 0, kSide, 0, kSide}}, // 6.1
    {{1, 0, kSide, 0, kSide, 0, kSide, 0}, {0, 1, kSide, 0, 0, kSide, 0, kSide}}, // 7.1
}};

} // namespace

int pairFirstChannel(int pair, int outChannels)
{
    int first = -1;
    switch (pair) {
    case 0: first = 0; break;
    case 1: first = outChannels == 4 ? 2 : 4; break;
    case 2: first = outChannels >= 6 ? 2 : -1; break;
    case 3: first = 6; break;
    default: break;
    }
    return first >= 0 && first + 1 < outChannels ? first : -1;
}

void downmixToStereo(const float* in, int channels, std::int64_t frames, float* out)
{
    if (channels == 2) {
        std::memcpy(out, in, static_cast<std::size_t>(frames) * 2 * sizeof(float));
        return;
    }
    if (channels == 1) {
        for (std::int64_t i = 0; i < frames; ++i)
            out[2 * i] = out[2 * i + 1] = in[i];
        return;
    }
    const Weights& w = kWeights[channels];
    float sumL = 0, sumR = 0;
    for (int c = 0; c < channels; ++c) {
        sumL += w.left[c];
        sumR += w.right[c];
    }
    for (std::int64_t i = 0; i < frames; ++i, in += channels) {
        float l = 0, r = 0;
        for (int c = 0; c < channels; ++c) {
            l += in[c] * w.left[c];
            r += in[c] * w.right[c];
        }
        out[2 * i] = l / sumL;
        out[2 * i + 1] = r / sumR;
    }
}

} // namespace kolvarin::audio
