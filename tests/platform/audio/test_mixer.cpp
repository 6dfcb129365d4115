// Positions, seeking, attributes and slides, syncs, speaker pairs, the
// equalizer and FFT data, stepped to the sample on the offline clock.

#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

#include "audio/channel.h"
#include "audio/engine.h"
#include "audio/offline.h"
#include "audio_fixtures.h"

namespace {

using namespace kolvarin;
using namespace kolvarin::audio;
using namespace ktest::audio;

// A constant 0.5 on both sides: the output shows the gains directly.
std::filesystem::path dcFile(int frames)
{
    const std::filesystem::path file = mediaDir() / ("dc" + std::to_string(frames) + ".wav");
    if (!std::filesystem::exists(file))
        writeWav(file, 44100, 2, makeSamples(frames, 2, [](int, int) { return 0.5; }));
    return file;
}

std::filesystem::path sineFile(double hz, double amplitude, int rate, int channels = 1)
{
    const std::filesystem::path file = mediaDir() / ("sine" + std::to_string(static_cast<int>(hz)) + "_" +
                                                     std::to_string(rate) + "_" + std::to_string(channels) + ".wav");
    if (!std::filesystem::exists(file))
        writeWav(file, rate, channels, makeSamples(rate, channels, [&](int i, int) {
                     return amplitude * std::sin(2 * std::numbers::pi * hz * i / rate);
                 }));
    return file;
}

using PositionTest = OfflineAudioTest;

TEST_F(PositionTest, SeekingIsExactToTheFrame)
{
    const auto& ref = referenceSamples();
    struct Case {
        const char* file;
        const char* args;
        HSTREAM (*create)(bool, const void*, QWORD, QWORD, DWORD);
    } cases[] = {
        {"wav16.wav", "-c:a pcm_s16le", BASS_StreamCreateFile},
        {"tone.flac", "-c:a flac", BASS_FLAC_StreamCreateFile},
        {"tone.wv", "-c:a wavpack", BASS_WV_StreamCreateFile},
        {"tone.tta", "-c:a tta", BASS_TTA_StreamCreateFile},
    };
    for (const Case& c : cases) {
        const HSTREAM stream = c.create(false, encodedReference(c.file, c.args).c_str(), 0, 0, 0);
        ASSERT_NE(stream, 0u) << c.file;
        for (const int frame : {54321, 12345, 1, 0, kRefFrames - 10}) {
            ASSERT_TRUE(BASS_ChannelSetPosition(stream, static_cast<QWORD>(frame) * 4 + 3, bass::kPosByte));
            EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), static_cast<QWORD>(frame) * 4);
            ASSERT_TRUE(BASS_ChannelPlay(stream, false));
            const std::vector<float> out = pull(10);
            for (int i = 0; i < 20; ++i)
                ASSERT_FLOAT_EQ(out[i], ref[static_cast<std::size_t>(frame) * 2 + i] / 32768.0f)
                    << c.file << " frame " << frame;
            EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), static_cast<QWORD>(frame + 10) * 4);
            BASS_ChannelStop(stream);
        }
        EXPECT_FALSE(BASS_ChannelSetPosition(stream, static_cast<QWORD>(kRefFrames + 1) * 4, bass::kPosByte));
        EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorPosition);
        BASS_StreamFree(stream);
    }
}

TEST_F(PositionTest, LossySeekGivesTheSamplesOfAStraightRun)
{
    struct Case {
        const char* file;
        const char* args;
        HSTREAM (*create)(bool, const void*, QWORD, QWORD, DWORD);
        float tolerance;
    } cases[] = {
        {"tone.mp3", "-c:a libmp3lame -b:a 192k", BASS_StreamCreateFile, 1e-6f},
        {"tone.mp2", "-c:a mp2 -b:a 192k", BASS_StreamCreateFile, 1e-4f}, // 16-bit decoder: rounding
        {"tone.ogg", "-c:a libvorbis -q:a 5", BASS_StreamCreateFile, 1e-6f},
        // Noise substitution draws random noise, so it is left out here.
        {"nopns.m4a", "-c:a aac -aac_pns 0 -b:a 160k", BASS_MP4_StreamCreateFile, 1e-6f},
        {"tone.aac", "-c:a aac -aac_pns 0 -b:a 160k", BASS_AAC_StreamCreateFile, 1e-6f},
        // The AC-3 decoder dithers zero mantissas with random noise; one frame
        // off would differ by far more than this.
        {"tone.ac3", "-c:a ac3 -b:a 192k", BASS_AC3_StreamCreateFile, 0.02f},
    };
    for (const auto& [file, args, create, tolerance] : cases) {
        const std::filesystem::path path = encodedReference(file, args);
        const HSTREAM straight = create(false, path.c_str(), 0, 0, 0);
        ASSERT_NE(straight, 0u) << file;
        ASSERT_TRUE(BASS_ChannelPlay(straight, false));
        const std::vector<float> whole = pull(50000);
        BASS_StreamFree(straight);

        const HSTREAM seeked = create(false, path.c_str(), 0, 0, 0);
        ASSERT_TRUE(BASS_ChannelSetPosition(seeked, 40000 * 4, bass::kPosByte));
        ASSERT_TRUE(BASS_ChannelPlay(seeked, false));
        const std::vector<float> part = pull(2000);
        for (int i = 0; i < 4000; ++i)
            ASSERT_NEAR(part[i], whole[80000 + i], tolerance) << file << " sample " << i;
        BASS_StreamFree(seeked);
    }
}

