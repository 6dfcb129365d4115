#include "video/visspectrum.h"

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

using namespace kolvarin::dsp;

namespace {

struct Result {
    std::vector<std::vector<int32_t>> rows;
    int minY = 0, maxY = 0, numSamples = -1, channels = -1;
};

class Spectrum : public ::testing::Test {
protected:
    void SetUp() override
    {
        spectrum.OnSpectrumData = [this](TQxSpectrum& sender, const TVisualBuffer& data, int minY, int maxY,
                                         int numSamples, int channels) {
            EXPECT_EQ(&sender, &spectrum);
            last = {};
            for (int r = 0; r < channels; ++r)
                last.rows.emplace_back(data[r].begin(), data[r].begin() + FFTPointCount(sender.FFTSize()) / 2);
            last.minY = minY;
            last.maxY = maxY;
            last.numSamples = numSamples;
            last.channels = channels;
        };
    }
    template <typename T>
    void Run(const std::vector<T>& samples, int bits, int channels, bool isFloat = false)
    {
        spectrum.Process(samples.data(), static_cast<int>(samples.size() * sizeof(T)), bits, channels, isFloat);
    }
    TQxSpectrum spectrum;
    Result last;
};

std::vector<int16_t> Sine(int frames, int channels, double cyclesPerSample, double amplitude)
{
    std::vector<int16_t> v(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            v[size_t(i) * channels + c] =
                static_cast<int16_t>(std::lrint(amplitude * std::sin(2 * M_PI * cyclesPerSample * i)));
    return v;
}

// What the display row should be, computed in double precision from the
// first `frames` samples: window, pre-emphasis, DFT, size factor, scaling.
std::vector<int32_t> ReferenceRow(const std::vector<int16_t>& mono, int n, int frames, TWindowMode mode,
                                  double preEmphasis, bool logarithmic, int minY, int maxY, double sizeFactor)
{
    std::vector<double> x(n);
    for (int i = 0; i < frames; ++i)
        x[i] = mono[i];
    for (int i = 0; i < n; ++i)
        x[i] = WindowValue(i, n, mode, static_cast<float>(x[i]));
    for (int i = n - 1; i >= 1; --i)
        x[i] -= preEmphasis * x[i - 1];
    std::vector<int32_t> row(n / 2);
    for (int k = 0; k < n / 2; ++k) {
        std::complex<double> sum = 0;
        for (int j = 0; j < n; ++j)
            sum += x[j] * std::polar(1.0, 2 * M_PI * double((int64_t(j) * k) % n) / n);
        double v = std::max(std::round(std::abs(sum)) * sizeFactor - 50000.0, 0.0) * (maxY - minY) / 700000.0;
        if (logarithmic)
            v = std::sqrt((maxY - minY) * v);
        row[k] = static_cast<int32_t>(std::min<double>(std::round(minY + v), maxY));
    }
    return row;
}

} // namespace

TEST_F(Spectrum, DefaultsAndSampleSkipFloor)
{
    EXPECT_TRUE(spectrum.Logarithmic());
    EXPECT_EQ(spectrum.WindowMode(), TWindowMode::wmRectangular);
    EXPECT_EQ(spectrum.MinY(), 0);
    EXPECT_EQ(spectrum.MaxY(), 100);
    EXPECT_TRUE(spectrum.MixChannels());
    EXPECT_EQ(spectrum.PreEmphesis(), 90);
    EXPECT_TRUE(spectrum.PreEmphesisEnabled());
    EXPECT_EQ(spectrum.SampleSkip(), 1);
    EXPECT_EQ(spectrum.FFTSize(), TQxFFTSize::fts1024);
    spectrum.SetSampleSkip(0);
    EXPECT_EQ(spectrum.SampleSkip(), 1);
    spectrum.SetSampleSkip(255);
    EXPECT_EQ(spectrum.SampleSkip(), 255);
}

TEST_F(Spectrum, SilenceSitsAtMinYInEveryBin)
{
    spectrum.SetMinY(7);
    spectrum.SetMaxY(90);
    for (bool mix : {true, false}) {
        spectrum.SetMixChannels(mix);
        Run(std::vector<int16_t>(2 * 16384), 16, 2);
        ASSERT_EQ(last.channels, mix ? 1 : 2);
        EXPECT_EQ(last.minY, 7);
        EXPECT_EQ(last.maxY, 90);
        for (const auto& row : last.rows)
            for (int32_t v : row)
                ASSERT_EQ(v, 7);
    }
}

TEST_F(Spectrum, LongStereoSliceUsesHalfTheFFTAndReportsOneMixedRow)
{
    Run(Sine(16384, 2, 0.05, 1000), 16, 2);
    EXPECT_EQ(last.numSamples, 512);
    EXPECT_EQ(last.channels, 1);
    // A slice too short for N/2 frames uses what it has: frames / (skip + 1).
    spectrum.SetSampleSkip(3);
    Run(Sine(1000, 2, 0.05, 1000), 16, 2);
    EXPECT_EQ(last.numSamples, 250);
}

TEST_F(Spectrum, BinCentredSineMatchesTheReference)
{
    const int n = 1024, bin = 64;
    const std::vector<int16_t> sine = Sine(2 * n, 1, double(bin) / n, 1000);
    struct Case {
        TWindowMode mode;
        bool preEmphasis;
        bool logarithmic;
    };
    for (Case c : {Case{TWindowMode::wmRectangular, false, false}, Case{TWindowMode::wmHanning, true, true},
                   Case{TWindowMode::wmBlackmanHarris, true, false}}) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        spectrum.SetWindowMode(c.mode);
        spectrum.SetPreEmphesisEnabled(c.preEmphasis);
        spectrum.SetLogarithmic(c.logarithmic);
        spectrum.SetMaxY(1000);
        Run(sine, 16, 1);
        ASSERT_EQ(last.rows.size(), 1u);
        const std::vector<int32_t> want =
            ReferenceRow(sine, n, n / 2, c.mode, c.preEmphasis ? 0.9 : 0.0, c.logarithmic, 0, 1000, 2.4);
        for (int k = 0; k < n / 2; ++k)
            ASSERT_NEAR(last.rows[0][k], want[k], 1) << "bin " << k;
        EXPECT_EQ(last.rows[0][bin], *std::max_element(last.rows[0].begin(), last.rows[0].end()));
        EXPECT_LT(last.rows[0][bin], 1000);
    }
}

