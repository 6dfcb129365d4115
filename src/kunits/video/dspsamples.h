#pragma once

#include <cstdint>
#include <cstring>

#include "base/bytereader.h"
#include "video/dsputils.h"

// Interleaved PCM sample access shared by the equalizer and the spectrum.
namespace kolvarin::dsp {

// The sample layouts the DSP chain handles: 8-bit unsigned, 16-, 24- and
// 32-bit signed integers, 32-bit floats.
enum class TSampleFormat : uint8_t { U8, S16, S24, S32, F32 };

// The format for a stream's bits per sample and float flag, or false for a
// width the chain does not handle. The float flag counts only at 32 bits.
inline bool SampleFormatOf(uint8_t Bits, bool Float, TSampleFormat& Format)
{
    switch (Bits) {
    case 8: Format = TSampleFormat::U8; return true;
    case 16: Format = TSampleFormat::S16; return true;
    case 24: Format = TSampleFormat::S24; return true;
    case 32: Format = Float ? TSampleFormat::F32 : TSampleFormat::S32; return true;
    default: return false;
    }
}

inline int BytesPerSample(TSampleFormat Format)
{
    switch (Format) {
    case TSampleFormat::U8: return 1;
    case TSampleFormat::S16: return 2;
    case TSampleFormat::S24: return 3;
    case TSampleFormat::S32:
    case TSampleFormat::F32: return 4;
    }
    return 1;
}

inline int16_t ReadS16(const uint8_t* p) { return static_cast<int16_t>(Le16(p)); }
inline int32_t ReadS32(const uint8_t* p) { return static_cast<int32_t>(Le32(p)); }
inline float ReadF32(const uint8_t* p)
{
    const uint32_t bits = Le32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
inline void WriteS16(int32_t v, uint8_t* p) { PutLe16(p, static_cast<uint16_t>(v)); }
inline void WriteS32(int32_t v, uint8_t* p) { PutLe32(p, static_cast<uint32_t>(v)); }

} // namespace kolvarin::dsp
