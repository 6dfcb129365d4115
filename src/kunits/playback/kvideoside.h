#pragma once

// What the play system asks of the video side (video files, DirectShow audio,
// video URLs, DVDs). Until that side exists the default plays nothing and
// answers that its engine cannot start. Main thread.

#include <string>

namespace kolvarin {

class TKSystem;

class TKVideoSide {
public:
    virtual ~TKVideoSide() = default;
    // Plays the current entry (types 3, 4, 5 with isStream, 6 with dvd);
    // true when it runs and has set SysActive. The default reports code 1002.
    virtual bool Play(TKSystem& system, const std::u16string& fileName, bool isStream, bool dvd);
    virtual void Stop() {}
    // Releases the graph's interfaces; with fullStop also leaves full screen
    // and hides the video window.
    virtual void Reset(bool /*fullStop*/) {}
    virtual bool Pause() { return false; }
    virtual bool Resume() { return false; }
    virtual void SetVolume(int /*volume0to10000*/) {}
    virtual void SetBalance(int /*balance*/) {}
    virtual void SetRate(double /*rate*/) {}
    // The ten band gains (-100..100) of the video equalizer.
    virtual void SetEqualizerBand(int /*band*/, int /*gain*/) {}
};

} // namespace kolvarin
