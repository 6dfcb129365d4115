#include <vector>

#include <gtest/gtest.h>

#include "skin/spectrum_vis.h"

using namespace kolvarin;

namespace {

constexpr gdi::Color kLine = gdi::RGB(0, 200, 255), kPeak = gdi::RGB(255, 255, 255);

std::vector<float> Frame(float value, size_t size = TSpectrum::kValues) { return std::vector<float>(size, value); }

// Pixels of the colour in one column (orientation 0) or row (orientation 1).
int PixelsOf(const gdi::Bitmap& b, int index, bool column, gdi::Color color)
{
    int n = 0;
    const int length = column ? b.height() : b.width();
    for (int k = 0; k < length; ++k)
        n += (column ? b.pixel(index, k) : b.pixel(k, index)) == color;
    return n;
}

class SpectrumTest : public ::testing::Test {
protected:
    SpectrumTest() : spectrum_(40, 30), target_(40, 30)
    {
        spectrum_.LineColor = kLine;
        spectrum_.PeakColor = kPeak;
        spectrum_.MaxValue = 20;
        spectrum_.Blur = false;
    }

    TSpectrum spectrum_;
    gdi::Bitmap target_;
};

} // namespace

TEST_F(SpectrumTest, BarsAndPeaksSinkAfterALoudFrameButNeverBelowZero)
{
    spectrum_.BarFallOff = 3;
    spectrum_.PeakFallOff = 1;
    spectrum_.Draw(target_, Frame(0.02f), 5, 0); // 10 pixels
    EXPECT_EQ(spectrum_.Bars[2], 10);
    for (int frame = 1; frame <= 12; ++frame) {
        spectrum_.Draw(target_, Frame(0), 5, 0);
        EXPECT_EQ(spectrum_.Bars[2], std::max(10 - 3 * frame, 0));
        EXPECT_EQ(spectrum_.Peaks[2], std::max(10 - frame, 0));
    }
}

TEST_F(SpectrumTest, LoudValuesStopAtMaxValueInBothOrientations)
{
    spectrum_.ShowPeaks = false;
    for (int orientation : {0, 1}) {
        for (int style : {0, 1}) {
            TSpectrum s(40, 30);
            s.LineColor = kLine;
            s.MaxValue = 20;
            s.Blur = false;
            s.ShowPeaks = false;
            s.Style = style;
            s.BarWidth = 3;
            s.Draw(target_, Frame(7.0f), 0, orientation);
            EXPECT_EQ(s.Bars[0], 20);
            // Entry 0: a bar in columns/rows 0..2; a line in column/row 0,
            // whose first point lies on the edge just outside the picture.
            EXPECT_EQ(PixelsOf(target_, 0, orientation == 0, kLine), style == 1 ? 20 : 19) << orientation << style;
            EXPECT_EQ(PixelsOf(target_, 1, orientation == 0, kLine), style == 1 ? 20 : 0) << "count 0 draws one entry";
        }
    }
}

TEST_F(SpectrumTest, WithoutBlurTheTargetIsTheFrameWithBlurATrailFades)
{
    spectrum_.Draw(target_, Frame(0.04f), 0, 0);
    EXPECT_EQ(target_.pixel(0, 29), kLine);
    EXPECT_EQ(target_, spectrum_.Buffer);

    TSpectrum blurred(40, 30);
    blurred.LineColor = gdi::RGB(0, 0, 255);
    blurred.PeakColor = gdi::RGB(0, 0, 255);
    blurred.MaxValue = 20;
    blurred.BarFallOff = 100;
    blurred.PeakFallOff = 100;
    blurred.Draw(target_, Frame(0.04f), 0, 0);
    const int first = gdi::GetBValue(target_.pixel(0, 15));
    EXPECT_EQ(first, 255 * 6 / 32);
    blurred.Draw(target_, Frame(0), 0, 0);
    const int second = gdi::GetBValue(target_.pixel(0, 16));
    EXPECT_GT(second, 0) << "the trail moved one row down";
    EXPECT_LT(second, first) << "and faded";
    EXPECT_EQ(gdi::GetBValue(target_.pixel(0, 10)), 0) << "above the old bar nothing";
}

TEST_F(SpectrumTest, OutOfRangeCountsStepsAndWidthsStayInsideTheArrays)
{
    TSpectrum wide(600, 30);
    wide.Blur = false;
    wide.Style = 0;
    gdi::Bitmap target(600, 30);
    // Lines as wide as the analyzer, far more than the arrays hold.
    wide.Draw(target, Frame(0.01f), SpectrumCount(600, 3, 0), 0);
    EXPECT_EQ(wide.Bars[TSpectrum::kEntries - 1], 5);
    EXPECT_EQ(PixelsOf(target, 128, true, wide.LineColor), 4);
    EXPECT_EQ(PixelsOf(target, 129, true, wide.LineColor), 0);
    // A stride that would read past the frame stops at its end.
    wide.Step = 100;
    wide.Draw(target, Frame(0.01f), 128, 0);
    EXPECT_EQ(PixelsOf(target, 5, true, wide.LineColor), 4);
    EXPECT_EQ(PixelsOf(target, 6, true, wide.LineColor), 0);
    // A short frame, a negative count, a bar width of 0.
    wide.Step = 1;
    wide.Style = 1;
    wide.BarWidth = 0;
    wide.Draw(target, Frame(0.01f, 3), 100, 0);
    wide.Draw(target, Frame(0.01f), -4, 0);
    EXPECT_EQ(SpectrumCount(90, 0, 1), 90);
    EXPECT_EQ(SpectrumCount(90, -3, 1), 90);
    EXPECT_EQ(SpectrumCount(90, 4, 1), 22);
    EXPECT_EQ(SpectrumCount(-5, 4, 0), 0);
}

TEST(SpectrumBlendTest, EachByteIsTheWeightedMeanOfItsSources)
{
    gdi::Bitmap a(7, 3), b(7, 3), d(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            a.setPixel(x, y, gdi::RGB(uint8_t(x * 37 + y), uint8_t(255 - x), uint8_t(y * 90)));
            b.setPixel(x, y, gdi::RGB(uint8_t(255 - y * 9), uint8_t(x * 31), uint8_t(200)));
        }
    BlendBuffers(a, b, d, 6);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            auto mix = [](int p, int q) { return (p * 26 + q * 6) / 32; };
            const gdi::Color pa = a.pixel(x, y), pb = b.pixel(x, y);
            EXPECT_EQ(d.pixel(x, y), gdi::RGB(uint8_t(mix(gdi::GetRValue(pa), gdi::GetRValue(pb))),
                                              uint8_t(mix(gdi::GetGValue(pa), gdi::GetGValue(pb))),
                                              uint8_t(mix(gdi::GetBValue(pa), gdi::GetBValue(pb)))));
        }
    const gdi::Bitmap before = d;
    BlendBuffers(b, a, d, 0);
    EXPECT_EQ(d, before) << "alpha 0 writes nothing";
}
