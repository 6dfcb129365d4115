#pragma once

// Interfaces that renderers, splitters and mixers offer: volume and balance,
// the video's size and source rectangle, the video window, stream selection,
// file loading, and the mixer's colour controls. The graph answers
// IBasicAudio, IBasicVideo(2) and IVideoWindow with the first filter that has
// them.
//
// Threads: main thread.

#include <cstdint>
#include <string>

#include "media/filterif.h"

class QWidget;

namespace kolvarin::media {

class IBasicAudio : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868B3, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Hundredths of a decibel: -10000 (silent) .. 0 (full); E_INVALIDARG outside.
    virtual HRESULT put_Volume(int32_t volume) = 0;
    virtual HRESULT get_Volume(int32_t* volume) = 0;
    // -10000 (right silent) .. 10000 (left silent) in hundredths of a decibel.
    virtual HRESULT put_Balance(int32_t balance) = 0;
    virtual HRESULT get_Balance(int32_t* balance) = 0;

protected:
    ~IBasicAudio() = default;
};

class IBasicVideo : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868B5, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT get_AvgTimePerFrame(REFERENCE_TIME* time) = 0;
    virtual HRESULT get_VideoWidth(int32_t* width) = 0;
    virtual HRESULT get_VideoHeight(int32_t* height) = 0;
    // The part of the picture that is shown (digital zoom), in picture pixels.
    virtual HRESULT put_SourceLeft(int32_t v) = 0;
    virtual HRESULT put_SourceTop(int32_t v) = 0;
    virtual HRESULT put_SourceWidth(int32_t v) = 0;
    virtual HRESULT put_SourceHeight(int32_t v) = 0;
    virtual HRESULT get_SourceWidth(int32_t* v) = 0;
    virtual HRESULT get_SourceHeight(int32_t* v) = 0;
    virtual HRESULT GetSourcePosition(int32_t* left, int32_t* top, int32_t* width, int32_t* height) = 0;
    virtual HRESULT SetDefaultSourcePosition() = 0;
    virtual HRESULT GetVideoSize(int32_t* width, int32_t* height) = 0;

protected:
    ~IBasicVideo() = default;
};

class IBasicVideo2 : public IBasicVideo {
public:
    using Base = IBasicVideo;
    static constexpr IID iid{0x329BB360, 0xF6EA, 0x11D1, {0x90, 0x38, 0x00, 0xA0, 0xC9, 0x69, 0x72, 0x98}};
    virtual HRESULT GetPreferredAspectRatio(int32_t* x, int32_t* y) = 0;

protected:
    ~IBasicVideo2() = default;
};

class IVideoWindow : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868B4, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT put_Caption(const std::u16string& caption) = 0;
    virtual HRESULT get_Caption(std::u16string* caption) = 0;
    virtual HRESULT put_WindowStyle(int32_t style) = 0;
    virtual HRESULT put_WindowStyleEx(int32_t style) = 0;
    virtual HRESULT put_AutoShow(bool autoShow) = 0;
    virtual HRESULT put_Visible(bool visible) = 0;
    virtual HRESULT get_Visible(bool* visible) = 0;
    // The widget the video window becomes a child of (nullptr: top level).
    virtual HRESULT put_Owner(QWidget* owner) = 0;
    virtual HRESULT get_Owner(QWidget** owner) = 0;
    // The widget that receives the video window's mouse and key input.
    virtual HRESULT put_MessageDrain(QWidget* drain) = 0;
    // In the owner's coordinates.
    virtual HRESULT SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual HRESULT GetWindowPosition(int32_t* left, int32_t* top, int32_t* width, int32_t* height) = 0;
    virtual HRESULT HideCursor(bool hide) = 0;
    virtual HRESULT IsCursorHidden(bool* hidden) = 0;

protected:
    ~IVideoWindow() = default;
};
inline constexpr int32_t WS_CHILD = 0x40000000;
inline constexpr int32_t WS_CLIPSIBLINGS = 0x04000000;

using LCID = uint32_t;

class IAMStreamSelect : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0xC1960960, 0x17F5, 0x11D1, {0xAB, 0xE1, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};
    virtual HRESULT Count(uint32_t* streams) = 0;
    // Any out-parameter may be nullptr. flags: AMSTREAMSELECTINFO_ENABLED when on.
    virtual HRESULT Info(int32_t index, AMMediaType* type, uint32_t* flags, LCID* lcid, uint32_t* group,
                         std::u16string* name, IUnknown** object, IUnknown** unk) = 0;
    // AMSTREAMSELECTENABLE_ENABLE: the stream becomes the one of its group.
    virtual HRESULT Enable(int32_t index, uint32_t flags) = 0;

