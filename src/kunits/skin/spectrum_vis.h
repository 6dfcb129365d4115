#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "gdi/bitmap.h"
#include "gdi/color.h"

namespace kolvarin {

// The main window's spectrum analyzer: bars or vertical lines following a
// frame of spectrum values, with slowly falling peak marks, over the skin's
// analyzer background, optionally with a motion-blur trail. Draws into a
// target bitmap (the analyzer paint box's surface). Main thread only.
class TSpectrum {
public:
    // The bars and peaks kept between frames; more entries are never drawn.
    static constexpr int kEntries = 129;
    // Values a frame holds.
    static constexpr int kValues = 513;

    TSpectrum(int width, int height);

    gdi::Bitmap Buffer, PrevBuffer, Background, BlendBuffer;
    int32_t MaxValue = 100;
    gdi::Color LineColor = gdi::RGB(255, 255, 255);
    gdi::Color PeakColor = gdi::RGB(255, 255, 0);
    int32_t Style = 0; // 0 lines, 1 bars
    int32_t Step = 1;
    bool ClearFirst = true;
    bool HasBackground = false;
    int32_t PeakFallOff = 1;
    int32_t BarFallOff = 3;
    int32_t BarWidth = 5;
    bool ShowPeaks = true;
    bool Blur = true;
    std::array<int32_t, kEntries> Peaks{};
    std::array<int32_t, kEntries> Bars{};

    void SetSize(int width, int height);
    void SetBackground(bool hasBackground, const gdi::Bitmap& background);
    // Black buffers (with the background when there is one), sized like target.
    void Clear();
    // One frame: entries 0..Count (at most kEntries of them, and only values
    // the frame holds), orientation 0 growing up from the bottom edge, 1
    // growing left from the right edge. The picture goes to target.
    void Draw(gdi::Bitmap& target, std::span<const float> values, int count, int orientation, int offsetX = 0,
              int offsetY = 0);

private:
    void ClearBuffer(gdi::Bitmap& buffer) const;
};

// The analyzer painter of the main window; created at start-up, never freed.
extern TSpectrum* Spectrum;

struct TKSAnalyzer;

// Sizes the painter to the skin's analyzer and takes its colours, bar width,
// height and background, then the drawing settings; clears it.
void ConfigureSpectrum(TSpectrum& spectrum, const TKSAnalyzer& analyzer, int style, int peakFallOff, int barFallOff,
                       bool showPeaks, bool blur);

// The blur step: each byte of dest := (src1 x (32 - alpha) + src2 x alpha) / 32,
// over the bytes the three bitmaps share. Alpha 0 writes nothing.
void BlendBuffers(const gdi::Bitmap& src1, const gdi::Bitmap& src2, gdi::Bitmap& dest, int alpha);

// The entries to draw for an analyzer of the given extent: extent / bar
// width for bars (a bar width below 1 counts as 1), the extent for lines;
// never below 0.
int SpectrumCount(int extent, int barWidth, int style);

} // namespace kolvarin