TEST_F(Spectrum, LoudSignalIsClampedToMaxY)
{
    spectrum.SetLogarithmic(false);
    spectrum.SetPreEmphesisEnabled(false);
    Run(Sine(2048, 1, 64.0 / 1024, 32767), 16, 1);
    EXPECT_EQ(last.rows[0][64], 100);
    for (int32_t v : last.rows[0])
        ASSERT_LE(v, 100);
}

// Every width lands on the same 16-bit scale; floats beyond full scale (and
// NaN) are clamped before conversion.
TEST_F(Spectrum, EverySampleFormatGivesTheSameSpectrum)
{
    const int frames = 1024;
    const std::vector<int16_t> s16 = Sine(frames, 1, 0.1, 128 * 200);

    std::vector<uint8_t> u8(frames), s24(frames * 3);
    std::vector<int32_t> s32(frames);
    std::vector<float> f32(frames), loud(frames);
    for (int i = 0; i < frames; ++i) {
        const int v = s16[i] / 256; // 8 significant bits, which every width holds exactly
        u8[i] = static_cast<uint8_t>(v + 128);
        Write24(v * 65536, &s24[3 * i]);
        s32[i] = v * 256 * 65536;
        f32[i] = static_cast<float>(v * 256) / 32767.0f;
        loud[i] = v > 0 ? 1e30f : v < 0 ? -INFINITY : NAN;
    }
    std::vector<int16_t> coarse(frames);
    for (int i = 0; i < frames; ++i)
        coarse[i] = static_cast<int16_t>(s16[i] / 256 * 256);
    Run(coarse, 16, 1);
    const Result want = last;
    ASSERT_GT(*std::max_element(want.rows[0].begin(), want.rows[0].end()), 0);
    Run(u8, 8, 1);
    EXPECT_EQ(last.rows, want.rows);
    Run(s24, 24, 1);
    EXPECT_EQ(last.rows, want.rows);
    Run(s32, 32, 1);
    EXPECT_EQ(last.rows, want.rows);
    Run(f32, 32, 1, true);
    EXPECT_EQ(last.rows, want.rows);

    std::vector<float> clipped(frames);
    for (int i = 0; i < frames; ++i)
        clipped[i] = std::isnan(loud[i]) ? 0.0f : std::clamp(loud[i], -1.0f, 1.0f);
    Run(clipped, 32, 1, true);
    const Result clippedResult = last;
    Run(loud, 32, 1, true);
    EXPECT_EQ(last.rows, clippedResult.rows);
}

TEST_F(Spectrum, OnlyTheFirstTenChannelsCount)
{
    const int channels = 12, frames = 1024;
    std::vector<int16_t> samples(size_t(frames) * channels);
    const std::vector<int16_t> sine = Sine(frames, 1, 0.1, 20000);
    for (int i = 0; i < frames; ++i)
        samples[size_t(i) * channels + 10] = samples[size_t(i) * channels + 11] = sine[i];
    for (bool mix : {true, false}) {
        spectrum.SetMixChannels(mix);
        Run(samples, 16, channels);
        EXPECT_EQ(last.channels, mix ? 1 : 10);
        for (const auto& row : last.rows)
            for (int32_t v : row)
                ASSERT_EQ(v, 0);
    }
    // The same sine in channel 9 shows, so the rows are live.
    for (int i = 0; i < frames; ++i)
        samples[size_t(i) * channels + 9] = sine[i];
    Run(samples, 16, channels);
    EXPECT_GT(*std::max_element(last.rows[9].begin(), last.rows[9].end()), 0);
}

TEST_F(Spectrum, NothingHappensWithoutUsableInput)
{
    int calls = 0;
    spectrum.OnSpectrumData = [&](TQxSpectrum&, const TVisualBuffer&, int, int, int, int) { ++calls; };
    const std::vector<int16_t> samples(2048);
    spectrum.Process(nullptr, 4096, 16, 2, false);
    spectrum.Process(samples.data(), 0, 16, 2, false);
    spectrum.Process(samples.data(), 4096, 0, 2, false);
    spectrum.Process(samples.data(), 4096, 12, 2, false);
    spectrum.Process(samples.data(), 4096, 16, 0, false);
    EXPECT_EQ(calls, 0);
    spectrum.Process(samples.data(), 4096, 16, 2, false);
    EXPECT_EQ(calls, 1);
}