TEST_F(PositionTest, ConversionsUseTheStreamsOwnFormat)
{
    const HSTREAM mono = open(sineFile(1000, 0.5, 22050));
    ASSERT_NE(mono, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(mono, bass::kPosByte), 22050u * 2);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(mono, 0.5), 11025u * 2);
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(mono, 22050 * 2), 1.0);
    const HSTREAM stereo = open(referenceWav());
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(stereo, 44100 * 4), 1.0);
    // At the output's rate a 22.05 kHz source plays one frame per output frame.
    ASSERT_TRUE(BASS_ChannelSetAttribute(mono, bass::kAttribFreq, 44100));
    ASSERT_TRUE(BASS_ChannelPlay(mono, false));
    pull(1000);
    EXPECT_EQ(BASS_ChannelGetPosition(mono, bass::kPosByte), 1000u * 2);
}

TEST_F(PositionTest, PauseStopAndRestart)
{
    const HSTREAM stream = open(dcFile(3000));
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
    EXPECT_FALSE(BASS_ChannelPause(stream));
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    EXPECT_EQ(BASS_ChannelFlags(stream, 0, 0), 0u);
    pull(100);
    ASSERT_TRUE(BASS_ChannelPause(stream));
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActivePaused);
    EXPECT_EQ(pull(100)[0], 0.0f);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), 400u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, false)); // resumes
    pull(100);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), 800u);
    ASSERT_TRUE(BASS_ChannelStop(stream));
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
    ASSERT_TRUE(BASS_ChannelPlay(stream, true));
    EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), 0u);
    pull(3000);
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
    ASSERT_TRUE(BASS_ChannelPlay(stream, false)); // an ended stream starts over
    pull(10);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), 40u);
}

using AttributeTest = OfflineAudioTest;

TEST_F(AttributeTest, VolumeAndPanScaleTheSides)
{
    const HSTREAM stream = open(dcFile(1000));
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, bass::kAttribVol, 0.5f));
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, bass::kAttribPan, -0.5f));
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    const std::vector<float> out = pull(4);
    EXPECT_FLOAT_EQ(out[0], 0.25f);
    EXPECT_FLOAT_EQ(out[1], 0.125f);
    float value = 0;
    ASSERT_TRUE(BASS_ChannelGetAttribute(stream, bass::kAttribPan, &value));
    EXPECT_FLOAT_EQ(value, -0.5f);
    ASSERT_TRUE(BASS_ChannelGetAttribute(stream, bass::kAttribFreq, &value));
    EXPECT_FLOAT_EQ(value, 44100.0f);
    EXPECT_TRUE(BASS_ChannelSetAttribute(stream, bass::kAttribVol, 7.0f)); // clamped
    ASSERT_TRUE(BASS_ChannelGetAttribute(stream, bass::kAttribVol, &value));
    EXPECT_FLOAT_EQ(value, 1.0f);
    EXPECT_FALSE(BASS_ChannelSetAttribute(stream, 99, 1.0f));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorIllType);
}

