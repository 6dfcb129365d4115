#include "video/dspequalizer.h"

#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using namespace kolvarin::dsp;

namespace {

// The kernel the equalizer should build, in double precision: the gain
// curve as an even spectrum (DC and Nyquist at half weight), its impulse
// response centred at tap N/8 of N/4 + 1 taps, Hann-windowed with the
// window's zeros just outside the taps.
std::vector<double> ReferenceTaps(const TQxEqualizer& eq, int channel)
{
    const int n = FFTPointCount(eq.FFTSize());
    std::vector<double> x(n / 2 + 1);
    for (int k = 0; k < n / 2; ++k)
        x[k] = 2.0 * std::pow(10.0, eq.GetBandValue(channel, k) / 100.0);
    x[n / 2] = x[n / 2 - 1] / 2;
    x[0] /= 2;
    std::vector<double> taps(n / 4 + 1);
    for (int i = 0; i <= n / 4; ++i) {
        const int j = ((i - n / 8) % n + n) % n;
        double y = 0;
        for (int k = 0; k <= n / 2; ++k)
            y += x[k] * std::cos(2 * M_PI * double(j) * k / n);
        taps[i] = y / n * (0.5 - 0.5 * std::cos(2 * M_PI * (i + 1) / (n / 4 + 2)));
    }
    return taps;
}

std::vector<double> Convolve(const std::vector<double>& signal, const std::vector<double>& taps)
{
    std::vector<double> out(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        for (size_t t = 0; t < taps.size() && t <= i; ++t)
            out[i] += taps[t] * signal[i - t];
    return out;
}

// |H(f)| of the taps at f cycles per sample.
double Response(const std::vector<double>& taps, double f)
{
    std::complex<double> h = 0;
    for (size_t i = 0; i < taps.size(); ++i)
        h += taps[i] * std::polar(1.0, -2 * M_PI * f * double(i));
    return std::abs(h);
}

std::vector<float> Noise(size_t count, unsigned seed, float amplitude)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-amplitude, amplitude);
    std::vector<float> v(count);
    for (float& f : v)
        f = dist(rng);
    return v;
}

std::vector<double> Channel(const std::vector<float>& interleaved, int channels, int channel)
{
    std::vector<double> out;
    for (size_t i = channel; i < interleaved.size(); i += channels)
        out.push_back(interleaved[i]);
    return out;
}

void ProcessFloats(TQxEqualizer& eq, std::vector<float>& samples, int channels)
{
    eq.Process(samples.data(), static_cast<int>(samples.size() * sizeof(float)), 32, channels, true);
}

std::vector<int16_t> Sine16(int frames, int channels, double cyclesPerSample, double amplitude)
{
    std::vector<int16_t> v(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            v[size_t(i) * channels + c] =
                static_cast<int16_t>(std::lrint(amplitude * std::sin(2 * M_PI * cyclesPerSample * i)));
    return v;
}

class Equalizer : public ::testing::Test {
protected:
    void SetUp() override { eq.SetEnabled(true); }
    // A curve that exercises every bin: a slow swing plus a ripple.
    void ShapeCurve(int channel, int phase)
    {
        const int bins = FFTPointCount(eq.FFTSize()) / 2;
        for (int k = 0; k < bins; ++k)
            eq.SetBandValue(channel, k, static_cast<int8_t>(std::lrint(60 * std::sin(0.3 * k + phase) - 20 * (k % 3))));
    }
    TQxEqualizer eq;
};

} // namespace

