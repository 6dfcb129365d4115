#pragma once

// The subtitle filter (CLSID_SubtitleFilter, "DirectVobSub"): draws subtitles
// into the I420 pictures that pass through it. Text subtitles (SRT, ASS/SSA,
// SAMI, SubViewer, MicroDVD, embedded text streams) are turned into styled
// events and drawn with libass; bitmap subtitles (VobSub, PGS) are decoded by
// FFmpeg and blended. Sources: files given through IDirectVobSub and the
// subtitle stream connected to the "Subtitle" input pin. Each source is one
// "language"; one is shown at a time, or none while hidden.
//
// Threads: pictures and subtitle packets come on streaming threads; the
// IDirectVobSub calls on the main thread. One lock guards the tracks.

#include <string>

#include "media/filterif.h"

namespace kolvarin::media {

class IDirectVobSub : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0xEBE1FB08, 0x3957, 0x47CA, {0xAF, 0x13, 0x58, 0x27, 0xE5, 0x44, 0x2E, 0x56}};
    // Loads a subtitle file as a new language and selects it; E_FAIL when
    // the file holds no subtitles we can read.
    virtual HRESULT put_FileName(const std::u16string& file) = 0;
    virtual HRESULT get_FileName(std::u16string* file) = 0;
    virtual HRESULT get_LanguageCount(int32_t* count) = 0;
    virtual HRESULT get_LanguageName(int32_t index, std::u16string* name) = 0;
    // The language the "Subtitle" pin feeds (it follows the stream the
    // source sends); -1 while nothing is connected there.
    virtual HRESULT get_EmbeddedLanguage(int32_t* index) = 0;
    virtual HRESULT get_SelectedLanguage(int32_t* index) = 0;
    virtual HRESULT put_SelectedLanguage(int32_t index) = 0;
    virtual HRESULT get_HideSubtitles(bool* hide) = 0;
    virtual HRESULT put_HideSubtitles(bool hide) = 0;
    // Settings the player sets; kept, with no effect on drawing.
    virtual HRESULT put_OSD(bool on) = 0;
    virtual HRESULT put_PreBuffering(bool on) = 0;
    virtual HRESULT put_VobSubSettings(bool buffer, bool onlyShowForcedSubs, bool polygonize) = 0;
    virtual HRESULT put_LoadSettings(int32_t level, bool external, bool web, bool embedded) = 0;

protected:
    ~IDirectVobSub() = default;
};

ComPtr<IBaseFilter> MakeSubtitleFilter();

} // namespace kolvarin::media
