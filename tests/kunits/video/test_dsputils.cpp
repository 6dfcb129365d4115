#include "video/dsputils.h"

#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

using namespace kolvarin::dsp;

TEST(DspUtils, WindowWeights)
{
    struct Case {
        TWindowMode mode;
        int index, size;
        double weight;
    };
    const Case cases[] = {
        {TWindowMode::wmRectangular, 3, 8, 1.0},
        {TWindowMode::wmHanning, 0, 8, 0.0},
        {TWindowMode::wmHanning, 4, 8, 1.0},
        {TWindowMode::wmBartlett, 4, 9, 1.0},
        {TWindowMode::wmBartlett, 2, 9, 0.5},
        {TWindowMode::wmBartlett, 6, 9, 0.5},
        {TWindowMode::wmHamming, 0, 8, 0.08},
        {TWindowMode::wmHamming, 4, 8, 1.0},
        {TWindowMode::wmGaussian, 4, 8, 1.0},
        {TWindowMode::wmGaussian, 0, 8, std::exp(-5.0)},
        {TWindowMode::wmBlackman, 0, 8, 0.0},
        {TWindowMode::wmBlackman, 4, 8, 1.0},
        // Sampled at i + 0.5: symmetric about the middle of the window.
        {TWindowMode::wmBlackmanHarris, 0, 8,
         0.35875 - 0.48829 * std::cos(M_PI / 8) + 0.14128 * std::cos(M_PI / 4) - 0.01168 * std::cos(3 * M_PI / 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        EXPECT_NEAR(WindowValue(c.index, c.size, c.mode, 2.0f), 2.0 * c.weight, 1e-6) << c.index;
    }
    EXPECT_NEAR(WindowValue(1, 8, TWindowMode::wmBlackmanHarris, 1.0f),
                WindowValue(6, 8, TWindowMode::wmBlackmanHarris, 1.0f), 1e-7);
    EXPECT_EQ(WindowValue(0, 8, static_cast<TWindowMode>(7), 0.25f), 0.25f);
    EXPECT_EQ(WindowValue(0, 1, TWindowMode::wmBartlett, 0.25f), 0.25f);
}

TEST(DspUtils, TwentyFourBitSamples)
{
    const uint8_t max[] = {0xFF, 0xFF, 0x7F}, min[] = {0x00, 0x00, 0x80}, minusOne[] = {0xFF, 0xFF, 0xFF},
                  mixed[] = {0x56, 0x34, 0x12};
    EXPECT_EQ(Read24(max), 8388607);
    EXPECT_EQ(Read24(min), -8388608);
    EXPECT_EQ(Read24(minusOne), -1);
    EXPECT_EQ(Read24(mixed), 0x123456);
    for (int32_t v : {0, 1, -1, 8388607, -8388608, 0x123456, -1234567}) {
        uint8_t bytes[4] = {0, 0, 0, 0xAA};
        Write24(v, bytes);
        EXPECT_EQ(Read24(bytes), v);
        EXPECT_EQ(bytes[3], 0xAA); // nothing beyond the three bytes
    }
}

TEST(DspUtils, ClippingToSampleWidths)
{
    EXPECT_EQ(Clip8(-129), -128);
    EXPECT_EQ(Clip8(128), 127);
    EXPECT_EQ(Clip8(-5), -5);
    EXPECT_EQ(Clip16(-40000), -32768);
    EXPECT_EQ(Clip16(32768), 32767);
    EXPECT_EQ(Clip24(-8388609), -8388608);
    EXPECT_EQ(Clip24(8388608), 8388607);
    EXPECT_EQ(Clip32(-2147483648LL), -2147483647);
    EXPECT_EQ(Clip32(INT64_MIN), -2147483647);
    EXPECT_EQ(Clip32(INT64_MAX), 2147483647);
    EXPECT_EQ(Clip32(-7), -7);
}

TEST(DspUtils, RoundingSaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(RoundSaturated(2.5), 2); // ties to even
    EXPECT_EQ(RoundSaturated(3.5), 4);
    EXPECT_EQ(RoundSaturated(-2.5), -2);
    EXPECT_EQ(RoundSaturated(1e30), INT64_MAX);
    EXPECT_EQ(RoundSaturated(-INFINITY), INT64_MIN);
    EXPECT_EQ(RoundSaturated(NAN), 0);
}

TEST(DspUtils, MagnitudeAndProcessorFeatures)
{
    EXPECT_FLOAT_EQ(Magnitude(3.0f, 4.0f), 5.0f);
    EXPECT_FLOAT_EQ(Magnitude(-1e20f, 1e20f), 1.41421356e20f); // no overflow in the squares
    EXPECT_EQ(Magnitude(0.0f, 0.0f), 0.0f);
#if defined(__x86_64__)
    EXPECT_TRUE(CPUFeatures().SSE2); // every x86-64 processor has it
#endif
}
