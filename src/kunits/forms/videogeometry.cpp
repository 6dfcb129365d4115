#include "forms/videogeometry.h"

#include <algorithm>
#include <cmath>

namespace kolvarin {

QSize WindowZoomSize(QSize video, int percent)
{
    // Multiply first: dividing by 100 first cut 720 x 576 at 100 % to 700 x 500.
    return {static_cast<int>(int64_t(video.width()) * percent / 100),
            static_cast<int>(int64_t(video.height()) * percent / 100)};
}

std::optional<QSize> RatioOfMode(uint8_t mode, QSize video, float userX, float userY)
{
    switch (mode) {
    case rm43: return QSize(4, 3);
    case rm54: return QSize(5, 4);
    case rm169: return QSize(16, 9);
    case rm1610: return QSize(16, 10);
    case rm2351: return QSize(235, 100);
    case rmUserdef: {
        const long x = std::lround(userX), y = std::lround(userY);
        // A ratio of 0 would divide by zero: the video keeps its own shape.
        if (x <= 0 || y <= 0)
            return video;
        return QSize(static_cast<int>(x), static_cast<int>(y));
    }
    default: return std::nullopt;
    }
}

namespace {

QRect CentredIn(QRect display, QSize size)
{
    return {display.left() + (display.width() - size.width()) / 2,
            display.top() + (display.height() - size.height()) / 2, size.width(), size.height()};
}

} // namespace

std::optional<QRect> AspectRatioRect(uint8_t mode, QRect display, QSize video, float userX, float userY)
{
    if (video.width() <= 0 || video.height() <= 0)
        return std::nullopt;
    if (mode == rmStretched || mode == rmCrop)
        return display;
    const QSize ratio = RatioOfMode(mode, video, userX, userY).value_or(video);
    const double x = ratio.width(), y = ratio.height();
    const int height = static_cast<int>(display.width() / (x / y));
    if (height <= display.height())
        return CentredIn(display, {display.width(), height});
    return CentredIn(display, {static_cast<int>(display.height() / (y / x)), display.height()});
}

int OSDFontSize(int height, int size) { return height / std::max(1, 50 - size); }

QPoint OSDTextPoint(uint8_t position, QSize area, QSize text)
{
    if (position > 8)
        return {};
    const int column = position % 3, row = position / 3;
    const int x = column == 0 ? 0 : column == 1 ? area.width() / 2 - text.width() / 2 : area.width() - text.width();
    const int y = row == 0 ? 0 : row == 1 ? area.height() / 2 - text.height() / 2 : area.height() - text.height();
    return {x, y};
}

} // namespace kolvarin
