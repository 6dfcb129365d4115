#pragma once

#include <string>
#include <string_view>

#include "gdi/canvas.h"
#include "htmllist/htmlcolors.h"

namespace kolvarin {

class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// The inputs of one HTMLDraw call.
struct THTMLDrawArgs {
    gdi::Canvas* Canvas = nullptr; // its font and brush colour are the base state
    std::string Text; // the markup, Windows-1252
    gdi::Rect Rect; // the rectangle to fill
    const TImageList* Images = nullptr; // "IDX:" sources; may be absent
    gdi::Point HitPoint; // for the hit test
    int FocusAnchor = -1; // 0-based anchor number, -1 none
    int HoverAnchor = -1;
    int ShadowOffset = 1; // SHADE, in pixels
    bool HitTest = false; // lay out and test the point, draw nothing
    bool MeasureOnly = false; // only the size, draw nothing
    bool Printing = false; // list and shell images drawn scaled by Scale
    bool Selected = false; // the item is drawn selected: colours of tags are ignored
    bool BlinkVisible = true; // the blink phase
    bool HoverOnly = false; // hover colours apply to the hover anchor alone
    bool WordWrap = true; // false: each line ends in an ellipsis when too long
    double Scale = 1.0;
    TColor AnchorColor = clBlue;
    TColor HoverColor = clNone;
    TColor HoverBkColor = clNone;
    TColor ShadowColor = clGray;
    THTMLPictureCache* PictureCache = nullptr; // pictures by URL; may be absent
    TPictureContainer* PictureContainer = nullptr; // pictures by name; may be absent
    int LineSpacing = 0; // pixels added under every line
};

// The outputs of one HTMLDraw call.
struct THTMLDrawResult {
    bool AnchorHit = false; // an anchor lies under the hit point
    std::string Anchor; // the value of that anchor
    std::string Stripped; // the plain text of what was laid out
    std::string FocusAnchor; // the value of the focused anchor
    int Width = 0; // the widest line
    int Height = 0;
    int AnchorCount = 0;
    int HitAnchor = -1; // 0-based number of the anchor under the point
    gdi::Rect HitAnchorRect;
};

// Lays the markup out in the rectangle and draws it, measures it or tests
// the hit point (see the flags); true when an anchor lies under the point.
// Hit-testing stops after the line under the point (once the anchor hit
// there has closed), so Width, Height, AnchorCount and Stripped then cover
// only the lines laid out.
// The canvas's font and brush are as they were on return. Never throws:
// unknown tags are skipped, bad values fall back, pictures that do not load
// take no room. Main thread only.
bool HTMLDraw(const THTMLDrawArgs& args, THTMLDrawResult& result);

// The markup without its tags: "<BR>" and "<HR>" become CR LF, hidden text
// ("<Z>" to "</Z>") goes, entities stay as written.
std::string HTMLStrip(std::string_view markup);

} // namespace kolvarin
