#pragma once

#include <array>
#include <string>

namespace kolvarin {

// The ten-band equalizer's model: band values 0..24 per band, 12 being
// 0 dB (gain in decibels = value - 12), and the .keqp preset files. The play
// system applies the values to what plays; the settings keep them.

constexpr int EqualizerBandCount = 10;
constexpr int EqualizerNeutralValue = 12;
constexpr int EqualizerMaxValue = 24;
// Bandwidth in semitones of each band's parametric-equalizer effect.
constexpr float EqualizerBandwidth = 18.0f;

// Centre frequencies in Hz, band 0 to 9.
constexpr std::array<int, EqualizerBandCount> EqualizerBandCenters = {60,   170,  310,   600,   1000,
                                                                      3000, 6000, 12000, 14000, 16000};

// The values of the ten bands, all 0 dB until set.
struct TEqualizerValues {
    std::array<int, EqualizerBandCount> Band = {12, 12, 12, 12, 12, 12, 12, 12, 12, 12};
};

// "60 Hz" ... "16 KHz"; empty for other indices.
std::u16string GetEqualizerBandName(int band);
// The gain of a band value as text: "+0 db", "-12 db", "+12 db".
std::u16string GetEqualizerBandGainText(int value);
// Gain in decibels for the audio library's effect.
float EqualizerGainDb(int value);
// Gain -100..+100 for the video side's equalizer (0 -> -100, 12 -> 0).
int VideoEqualizerGain(int value);

// Reads a preset: for band i the next line that is not a comment must be
// "EQBand<i> [ <gain> ]"; the value becomes gain + 12, clamped to 0..24. A
// line that does not match (or a file that ends early) keeps the band's
// previous value. False, with values untouched, when the file cannot be
// opened.
bool LoadEqualizerPreset(const std::u16string& fileName, TEqualizerValues& values);
// Writes a preset (Windows-1252 text with CR LF) through a temporary file;
// false when it cannot be written, leaving an old file as it was.
bool SaveEqualizerPreset(const std::u16string& fileName, const TEqualizerValues& values);

} // namespace kolvarin