TEST_F(AttributeTest, SlidesLandOnTheRightSample)
{
    const HSTREAM stream = open(dcFile(60000));
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, bass::kAttribVol, 0.0f));
    ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, bass::kAttribVol, 1.0f, 100)); // 4410 frames
    ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, bass::kAttribPan, 1.0f, 50)); // 2205 frames
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    const std::vector<float> out = pull(5000);
    for (const int k : {0, 1, 2204, 2205, 4408, 4409, 4410, 4999}) {
        const float vol = std::min(1.0f, (k + 1) / 4410.0f);
        const float pan = std::min(1.0f, (k + 1) / 2205.0f);
        EXPECT_NEAR(out[2 * k], 0.5f * vol * (1 - pan), 1e-5) << k;
        EXPECT_NEAR(out[2 * k + 1], 0.5f * vol, 1e-5) << k;
    }
    EXPECT_FALSE(BASS_ChannelIsSliding(stream, bass::kAttribVol));
    // A frequency slide moves the playback rate: half speed over 1000 ms, so the
    // position grows by the integral of the rate.
    ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, bass::kAttribFreq, 22050, 1000));
    EXPECT_TRUE(BASS_ChannelIsSliding(stream, bass::kAttribFreq));
    const QWORD before = BASS_ChannelGetPosition(stream, bass::kPosByte) / 4;
    pull(44100);
    const QWORD after = BASS_ChannelGetPosition(stream, bass::kPosByte) / 4;
    EXPECT_NEAR(static_cast<double>(after - before), 44100 * 0.75, 60);
}

TEST_F(AttributeTest, SlidesFollowTheClockWhilePaused)
{
    const HSTREAM stream = open(dcFile(20000));
    ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, bass::kAttribVol, 0.0f, 10));
    pull(441);
    float value = 1;
    ASSERT_TRUE(BASS_ChannelGetAttribute(stream, bass::kAttribVol, &value));
    EXPECT_EQ(value, 0.0f);
}

class SyncTest : public OfflineAudioTest {
protected:
    static void record(HSYNC, DWORD channel, DWORD, void* user)
    {
        static_cast<std::atomic<DWORD>*>(user)->store(channel);
    }
    bool fired(std::atomic<DWORD>& flag)
    {
        audio::waitForSyncs();
        return flag.load() != 0;
    }
};

TEST_F(SyncTest, PositionAndEndSyncsFireWhenTheOutputReachesThem)
{
    const HSTREAM stream = open(dcFile(3000));
    std::atomic<DWORD> atPos{0}, atEnd{0};
    const HSYNC posSync =
        BASS_ChannelSetSync(stream, bass::kSyncPos | bass::kSyncOneTime, 1000 * 4, &SyncTest::record, &atPos);
    ASSERT_NE(posSync, 0u);
    ASSERT_NE(BASS_ChannelSetSync(stream, bass::kSyncEnd | bass::kSyncOneTime, 0, &SyncTest::record, &atEnd), 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    pull(999);
    EXPECT_FALSE(fired(atPos));
    pull(1);
    EXPECT_TRUE(fired(atPos));
    EXPECT_EQ(atPos.load(), stream);
    EXPECT_FALSE(BASS_ChannelRemoveSync(stream, posSync)); // one-time syncs go once fired
    pull(1999);
    EXPECT_FALSE(fired(atEnd));
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActivePlaying);
    pull(1);
    EXPECT_TRUE(fired(atEnd));
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
}

// On a real output what a sync's callback starts is mixed by the next render
// call at the earliest. A sync due when its frame is heard left the callback
// only the rest of the call to answer (the disk driver hears a frame as it is
// mixed), and on a sound card it was always a call too late.
TEST(SyncTimingTest, DueWithinOneCallOfBeingHeardAndNeverBeforeBeingMixed)
{
    constexpr int kRate = 44100;
    const struct {
        int frames, latencyMs;
    } outputs[] = {{2048, 0}, {2048, 46}, {256, 5}, {4096, 250}};
    for (const auto& o : outputs) {
        const std::int64_t period = 1000000LL * o.frames / kRate;
        for (int offset = 0; offset <= o.frames; offset += o.frames / 8) {
            const std::int64_t heard = 1000LL * o.latencyMs + 1000000LL * offset / kRate;
            const std::int64_t due = audio::syncDelay(offset, o.frames, kRate, o.latencyMs).count();
            SCOPED_TRACE(std::to_string(o.frames) + " frames, " + std::to_string(o.latencyMs) + " ms, offset " +
                         std::to_string(offset));
            EXPECT_GE(due, 0);
            EXPECT_LE(due, heard);
            EXPECT_LE(heard - due, period);
            // A sync heard as the call begins to sound fires at once.
            if (heard <= period) {
                EXPECT_EQ(due, 0);
            }
        }
    }
}

