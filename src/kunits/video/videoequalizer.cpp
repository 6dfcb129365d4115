#include "video/videoequalizer.h"

#include <algorithm>
#include <cmath>

#include "playback/kequalizer.h"

namespace kolvarin::video {

namespace {

// The frequency where band meets band + 1.
double UpperEdge(int band) { return std::sqrt(double(EqualizerBandCenters[band]) * EqualizerBandCenters[band + 1]); }

int BinOf(double frequency, int sampleRate, int bins)
{
    return std::clamp(static_cast<int>(std::lround(frequency * bins / (sampleRate / 2.0))), 0, bins);
}

} // namespace

std::pair<int, int> EqualizerBandBins(int band, int sampleRate, int bins)
{
    if (band < 0 || band >= EqualizerBandCount || sampleRate <= 0 || bins <= 0)
        return {0, 0};
    const int first = band == 0 ? 0 : BinOf(UpperEdge(band - 1), sampleRate, bins);
    const int last = band == EqualizerBandCount - 1 ? bins : BinOf(UpperEdge(band), sampleRate, bins);
    return {first, last};
}

void SetEqualizerBandGain(dsp::TQxEqualizer& equalizer, int band, int gain, int sampleRate)
{
    const int bins = dsp::FFTPointCount(equalizer.FFTSize()) / 2;
    const auto [first, last] = EqualizerBandBins(band, sampleRate, bins);
    const auto value = static_cast<int8_t>(std::clamp(gain, -100, 100));
    for (int bin = first; bin < last; ++bin)
        equalizer.SetBandValue(0, static_cast<uint16_t>(bin), value);
}

} // namespace kolvarin::video
