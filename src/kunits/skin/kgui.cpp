#include "skin/kgui.h"

#include "skin/kgui_p.h"

namespace kolvarin {

TKGUI GUI;

namespace {

// The layout a record has before any description is read: every element at
// (0, 0) with no size, except the glyph and edge rectangles, which follow
// these cells.
constexpr TKSRect kDefaultCharRect{9, 13, 0, 0};
constexpr TKSRect kDefaultEdgeRect{25, 25, 0, 0};

void InitTime(TKSTime& time)
{
    time = TKSTime{};
    SkinDigitRects(kDefaultCharRect, time);
}

void InitResizeForm(TKSResizeForm& form)
{
    form = TKSResizeForm{};
    SkinGridRects(kDefaultEdgeRect, 2, form.Edges);
}

// Progress and volume seek bars are off until a description places them;
// their thumbs lie flush, with no border between the two states.
void InitHiddenSeekBar(TKSSeekBar& bar)
{
    bar = TKSSeekBar{};
    bar.Visible = false;
    bar.BarSkinBorder = 0;
}

void InitVerticalSeekBar(TKSSeekBar& bar)
{
    bar = TKSSeekBar{};
    bar.BarAlign = sbaDownToUp;
}

} // namespace

void InitGUI(TKGUI& skin)
{
    const bool loaded = skin.Loaded;
    skin = TKGUI{};
    skin.Loaded = loaded;

    TKSMain& main = skin.Main;
    main.ConfigButton.Visible = false;
    main.PlaylistCheckbox.Visible = false;
    main.EqualizerCheckbox.Visible = false;
    InitHiddenSeekBar(main.ProgressSeekBar);
    InitHiddenSeekBar(main.VolumeSeekBar);
    InitTime(main.Time);

    InitResizeForm(skin.Playlist.ResizeForm);

    InitVerticalSeekBar(skin.MediaControls.SpeedSeekBar);
    for (TKSSeekBar& band : skin.MediaControls.Equalizer)
        InitVerticalSeekBar(band);

    InitResizeForm(skin.Video.ResizeForm);

    TKSVideoFullscreenControl& bar = skin.VideoFullscreenControl;
    InitHiddenSeekBar(bar.ProgressSeekBar);
    InitHiddenSeekBar(bar.VolumeSeekBar);
    InitTime(bar.Time);
}

void FreeGUI(TKGUI& skin)
{
    // The description values stay until the next InitGUI.
    VisitElements(skin, [](auto& element) {
        ForEachBitmap(element, [](gdi::Bitmap& bitmap) { bitmap = {}; });
        if constexpr (requires { element.Region; })
            element.Region = {};
    });
}

void SkinGridRects(const TKSRect& rect, int border, std::array<TKSRect, eCount>& edges)
{
    for (int k = 0; k < eCount; ++k) {
        const int64_t row = k / 3;
        const int64_t column = k % 3;
        const int64_t x = rect.X + column * (int64_t(rect.Width) + border);
        const int64_t y = rect.Y + row * (int64_t(rect.Height) + border);
        edges[k] = {rect.Width, rect.Height, ClampToInt32(x), ClampToInt32(y)};
    }
}

void SkinDigitRects(const TKSRect& rect, TKSTime& time)
{
    for (int i = 0; i < tcMinusSpace; ++i) {
        const int64_t x = rect.X + i * (int64_t(rect.Width) + time.SkinBorder);
        time.Chars[i] = {rect.Width, rect.Height, ClampToInt32(x), rect.Y};
    }
    time.Chars[tcMinusSpace] = time.Chars[tcSpace];
}

} // namespace kolvarin
