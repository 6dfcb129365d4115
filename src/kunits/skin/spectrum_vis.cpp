#include "skin/spectrum_vis.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gdi/canvas.h"
#include "skin/kgui.h"

namespace kolvarin {

TSpectrum* Spectrum = nullptr;

TSpectrum::TSpectrum(int width, int height)
{
    SetSize(width, height);
    Clear();
}

void TSpectrum::SetSize(int width, int height)
{
    for (gdi::Bitmap* b : {&Buffer, &PrevBuffer, &Background, &BlendBuffer}) {
        b->setPixelFormat(gdi::PixelFormat::Bits24);
        b->setSize(width, height);
    }
}

void TSpectrum::SetBackground(bool hasBackground, const gdi::Bitmap& background)
{
    HasBackground = hasBackground;
    gdi::Canvas(Background).bitBlt(0, 0, background.width(), background.height(), background, 0, 0);
}

void TSpectrum::ClearBuffer(gdi::Bitmap& buffer) const
{
    gdi::Canvas canvas(buffer);
    canvas.brush = {gdi::BrushStyle::Solid, gdi::RGB(0, 0, 0)};
    canvas.fillRect({0, 0, buffer.width(), buffer.height()});
    if (HasBackground)
        canvas.bitBlt(0, 0, Background.width(), Background.height(), Background, 0, 0);
}

void TSpectrum::Clear()
{
    for (gdi::Bitmap* b : {&Buffer, &BlendBuffer, &PrevBuffer})
        ClearBuffer(*b);
}

void TSpectrum::Draw(gdi::Bitmap& target, std::span<const float> values, int count, int orientation, int offsetX,
                     int offsetY)
{
    if (ClearFirst)
        ClearBuffer(Buffer);
    const int step = std::max(Step, 1);
    const int barWidth = std::max(BarWidth, 1);
    // Every index stays inside the arrays and the frame.
    int last = std::min({count, 512, kEntries - 1});
    if (!values.empty())
        last = std::min<int>(last, static_cast<int>((values.size() - 1) / step));
    else
        last = -1;
    gdi::Canvas canvas(Buffer);
    const int depth = orientation == 0 ? Buffer.height() : Buffer.width();
    for (int i = 0; i <= last; ++i) {
        const float magnitude = std::fabs(values[static_cast<size_t>(i) * step]) * 500.0f;
        const int32_t v = magnitude >= float(MaxValue) ? MaxValue : static_cast<int32_t>(magnitude);
        Peaks[i] = v >= Peaks[i] ? v : Peaks[i] - PeakFallOff;
        Bars[i] = v >= Bars[i] ? v : Bars[i] - BarFallOff;
        Peaks[i] = std::max(Peaks[i], 0);
        Bars[i] = std::max(Bars[i], 0);
        const int base = depth + (orientation == 0 ? offsetY : offsetX);
        if (orientation == 0 && Style == 0) {
            canvas.pen.color = LineColor;
            canvas.moveTo(offsetX + i, base);
            canvas.lineTo(offsetX + i, base - Bars[i]);
            if (ShowPeaks)
                canvas.setPixel(offsetX + i, base - Peaks[i], PeakColor);
        } else if (orientation == 0 && Style == 1) {
            const int x1 = (barWidth + 1) * i + offsetX;
            canvas.pen.color = LineColor;
            canvas.brush = {gdi::BrushStyle::Solid, LineColor};
            canvas.rectangle({x1, base - Bars[i], x1 + barWidth, base});
            if (ShowPeaks) {
                canvas.pen.color = PeakColor;
                canvas.moveTo(x1, base - Peaks[i]);
                canvas.lineTo(x1 + barWidth, base - Peaks[i]);
            }
        } else if (orientation == 1 && Style == 0) {
            canvas.pen.color = LineColor;
            canvas.moveTo(base, offsetY + i);
            canvas.lineTo(base - Bars[i], offsetY + i);
            if (ShowPeaks)
                canvas.setPixel(base - Peaks[i], offsetY + i, PeakColor);
        } else if (orientation == 1 && Style == 1) {
            const int y1 = (barWidth + 1) * i + offsetY;
            canvas.pen.color = LineColor;
            canvas.brush = {gdi::BrushStyle::Solid, LineColor};
            canvas.rectangle({base - Bars[i], y1, base, y1 + barWidth});
            if (ShowPeaks) {
                canvas.pen.color = PeakColor;
                canvas.moveTo(base - Peaks[i], y1);
                canvas.lineTo(base - Peaks[i], y1 + barWidth);
            }
        }
    }
    gdi::Canvas out(target);
    if (!Blur) {
        out.bitBlt(0, 0, target.width(), target.height(), Buffer, 0, 0);
        return;
    }
    BlendBuffers(PrevBuffer, Buffer, BlendBuffer, 6);
    out.bitBlt(0, 0, target.width(), target.height(), BlendBuffer, 0, 0);
    // The old picture drifts down one row per frame while it fades.
    gdi::Canvas(PrevBuffer).bitBlt(0, 1, BlendBuffer.width(), BlendBuffer.height() - 1, BlendBuffer, 0, 0);
}

void BlendBuffers(const gdi::Bitmap& src1, const gdi::Bitmap& src2, gdi::Bitmap& dest, int alpha)
{
    if (alpha == 0)
        return;
    const auto a = std::span(src1.bits()), b = std::span(src2.bits());
    const auto d = dest.bits();
    const size_t size = std::min({a.size(), b.size(), d.size()});
    const uint32_t keep = static_cast<uint32_t>(32 - alpha), take = static_cast<uint32_t>(alpha);
    size_t i = 0;
    // Two bytes of each word per multiplication: the even and the odd lanes.
    for (; i + 4 <= size; i += 4) {
        uint32_t x, y;
        std::memcpy(&x, a.data() + i, 4);
        std::memcpy(&y, b.data() + i, 4);
        const uint32_t even = (((x & 0x00FF00FFu) * keep + (y & 0x00FF00FFu) * take) >> 5) & 0x00FF00FFu;
        const uint32_t odd = ((((x >> 8) & 0x00FF00FFu) * keep + ((y >> 8) & 0x00FF00FFu) * take) >> 5) & 0x00FF00FFu;
        const uint32_t z = even | (odd << 8);
        std::memcpy(d.data() + i, &z, 4);
    }
    for (; i < size; ++i)
        d[i] = static_cast<uint8_t>((a[i] * keep + b[i] * take) >> 5);
}

void ConfigureSpectrum(TSpectrum& spectrum, const TKSAnalyzer& analyzer, int style, int peakFallOff, int barFallOff,
                       bool showPeaks, bool blur)
{
    spectrum.SetSize(analyzer.Size.Width, analyzer.Size.Height);
    spectrum.MaxValue = analyzer.SpectrumHeight;
    spectrum.LineColor = analyzer.LineColor;
    spectrum.PeakColor = analyzer.PeakColor;
    spectrum.BarWidth = analyzer.BarWidth;
    spectrum.Style = style;
    spectrum.PeakFallOff = peakFallOff;
    spectrum.BarFallOff = barFallOff;
    spectrum.ShowPeaks = showPeaks;
    spectrum.Blur = blur;
    spectrum.SetBackground(true, analyzer.Bitmap);
    spectrum.Clear();
}

int SpectrumCount(int extent, int barWidth, int style)
{
    if (extent <= 0)
        return 0;
    return style == 1 ? extent / std::max(barWidth, 1) : extent;
}

} // namespace kolvarin
