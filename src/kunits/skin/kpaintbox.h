#pragma once

#include <functional>

#include "gdi/canvas.h"
#include "skin/kcontrol.h"

namespace kolvarin {

// A paint box that never erases its background: it keeps a surface of its
// own size between paints. OnPaint draws into the surface (through
// Canvas) before it is shown; code outside OnPaint may draw into the
// surface too and then calls Invalidate. Opaque, 105 x 105 by default.
// Main thread only.
class TKPaintbox : public TKControl {
public:
    explicit TKPaintbox(QWidget* parent);

    std::function<void(TKPaintbox&)> OnPaint;

    // The surface; its size follows the control's.
    gdi::Bitmap& Surface();
    gdi::Canvas Canvas() { return gdi::Canvas(Surface()); }
    // Schedules a repaint (OnPaint, then the surface is shown).
    void Invalidate() { update(); }
    // Schedules a repaint only when the surface differs from what was shown
    // last: for drawers on a timer, whose frames often repeat. Whether it did.
    bool InvalidateChanged();
    // Runs OnPaint at once without showing anything (tests, and callers that
    // need the surface current).
    void Paint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    gdi::Bitmap surface_;
    gdi::Bitmap shown_;
};

} // namespace kolvarin
