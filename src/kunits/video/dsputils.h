#pragma once

#include <cmath>
#include <cstdint>

// Small numeric routines shared by the equalizer and the spectrum. All are
// pure functions, safe on any thread.
namespace kolvarin::dsp {

enum class TWindowMode : uint8_t {
    wmRectangular = 0,
    wmHanning = 1,
    wmBartlett = 2,
    wmHamming = 3,
    wmGaussian = 4,
    wmBlackman = 5,
    wmBlackmanHarris = 6,
};

// Value times the weight of point Index in a window of Size points; a mode
// outside the enumeration, or a window of fewer than two points, leaves
// Value as it is.
float WindowValue(int Index, int Size, TWindowMode Mode, float Value);

// The sign-extended little-endian 24-bit sample at Src[0..2].
inline int32_t Read24(const uint8_t* Src)
{
    return static_cast<int32_t>(Src[0] | (Src[1] << 8) | (static_cast<uint32_t>(Src[2]) << 16) |
                                ((Src[2] & 0x80) ? 0xFF000000u : 0u));
}

// Stores the three low bytes of Value, low byte first.
inline void Write24(int32_t Value, uint8_t* Dest)
{
    const auto v = static_cast<uint32_t>(Value);
    Dest[0] = static_cast<uint8_t>(v);
    Dest[1] = static_cast<uint8_t>(v >> 8);
    Dest[2] = static_cast<uint8_t>(v >> 16);
}

inline int32_t Clip8(int32_t Value) { return Value < -128 ? -128 : Value > 127 ? 127 : Value; }
inline int32_t Clip16(int32_t Value) { return Value < -32768 ? -32768 : Value > 32767 ? 32767 : Value; }
inline int32_t Clip24(int32_t Value) { return Value < -8388608 ? -8388608 : Value > 8388607 ? 8388607 : Value; }
// The lower bound is -2147483647, so the result's negation always fits.
inline int32_t Clip32(int64_t Value)
{
    return static_cast<int32_t>(Value < -2147483647 ? -2147483647 : Value > 2147483647 ? 2147483647 : Value);
}

// Rounds to nearest (ties to even) and saturates to 64 bits; NaN gives 0.
// Converting an out-of-range float straight to an integer is undefined.
inline int64_t RoundSaturated(double Value)
{
    // -2^63 and 2^63 are exact in a double.
    if (Value >= -9223372036854775808.0 && Value < 9223372036854775808.0)
        return std::llrint(Value);
    if (std::isnan(Value))
        return 0;
    return Value < 0 ? INT64_MIN : INT64_MAX;
}

// sqrt(Imag^2 + Real^2) in extended precision.
float Magnitude(float Imag, float Real);

// Processor features, detected once at start-up; informational only.
struct TCPUFeatures {
    bool MMX = false;
    bool MMXExtensions = false;
    bool SSE = false;
    bool SSE2 = false;
    bool Now3D = false;
    bool Now3DExtensions = false;
};
const TCPUFeatures& CPUFeatures();

} // namespace kolvarin::dsp
