#pragma once

// What the video side needs of the video window (TfrmVideo): the display
// control the graph renders into, showing and hiding the window around a
// medium, the menus and display mode after a graph is built, the size of a
// new picture and the choice among several graph scripts. The window
// implements it; without a window the side keeps a hidden display of its
// own. Main thread.

#include <span>
#include <string>
#include <vector>

namespace kolvarin::dsp {
class TQxEqualizer;
}

namespace kolvarin::video {

class TDSVideoWindowEx2;

class TKVideoHost {
public:
    virtual ~TKVideoHost() = default;

    // The display control inside the window; it lives as long as the host.
    virtual TDSVideoWindowEx2& VideoDisplay() = 0;
    // A graph was built: with video the window shows in its display mode
    // and fills its stream, filter and monitor menus; without it hides.
    virtual void VideoPrepared(bool /*hasVideo*/, bool /*dvd*/) {}
    // A graph was built, or failed to be: its filters and connections go
    // to the trace log.
    virtual void WriteFilterGraphToLog() {}
    // The medium ended or stopped: with fullStop the window leaves full
    // screen and hides, and the display mode returns to none.
    virtual void VideoReset(bool /*fullStop*/) {}
    // The menu items for the running type and pause state.
    virtual void UpdateVideoMenu() {}
    // The picture's native size changed.
    virtual void VideoSizeChanged(int /*width*/, int /*height*/) {}
    // Whether the window shows; raises it.
    virtual bool Visible() { return false; }
    virtual void ToForeground() {}
    // The picture's rectangle by the ratio mode.
    virtual void CalculateVideoRatio() {}
    // A disc starts at normal speed: no speed item ticked but 1x forward.
    virtual void ResetSpeedItems() {}
    // Clicks the default audio and subtitle items of the settings.
    virtual void SetVideoDefaults() {}
    // One analyser frame of the window's spectrum (512 values); false when
    // the window keeps none.
    virtual bool GetSpectrumData(std::span<float> /*values*/) { return false; }
    // The equalizer the window runs on the side's DSP filter (when it takes
    // the filter's sound handler over); nullptr: the side runs its own. The
    // side sets its bands from the ten sliders.
    virtual dsp::TQxEqualizer* Equalizer() { return nullptr; }
    // The don't-ask-again list dialog ("Choose video filter script",
    // "Filterscript:") over the candidate script names: false when the user
    // cancelled; else the choice and whether to ask again next time.
    virtual bool ChooseScript(const std::vector<std::string>& /*candidates*/, std::string& /*chosen*/,
                              bool& /*dontAskAgain*/)
    {
        return false;
    }
};

} // namespace kolvarin::video