TEST_F(Equalizer, NoiseMatchesDirectConvolutionWithReferenceTaps)
{
    for (TQxFFTSize size : {TQxFFTSize::fts2, TQxFFTSize::fts4, TQxFFTSize::fts8, TQxFFTSize::fts64, TQxFFTSize::fts512,
                            TQxFFTSize::fts2048}) {
        SCOPED_TRACE(FFTPointCount(size));
        eq.SetFFTSize(size);
        for (bool seperate : {false, true}) {
            eq.SetSeperate(seperate);
            ShapeCurve(0, 0);
            ShapeCurve(1, 2);
            ShapeCurve(2, 4);
            const int channels = 3;
            std::vector<float> samples = Noise(3000 * channels, 5, 0.5f);
            const std::vector<float> input = samples;
            ProcessFloats(eq, samples, channels);
            for (int c = 0; c < channels; ++c) {
                const std::vector<double> want =
                    Convolve(Channel(input, channels, c), ReferenceTaps(eq, seperate ? c : 0));
                const std::vector<double> got = Channel(samples, channels, c);
                double worst = 0;
                for (size_t i = 0; i < want.size(); ++i)
                    worst = std::max(worst, std::abs(got[i] - want[i]));
                EXPECT_LT(worst, 2e-5) << "channel " << c << " seperate " << seperate;
            }
            eq.Flush();
        }
    }
}

TEST_F(Equalizer, IrregularBuffersAndChunksGiveTheSameOutput)
{
    eq.SetFFTSize(TQxFFTSize::fts512); // blocks of 384 frames, 128-frame tails
    ShapeCurve(0, 1);
    const int channels = 2;
    const std::vector<float> input = Noise(6000 * channels, 9, 0.5f);
    std::vector<float> whole = input;
    eq.SetSampleSize(0);
    ProcessFloats(eq, whole, channels);

    for (uint32_t sampleSize : {0u, 1u, 100u, 8192u}) {
        SCOPED_TRACE(sampleSize);
        eq.SetSampleSize(sampleSize);
        eq.Flush();
        std::vector<float> pieces = input;
        const int frameSizes[] = {1, 7, 127, 128, 129, 383, 384, 385, 1000, 2};
        size_t frame = 0;
        for (int i = 0; frame < input.size() / channels; ++i) {
            const size_t count = std::min<size_t>(frameSizes[i % 10], input.size() / channels - frame);
            eq.Process(pieces.data() + frame * channels, static_cast<int>(count * channels * sizeof(float)), 32,
                       channels, true);
            frame += count;
        }
        for (size_t i = 0; i < input.size(); ++i)
            ASSERT_NEAR(pieces[i], whole[i], 1e-5) << "sample " << i;
    }
}

TEST_F(Equalizer, SineGainFollowsTheFilterResponse)
{
    eq.SetFFTSize(TQxFFTSize::fts256);
    ShapeCurve(0, 3);
    const std::vector<double> taps = ReferenceTaps(eq, 0);
    // Whole periods in the 2048-frame window that follows the transient.
    const int frames = 4096, from = 1024, to = from + 2048;
    for (int periods : {20, 111, 266, 512, 635, 965}) {
        const double f = periods / 2048.0;
        SCOPED_TRACE(f);
        eq.Flush();
        std::vector<int16_t> samples = Sine16(frames, 1, f, 10000);
        eq.Process(samples.data(), frames * 2, 16, 1, false);
        // Amplitude from the steady part by correlation with sin and cos.
        std::complex<double> sum = 0;
        for (int i = from; i < to; ++i)
            sum += double(samples[i]) * std::polar(1.0, -2 * M_PI * f * i);
        const double gain = 2 * std::abs(sum) / (to - from) / 10000;
        EXPECT_NEAR(gain, Response(taps, f), 2e-3);
    }
}

// With every gain at its initial value the equalizer is a pure delay of N/8
// frames, also at DC and at Nyquist.
TEST_F(Equalizer, FlatCurvePassesEveryFrequencyDelayed)
{
    eq.SetFFTSize(TQxFFTSize::fts512);
    const int frames = 3000, delay = 64;
    std::vector<int16_t> dc(frames, 12345), nyquist(frames);
    for (int i = 0; i < frames; ++i)
        nyquist[i] = static_cast<int16_t>(i % 2 ? -20000 : 20000);
    std::vector<int16_t> noise(frames);
    std::mt19937 rng(3);
    for (int16_t& s : noise)
        s = static_cast<int16_t>(std::uniform_int_distribution<int>(-30000, 30000)(rng));
    for (const std::vector<int16_t>* input : {&dc, &nyquist, &noise}) {
        eq.Flush();
        std::vector<int16_t> out = *input;
        eq.Process(out.data(), frames * 2, 16, 1, false);
        for (int i = delay; i < frames; ++i)
            ASSERT_EQ(out[i], (*input)[i - delay]) << "frame " << i;
    }
}

