// Lays arbitrary markup out: measuring, drawing and hit-testing must end,
// stay inside the bitmap and agree on the height; stripping must end.
// Run with ASAN_OPTIONS=detect_leaks=0: the font library keeps what it
// learns of every face name FONT FACE asks for, which a leak check counts.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gdi/bitmap.h"
#include "gdi/canvas.h"
#include "htmllist/htmldraw.h"
#include "htmllist/htmlpicturecache.h"
#include "htmllist/picturecontainer.h"

#include "guiapplication.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    const std::string markup(reinterpret_cast<const char*>(data), size);
    static TPictureContainer pictures;
    THTMLPictureCache cache; // web pictures start downloads that Clear cancels
    gdi::Bitmap bitmap(160, 80);
    gdi::Canvas canvas(bitmap);
    THTMLDrawArgs args;
    args.Canvas = &canvas;
    args.Text = markup;
    args.Rect = {4, 4, 150, 70};
    args.PictureContainer = &pictures;
    args.PictureCache = &cache;
    args.FocusAnchor = 0;
    THTMLDrawResult measured;
    args.MeasureOnly = true;
    HTMLDraw(args, measured);
    if (measured.Height <= 0 || measured.Width < 0)
        std::abort();
    args.MeasureOnly = false;
    THTMLDrawResult drawn;
    HTMLDraw(args, drawn);
    if (drawn.Height > measured.Height)
        std::abort(); // drawing stops at the rectangle, measuring never does
    args.HitTest = true;
    args.HitPoint = {10, 10};
    THTMLDrawResult hit;
    HTMLDraw(args, hit);
    if (hit.AnchorHit && (hit.HitAnchor < 0 || hit.HitAnchor >= hit.AnchorCount))
        std::abort();
    HTMLStrip(markup);
    cache.Clear();
    return 0;
}
