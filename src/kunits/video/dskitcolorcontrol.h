#pragma once

// TColorControl: the picture settings of the video display component
// (brightness, contrast, hue, saturation, sharpness, gamma, colour on/off),
// each checked against its range, written to and read from the overlay
// mixer of the running graph. TDSVideoWindowEx2Caps reports which settings
// the mixer supports. Main thread.

#include <cstdint>
#include <functional>

#include "media/controlif.h"

namespace kolvarin::video {

class TFilterGraph;

class TColorControl {
public:
    // graph: how to reach the running graph (nullptr or inactive: not live).
    explicit TColorControl(std::function<TFilterGraph*()> graph);

    // Each setter raises std::runtime_error("Value %d out of range. Value
    // must bee between ...") outside its range and keeps the old value.
    int32_t Brightness();
    void SetBrightness(int32_t v);
    int32_t Contrast();
    void SetContrast(int32_t v);
    int32_t Hue();
    void SetHue(int32_t v);
    int32_t Saturation();
    void SetSaturation(int32_t v);
    int32_t Sharpness();
    void SetSharpness(int32_t v);
    int32_t Gamma();
    void SetGamma(int32_t v);
    bool ColorEnable();
    void SetColorEnable(bool v);

    // Reads the mixer's controls into the default record (when live).
    void ReadDefaults();
    // Takes the default record's values and writes them (when live).
    void RestoreDefault();
    const media::DDCOLORCONTROL& Defaults() const { return defaults_; }
    // Writes the seven settings to the mixer (when live).
    void Write();

private:
    bool Live() const;
    void Read();
    void Set(int32_t& field, int32_t value, int32_t low, int32_t high, const char* range);

    std::function<TFilterGraph*()> graph_;
    int32_t brightness_, contrast_, hue_, saturation_, sharpness_, gamma_;
    bool colorEnable_;
    media::DDCOLORCONTROL defaults_;
};

// The mixer's configuration interface in a graph (its first input pin), or empty.
media::ComPtr<media::IMixerPinConfig2> FindMixerConfig(TFilterGraph& graph);

class TDSVideoWindowEx2Caps {
public:
    TDSVideoWindowEx2Caps(std::function<bool()> hasMixer, const TColorControl* colors)
        : hasMixer_(std::move(hasMixer)), colors_(colors)
    {}
    bool CanOverlayGraphic() const { return hasMixer_ && hasMixer_(); }
    bool CanControlBrigtness() const { return Flag(media::DDCOLOR_BRIGHTNESS); }
    bool CanControlContrast() const { return Flag(media::DDCOLOR_CONTRAST); }
    bool CanControlHue() const { return Flag(media::DDCOLOR_HUE); }
    bool CanControlSaturation() const { return Flag(media::DDCOLOR_SATURATION); }
    bool CanControlSharpness() const { return Flag(media::DDCOLOR_SHARPNESS); }
    bool CanControlGamma() const { return Flag(media::DDCOLOR_GAMMA); }
    bool CanControlColorEnabled() const { return Flag(media::DDCOLOR_COLORENABLE); }

private:
    bool Flag(uint32_t bit) const { return colors_ && (colors_->Defaults().dwFlags & bit); }
    std::function<bool()> hasMixer_;
    const TColorControl* colors_;
};

} // namespace kolvarin::video
