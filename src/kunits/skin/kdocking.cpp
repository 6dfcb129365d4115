#include "skin/kdocking.h"

namespace kolvarin {

namespace {

bool Within(int value, int center, int range) { return center - range <= value && value <= center + range; }

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

} // namespace kolvarin