TEST_F(SyncTest, RepeatingSyncFiresAgainAfterSeekingBack)
{
    const HSTREAM stream = open(dcFile(3000));
    std::atomic<int> count{0};
    ASSERT_NE(BASS_ChannelSetSync(
                  stream, bass::kSyncPos, 500 * 4,
                  [](HSYNC, DWORD, DWORD, void* user) { ++*static_cast<std::atomic<int>*>(user); }, &count),
              0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    pull(600);
    ASSERT_TRUE(BASS_ChannelSetPosition(stream, 0, bass::kPosByte));
    pull(600);
    audio::waitForSyncs();
    EXPECT_EQ(count.load(), 2);
}

TEST_F(SyncTest, CallbackMayCallTheLibrary)
{
    const HSTREAM stream = open(dcFile(100));
    static HSTREAM freed = 0;
    freed = 0;
    ASSERT_NE(BASS_ChannelSetSync(
                  stream, bass::kSyncEnd, 0,
                  [](HSYNC, DWORD channel, DWORD, void*) {
                      if (BASS_StreamFree(channel))
                          freed = channel;
                  },
                  nullptr),
              0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    pull(200);
    audio::waitForSyncs();
    EXPECT_EQ(freed, stream);
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorHandle);
}

TEST_F(SyncTest, CallbackMayFreeTheLibrary)
{
    const HSTREAM stream = open(dcFile(100));
    static std::atomic<bool> freed{false};
    freed = false;
    ASSERT_NE(BASS_ChannelSetSync(
                  stream, bass::kSyncEnd, 0, [](HSYNC, DWORD, DWORD, void*) { freed = BASS_Free(); }, nullptr),
              0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    pull(200);
    for (int i = 0; i < 1000 && !freed; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(freed);
    EXPECT_FALSE(BASS_ChannelPlay(stream, false));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorInit);
    // And it starts again as usual.
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
}

class SpeakerTest : public ::testing::TestWithParam<int> {
protected:
    void TearDown() override { BASS_Free(); }
};

TEST_P(SpeakerTest, EachPairLandsOnItsOutputChannels)
{
    const int speakers = GetParam();
    audio::setOfflineSpeakers(speakers);
    ASSERT_TRUE(BASS_Init(0, 44100, bass::kDeviceSpeakers, nullptr, nullptr));
    BassInfo info;
    ASSERT_TRUE(BASS_GetInfo(&info));
    EXPECT_EQ(info.speakers, static_cast<DWORD>(speakers));
    const std::pair<DWORD, std::array<int, 4>> pairs[] = {
        {bass::kSpeakerFront, {0, 0, 0, 0}},
        {bass::kSpeakerRear, {0, 2, 4, 4}},
        {bass::kSpeakerCenLfe, {-1, -1, 2, 2}},
        {bass::kSpeakerRear2, {-1, -1, -1, 6}},
    };
    for (const auto& [flag, firsts] : pairs) {
        const int first = firsts[speakers / 2 - 1];
        const std::filesystem::path file = dcFile(1000);
        const HSTREAM stream = BASS_StreamCreateFile(false, file.c_str(), 0, 0, flag);
        if (first < 0 || (flag == bass::kSpeakerRear && speakers == 2)) {
            EXPECT_EQ(stream, 0u);
            EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorSpeaker);
            continue;
        }
        ASSERT_NE(stream, 0u);
        ASSERT_TRUE(BASS_ChannelPlay(stream, false));
        const std::vector<float> out = audio::offlineRender(2);
        for (int c = 0; c < speakers; ++c)
            EXPECT_FLOAT_EQ(out[c], c == first || c == first + 1 ? 0.5f : 0.0f) << "flag " << flag << " ch " << c;
        BASS_StreamFree(stream);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SpeakerTest, ::testing::Values(2, 4, 6, 8));

using EffectTest = OfflineAudioTest;

TEST_F(EffectTest, GainAtTheCentreMatchesTheBiquad)
{
    for (const float gain : {6.0f, -9.0f, 12.0f}) {
        const HSTREAM stream = open(sineFile(1000, 0.25, 44100));
        const HFX fx = BASS_ChannelSetFX(stream, BASS_FX_DX8_PARAMEQ, 0);
        ASSERT_NE(fx, 0u);
        const BASS_DX8_PARAMEQ params{1000.0f, 18.0f, gain};
        ASSERT_TRUE(BASS_FXSetParameters(fx, &params));
        BASS_DX8_PARAMEQ back;
        ASSERT_TRUE(BASS_FXGetParameters(fx, &back));
        EXPECT_EQ(back.fGain, gain);
        ASSERT_TRUE(BASS_ChannelPlay(stream, false));
        const std::vector<float> out = pull(30000);
        const double level = toneLevel(out.data() + 2 * 8820, 17640, 2, 1000, 44100);
        // The cookbook peaking filter has exactly the asked gain at its centre.
        EXPECT_NEAR(20 * std::log10(level / 0.25), gain, 0.05) << gain;
        BASS_StreamFree(stream);
    }
}

TEST_F(EffectTest, CentreAboveNyquistIsClampedAndBadValuesRefused)
{
    const HSTREAM stream = open(sineFile(1000, 0.25, 22050));
    const HFX fx = BASS_ChannelSetFX(stream, BASS_FX_DX8_PARAMEQ, 0);
    const BASS_DX8_PARAMEQ high{16000.0f, 18.0f, 6.0f};
    EXPECT_TRUE(BASS_FXSetParameters(fx, &high));
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    const std::vector<float> out = pull(4000);
    for (const float v : out)
        ASSERT_TRUE(std::isfinite(v));
    for (const BASS_DX8_PARAMEQ bad :
         {BASS_DX8_PARAMEQ{1000, 18, 20}, BASS_DX8_PARAMEQ{1000, 0.5f, 0}, BASS_DX8_PARAMEQ{-5, 18, 0}}) {
        EXPECT_FALSE(BASS_FXSetParameters(fx, &bad));
        EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorIllParam);
    }
    EXPECT_EQ(BASS_ChannelSetFX(stream, 12345, 0), 0u);
    EXPECT_TRUE(BASS_ChannelRemoveFX(stream, fx));
    EXPECT_FALSE(BASS_FXSetParameters(fx, &high));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorHandle);
}

