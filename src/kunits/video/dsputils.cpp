#include "video/dsputils.h"

#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace kolvarin::dsp {

namespace {

constexpr long double TwoPi = 6.283185307179586L;

long double WindowWeight(int Index, int Size, TWindowMode Mode)
{
    const long double i = Index;
    const long double n = Size;
    switch (Mode) {
    case TWindowMode::wmRectangular: return 1.0L;
    case TWindowMode::wmHanning: return 0.5L - 0.5L * std::cos(TwoPi * i / n);
    case TWindowMode::wmBartlett: return Index < Size / 2 ? 2.0L * i / (n - 1) : 2.0L - 2.0L * i / (n - 1);
    case TWindowMode::wmHamming: return 0.54L - 0.46L * std::cos(TwoPi * i / n);
    case TWindowMode::wmGaussian: return std::exp(-5.0L / (n * n) * (2 * i - n) * (2 * i - n));
    case TWindowMode::wmBlackman: return 0.42L - 0.5L * std::cos(TwoPi * i / n) + 0.08L * std::cos(2 * TwoPi * i / n);
    case TWindowMode::wmBlackmanHarris: {
        const long double t = i + 0.5L;
        return 0.35875L - 0.48829L * std::cos(TwoPi * t / n) + 0.14128L * std::cos(2 * TwoPi * t / n) -
               0.01168L * std::cos(3 * TwoPi * t / n);
    }
    }
    return 1.0L;
}

TCPUFeatures DetectCPUFeatures()
{
    TCPUFeatures f;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) {
        f.MMX = d & (1u << 23);
        f.SSE = d & (1u << 25);
        f.SSE2 = d & (1u << 26);
    }
    if (static_cast<unsigned>(__get_cpuid_max(0x80000000u, nullptr)) >= 0x80000001u &&
        __get_cpuid(0x80000001u, &a, &b, &c, &d)) {
        f.MMXExtensions = d & (1u << 22);
        f.Now3D = d & (1u << 31);
        f.Now3DExtensions = d & (1u << 30);
    }
#endif
    return f;
}

} // namespace

float WindowValue(int Index, int Size, TWindowMode Mode, float Value)
{
    // A one-point window would divide by zero in the Bartlett formula.
    if (Size < 2)
        return Value;
    return static_cast<float>(Value * WindowWeight(Index, Size, Mode));
}

float Magnitude(float Imag, float Real)
{
    const long double i = Imag;
    const long double r = Real;
    return static_cast<float>(std::sqrt(i * i + r * r));
}

const TCPUFeatures& CPUFeatures()
{
    static const TCPUFeatures features = DetectCPUFeatures();
    return features;
}

} // namespace kolvarin::dsp
