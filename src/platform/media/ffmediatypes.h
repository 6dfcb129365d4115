#pragma once

// Media types of FFmpeg streams and back. A type made from a stream carries
// the stream's codec parameters in its pUnk (ICodecParameters), so our
// decoders open the exact codec; a type from elsewhere is mapped back from
// its subtype, FourCC or wave tag and the bytes after its format header.

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "media/formatblocks.h"
#include "media/mediatype.h"

namespace kolvarin::media {

struct CodecParametersDeleter {
    void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
using CodecParametersPtr = std::unique_ptr<AVCodecParameters, CodecParametersDeleter>;

class ICodecParameters : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x4C9E6A11, 0x7E21, 0x4B0A, {0x9B, 0x52, 0x1D, 0x3E, 0x67, 0x2A, 0x81, 0x10}};
    virtual const AVCodecParameters* Parameters() = 0;
    virtual AVRational TimeBase() = 0;

protected:
    ~ICodecParameters() = default;
};

// The type of a video, audio or subtitle stream; majortype GUID_NULL for
// other streams. language and title come from the stream's metadata.
AMMediaType MediaTypeOfStream(const AVStream* stream);

// Codec parameters for a type: from its pUnk, else from subtype and format
// block; nullptr when no codec is known for it.
CodecParametersPtr CodecParametersOfType(const AMMediaType& type);

// The uncompressed types our decoders put out.
AMMediaType VideoOutputType(int width, int height, AVRational sampleAspect, REFERENCE_TIME avgTimePerFrame,
                            int pixelFormat);
AMMediaType AudioOutputType(int rate, int channels, int bits, bool isFloat);

// The pixel format of an uncompressed video type we put out, or -1.
int PixelFormatOfType(const AMMediaType& type);

} // namespace kolvarin::media
