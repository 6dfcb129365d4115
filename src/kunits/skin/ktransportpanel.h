#pragma once

#include <array>
#include <string>

#include "skin/kcontrol.h"
#include "skin/kgui.h"
#include "skin/kpaintbox.h"

namespace kolvarin {

// A bar's range and value.
struct TKPanelValue {
    int64_t Min = 0;
    int64_t Max = 0;
    int64_t Value = 0;
};

// What the main window and the full-screen bar both show: the status label,
// the progress bar and seek bar, the volume bar and seek bar, the mute box
// and the time digits, bound once to one skin section's records and one
// window's controls. The skin shows either the bar or the seek bar of a
// pair; both are kept at the same value, so a skin change finds them right.
// It also holds the progress drag of its window. Main thread only.
class TKTransportPanel {
public:
    // Section is TKSMain or TKSVideoFullscreenControl, Window a skinned
    // window with the controls of the same names.
    template <class Section, class Window>
    TKTransportPanel(TKGUI& skin, Section& s, Window& w)
        : skin_(skin),
          labelBackground_(s.ScrolllabelBackground),
          label_(s.Scrolllabel),
          progressBar_(s.ProgressBar),
          progressSeekBar_(s.ProgressSeekBar),
          volume_(s.Volume),
          volumeSeekBar_(s.VolumeSeekBar),
          mute_(s.MuteCheckbox),
          time_(s.Time),
          imgScrollabelBackground_(*w.imgScrollabelBackground),
          imgScrolllabel_(*w.imgScrolllabel),
          imgProgressBar_(*w.imgProgressBar),
          imgProgressSeekbarBackground_(*w.imgProgressSeekbarBackground),
          imgProgressSeekbarBar_(*w.imgProgressSeekbarBar),
          imgVolume_(*w.imgVolume),
          imgVolumeSeekbarBackground_(*w.imgVolumeSeekbarBackground),
          imgVolumeSeekbarBar_(*w.imgVolumeSeekbarBar),
          imgMuteCheckbox_(*w.imgMuteCheckbox),
          imgTime_(*w.imgTime)
    {}
    TKTransportPanel(const TKTransportPanel&) = delete;
    TKTransportPanel& operator=(const TKTransportPanel&) = delete;

    // The status label shows text (drawn when a skin is loaded).
    void ShowStatus(const std::u16string& text);
    // The label scrolls its text from the start.
    void RestartScroll();
    // One scroll step, drawn only when the text moves.
    void ScrollStep();

    // Tag -1 makes the progress controls ignore the mouse.
    void SetProgressRange(int tag, bool enabled, int64_t max);
    void ShowProgress(bool enabled, int64_t position);

    void ShowVolume(const TKPanelValue& volume);
    void SetVolumeEnabled(bool enabled);
    // The volume the skin shows (its seek bar or its bar) and its percent.
    TKPanelValue Volume() const;
    double VolumePercent() const;

    void ShowMute(bool on);
    // Six digits (each 0..9 or -1 for blank) and the sign.
    void ShowTime(const std::array<int, 6>& digits, bool negative);
    // Every bar placed for its value (after a skin is applied).
    void PaintBars();

    // A progress drag: the play system's updates leave the bars alone
    // meanwhile, and the status text of its start comes back at its end.
    void BeginDrag(const std::u16string& status);
    bool Dragging() const { return dragging_; }
    // Ends the drag; the status text its start saved.
    std::u16string EndDrag();

private:
    void PaintProgress();
    void PaintVolume();

    TKGUI& skin_;
    TKSImage& labelBackground_;
    TKSScrollLabel& label_;
    TKSBar& progressBar_;
    TKSSeekBar& progressSeekBar_;
    TKSBar& volume_;
    TKSSeekBar& volumeSeekBar_;
    TKSCheckbox& mute_;
    TKSTime& time_;
    TKImage& imgScrollabelBackground_;
    TKPaintbox& imgScrolllabel_;
    TKImage& imgProgressBar_;
    TKImage& imgProgressSeekbarBackground_;
    TKImage& imgProgressSeekbarBar_;
    TKImage& imgVolume_;
    TKImage& imgVolumeSeekbarBackground_;
    TKImage& imgVolumeSeekbarBar_;
    TKImage& imgMuteCheckbox_;
    TKImage& imgTime_;
    bool dragging_ = false;
    std::u16string savedStatus_;
};

} // namespace kolvarin
