#include "skin/kdocking.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kolvarin {

namespace {

bool Within(int value, int center, int range) { return center - range <= value && value <= center + range; }

// The length of [a, a + la) that lies in [b, b + lb).
int64_t Overlap(int64_t a, int64_t la, int64_t b, int64_t lb)
{
    return std::max<int64_t>(0, std::min(a + la, b + lb) - std::max(a, b));
}

// How far a lies outside [b, b + lb).
int64_t Outside(int64_t a, int64_t b, int64_t lb) { return a < b ? b - a : a >= b + lb ? a - (b + lb) + 1 : 0; }

} // namespace

bool TouchesForm(const TKWinRect& a, const TKWinRect& b)
{
    if (b.Left == a.Left + a.Width || a.Left - b.Width == b.Left) {
        if (a.Top <= b.Top && b.Top <= a.Top + a.Height)
            return true;
        if (b.Top + b.Height >= a.Top && a.Top + a.Height >= b.Top)
            return true;
    }
    if (b.Top == a.Top + a.Height || a.Top - b.Height == b.Top) {
        if (a.Left <= b.Left && b.Left <= a.Left + a.Width)
            return true;
        return !(b.Left + b.Width < a.Left || a.Left + a.Width < b.Left);
    }
    return false;
}

void MarkDockedWindows(int master, std::span<const TKWinRect> windows, std::span<int> tags)
{
    const int count = static_cast<int>(std::min(windows.size(), tags.size()));
    if (master < 0 || master >= count)
        return;
    for (int i = 0; i < count; ++i)
        if (i != master && TouchesForm(windows[master], windows[i]))
            tags[i] = kTagDocked;
    for (int i = 0; i < count; ++i) {
        if (tags[i] != kTagDocked)
            continue;
        for (int j = 0; j < count; ++j)
            if (j != master && j != i && tags[j] != kTagMaster && tags[j] != kTagDocked &&
                TouchesForm(windows[i], windows[j]))
                tags[j] = kTagDocked;
    }
}

TKSnapResult SnapWindowPos(const TKWinRect& current, bool isMaster, int x, int y, int cx, int cy,
                           const TKWinRect& workArea, std::span<const TKSnapWindow> others, int snapBuffer)
{
    const int s = snapBuffer;
    const int waRight = workArea.Left + workArea.Width, waBottom = workArea.Top + workArea.Height;
    if (Within(x, workArea.Left, s))
        x = workArea.Left;
    else if (Within(x + cx, waRight, s))
        x = waRight - cx;
    if (Within(y, workArea.Top, s))
        y = workArea.Top;
    else if (Within(y + cy, waBottom, s))
        y = waBottom - cy;

    TKSnapResult result;
    for (int i = 0; i < static_cast<int>(others.size()); ++i) {
        const TKWinRect& f = others[i].Rect;
        if (isMaster && others[i].Tag == kTagDocked) {
            result.Moves.push_back({i, {f.Left + (x - current.Left), f.Top + (y - current.Top), f.Width, f.Height}});
            continue;
        }
        const bool overlapV = y + cy >= f.Top && f.Top + f.Height >= y;
        if (Within(x + cx, f.Left, s) && overlapV)
            x = f.Left - cx;
        else if (Within(x, f.Left + f.Width, s) && overlapV)
            x = f.Left + f.Width;
        const bool overlapH = x + cx >= f.Left && f.Left + f.Width >= x;
        if (Within(y + cy, f.Top, s) && overlapH)
            y = f.Top - cy;
        else if (Within(y, f.Top + f.Height, s) && overlapH)
            y = f.Top + f.Height;
        const bool stacked = f.Top == y + cy || f.Top + f.Height == y;
        if (Within(x, f.Left, s) && stacked)
            x = f.Left;
        else if (Within(x + cx, f.Left + f.Width, s) && stacked)
            x = f.Left + f.Width - cx;
        const bool sideBySide = f.Left == x + cx || f.Left + f.Width == x;
        if (Within(y, f.Top, s) && sideBySide)
            y = f.Top;
        else if (Within(y + cy, f.Top + f.Height, s) && sideBySide)
            y = f.Top + f.Height - cy;
    }
    result.X = x;
    result.Y = y;
    return result;
}

TKWinRect BringOntoScreen(const TKWinRect& window, std::span<const TKWinRect> areas)
{
    const int64_t needX = std::min(kReachablePiece, std::max(window.Width, 1));
    const int64_t needY = std::min(kReachablePiece, std::max(window.Height, 1));
    const int64_t width = std::max(window.Width, 1), height = std::max(window.Height, 1);
    const TKWinRect* nearest = nullptr;
    int64_t nearestDistance = std::numeric_limits<int64_t>::max();
    for (const TKWinRect& area : areas) {
        if (Overlap(window.Left, width, area.Left, area.Width) >= needX &&
            Overlap(window.Top, height, area.Top, area.Height) >= needY)
            return window;
        const int64_t distance =
            Outside(window.Left, area.Left, area.Width) + Outside(window.Top, area.Top, area.Height);
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &area;
        }
    }
    if (!nearest)
        return window;
    // Right and bottom edges inside the area where the window fits, the
    // top-left edge inside it always.
    const auto into = [](int64_t at, int64_t length, int64_t start, int64_t room) {
        return static_cast<int>(std::max(start, std::min(at, start + room - length)));
    };
    TKWinRect moved = window;
    moved.Left = into(window.Left, width, nearest->Left, nearest->Width);
    moved.Top = into(window.Top, height, nearest->Top, nearest->Height);
    return moved;
}

} // namespace kolvarin
