#pragma once

// The offline clock: after BASS_Init with device 0, nothing plays by itself;
// the caller pulls mixed frames, so syncs and slides can be stepped to the
// sample without waiting in real time.

#include <vector>

namespace kolvarin::audio {

// Speakers of the offline output when BASS_Init gets bass::kDeviceSpeakers
// (2, 4, 6 or 8; 8 by default). Without that flag it has 2.
void setOfflineSpeakers(int speakers);
// Mixes frames output frames (interleaved float, BassInfo::speakers
// channels). False when the engine is not initialised on the offline clock.
bool offlineRender(float* out, int frames);
std::vector<float> offlineRender(int frames);
// Returns once the sync callbacks due so far have run.
void waitForSyncs();

} // namespace kolvarin::audio
