#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace kolvarin::dsp {

// Point counts 2 .. 8192: N = 1 << (ordinal + 1).
enum class TQxFFTSize : uint8_t {
    fts2,
    fts4,
    fts8,
    fts16,
    fts32,
    fts64,
    fts128,
    fts256,
    fts512,
    fts1024,
    fts2048,
    fts4096,
    fts8192,
};

constexpr int FFTPointCount(TQxFFTSize Size) { return 1 << (static_cast<int>(Size) + 1); }

struct TQxComplex {
    float re;
    float im;
};

constexpr int QxFFTMaxPoints = 8192;

// Complex single-precision FFT, in place on a buffer the component owns.
// Forward: A[k] = sum a[j] e^(+2 pi i jk/N), unscaled. Inverse: the negative
// exponent, times 1/N when Scale is set. Without ReOrder the forward output
// is left in the split-radix order (frequency k at FFTPermutation(N)[k]),
// which is the order the inverse then expects; spectra multiplied point by
// point stay valid in it.
//
// One component is used by one thread at a time; the shared tables are
// read-only. FFT and IFFT never allocate.
class TQxFFT {
public:
    TQxFFT();
    ~TQxFFT();
    TQxFFT(const TQxFFT&) = delete;
    TQxFFT& operator=(const TQxFFT&) = delete;

    // The data buffer: QxFFTMaxPoints values, zero after construction. The
    // transforms use the first FFTSizeInt() of them. The pointer is fixed for
    // the component's life.
    TQxComplex* Data() { return data_.get(); }
    const TQxComplex* Data() const { return data_.get(); }

    void Clear();
    void FFT();
    void IFFT();

    TQxFFTSize FFTSize() const { return size_; }
    void SetFFTSize(TQxFFTSize Size) { size_ = Size; }
    int FFTSizeInt() const { return FFTPointCount(size_); }
    bool Scale() const { return scale_; }
    void SetScale(bool Scale) { scale_ = Scale; }
    bool ReOrder() const { return reOrder_; }
    void SetReOrder(bool ReOrder) { reOrder_ = ReOrder; }

private:
    struct FreeDeleter {
        void operator()(TQxComplex* p) const;
    };
    std::unique_ptr<TQxComplex[], FreeDeleter> scratch_;
    std::unique_ptr<TQxComplex[], FreeDeleter> data_;
    bool scale_ = true;
    bool reOrder_ = true;
    TQxFFTSize size_ = TQxFFTSize::fts512;
};

// The permutation table of N points (N a power of two, 2 .. 8192).
std::span<const uint16_t> FFTPermutation(int N);
// The twiddle table of N points (N a power of two, 32 .. 8192): entry k - 1
// is e^(2 pi i k/N) for k = 1 .. N/4 - 1 up to 512 points, k = 1 .. N/8 - 1
// above (one octant; the rest follows by symmetry).
std::span<const TQxComplex> FFTTwiddles(int N);

// The transform kernels in use: the portable vector set, or the AVX2 set
// when the processor has AVX2 and FMA (checked once). Tests pin one set to
// check both; switching while transforms run elsewhere is not allowed.
enum class TFFTKernelSet : uint8_t { Portable, Avx2 };
TFFTKernelSet ActiveFFTKernelSet();
// False, and no change, when the set is not available here.
bool SelectFFTKernelSet(TFFTKernelSet Set);

} // namespace kolvarin::dsp
