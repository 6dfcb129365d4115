#include "video/dspfastfourier.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include <sys/mman.h>

#include "video/dspfftkernels.h"

namespace kolvarin::dsp {

const float* FFTPassTwiddles[FFTMaxLog2 + 1] = {};

namespace {

constexpr int MaxLog2 = FFTMaxLog2;
constexpr float Sqrt1_2 = 0.70710677f;
constexpr float Cos1_8Pi = 0.9238795f;
constexpr float Sin1_8Pi = 0.38268343f;

struct Tables {
    std::array<std::vector<uint16_t>, MaxLog2 + 1> permutation;
    // Per size, where the odd frequency of each pair starts to come first
    // (see Reorder).
    std::array<int, MaxLog2 + 1> pairSwap{};
    std::array<std::vector<TQxComplex>, MaxLog2 + 1> twiddles;
    // The kernels' layout of w^k (see FFTPassTwiddles).
    std::array<std::vector<float>, MaxLog2 + 1> passTwiddles;
    Tables();
};

void BuildPermutations(Tables& t)
{
    t.permutation[0] = {0};
    t.permutation[1] = {0, 1};
    t.pairSwap[1] = 1;
    int toggle = 1;
    int start = 1;
    for (int log = 2; log <= MaxLog2; ++log) {
        const std::vector<uint16_t>& half = t.permutation[log - 1];
        const int n = static_cast<int>(half.size());
        std::vector<uint16_t>& p = t.permutation[log];
        p.resize(2 * n);
        toggle = 1 - toggle;
        start = 2 * start - toggle;
        for (int i = 0; i < n; ++i)
            p[i] = p[n + i] = static_cast<uint16_t>(2 * half[i]);
        for (int i = start; i < start + n; ++i)
            ++p[i];
        t.pairSwap[log] = start;
    }
}

void BuildTwiddles(Tables& t)
{
    for (int log = 5; log <= MaxLog2; ++log) {
        const int n = 1 << log;
        const int m = n <= 512 ? n / 4 : n / 8;
        std::vector<TQxComplex>& w = t.twiddles[log];
        for (int k = 1; k < m; ++k) {
            const double angle = 2.0 * M_PI * k / n;
            w.push_back({static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))});
        }
    }
}

// w^k as each size's kernel reads it: constants for 8 and 16 points, the
// quarter table up to 512, the octant table mirrored about pi/4 above.
TQxComplex KernelTwiddle(const Tables& t, int log, int k)
{
    const int n = 1 << log;
    if (k == 0)
        return {1.0f, 0.0f};
    if (n == 8)
        return {Sqrt1_2, Sqrt1_2};
    if (n == 16) {
        static constexpr TQxComplex w16[] = {{Cos1_8Pi, Sin1_8Pi}, {Sqrt1_2, Sqrt1_2}, {Sin1_8Pi, Cos1_8Pi}};
        return w16[k - 1];
    }
    const std::vector<TQxComplex>& w = t.twiddles[log];
    if (n <= 512 || k < n / 8)
        return w[k - 1];
    if (k == n / 8)
        return {Sqrt1_2, Sqrt1_2};
    const TQxComplex mirrored = w[n / 4 - k - 1];
    return {mirrored.im, mirrored.re};
}

void BuildPassTwiddles(Tables& t)
{
    for (int log = 3; log <= MaxLog2; ++log) {
        const int quarter = 1 << (log - 2);
        std::vector<float>& v = t.passTwiddles[log];
        // Eight points have two twiddles; the block's rest stays zero.
        v.assign(16 * ((quarter + 3) / 4), 0.0f);
        for (int k = 0; k < quarter; ++k) {
            const TQxComplex w = KernelTwiddle(t, log, k);
            float* block = &v[16 * (k / 4) + 2 * (k % 4)];
            block[0] = block[1] = w.re;
            block[8] = -w.im;
            block[9] = w.im;
        }
        FFTPassTwiddles[log] = v.data();
    }
}

constexpr FFTKernelTable PortableKernels = MakeFFTKernels<4>();

// Chosen once with the tables; tests may pin a set.
const FFTKernelTable* gKernels = &PortableKernels;

bool Avx2Usable()
{
#if defined(__x86_64__) || defined(__i386__)
    return FFTAvx2Kernels() && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#else
    return false;
#endif
}

Tables::Tables()
{
    BuildPermutations(*this);
    BuildTwiddles(*this);
    BuildPassTwiddles(*this);
    if (Avx2Usable())
        gKernels = FFTAvx2Kernels();
}

const Tables& SharedTables()
{
    static const Tables tables;
    return tables;
}

