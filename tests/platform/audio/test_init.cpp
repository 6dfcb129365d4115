// Version, devices, initialisation with and without speakers, checked
// handles, and a tone played through SDL's disk driver.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <thread>

#include "audio/engine.h"
#include "audio/offline.h"
#include "audio/output.h"
#include "audio_fixtures.h"

namespace {

using namespace kolvarin;
using namespace kolvarin::audio;
using namespace ktest::audio;

TEST(InitTest, VersionIsTwoFour) { EXPECT_EQ(BASS_GetVersion() >> 16, 0x0204u); }

TEST(InitTest, CallsBeforeInitFail)
{
    BassInfo info;
    EXPECT_FALSE(BASS_GetInfo(&info));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorInit);
    EXPECT_EQ(BASS_StreamCreateFile(false, referenceWav().c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorInit);
    EXPECT_FALSE(BASS_ChannelPlay(0x40010000, false));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorInit);
    EXPECT_FALSE(BASS_Free());
}

TEST(InitTest, DevicesComeFromTheOutputBackend)
{
    BassDeviceInfo info;
    ASSERT_TRUE(BASS_GetDeviceInfo(0, &info));
    EXPECT_STREQ(info.driver, "offline");
    ASSERT_TRUE(BASS_GetDeviceInfo(1, &info)); // SDL's dummy driver has a default output
    EXPECT_STREQ(info.name, "Default");
    EXPECT_TRUE(info.flags & bass::kDeviceDefault);
    EXPECT_FALSE(BASS_GetDeviceInfo(1000, &info));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorDevice);
    EXPECT_FALSE(BASS_Init(1000, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorDevice);
}

TEST(InitTest, DeviceOutputWithAndWithoutSpeakers)
{
    for (const DWORD flags : {0u, bass::kDeviceSpeakers}) {
        ASSERT_TRUE(BASS_SetConfig(bass::kConfigBuffer, 1)); // the output's period follows it
        EXPECT_EQ(BASS_GetConfig(bass::kConfigBuffer), 5u); // the 5 ms floor
        ASSERT_TRUE(BASS_Init(-1, 44100, flags, nullptr, nullptr)) << BASS_ErrorGetCode();
        EXPECT_FALSE(BASS_Init(-1, 44100, flags, nullptr, nullptr));
        EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorAlready);
        BassInfo info;
        ASSERT_TRUE(BASS_GetInfo(&info));
        EXPECT_EQ(info.freq, 44100u);
        EXPECT_GE(info.speakers, 2u);
        EXPECT_EQ(info.speakers % 2, 0u);
        EXPECT_LE(info.minbuf, 6u);
        EXPECT_TRUE(BASS_Free());
    }
    ASSERT_TRUE(BASS_SetConfig(bass::kConfigBuffer, 500));
    EXPECT_FALSE(BASS_SetConfig(12345, 1));
    EXPECT_EQ(BASS_GetConfig(12345), static_cast<DWORD>(-1));
}

using HandleTest = OfflineAudioTest;

TEST_F(HandleTest, ZeroStaleForgedAndWrongKindHandlesAreErrors)
{
    const HSTREAM first = open(referenceWav());
    ASSERT_NE(first, 0u);
    const HFX fx = BASS_ChannelSetFX(first, BASS_FX_DX8_PARAMEQ, 0);
    ASSERT_TRUE(BASS_StreamFree(first));
    const HSTREAM second = open(referenceWav()); // takes the freed slot
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    BASS_DX8_PARAMEQ params;
    for (const DWORD bad : {0u, first, 0x12345678u, 0xFFFFFFFFu, fx, second + 1}) {
        EXPECT_FALSE(BASS_ChannelPlay(bad, false)) << bad;
        EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorHandle) << bad;
        EXPECT_EQ(BASS_ChannelGetPosition(bad, bass::kPosByte), static_cast<QWORD>(-1));
        EXPECT_EQ(BASS_ChannelGetTags(bad, bass::kTagMeta), nullptr);
        EXPECT_FALSE(BASS_StreamFree(bad));
        EXPECT_FALSE(BASS_FXGetParameters(bad, &params));
    }
    EXPECT_TRUE(BASS_ChannelPlay(second, false));
}

