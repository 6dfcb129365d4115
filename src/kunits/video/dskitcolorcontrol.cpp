#include "video/dskitcolorcontrol.h"

#include <stdexcept>
#include <string>

#include "media/filterif.h"
#include "media/uuids.h"
#include "video/dskitfiltergraph.h"

namespace kolvarin::video {

using namespace media;

ComPtr<IMixerPinConfig2> FindMixerConfig(TFilterGraph& graph)
{
    auto filters = graph.Query<IFilterGraph>();
    if (!filters)
        return {};
    ComPtr<IBaseFilter> mixer;
    ComPtr<IEnumFilters> e;
    if (Failed(filters->EnumFilters(e.put())))
        return {};
    ComPtr<IBaseFilter> f;
    while (e->Next(1, f.put(), nullptr) == S_OK) {
        const CLSID id = ClassIdOf(f.get());
        if (id == CLSID_OverlayMixer || id == CLSID_OverlayMixer2)
            mixer = f; // the last one wins
    }
    if (!mixer)
        return {};
    for (auto& pin : PinsOf(mixer.get(), PINDIR_INPUT))
        return pin.as<IMixerPinConfig2>();
    return {};
}

TColorControl::TColorControl(std::function<TFilterGraph*()> graph)
    : graph_(std::move(graph)), defaults_(DefaultColorControls())
{
    brightness_ = defaults_.lBrightness;
    contrast_ = defaults_.lContrast;
    hue_ = defaults_.lHue;
    saturation_ = defaults_.lSaturation;
    sharpness_ = defaults_.lSharpness;
    gamma_ = defaults_.lGamma;
    colorEnable_ = defaults_.lColorEnable != 0;
}

bool TColorControl::Live() const
{
    TFilterGraph* g = graph_ ? graph_() : nullptr;
    return g && g->Active();
}

void TColorControl::Write()
{
    if (!Live())
        return;
    auto config = FindMixerConfig(*graph_());
    if (!config)
        return;
    DDCOLORCONTROL c;
    c.dwSize = 40;
    c.dwFlags = 0x7F;
    c.lBrightness = brightness_;
    c.lContrast = contrast_;
    c.lHue = hue_;
    c.lSaturation = saturation_;
    c.lSharpness = sharpness_;
    c.lGamma = gamma_;
    c.lColorEnable = colorEnable_ ? 1 : 0;
    config->SetOverlaySurfaceColorControls(&c);
}

void TColorControl::Read()
{
    if (!Live())
        return;
    auto config = FindMixerConfig(*graph_());
    if (!config)
        return;
    DDCOLORCONTROL c;
    c.dwSize = 40;
    if (Failed(config->GetOverlaySurfaceColorControls(&c)))
        c = DefaultColorControls();
    brightness_ = c.lBrightness;
    contrast_ = c.lContrast;
    hue_ = c.lHue;
    saturation_ = c.lSaturation;
    sharpness_ = c.lSharpness;
    gamma_ = c.lGamma;
    colorEnable_ = c.lColorEnable != 0;
}

void TColorControl::Set(int32_t& field, int32_t value, int32_t low, int32_t high, const char* range)
{
    if (value < low || value > high)
        throw std::runtime_error("Value " + std::to_string(value) + " out of range. Value must bee between " + range);
    field = value;
    Write();
}

int32_t TColorControl::Brightness() { return Read(), brightness_; }
int32_t TColorControl::Contrast() { return Read(), contrast_; }
int32_t TColorControl::Hue() { return Read(), hue_; }
int32_t TColorControl::Saturation() { return Read(), saturation_; }
int32_t TColorControl::Sharpness() { return Read(), sharpness_; }
int32_t TColorControl::Gamma() { return Read(), gamma_; }
bool TColorControl::ColorEnable() { return Read(), colorEnable_; }

void TColorControl::SetBrightness(int32_t v) { Set(brightness_, v, 0, 10000, "0 -> 10.000"); }
void TColorControl::SetContrast(int32_t v) { Set(contrast_, v, 0, 20000, "0 -> 20.000"); }
void TColorControl::SetHue(int32_t v) { Set(hue_, v, -180, 180, "-180 -> 180"); }
void TColorControl::SetSaturation(int32_t v) { Set(saturation_, v, 0, 20000, "0 -> 20.000"); }
void TColorControl::SetSharpness(int32_t v) { Set(sharpness_, v, 0, 10, "0 -> 10"); }
void TColorControl::SetGamma(int32_t v) { Set(gamma_, v, 1, 500, "1 -> 500"); }

void TColorControl::SetColorEnable(bool v)
{
    colorEnable_ = v;
    Write();
}

void TColorControl::ReadDefaults()
{
    if (!Live())
        return;
    if (auto config = FindMixerConfig(*graph_())) {
        DDCOLORCONTROL c;
        c.dwSize = 40;
        if (Succeeded(config->GetOverlaySurfaceColorControls(&c)))
            defaults_ = c;
    }
}

void TColorControl::RestoreDefault()
{
    brightness_ = defaults_.lBrightness;
    contrast_ = defaults_.lContrast;
    hue_ = defaults_.lHue;
    saturation_ = defaults_.lSaturation;
    sharpness_ = defaults_.lSharpness;
    gamma_ = defaults_.lGamma;
    colorEnable_ = defaults_.lColorEnable != 0;
    Write();
}

} // namespace kolvarin::video