TEST_F(Equalizer, EveryFormatRoundTripsThroughAFlatCurve)
{
    eq.SetFFTSize(TQxFFTSize::fts64);
    struct Case {
        int bits;
        bool isFloat;
    };
    for (Case c : {Case{8, false}, Case{16, false}, Case{24, false}, Case{32, false}, Case{32, true}}) {
        SCOPED_TRACE(c.bits);
        const int bytes = c.bits / 8, frames = 500, channels = 2, delay = 8;
        std::vector<uint8_t> input(size_t(frames) * channels * bytes);
        std::mt19937 rng(c.bits);
        for (size_t i = 0; i < input.size(); i += bytes)
            for (int b = 0; b < bytes; ++b)
                input[i + b] = static_cast<uint8_t>(rng());
        if (c.isFloat) {
            const std::vector<float> f = Noise(input.size() / 4, 1, 1.0f);
            std::memcpy(input.data(), f.data(), input.size());
        } else if (c.bits == 32) {
            // Full-scale 32-bit values lose bits in a float; stay within 24.
            for (size_t i = 3; i < input.size(); i += 4)
                input[i] = input[i - 1] & 0x80 ? 0xFF : 0x00;
        }
        eq.Flush();
        std::vector<uint8_t> out = input;
        eq.Process(out.data(), static_cast<int>(out.size()), c.bits, channels, c.isFloat);
        const size_t shift = size_t(delay) * channels * bytes;
        if (c.isFloat) {
            for (size_t i = shift; i < out.size(); i += 4) {
                float got, want;
                std::memcpy(&got, &out[i], 4);
                std::memcpy(&want, &input[i - shift], 4);
                ASSERT_NEAR(got, want, 1e-6);
            }
        } else if (c.bits <= 16) {
            EXPECT_EQ(std::vector<uint8_t>(out.begin() + shift, out.end()),
                      std::vector<uint8_t>(input.begin(), input.end() - shift));
        } else {
            // 24 significant bits fill a float's mantissa: a few units of rounding.
            auto value = [&](const std::vector<uint8_t>& v, size_t i) {
                int64_t x = 0;
                for (int b = bytes - 1; b >= 0; --b)
                    x = x * 256 + (b == bytes - 1 ? int8_t(v[i + b]) : v[i + b]);
                return x;
            };
            for (size_t i = shift; i < out.size(); i += bytes)
                ASSERT_NEAR(value(out, i), value(input, i - shift), 16) << "byte " << i;
        }
    }
}

TEST_F(Equalizer, IntegerOutputSaturates)
{
    eq.SetFFTSize(TQxFFTSize::fts64);
    for (int k = 0; k < 32; ++k)
        eq.SetBandValue(0, k, 100); // +20 dB everywhere
    std::vector<int16_t> s16(400, 30000);
    eq.Process(s16.data(), 800, 16, 1, false);
    EXPECT_EQ(s16.back(), 32767);
    eq.Flush();
    std::vector<int32_t> s32(400, -2000000000);
    eq.Process(s32.data(), 1600, 32, 1, false);
    EXPECT_EQ(s32.back(), -2147483647);
    eq.Flush();
    std::vector<uint8_t> u8(400, 255);
    eq.Process(u8.data(), 400, 8, 1, false);
    EXPECT_EQ(u8.back(), 255);
    eq.Flush();
    std::vector<uint8_t> s24(1200);
    for (size_t i = 0; i < s24.size(); i += 3)
        s24[i + 2] = 0x80; // -8388608
    eq.Process(s24.data(), 1200, 24, 1, false);
    EXPECT_EQ(std::vector<uint8_t>(s24.end() - 3, s24.end()), (std::vector<uint8_t>{0x00, 0x00, 0x80}));
}

