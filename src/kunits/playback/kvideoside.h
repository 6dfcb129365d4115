#pragma once

// What the play system asks of the video side (video files, DirectShow audio,
// video URLs, DVDs). The play system runs the start sequence and calls these
// steps in order: InitEngine, BuildGraph, Prepare, Duration, Run. Until the
// real side is injected the default has no engine: every start reports that
// DirectShow cannot initialise. Main thread.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kolvarin {

class TKSystem;

// The video side's positions and lengths count 100 ns units.
constexpr int64_t kVideoUnitsPerSecond = 10000000;

class TKVideoSide {
public:
    virtual ~TKVideoSide() = default;

    // --- before the start ---------------------------------------------------------
    // A stream entry that names a list (an .asx over http) is fetched first:
    // true, and done runs later from the event loop, never inside this
    // call, with the address the graph is to play, or empty with the reason.
    // False: the entry plays as it is.
    using TKStreamFetched = std::function<void(const std::u16string& stream, const std::string& error)>;
    virtual bool FetchStream(const std::u16string& /*fileName*/, TKStreamFetched /*done*/) { return false; }
    // Gives up the fetch under way; its done does not run.
    virtual void CancelFetch() {}

    // --- the start sequence ---------------------------------------------------
    // A fresh graph in normal or DVD mode; false when the engine cannot start.
    virtual bool InitEngine(bool /*dvd*/) { return false; }
    // The DSP filter's equalizer and visualisation on or off.
    virtual void InitDSP(bool /*active*/) {}
    // Builds the graph for the entry, or for the address a fetched list gave
    // (graph script or automatic rendering); fills the system's stream
    // infos. False when it cannot be built.
    virtual bool BuildGraph(TKSystem& /*system*/, const std::u16string& /*fileName*/, bool /*dvd*/) { return false; }
    // The window, its menus and display mode from the built graph; true
    // when the graph shows a picture.
    virtual bool Prepare(TKSystem& /*system*/, bool /*dvd*/, int /*index*/) { return false; }
    // The medium's length in 100 ns units; false when it cannot be read.
    virtual bool Duration(int64_t& /*length*/) { return false; }
    // Runs the graph; false with the reason in message.
    virtual bool Run(std::string& /*message*/) { return false; }
    // IMediaSeeking capability flags of the built graph (0: cannot seek).
    virtual uint32_t SeekingCaps() { return 0; }
    // The graph runs: the configured colour controls.
    virtual void Started() {}
    // Whether the video window shows; raises it.
    virtual bool Visible() { return false; }
    virtual void ToForeground() {}
    // The picture's rectangle in the window by the ratio mode.
    virtual void SetAspectRatio() {}
    // The default audio and subtitle streams of the settings.
    virtual void SetVideoDefaults() {}

    // --- the running medium -----------------------------------------------------
    // Stops the graph and tears it down (dynamic filters, graph, registrations).
    virtual void Stop() {}
    // Releases the graph's interfaces; with fullStop also leaves full screen
    // and hides the video window.
    virtual void Reset(bool /*fullStop*/) {}
    virtual bool Pause() { return false; }
    virtual bool Resume() { return false; }
    // The video window's menu items for the running type and pause state.
    virtual void UpdateVideoMenu() {}
    // 0 no graph, 1 stopped, 2 paused, 3 running.
    virtual int GraphState() { return 0; }
    // Current position in 100 ns units; false when it cannot be read.
    virtual bool Position(int64_t& /*position*/) { return false; }
    virtual void SetPosition(int64_t /*position*/) {}
    // A DVD plays on from that time of its title.
    virtual void PlayAtTime(int /*hours*/, int /*minutes*/, int /*seconds*/) {}
    virtual void SetVolume(int /*volume0to10000*/) {}
    virtual void SetBalance(int /*balance*/) {}
    virtual void SetRate(double /*rate*/) {}
    // The ten band gains (-100..100) of the video equalizer.
    virtual void SetEqualizerBand(int /*band*/, int /*gain*/) {}
    // One analyser frame (512 values) of the playing sound; false when none.
    virtual bool GetSpectrumData(std::span<float> /*values*/) { return false; }
};

} // namespace kolvarin
