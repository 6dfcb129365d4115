#include "media/overlaymixer.h"

#include <algorithm>

#include "media/controlif.h"
#include "media/filterbase.h"
#include "media/pictureconvert.h"
#include "media/transformfilter.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

constexpr uint32_t kColorKey = 0x100010; // RGB(16, 0, 16)

class OverlayMixer final : public Extend<TransformFilter, IDDrawExclModeVideo> {
public:
    OverlayMixer() : Extend(CLSID_OverlayMixer, u"Overlay Mixer", true) {}

    HRESULT CheckInputType(const AMMediaType& type) override
    {
        return type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_I420 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT Transform(IMediaSample*) override { return S_OK; }

    HRESULT CompleteConnect(PIN_DIRECTION dir, IPin* peer) override
    {
        if (dir == PINDIR_OUTPUT)
            PushControls();
        if (dir == PINDIR_INPUT && callback_) {
            uint32_t w = 0, h = 0, ax = 0, ay = 0;
            GetNativeVideoProps(&w, &h, &ax, &ay);
            callback_->OnUpdateSize(w, h, ax, ay);
        }
        (void)peer;
        return S_OK;
    }

    HRESULT QueryPinInterface(BasePin& pin, REFIID id, void** out) override
    {
        if (&pin == &Input() && id == IMixerPinConfig2::iid) {
            *out = static_cast<IMixerPinConfig2*>(&config_);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    // ---- IDDrawExclModeVideo
    HRESULT GetNativeVideoProps(uint32_t* width, uint32_t* height, uint32_t* aspectX, uint32_t* aspectY) override
    {
        if (!width || !height || !aspectX || !aspectY)
            return E_POINTER;
        auto v = ReadVideoInfo2(Input().CurrentMediaType().formatBytes());
        if (!Input().IsConnected() || !v)
            return VFW_E_NOT_CONNECTED;
        *width = static_cast<uint32_t>(v->bmiHeader.biWidth);
        *height = static_cast<uint32_t>(std::abs(v->bmiHeader.biHeight));
        *aspectX = v->dwPictAspectRatioX ? v->dwPictAspectRatioX : *width;
        *aspectY = v->dwPictAspectRatioY ? v->dwPictAspectRatioY : *height;
        return S_OK;
    }
    HRESULT SetCallbackInterface(IDDrawExclModeVideoCallback* callback, uint32_t) override
    {
        callback_ = callback;
        return S_OK;
    }

private:
    // The input pin's configuration: shares the mixer's reference count.
    class PinConfig final : public IMixerPinConfig2 {
    public:
        explicit PinConfig(OverlayMixer& mixer) : mixer_(mixer) {}
        HRESULT QueryInterface(REFIID id, void** out) override { return mixer_.Input().QueryInterface(id, out); }
        uint32_t AddRef() override { return mixer_.AddRef(); }
        uint32_t Release() override { return mixer_.Release(); }
        HRESULT SetColorKey(const COLORKEY*) override { return S_OK; }
        HRESULT GetColorKey(COLORKEY* key, uint32_t* color) override
        {
            if (key)
                *key = {1, 0, kColorKey, kColorKey};
            if (color)
                *color = kColorKey;
            return S_OK;
        }
        HRESULT SetAspectRatioMode(AM_ASPECT_RATIO_MODE mode) override
        {
            if (mode < AM_ARMODE_STRETCHED || mode > AM_ARMODE_CROP)
                return E_INVALIDARG;
            mode_ = mode;
            return S_OK;
        }
        HRESULT GetAspectRatioMode(AM_ASPECT_RATIO_MODE* mode) override
        {
            if (!mode)
                return E_POINTER;
            *mode = mode_;
            return S_OK;
        }
        HRESULT SetOverlaySurfaceColorControls(const DDCOLORCONTROL* controls) override
        {
            if (!controls || controls->dwSize != 40)
                return E_INVALIDARG;
            const uint32_t f = controls->dwFlags;
            DDCOLORCONTROL& c = mixer_.controls_;
            if (f & DDCOLOR_BRIGHTNESS)
                c.lBrightness = std::clamp(controls->lBrightness, 0, 10000);
            if (f & DDCOLOR_CONTRAST)
                c.lContrast = std::clamp(controls->lContrast, 0, 20000);
            if (f & DDCOLOR_HUE)
                c.lHue = std::clamp(controls->lHue, -180, 180);
            if (f & DDCOLOR_SATURATION)
                c.lSaturation = std::clamp(controls->lSaturation, 0, 20000);
            if (f & DDCOLOR_SHARPNESS)
                c.lSharpness = std::clamp(controls->lSharpness, 0, 10);
            if (f & DDCOLOR_GAMMA)
                c.lGamma = std::clamp(controls->lGamma, 1, 500);
            if (f & DDCOLOR_COLORENABLE)
                c.lColorEnable = controls->lColorEnable ? 1 : 0;
            mixer_.PushControls();
            return S_OK;
        }
        HRESULT GetOverlaySurfaceColorControls(DDCOLORCONTROL* controls) override
        {
            if (!controls || controls->dwSize != 40)
                return E_INVALIDARG;
            *controls = mixer_.controls_;
            return S_OK;
        }

    private:
        OverlayMixer& mixer_;
        AM_ASPECT_RATIO_MODE mode_ = AM_ARMODE_LETTER_BOX;
    };

    void PushControls()
    {
        if (auto peer = PeerOf(&Output()))
            if (auto renderer = FilterOfPin(peer.get()))
                SetRendererColorControls(renderer.get(), controls_);
    }

    PinConfig config_{*this};
    DDCOLORCONTROL controls_ = DefaultColorControls();
    ComPtr<IDDrawExclModeVideoCallback> callback_;
};

} // namespace

ComPtr<IBaseFilter> MakeOverlayMixer()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter*>(MakeCom<OverlayMixer>().get()));
}

} // namespace kolvarin::media