TEST_F(Equalizer, BandValuesStoreTheirGainAndIgnoreInvalidBins)
{
    eq.SetBandValue(0, 5, -40);
    EXPECT_EQ(eq.GetBandValue(0, 5), -40);
    eq.SetBandValue(9, 8191, 100);
    EXPECT_EQ(eq.GetBandValue(9, 8191), 100);
    eq.SetBandValue(10, 5, 50);
    eq.SetBandValue(0, 8192, 50);
    EXPECT_EQ(eq.GetBandValue(10, 5), 0);
    EXPECT_EQ(eq.GetBandValue(0, 8192), 0);
    EXPECT_EQ(eq.GetBandValue(1, 5), 0);
}

TEST_F(Equalizer, DefaultsAndDisabledPassThrough)
{
    TQxEqualizer fresh;
    EXPECT_FALSE(fresh.Enabled());
    EXPECT_FALSE(fresh.Seperate());
    EXPECT_FALSE(fresh.ProcessMessages());
    EXPECT_EQ(fresh.SampleSize(), 8192u);
    EXPECT_EQ(fresh.FFTSize(), TQxFFTSize::fts1024);
    std::vector<int16_t> samples = Sine16(2000, 2, 0.01, 1000);
    const std::vector<int16_t> input = samples;
    fresh.Process(samples.data(), 8000, 16, 2, false);
    EXPECT_EQ(samples, input);
    // Widths the chain does not handle are left alone too.
    eq.Process(samples.data(), 8000, 12, 2, false);
    eq.Process(samples.data(), 8000, 0, 2, false);
    EXPECT_EQ(samples, input);
}

TEST_F(Equalizer, ProcessMessagesRunsBetweenChunks)
{
    int calls = 0;
    eq.OnProcessMessages = [&] { ++calls; };
    eq.SetSampleSize(1000);
    std::vector<int16_t> samples(2 * 4500);
    eq.Process(samples.data(), 2 * 9000, 16, 2, false);
    EXPECT_EQ(calls, 0);
    eq.SetProcessMessages(true);
    eq.Process(samples.data(), 2 * 9000, 16, 2, false);
    EXPECT_EQ(calls, 5);
}

// A new FFT size, or channels that had no kernel yet, design the kernels
// again and drop the old tails: the output is that of a fresh equalizer.
TEST_F(Equalizer, NewSizeOrMoreChannelsStartAfresh)
{
    for (bool newSize : {true, false}) {
        SCOPED_TRACE(newSize);
        TQxEqualizer used, fresh;
        for (TQxEqualizer* e : {&used, &fresh}) {
            e->SetEnabled(true);
            e->SetSeperate(true);
            for (int c = 0; c < 4; ++c)
                for (int k = 0; k < 512; ++k)
                    e->SetBandValue(c, k, static_cast<int8_t>((c * 37 + k * 11) % 120 - 60));
        }
        std::vector<float> stereo = Noise(2 * 1000, 2, 0.5f);
        ProcessFloats(used, stereo, 2);
        if (newSize) {
            used.SetFFTSize(TQxFFTSize::fts256);
            fresh.SetFFTSize(TQxFFTSize::fts256);
        }
        std::vector<float> quad = Noise(4 * 1000, 4, 0.5f), expected = quad;
        ProcessFloats(used, quad, 4);
        ProcessFloats(fresh, expected, 4);
        EXPECT_EQ(quad, expected);
    }
}

TEST_F(Equalizer, ChannelsBeyondTheTenthPassUntouched)
{
    eq.SetFFTSize(TQxFFTSize::fts64);
    eq.SetSeperate(true);
    for (int c = 0; c < 10; ++c)
        eq.SetBandValue(c, 0, -100);
    const int channels = 12;
    std::vector<int16_t> samples = Sine16(600, channels, 0.003, 8000);
    const std::vector<int16_t> input = samples;
    eq.Process(samples.data(), static_cast<int>(samples.size() * 2), 16, channels, false);
    int changed = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (i % channels >= 10)
            ASSERT_EQ(samples[i], input[i]) << "sample " << i;
        else
            changed += samples[i] != input[i];
    }
    EXPECT_GT(changed, 0);
}
