// The FFT kernels for processors with AVX2 and FMA. This file alone is
// compiled for them; the FFT checks the processor before using its table.
#include "video/dspfftkernels.h"

namespace kolvarin::dsp {

#if defined(__AVX2__) && defined(__FMA__)
const FFTKernelTable* FFTAvx2Kernels()
{
    static constexpr FFTKernelTable kernels = MakeFFTKernels<8>();
    return &kernels;
}
#else
const FFTKernelTable* FFTAvx2Kernels() { return nullptr; }
#endif

} // namespace kolvarin::dsp
