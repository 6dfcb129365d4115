#pragma once

#include "skin/barpopupmenu.h"
#include "skin/kform.h"
#include "skin/kpaintbox.h"
#include "skin/kskinnedwindow.h"

namespace kolvarin {

// The skinned playlist window: a resizable TKForm whose background is
// composed from the nine edge images at every size, with the list and
// status-bar paint boxes laid out inside the edges and the scroll thumb
// beside the list. The list's own drawing and mouse handling belong to the
// playlist window that derives from it (imgPlaylist->OnPaint and its mouse
// events); until then the list shows the background under it. Main thread
// only.
class TKSkinnedPlaylist : public TKForm, public TKSkinnedWindow {
public:
    explicit TKSkinnedPlaylist(TKGUI& skin = GUI);

    TKPaintbox* imgForm;
    TKPaintbox* imgPlaylist;
    TKPaintbox* imgStatusbar;
    TKImage* imgScrollBar;
    TKImage* imgCaptionBar;
    TKImage* imgResizer;
    TBarPopupMenu* popmPlaylist;

    // Re-lays out the window for its current size: grip, caption, composed
    // background, editor, status bar and scroll thumb. Runs on every resize
    // once a skin is loaded.
    void FormResize();

protected:
    // The scroll thumb moved the list's first visible row (the thumb
    // record's Position).
    virtual void ScrollThumbMoved() {}

    void resizeEvent(QResizeEvent* event) override;
};

// Copies the part of a composed window background that lies under the
// control into the paint box's surface.
void PaintBackgroundUnder(TKPaintbox& box, const gdi::Bitmap& background);

} // namespace kolvarin
