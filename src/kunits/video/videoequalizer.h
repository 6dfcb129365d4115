#pragma once

// The ten equalizer sliders on the video side's FFT equalizer. Each slider
// shapes the bins of its band of the audio library's equalizer (centres 60 Hz
// to 16 kHz; neighbouring bands meet halfway between their centres on a
// logarithmic scale), so a slider sounds the same for video and audio.

#include <utility>

#include "video/dspequalizer.h"

namespace kolvarin::video {

// The bins [first, last) of band 0..9 for an equalizer whose `bins` gain
// bins span 0 Hz to half the sample rate. The bands cover every bin.
std::pair<int, int> EqualizerBandBins(int band, int sampleRate, int bins);
// One slider's gain (-100..100) on every bin of its band, channel 0.
void SetEqualizerBandGain(dsp::TQxEqualizer& equalizer, int band, int gain, int sampleRate);

} // namespace kolvarin::video
