#pragma once

#include <span>
#include <vector>

namespace kolvarin {

// The snapping and docking rules of the skinned windows as pure functions
// of window rectangles, so they can be checked without a window system.

struct TKWinRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TKWinRect&, const TKWinRect&) = default;
};

// Window tags: the master (the main window), docked to the master for the
// current move, free.
inline constexpr int kTagFree = 0, kTagMaster = 1, kTagDocked = 2;

// Whether B lies against A: an edge of one on the opposite edge of the
// other, with the two overlapping (or meeting at a corner) along it.
bool TouchesForm(const TKWinRect& a, const TKWinRect& b);

// The tags at the start of the master's move: every window touching the
// master, then (in one pass in list order) every free window touching a
// docked one, becomes docked. The master's own entry is skipped.
void MarkDockedWindows(int master, std::span<const TKWinRect> windows, std::span<int> tags);

// Another window as the snapping rules see it.
struct TKSnapWindow {
    TKWinRect Rect;
    int Tag = kTagFree;
};

// The outcome of one proposed move.
struct TKSnapResult {
    int X = 0;
    int Y = 0;
    // Where the docked windows go, by index into the others (master only).
    std::vector<std::pair<int, TKWinRect>> Moves;
};

// The snapping proposal for a window at Current asked to move to (x, y)
// with size (cx, cy): to the work area's edges, then to and along every
// other window in list order (each rule on the values the rules before
// left), SnapBuffer pixels away at most. A master carries its docked windows
// by its displacement instead of snapping to them.
TKSnapResult SnapWindowPos(const TKWinRect& current, bool isMaster, int x, int y, int cx, int cy,
                           const TKWinRect& workArea, std::span<const TKSnapWindow> others, int snapBuffer);

// How much of a window must lie on one work area for the user to reach it.
inline constexpr int kReachablePiece = 32;

// The window where the user can reach it: where it is when a piece of
// kReachablePiece square (the whole window when it is smaller) lies on one
// of the work areas; else moved the least way into the area nearest to it,
// its top-left inside the area. Unchanged without areas.
TKWinRect BringOntoScreen(const TKWinRect& window, std::span<const TKWinRect> areas);

} // namespace kolvarin
