#include "gdi/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <span>

#include "gdi/qtimage.h"
#include "gdi/textdraw.h"

namespace kolvarin::gdi {

namespace {

constexpr int DashPattern[] = {18, 6};
constexpr int DotPattern[] = {3, 3};
constexpr int DashDotPattern[] = {9, 6, 3, 6};
constexpr int DashDotDotPattern[] = {9, 3, 3, 3, 3, 3};

// On and off lengths in pixels, starting with a drawn stretch; indexed by
// PenStyle (solid and clear have none).
constexpr std::span<const int> Patterns[] = {
    {},
    std::span<const int>(DashPattern),
    std::span<const int>(DotPattern),
    std::span<const int>(DashDotPattern),
    std::span<const int>(DashDotDotPattern),
    {},
};

bool patternDraws(std::span<const int> pattern, int position)
{
    int period = 0;
    for (int len : pattern)
        period += len;
    position %= period;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (position < pattern[i])
            return i % 2 == 0;
        position -= pattern[i];
    }
    return false;
}

QColor toQColor(Color c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

QFont ToQFont(const Font& font)
{
    QFont f(QString::fromStdU16String(font.name));
    // Point sizes are taken at 96 pixels per inch, rounded like the platform.
    f.setPixelSize(font.pixelSize > 0 ? font.pixelSize : std::max(1, (std::abs(font.size) * 96 + 36) / 72));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeout);
    return f;
}

Color Canvas::pixel(int x, int y) const { return bitmap_.contains(x, y) ? bitmap_.pixel(x, y) : InvalidColor; }

void Canvas::setPixel(int x, int y, Color color)
{
    if (bitmap_.contains(x, y))
        bitmap_.setPixel(x, y, color);
}

bool Canvas::hatchCovers(int x, int y) const
{
    const bool row = (y & 7) == 0;
    const bool column = (x & 7) == 0;
    const bool down = ((x - y) & 7) == 0; // "\" lines
    const bool up = ((x + y) & 7) == 0; // "/" lines
    switch (brush.style) {
    case BrushStyle::Solid: return true;
    case BrushStyle::Horizontal: return row;
    case BrushStyle::Vertical: return column;
    case BrushStyle::FDiagonal: return down;
    case BrushStyle::BDiagonal: return up;
    case BrushStyle::Cross: return row || column;
    case BrushStyle::DiagCross: return down || up;
    case BrushStyle::Clear: break;
    }
    return false;
}

void Canvas::fillSpan(int x0, int x1, int y)
{
    if (brush.style == BrushStyle::Solid && bitmap_.bytesPerPixel() == 3 && x0 < x1) {
        // Whole skins are filled at start-up: the first pixel, then copies
        // of what is done, doubling.
        bitmap_.setPixel(x0, y, brush.color);
        std::uint8_t* row = bitmap_.scanLine(y) + std::size_t(x0) * 3;
        const std::size_t bytes = std::size_t(x1 - x0) * 3;
        for (std::size_t done = 3; done < bytes; done *= 2)
            std::memcpy(row + done, row, std::min(done, bytes - done));
        return;
    }
    for (int x = x0; x < x1; ++x)
        if (hatchCovers(x, y))
            bitmap_.setPixel(x, y, brush.color);
}

void Canvas::fillRect(const Rect& rect)
{
    if (brush.style == BrushStyle::Clear)
        return;
    Rect r = Intersect(rect, Rect{0, 0, bitmap_.width(), bitmap_.height()});
    for (int y = r.top; y < r.bottom; ++y)
        fillSpan(r.left, r.right, y);
}

void Canvas::rectangle(const Rect& rect)
{
    if (rect.isEmpty())
        return;
    if (pen.style == PenStyle::Clear) {
        fillRect(Rect{rect.left, rect.top, rect.right - 1, rect.bottom - 1});
        return;
    }
    fillRect(Rect{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1});
    const Point saved = penPos_;
    moveTo(rect.left, rect.top);
    lineTo(rect.right - 1, rect.top);
    lineTo(rect.right - 1, rect.bottom - 1);
    lineTo(rect.left, rect.bottom - 1);
    lineTo(rect.left, rect.top);
    penPos_ = saved;
}

void Canvas::moveTo(int x, int y)
{
    penPos_ = {x, y};
    dashPos_ = 0;
}

void Canvas::plotPenPixel(int x, int y)
{
    std::span<const int> pattern = Patterns[std::size_t(pen.style)];
    if (pattern.empty() || patternDraws(pattern, dashPos_))
        setPixel(x, y, pen.color);
    ++dashPos_;
}

void Canvas::lineTo(int x, int y)
{
    const Point from = penPos_;
    penPos_ = {x, y};
    if (pen.style == PenStyle::Clear)
        return;
    // Bresenham from the start point, stopping before the end point.
    const int dx = std::abs(x - from.x);
    const int dy = -std::abs(y - from.y);
    const int sx = from.x < x ? 1 : -1;
    const int sy = from.y < y ? 1 : -1;
    int err = dx + dy;
    int cx = from.x;
    int cy = from.y;
    while (cx != x || cy != y) {
        plotPenPixel(cx, cy);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            cx += sx;
        }
        if (e2 <= dx) {
            err += dx;
            cy += sy;
        }
    }
}

