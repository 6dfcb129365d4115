// The ten sliders on the video equalizer: each shapes its whole band, as
// the audio library's equalizer does, not one bin at the bottom of the
// spectrum.
#include "video/videoequalizer.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "playback/kequalizer.h"

using namespace kolvarin;
using namespace kolvarin::video;

namespace {

// RMS of the second half of a stereo float sine at frequency hz after the
// equalizer.
double LevelAfter(dsp::TQxEqualizer& eq, double hz)
{
    const int rate = 44100, frames = rate;
    std::vector<float> samples(frames * 2);
    for (int i = 0; i < frames; ++i)
        samples[2 * i] = samples[2 * i + 1] = static_cast<float>(0.5 * std::sin(2 * M_PI * hz * i / rate));
    for (int at = 0; at < frames; at += 4096) {
        const int count = std::min(4096, frames - at);
        eq.Process(samples.data() + 2 * at, count * 8, 32, 2, true);
    }
    double sum = 0;
    for (int i = frames / 2; i < frames; ++i)
        sum += samples[2 * i] * samples[2 * i];
    return std::sqrt(sum / (frames / 2));
}

} // namespace

TEST(VideoEqualizer, TheBandsCoverEveryBinAroundTheirCentres)
{
    for (int rate : {22050, 44100, 48000}) {
        const int bins = 512;
        int next = 0;
        for (int band = 0; band < EqualizerBandCount; ++band) {
            const auto [first, last] = EqualizerBandBins(band, rate, bins);
            EXPECT_EQ(first, next) << "band " << band << " at " << rate;
            const double centreBin = EqualizerBandCenters[band] * bins / (rate / 2.0);
            if (centreBin < bins) {
                EXPECT_TRUE(first <= centreBin && centreBin <= last) << "band " << band << " at " << rate;
            }
            next = last;
        }
        EXPECT_EQ(next, bins);
    }
    EXPECT_EQ(EqualizerBandBins(10, 44100, 512), std::make_pair(0, 0));
    EXPECT_EQ(EqualizerBandBins(0, 0, 512), std::make_pair(0, 0));
}

TEST(VideoEqualizer, ASliderCutsItsOwnBandAndLeavesTheOthers)
{
    // Band 6 (6 kHz) at its lowest: a 6 kHz tone drops by some 20 dB, a
    // 300 Hz tone keeps its level. The sliders once reached only the lowest
    // ten bins, so no slider could touch 6 kHz.
    dsp::TQxEqualizer eq;
    eq.SetEnabled(true);
    const double flat6k = LevelAfter(eq, 6000);
    SetEqualizerBandGain(eq, 6, -100, 44100);
    EXPECT_LT(LevelAfter(eq, 6000), flat6k * 0.2);
    eq.Flush();
    EXPECT_NEAR(LevelAfter(eq, 300), flat6k, flat6k * 0.05);
    SetEqualizerBandGain(eq, 6, 0, 44100);
    SetEqualizerBandGain(eq, 0, -100, 44100);
    eq.Flush();
    EXPECT_NEAR(LevelAfter(eq, 6000), flat6k, flat6k * 0.05);
}