TEST(SdlOutputTest, ToneReachesTheDiskDriver)
{
    const std::filesystem::path capture = mediaDir() / "captured.raw";
    const std::filesystem::path tone = mediaDir() / "tone880.wav";
    writeWav(tone, 44100, 2,
             makeSamples(22050, 2, [](int i, int) { return 0.5 * std::sin(2 * std::numbers::pi * 880 * i / 44100); }));
    const char* oldDriver = std::getenv("SDL_AUDIODRIVER");
    const std::string restore = oldDriver ? oldDriver : "";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    // A millisecond a buffer: far faster than real time, yet the silence the
    // device writes until it closes stays megabytes (with 0 it ran to
    // gigabytes on a slow build).
    ::setenv("SDL_DISKAUDIODELAY", "1", 1);
    ASSERT_TRUE(BASS_SetConfig(bass::kConfigBuffer, 20));
    const bool started = BASS_Init(-1, 44100, 0, nullptr, nullptr);
    if (started) {
        const HSTREAM stream = BASS_StreamCreateFile(false, tone.c_str(), 0, 0, 0);
        EXPECT_TRUE(BASS_ChannelPlay(stream, false));
        for (int i = 0; i < 200 && BASS_ChannelIsActive(stream) == bass::kActivePlaying; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        BASS_Free();
        const kolvarin::audio::SdlAudioUse closed; // the device closes its file on a thread of its own
    }
    ::setenv("SDL_AUDIODRIVER", restore.c_str(), 1);
    BASS_SetConfig(bass::kConfigBuffer, 500);
    ASSERT_TRUE(started) << BASS_ErrorGetCode();
    std::vector<float> samples(std::filesystem::file_size(capture) / sizeof(float));
    std::ifstream(capture, std::ios::binary)
        .read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
    ASSERT_GE(samples.size(), 2u * 8192);
    // Somewhere in the capture the tone plays at its level.
    double best = 0;
    for (std::size_t at = 0; at + 2 * 4096 <= samples.size(); at += 2 * 2048)
        best = std::max(best, toneLevel(samples.data() + at, 4096, 2, 880, 44100));
    EXPECT_NEAR(best, 0.5, 0.05);
}

// While no channel plays, the device is let go, so that the sound server
// neither mixes nor wakes for silence; a play takes it back at once and the
// sound reaches the reopened device (the disk driver starts its file anew on
// every open, so the capture is what the last one played).
TEST(SdlOutputTest, DeviceIsLetGoWhileNothingPlaysAndTakenBackByPlay)
{
    const std::filesystem::path capture = mediaDir() / "captured-idle.raw";
    const std::filesystem::path tone = mediaDir() / "tone660.wav";
    writeWav(tone, 44100, 2,
             makeSamples(22050, 2, [](int i, int) { return 0.5 * std::sin(2 * std::numbers::pi * 660 * i / 44100); }));
    const char* oldDriver = std::getenv("SDL_AUDIODRIVER");
    const std::string restore = oldDriver ? oldDriver : "";
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    // 1024-frame buffers in about real time: the seconds of waiting write
    // only a few hundred kilobytes.
    ::setenv("SDL_DISKAUDIODELAY", "20", 1);
    ASSERT_TRUE(BASS_SetConfig(bass::kConfigBuffer, 20));
    const auto suspended = [] {
        Engine& engine = Engine::get();
        std::lock_guard lock(engine.deviceMutex);
        return engine.output && engine.output->suspended();
    };
    const auto waitSuspended = [&] {
        for (int i = 0; i < 300 && !suspended(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return suspended();
    };
    const bool started = BASS_Init(-1, 44100, 0, nullptr, nullptr);
    if (started) {
        EXPECT_TRUE(waitSuspended()) << "never played";
        const HSTREAM stream = BASS_StreamCreateFile(false, tone.c_str(), 0, 0, 0);
        EXPECT_TRUE(BASS_ChannelPlay(stream, false));
        EXPECT_FALSE(suspended());
        EXPECT_TRUE(BASS_ChannelPause(stream));
        EXPECT_TRUE(waitSuspended()) << "paused";
        EXPECT_TRUE(BASS_ChannelPlay(stream, false));
        EXPECT_FALSE(suspended());
        for (int i = 0; i < 300 && BASS_ChannelIsActive(stream) == bass::kActivePlaying; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
        EXPECT_TRUE(waitSuspended()) << "ended";
        BASS_Free();
        const kolvarin::audio::SdlAudioUse closed;
    }
    ::setenv("SDL_AUDIODRIVER", restore.c_str(), 1);
    BASS_SetConfig(bass::kConfigBuffer, 500);
    ASSERT_TRUE(started) << BASS_ErrorGetCode();
    std::vector<float> samples(std::filesystem::file_size(capture) / sizeof(float));
    std::ifstream(capture, std::ios::binary)
        .read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
    double best = 0;
    for (std::size_t at = 0; at + 2 * 4096 <= samples.size(); at += 2 * 2048)
        best = std::max(best, toneLevel(samples.data() + at, 4096, 2, 660, 44100));
    EXPECT_NEAR(best, 0.5, 0.05);
}

// A renderer reopens its device on its streaming thread whenever the channel
// count changes (a menu in mono, then a title in stereo) while another output
// opens and closes on a thread of its own: SDL must never be entered from
// two of them at once (that once left a close waiting for ever). The dummy
// driver opens one device at a time, so an open may fail; none may hang.
TEST(SdlOutputTest, ReopeningWithOtherChannelCountsBesideAnotherOutputNeverHangs)
{
    const auto silence = [](float* out, int frames, int channels) { std::fill(out, out + frames * channels, 0.0f); };
    const auto reopen = [&](int rate, int rounds) {
        std::unique_ptr<Output> output;
        int opened = 0;
        for (int round = 0; round < rounds; ++round)
            for (const int channels : {2, 1, 6, 2}) {
                if (output)
                    output->close();
                output = makeSdlOutput("");
                int error = 0;
                if (output->open(rate, channels, 20, silence, error)) {
                    EXPECT_EQ(output->channels(), channels);
                    ++opened;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(3)); // plays a little
            }
        output->close();
        return opened;
    };
    int other = 0;
    std::thread mixer([&] { other = reopen(44100, 12); });
    const int renderer = reopen(48000, 12);
    mixer.join();
    EXPECT_GT(renderer + other, 0);
    const SdlAudioUse closed; // waits for the last closes
    EXPECT_TRUE(closed.ok());
}

} // namespace
