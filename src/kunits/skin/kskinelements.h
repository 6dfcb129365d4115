#pragma once

#include <array>

#include "gdi/canvas.h"
#include "skin/kcontrol.h"
#include "skin/kgui.h"
#include "skin/kpaintbox.h"

namespace kolvarin {

// The element routines: the only code that turns element records into
// pixels and mouse behaviour. Each takes the skin record (for its
// transparent colour), the control it acts on and the element record; the
// mouse routines update the caller's record. Values outside Min..Max are
// drawn clamped, and no routine divides by an empty range or travel. Main
// thread only.

// Buttons: state n shows image n (1 normal, 2 hover, 3 pressed).
void SkinShowButton(const TKGUI& skin, TKImage& control, const TKSButton& button);
// True when the left button was pressed (state 3).
bool SkinButtonMouseDown(const TKGUI& skin, TKImage& control, TKSButton& button, TMouseButton mouse);
void SkinButtonMouseEnterLeave(const TKGUI& skin, TKImage& control, TKSButton& button, bool entered);
// True for a click: the left button released while the mouse is still over
// the button.
bool SkinButtonMouseUp(const TKGUI& skin, TKImage& control, TKSButton& button, TMouseButton mouse, bool mouseOver);

// Check boxes: 1 unchecked, 2 pressed, 3 checked; the control's Tag (0 or
// 1) is the checked flag.
void SkinSetCheckboxState(const TKGUI& skin, TKImage& control, const TKSCheckbox& box);
void SkinCheckboxMouseDown(const TKGUI& skin, TKImage& control, TKSCheckbox& box);
void SkinCheckboxMouseUp(const TKGUI& skin, TKImage& control, TKSCheckbox& box);

void SkinSetCaptionActive(const TKGUI& skin, TKImage& control, const TKSCaptionBar& bar, bool active);
void SkinPlaceImage(const TKGUI& skin, TKImage& control, const TKSImage& image);

// A window's shape: setMask from the region (the window keeps a copy).
bool SkinSetWindowRegion(QWidget& window, const gdi::Region& region);
bool SkinClearWindowRegion(QWidget& window);

// The background control at (0, 0) with the form's size and bitmap; the
// window shaped by the bitmap when Masked.
bool SkinApplyFormBackground(const TKGUI& skin, TKImage& control, TKSForm& form, QWidget& window);
// Composes Background from the nine edges at the size given (no region).
void SkinComposeResizeForm(TKSResizeForm& form, int width, int height);
// Run on every resize: the record's Size := the window's size, Background
// composed, the paint box at (0, 0) with that size, the window shaped.
bool SkinPaintResizeForm(const TKGUI& skin, TKPaintbox& control, TKSResizeForm& form, QWidget& window);

// Fill bars (ProgressBar, Volume).
void SkinPaintBar(const TKGUI& skin, TKImage& control, const TKSBar& bar);
void SkinBarMouseDown(const TKGUI& skin, TKImage& control, TKSBar& bar, TMouseButton mouse, int x, int y);
// Only while exactly the left button is held.
void SkinBarMouseMove(const TKGUI& skin, TKImage& control, TKSBar& bar, TShiftState shift, int x, int y);
double SkinBarPercent(const TKSBar& bar);

// Seek bars: the thumb placed for the value, and dragged along the
// background. Only one thumb (or the playlist scroll thumb) drags at a time.
void SkinPlaceSeekBarThumb(const TKGUI& skin, TKImage& background, TKImage& thumb, TKSSeekBar& bar);
void SkinSeekBarMouseDown(const TKGUI& skin, TKImage& thumb, TKSSeekBar& bar, TMouseButton mouse, int x, int y);
void SkinSeekBarMouseMove(const TKGUI& skin, TKImage& background, TKImage& thumb, TKSSeekBar& bar, TShiftState shift,
                          int x, int y);
void SkinSeekBarMouseUp(const TKGUI& skin, TKImage& thumb, TKSSeekBar& bar);
double SkinSeekBarPercent(const TKSSeekBar& bar);

// The shared drag state.
struct TKSkinDragState {
    bool Dragging = false;
    int GrabOffset = 0;
};
TKSkinDragState& SkinDragState();

// Scrolling labels: Text already set; Paint draws one step.
void SkinScrollLabelSetText(const TKGUI& skin, TKSScrollLabel& label);
void SkinScrollLabelPaint(const TKGUI& skin, TKPaintbox& control, TKImage& background,
                          const TKSImage& backgroundElement, TKSScrollLabel& label);
// Whether a step moves the text: it scrolls and is wider than the label (as
// measured by the last paint). A label that does not move shows the same
// picture until its text changes.
bool SkinScrollLabelMoves(const TKSScrollLabel& label);

// Time digits: six digits (hours tens .. seconds units, each 0..9 or -1 for
// blank) and the sign.
gdi::Size SkinSizeTime(const TKSTime& time);
void SkinPaintTime(const TKGUI& skin, TKImage& control, const TKSTime& time, const std::array<int, 6>& digits,
                   bool sign);

// Editor and status bar inside the playlist window's edges, and the
// status bar's composed background.
void SkinLayoutPlaylist(const TKGUI& skin, QWidget& editor, QWidget& statusbar, const TKSResizeForm& form,
                        const TKSPlaylistEditor& element, TKSStatusBar& bar);
// The scroll thumb along the editor's right side.
void SkinUpdatePlaylistScrollThumb(const TKGUI& skin, TKImage& thumb, const QWidget& editor, TKSScrollBar& bar);
void SkinScrollBarMouseDown(const TKGUI& skin, TKImage& thumb, TKSScrollBar& bar, TMouseButton mouse, int x, int y);
void SkinScrollBarMouseMove(const TKGUI& skin, TKImage& thumb, const QWidget& editor, TKSScrollBar& bar,
                            TShiftState shift, int x, int y);
void SkinScrollBarMouseUp(const TKGUI& skin, TKImage& thumb, TKSScrollBar& bar);

// A resizable window's size grip at its bottom-right corner and its caption
// bar centred at its top (after every resize).
void SkinPlaceGripAndCaption(const QWidget& window, QWidget& grip, QWidget& caption);

// The video panel inside the video window's edges and borders.
void SkinPlaceVideoWindow(const TKGUI& skin, QWidget& panel, const TKSResizeForm& form, const TKSBorders& borders);

// Brush and pen styles of the playlist editor as descriptions number them:
// brushes 0 none, 1 solid, 2 backward diagonal, 3 forward diagonal, 4
// cross, 5 diagonal cross, 6 horizontal, 7 vertical; pens 0 none, 1 solid,
// 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot.
gdi::BrushStyle SkinBrushStyle(uint8_t style);
gdi::PenStyle SkinPenStyle(uint8_t style);

} // namespace kolvarin