// Frequencies k and k + N/2 (k < N/2) sit side by side in the transform's
// order, at 2 * P_{N/2}[k]: the even one first for k below the size's swap
// point, the odd one first from there on. So one 16-byte access moves both.
template <bool ToNatural, bool OddFirst>
void ReorderPairs(TQxComplex* Dest, const TQxComplex* Src, const uint16_t* Half, int N2, int From, int To)
{
    constexpr int first = OddFirst ? 1 : 0;
    for (int k = From; k < To; ++k) {
        TQxComplex pair[2];
        if constexpr (ToNatural) {
            std::memcpy(pair, &Src[2 * Half[k]], sizeof pair);
            Dest[k] = pair[first];
            Dest[k + N2] = pair[1 - first];
        } else {
            pair[first] = Src[k];
            pair[1 - first] = Src[k + N2];
            std::memcpy(&Dest[2 * Half[k]], pair, sizeof pair);
        }
    }
}

template <bool ToNatural>
void Reorder(TQxComplex* Dest, const TQxComplex* Src, int Log)
{
    const Tables& t = SharedTables();
    const uint16_t* half = t.permutation[Log - 1].data();
    const int n2 = 1 << (Log - 1);
    const int swap = t.pairSwap[Log];
    ReorderPairs<ToNatural, false>(Dest, Src, half, n2, 0, swap);
    ReorderPairs<ToNatural, true>(Dest, Src, half, n2, swap, n2);
}

constexpr size_t BufferBytes = QxFFTMaxPoints * sizeof(TQxComplex);

// Zeroed pages of the system's, page aligned: the windows create their
// equalizers at start-up, and a page is only touched once a transform of
// that size runs.
TQxComplex* AllocateBuffer()
{
    void* p = mmap(nullptr, BufferBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    return static_cast<TQxComplex*>(p);
}

} // namespace

void TQxFFT::FreeDeleter::operator()(TQxComplex* p) const { munmap(p, BufferBytes); }

TQxFFT::TQxFFT() : scratch_(AllocateBuffer()), data_(AllocateBuffer()) { SharedTables(); }

TQxFFT::~TQxFFT() = default;

void TQxFFT::Clear() { std::memset(data_.get(), 0, QxFFTMaxPoints * sizeof(TQxComplex)); }

void TQxFFT::FFT()
{
    const int n = FFTSizeInt();
    TQxComplex* data = data_.get();
    gKernels->entry[2 * static_cast<int>(size_)](reinterpret_cast<float*>(data));
    if (reOrder_) {
        TQxComplex* scratch = scratch_.get();
        std::memcpy(scratch, data, n * sizeof(TQxComplex));
        Reorder<true>(data, scratch, static_cast<int>(size_) + 1);
    }
}

void TQxFFT::IFFT()
{
    const int n = FFTSizeInt();
    TQxComplex* data = data_.get();
    if (scale_) {
        const float factor = 1.0f / static_cast<float>(n);
        float* f = reinterpret_cast<float*>(data);
        for (int i = 0; i < 2 * n; ++i)
            f[i] *= factor;
    }
    if (reOrder_) {
        TQxComplex* scratch = scratch_.get();
        std::memcpy(scratch, data, n * sizeof(TQxComplex));
        Reorder<false>(data, scratch, static_cast<int>(size_) + 1);
    }
    gKernels->entry[2 * static_cast<int>(size_) + 1](reinterpret_cast<float*>(data));
}

std::span<const uint16_t> FFTPermutation(int N)
{
    const int log = std::countr_zero(static_cast<unsigned>(N));
    if (N < 2 || N > QxFFTMaxPoints || !std::has_single_bit(static_cast<unsigned>(N)))
        return {};
    return SharedTables().permutation[log];
}

std::span<const TQxComplex> FFTTwiddles(int N)
{
    const int log = std::countr_zero(static_cast<unsigned>(N));
    if (N < 32 || N > QxFFTMaxPoints || !std::has_single_bit(static_cast<unsigned>(N)))
        return {};
    return SharedTables().twiddles[log];
}

TFFTKernelSet ActiveFFTKernelSet()
{
    SharedTables();
    return gKernels == &PortableKernels ? TFFTKernelSet::Portable : TFFTKernelSet::Avx2;
}

bool SelectFFTKernelSet(TFFTKernelSet Set)
{
    SharedTables();
    if (Set == TFFTKernelSet::Avx2 && !Avx2Usable())
        return false;
    gKernels = Set == TFFTKernelSet::Avx2 ? FFTAvx2Kernels() : &PortableKernels;
    return true;
}

} // namespace kolvarin::dsp