using FftTest = OfflineAudioTest;

TEST_F(FftTest, FullScaleSineGivesAboutOne)
{
    const double bin = 100;
    const HSTREAM stream = open(sineFile(bin * 44100 / 1024, 1.0, 44100, 2));
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    pull(3000);
    float fft[512];
    ASSERT_EQ(BASS_ChannelGetData(stream, fft, BASS_DATA_FFT1024), 2048u);
    EXPECT_NEAR(fft[100], 1.0, 0.02);
    EXPECT_LT(fft[50], 0.01);
    EXPECT_LT(fft[200], 0.01);
    EXPECT_EQ(BASS_ChannelGetData(stream, fft, 1024), static_cast<DWORD>(-1));
}

// Frame i of both sides holds i / 65536: a frame's value tells where it was.
class RampSource final : public PcmSource {
public:
    PcmFormat format() const override { return {44100, 2, 0, 16}; }
    std::int64_t length() const override { return -1; }
    std::int64_t read(float* out, std::int64_t frames, ReadStatus&) override
    {
        for (std::int64_t i = 0; i < frames; ++i, ++next_)
            out[2 * i] = out[2 * i + 1] = static_cast<float>(next_) / 65536;
        return frames;
    }
    bool seek(std::int64_t) override { return false; }
    std::int64_t filePosition(DWORD) const override { return -1; }

private:
    std::int64_t next_ = 0;
};

// The FFT data is taken from what is heard: the frames the device still
// holds are left out, up to a whole buffer of two of the longest periods.
TEST(ChannelHistoryTest, TheWindowEndsWhereTheListenerIs)
{
    Channel channel(std::make_unique<RampSource>(), 0, "ramp");
    channel.state = ChannelState::Playing;
    const int played = 40000;
    std::vector<float> out(2 * played);
    std::vector<SyncEvent> events;
    channel.render(out.data(), 2, played, 44100, events);
    ASSERT_EQ(channel.position(), played);
    const std::int64_t deepest = static_cast<std::int64_t>(Channel::kHistory) - 1024;
    const struct {
        std::int64_t unheard, lastFrame;
    } cases[] = {{0, played - 1},
                 {16384, played - 1 - 16384},
                 {deepest, played - 1 - deepest},
                 {deepest + 5000, played - 1 - deepest},
                 {-3, played - 1}};
    for (const auto& c : cases) {
        const std::array<float, 1024> window = channel.history(c.unheard);
        EXPECT_FLOAT_EQ(window.back() * 65536, static_cast<float>(c.lastFrame)) << c.unheard;
        EXPECT_FLOAT_EQ(window.front() * 65536, static_cast<float>(c.lastFrame - 1023)) << c.unheard;
    }
}

} // namespace
