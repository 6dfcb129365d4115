#pragma once

// The media detector (CLSID_MediaDet): describes the streams of a file and
// writes the picture at a given time as a 24-bit bitmap file. Works on the
// file directly (FFmpeg and swscale), without a graph. Main thread.

#include <string>

#include "media/filterif.h"

namespace kolvarin::media {

class IMediaDet : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x65BD0710, 0x24D2, 0x4FF7, {0x93, 0x24, 0xED, 0x2E, 0x5D, 0x3A, 0xBA, 0xFB}};
    // Opens the file; VFW_E_UNKNOWN_FILE_TYPE (or E_FILE_NOT_FOUND) when it cannot.
    virtual HRESULT put_Filename(const std::u16string& file) = 0;
    virtual HRESULT get_OutputStreams(int32_t* count) = 0;
    virtual HRESULT put_CurrentStream(int32_t index) = 0; // E_INVALIDARG outside
    virtual HRESULT get_StreamMediaType(AMMediaType* type) = 0;
    virtual HRESULT get_StreamLength(double* seconds) = 0;
    // The current (video) stream's picture at a time in seconds, scaled to
    // width x height, written as a bottom-up 24-bit BMP file.
    virtual HRESULT WriteBitmapBits(double seconds, int32_t width, int32_t height, const std::u16string& file) = 0;

protected:
    ~IMediaDet() = default;
};

ComPtr<IMediaDet> MakeMediaDet();

} // namespace kolvarin::media
