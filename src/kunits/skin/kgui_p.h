#pragma once

// Internals of the skin engine shared by its units.

#include <algorithm>
#include <cstdint>
#include <limits>

#include "skin/kgui.h"

namespace kolvarin {

inline int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Calls visit(element) for every element of the record that holds images, in
// the record's order. Each element kind is its own type; the caption bar,
// analyzer, status bar and file-type icons too.
template <typename Skin, typename Visit>
void VisitElements(Skin& skin, Visit&& visit)
{
    auto& m = skin.Main;
    visit(m.Form);
    visit(m.CaptionBar);
    visit(m.CloseButton);
    visit(m.MinimizeButton);
    visit(m.Analyzer);
    visit(m.ScrolllabelBackground);
    visit(m.Scrolllabel);
    visit(m.ProgressBar);
    visit(m.ProgressSeekBar);
    for (auto* button :
         {&m.RewindButton, &m.PlayButton, &m.PauseButton, &m.StopButton, &m.ForwardButton, &m.EjectButton})
        visit(*button);
    visit(m.Volume);
    visit(m.VolumeSeekBar);
    visit(m.Balance);
    for (auto* box : {&m.MuteCheckbox, &m.PlaymodeCheckbox, &m.AutofullscreenCheckbox, &m.AutoVideoResizeCheckbox,
                      &m.PlaylistCheckbox, &m.EqualizerCheckbox})
        visit(*box);
    visit(m.ConfigButton);
    visit(m.Time);
    for (auto* icon : {&m.StatusIconReady, &m.StatusIconStop, &m.StatusIconPlay, &m.StatusIconPause, &m.StatusIconWait})
        visit(*icon);
    visit(m.PopupBackground);

    auto& p = skin.Playlist;
    visit(p.ResizeForm);
    visit(p.Resizer);
    visit(p.CaptionBar);
    visit(p.Scrollbar);
    visit(p.PopupBackground);
    visit(p.Statusbar);
    visit(p.FileTypeIcons);

    auto& mc = skin.MediaControls;
    visit(mc.Form);
    visit(mc.CaptionBar);
    visit(mc.SpeedSeekBar);
    for (auto& band : mc.Equalizer)
        visit(band);
    visit(mc.PopupBackground);

    auto& v = skin.Video;
    visit(v.ResizeForm);
    visit(v.Resizer);
    visit(v.CaptionBar);
    visit(v.VideoPopupBackground);
    visit(v.DVDPopupBackground);

    auto& f = skin.VideoFullscreenControl;
    visit(f.CloseButton);
    visit(f.Form);
    visit(f.ScrolllabelBackground);
    visit(f.Scrolllabel);
    visit(f.ProgressBar);
    visit(f.ProgressSeekBar);
    for (auto* button : {&f.RewindButton, &f.PlayButton, &f.PauseButton, &f.StopButton, &f.ForwardButton})
        visit(*button);
    visit(f.Volume);
    visit(f.VolumeSeekBar);
    visit(f.MuteCheckbox);
    visit(f.Time);
}

// Calls f(bitmap) for every bitmap an element owns, composed ones included.
template <typename F>
void ForEachBitmap(TKSForm& e, F&& f)
{
    f(e.Bitmap);
}
template <typename F>
void ForEachBitmap(TKSImage& e, F&& f)
{
    f(e.Bitmap);
}
template <typename F>
void ForEachBitmap(TKSAnalyzer& e, F&& f)
{
    f(e.Bitmap);
}
template <typename F>
void ForEachBitmap(TKSScrollLabel& e, F&& f)
{
    f(e.Buffer);
}
template <typename F>
void ForEachBitmap(TKSCaptionBar& e, F&& f)
{
    for (auto& b : e.Bitmaps)
        f(b);
}
template <typename F>
void ForEachBitmap(TKSButton& e, F&& f)
{
    for (auto& b : e.Bitmaps)
        f(b);
}
template <typename F>
void ForEachBitmap(TKSBar& e, F&& f)
{
    for (auto& b : e.Bitmaps)
        f(b);
}
template <typename F>
void ForEachBitmap(TKSSeekBar& e, F&& f)
{
    for (auto& b : e.BarBitmaps)
        f(b);
    f(e.BgBitmap);
}
template <typename F>
void ForEachBitmap(TKSTime& e, F&& f)
{
    f(e.BgBitmap);
    for (auto& b : e.CharBitmaps)
        f(b);
}
template <typename F>
void ForEachBitmap(TKSResizeForm& e, F&& f)
{
    for (auto& b : e.EdgeBitmaps)
        f(b);
    f(e.Background);
}
template <typename F>
void ForEachBitmap(TKSScrollBar& e, F&& f)
{
    for (auto& b : e.Bitmaps)
        f(b);
}
template <typename F>
void ForEachBitmap(TKSStatusBar& e, F&& f)
{
    f(e.Bitmap);
    f(e.Background);
}
template <typename F>
void ForEachBitmap(TKSFileTypeIcons& e, F&& f)
{
    for (auto& b : e.Bitmaps)
        f(b);
}

// Overload set from lambdas.
template <typename... Fs>
struct Overloaded : Fs... {
    using Fs::operator()...;
};
template <typename... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

} // namespace kolvarin