void Canvas::bitBlt(int dx, int dy, int w, int h, const Bitmap& source, int sx, int sy)
{
    // Clip against the source, then against the destination, moving both.
    auto clip = [&](int& s, int& d, int& len, int sourceLimit, int destLimit) {
        if (s < 0) {
            d -= s;
            len += s;
            s = 0;
        }
        if (d < 0) {
            s -= d;
            len += d;
            d = 0;
        }
        len = std::min({len, sourceLimit - s, destLimit - d});
    };
    clip(sx, dx, w, source.width(), bitmap_.width());
    clip(sy, dy, h, source.height(), bitmap_.height());
    if (w <= 0 || h <= 0)
        return;
    if (&source == &bitmap_) {
        const Bitmap copy = source;
        bitBlt(dx, dy, w, h, copy, sx, sy);
        return;
    }
    if (source.pixelFormat() == bitmap_.pixelFormat()) {
        const int bpp = source.bytesPerPixel();
        for (int row = 0; row < h; ++row)
            std::copy_n(source.scanLine(sy + row) + sx * bpp, w * bpp, bitmap_.scanLine(dy + row) + dx * bpp);
        return;
    }
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            bitmap_.setPixel(dx + col, dy + row, source.pixel(sx + col, sy + row));
}

void Canvas::draw(int x, int y, const Bitmap& source)
{
    if (!source.transparent()) {
        bitBlt(x, y, source.width(), source.height(), source, 0, 0);
        return;
    }
    stretchDraw(Rect{x, y, x + source.width(), y + source.height()}, source);
}

void Canvas::stretchDraw(const Rect& dest, const Bitmap& source)
{
    if (dest.isEmpty() || source.empty())
        return;
    const Bitmap copy = &source == &bitmap_ ? source : Bitmap();
    const Bitmap& src = &source == &bitmap_ ? copy : source;
    const Rect visible = Intersect(dest, Rect{0, 0, bitmap_.width(), bitmap_.height()});
    const std::int64_t dw = dest.width();
    const std::int64_t dh = dest.height();
    for (int y = visible.top; y < visible.bottom; ++y) {
        const int sy = int((y - dest.top) * std::int64_t(src.height()) / dh);
        for (int x = visible.left; x < visible.right; ++x) {
            const int sx = int((x - dest.left) * std::int64_t(src.width()) / dw);
            const Color c = src.pixel(sx, sy);
            if (!src.transparent() || c != src.transparentColor())
                bitmap_.setPixel(x, y, c);
        }
    }
}

void Canvas::drawFocusRect(const Rect& rect)
{
    if (rect.isEmpty())
        return;
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) == 0 && bitmap_.contains(x, y))
            bitmap_.setPixel(x, y, bitmap_.pixel(x, y) ^ 0xFFFFFF);
    };
    for (int x = rect.left; x < rect.right; ++x) {
        invert(x, rect.top);
        if (rect.bottom - 1 > rect.top)
            invert(x, rect.bottom - 1);
    }
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        invert(rect.left, y);
        if (rect.right - 1 > rect.left)
            invert(rect.right - 1, y);
    }
}

void Canvas::textOut(int x, int y, const std::u16string& text)
{
    QImage image = WrapAsQImage(bitmap_);
    if (image.isNull() || text.empty())
        return;
    const CachedFont cached = GetCachedFont(font);
    const QFont& qfont = cached.font;
    const QString qtext = QString::fromStdU16String(text);
    const QFontMetrics& metrics = cached.metrics;
    QPainter painter(&image);
    painter.translate(x, y);
    painter.rotate(-font.orientation / 10.0);
    if (brush.style == BrushStyle::Solid)
        painter.fillRect(QRect(0, 0, metrics.horizontalAdvance(qtext), metrics.height()), toQColor(brush.color));
    painter.setFont(qfont);
    painter.setPen(toQColor(font.color));
    painter.drawText(QPoint(0, metrics.ascent()), qtext);
}

Size Canvas::textExtent(const std::u16string& text) const
{
    return {TextWidth(font, text, DT_NOPREFIX), textHeight(text)};
}

// The cell is as high whatever the text.
int Canvas::textHeight(const std::u16string&) const { return GetCachedFont(font).metrics.height(); }

} // namespace kolvarin::gdi
