#pragma once

// Media made at test time: WAV files written here byte by byte, other formats
// encoded from them by the ffmpeg command, all in one temporary folder for
// the test program. And a fixture that runs the audio layer on the offline clock.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/bass.h"

namespace ktest::audio {

// The folder of this test program's media.
const std::filesystem::path& mediaDir();
// Interleaved 16-bit samples; sample(frame, channel).
std::vector<std::int16_t> makeSamples(int frames, int channels, const std::function<double(int, int)>& sample);
// Writes a 16-bit PCM WAV file.
void writeWav(const std::filesystem::path& file, int rate, int channels, const std::vector<std::int16_t>& samples);
// Runs ffmpeg -y -i input <args> output; true on success.
bool encode(const std::filesystem::path& input, const std::string& args, const std::filesystem::path& output);

// The reference: 1.5 s of 44.1 kHz stereo, a 440 Hz tone left and a 1 kHz
// tone right with a little noise, so every frame differs.
constexpr int kRefRate = 44100;
constexpr int kRefFrames = 66150;
const std::vector<std::int16_t>& referenceSamples();
const std::filesystem::path& referenceWav();
// The reference encoded by ffmpeg with args into mediaDir()/name (cached).
std::filesystem::path encodedReference(const std::string& name, const std::string& args);

// BASS_Init on the offline clock for each test, BASS_Free after it.
class OfflineAudioTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Pulls frames output frames (stereo unless the test initialised otherwise).
    std::vector<float> pull(int frames);
    kolvarin::audio::HSTREAM open(const std::filesystem::path& file);
    // Plays a stream whose source reads ahead on its own thread (internet,
    // CD) to its end: waits out each stall and keeps only the frames played,
    // so the result is the stream without gaps (stereo output, stream at the
    // output's rate). Bounded in time.
    std::vector<float> playToEnd(kolvarin::audio::HSTREAM stream);
};

// Magnitude of frequency hz in samples[offset + k * stride] (Goertzel), k < count.
double toneLevel(const float* samples, int count, int stride, double hz, double rate);

} // namespace ktest::audio