protected:
    ~IAMStreamSelect() = default;
};
inline constexpr uint32_t AMSTREAMSELECTINFO_ENABLED = 1;
inline constexpr uint32_t AMSTREAMSELECTENABLE_ENABLE = 1;

class IFileSourceFilter : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868A6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Load(const std::u16string& fileName, const AMMediaType* type) = 0;
    virtual HRESULT GetCurFile(std::u16string* fileName, AMMediaType* type) = 0;

protected:
    ~IFileSourceFilter() = default;
};

// The colour controls of the mixer's surface, ten 32-bit words.
struct DDCOLORCONTROL {
    uint32_t dwSize = 40;
    uint32_t dwFlags = 0;
    int32_t lBrightness = 0; // 0..10000, 750 neutral
    int32_t lContrast = 0; // 0..20000, 10000 neutral
    int32_t lHue = 0; // -180..180 degrees
    int32_t lSaturation = 0; // 0..20000, 10000 neutral
    int32_t lSharpness = 0; // 0..10, 5 neutral
    int32_t lGamma = 0; // 1..500, 1 neutral
    int32_t lColorEnable = 0;
    uint32_t dwReserved1 = 0;
};
// What the mixer starts with and reports before anything was set: every
// control valid, each at its neutral value.
inline constexpr DDCOLORCONTROL DefaultColorControls()
{
    return {.dwFlags = 0x7F,
            .lBrightness = 750,
            .lContrast = 10000,
            .lHue = 0,
            .lSaturation = 10000,
            .lSharpness = 5,
            .lGamma = 1,
            .lColorEnable = 1};
}
inline constexpr uint32_t DDCOLOR_BRIGHTNESS = 0x01, DDCOLOR_CONTRAST = 0x02, DDCOLOR_HUE = 0x04,
                          DDCOLOR_SATURATION = 0x08, DDCOLOR_SHARPNESS = 0x10, DDCOLOR_GAMMA = 0x20,
                          DDCOLOR_COLORENABLE = 0x40;

enum AM_ASPECT_RATIO_MODE : int32_t { AM_ARMODE_STRETCHED = 0, AM_ARMODE_LETTER_BOX = 1, AM_ARMODE_CROP = 2 };

struct COLORKEY {
    uint32_t KeyType = 0;
    uint32_t PaletteIndex = 0;
    uint32_t LowColorValue = 0;
    uint32_t HighColorValue = 0;
};

class IMixerPinConfig2 : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0xEBF47182, 0x8764, 0x11D1, {0x9E, 0x69, 0x00, 0xC0, 0x4F, 0xD7, 0xC1, 0x5B}};
    virtual HRESULT SetColorKey(const COLORKEY* key) = 0;
    virtual HRESULT GetColorKey(COLORKEY* key, uint32_t* color) = 0;
    virtual HRESULT SetAspectRatioMode(AM_ASPECT_RATIO_MODE mode) = 0;
    virtual HRESULT GetAspectRatioMode(AM_ASPECT_RATIO_MODE* mode) = 0;
    virtual HRESULT SetOverlaySurfaceColorControls(const DDCOLORCONTROL* controls) = 0;
    virtual HRESULT GetOverlaySurfaceColorControls(DDCOLORCONTROL* controls) = 0;

protected:
    ~IMixerPinConfig2() = default;
};

class IDDrawExclModeVideoCallback : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x913C24A0, 0x20AB, 0x11D2, {0x90, 0x38, 0x00, 0xA0, 0xC9, 0x69, 0x72, 0x98}};
    virtual HRESULT OnUpdateOverlay(bool before, uint32_t flags, bool oldVisible, const RECT* oldSource,
                                    const RECT* oldDest, bool newVisible, const RECT* newSource,
                                    const RECT* newDest) = 0;
    virtual HRESULT OnUpdateColorKey(const COLORKEY* key, uint32_t color) = 0;
    virtual HRESULT OnUpdateSize(uint32_t width, uint32_t height, uint32_t aspectX, uint32_t aspectY) = 0;

protected:
    ~IDDrawExclModeVideoCallback() = default;
};

class IDDrawExclModeVideo : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x153ACC21, 0xD83B, 0x11D1, {0x82, 0xBF, 0x00, 0xA0, 0xC9, 0x69, 0x6C, 0x8F}};
    // The picture's size and aspect ratio (x:y).
    virtual HRESULT GetNativeVideoProps(uint32_t* width, uint32_t* height, uint32_t* aspectX, uint32_t* aspectY) = 0;
    // Called on the main thread when the picture size changes (nullptr: none).
    virtual HRESULT SetCallbackInterface(IDDrawExclModeVideoCallback* callback, uint32_t flags) = 0;

protected:
    ~IDDrawExclModeVideo() = default;
};

class ISpecifyPropertyPages : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
    virtual HRESULT GetPages(std::vector<CLSID>* pages) = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

} // namespace kolvarin::media
