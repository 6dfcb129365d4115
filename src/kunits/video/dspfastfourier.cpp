#include "video/dspfastfourier.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace kolvarin::dsp {

namespace {

constexpr int MaxLog2 = 13;
constexpr float Sqrt1_2 = 0.70710677f;
constexpr float Cos1_8Pi = 0.9238795f;
constexpr float Sin1_8Pi = 0.38268343f;

// The kernels work on interleaved (re, im) floats, two complex values per
// vector. Every sub-array a kernel touches starts on a multiple of two
// complex values, so loads never straddle a value.
using V4 = float __attribute__((vector_size(16)));
using I4 = int32_t __attribute__((vector_size(16)));

inline V4 Load(const float* p)
{
    V4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store(float* p, V4 v) { std::memcpy(p, &v, sizeof v); }
inline V4 SwapReIm(V4 v) { return __builtin_shuffle(v, I4{1, 0, 3, 2}); }
// i * z for both values.
inline V4 MulI(V4 z)
{
    return reinterpret_cast<V4>(reinterpret_cast<I4>(SwapReIm(z)) ^ I4{INT32_MIN, 0, INT32_MIN, 0});
}

struct Tables {
    std::array<std::vector<uint16_t>, MaxLog2 + 1> permutation;
    std::array<std::vector<TQxComplex>, MaxLog2 + 1> twiddles;
    // Per size from 8 points, the combination pass's w^k for k = 0 .. N/4 - 1,
    // two at a time as (cos, cos, cos', cos') then (-sin, sin, -sin', sin'), so
    // w * z = re-vector * z + im-vector * swap(z).
    std::array<std::vector<float>, MaxLog2 + 1> passTwiddles;
    Tables();
};

const float* gPassTwiddles[MaxLog2 + 1] = {};

void BuildPermutations(Tables& t)
{
    t.permutation[1] = {0, 1};
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
        for (int k = 0; k < quarter; k += 2) {
            const TQxComplex w0 = KernelTwiddle(t, log, k);
            const TQxComplex w1 = KernelTwiddle(t, log, k + 1);
            v.insert(v.end(), {w0.re, w0.re, w1.re, w1.re, -w0.im, w0.im, -w1.im, w1.im});
        }
        gPassTwiddles[log] = v.data();
    }
}

Tables::Tables()
{
    BuildPermutations(*this);
    BuildTwiddles(*this);
    BuildPassTwiddles(*this);
}

const Tables& SharedTables()
{
    static const Tables tables;
    return tables;
}

// Decimation in frequency: the first half gets the even frequencies, the
// third quarter 4k + 1, the last quarter 4k - 1, each in its own order.
template <int N>
inline void Pass(float* a)
{
    constexpr int Q = N / 2; // floats per quarter
    const float* w = gPassTwiddles[std::countr_zero(unsigned(N))];
    for (int k = 0; k < Q; k += 4, w += 8) {
        const V4 q0 = Load(a + k), q1 = Load(a + Q + k), q2 = Load(a + 2 * Q + k), q3 = Load(a + 3 * Q + k);
        const V4 u = q0 - q2;
        const V4 iv = MulI(q1 - q3);
        Store(a + k, q0 + q2);
        Store(a + Q + k, q1 + q3);
        const V4 p = u + iv, m = u - iv;
        const V4 wr = Load(w), wi = Load(w + 4);
        Store(a + 2 * Q + k, wr * p + wi * SwapReIm(p));
        Store(a + 3 * Q + k, wr * m - wi * SwapReIm(m));
    }
}

// The inverse of Pass, up to the factor 4.
template <int N>
inline void Unpass(float* a)
{
    constexpr int Q = N / 2;
    const float* w = gPassTwiddles[std::countr_zero(unsigned(N))];
    for (int k = 0; k < Q; k += 4, w += 8) {
        const V4 q0 = Load(a + k), q1 = Load(a + Q + k), q2 = Load(a + 2 * Q + k), q3 = Load(a + 3 * Q + k);
        const V4 wr = Load(w), wi = Load(w + 4);
        const V4 t2 = wr * q2 - wi * SwapReIm(q2);
        const V4 t3 = wr * q3 + wi * SwapReIm(q3);
        const V4 s = t2 + t3;
        const V4 id = MulI(t2 - t3);
        Store(a + k, q0 + s);
        Store(a + 2 * Q + k, q0 - s);
        Store(a + Q + k, q1 - id);
        Store(a + 3 * Q + k, q1 + id);
    }
}

// (a0, a1) -> (a0 + a1, a0 - a1)
inline V4 Butterfly2(V4 v)
{
    const V4 lo = __builtin_shuffle(v, I4{0, 1, 0, 1});
    const V4 hi = __builtin_shuffle(v, I4{2, 3, 2, 3});
    return lo + reinterpret_cast<V4>(reinterpret_cast<I4>(hi) ^ I4{0, 0, INT32_MIN, INT32_MIN});
}

// Sizes up to InlineLimit are expanded into their callers: for them a call
// costs as much as the arithmetic.
constexpr int InlineLimit = 32;

template <int N>
void Forward(float* a);
template <int N>
void Inverse(float* a);

template <int N>
[[gnu::always_inline]] inline void ForwardBody(float* a);
template <int N>
[[gnu::always_inline]] inline void InverseBody(float* a);

template <int N>
[[gnu::always_inline]] inline void ForwardStep(float* a)
{
    if constexpr (N <= InlineLimit)
        ForwardBody<N>(a);
    else
        Forward<N>(a);
}

template <int N>
[[gnu::always_inline]] inline void InverseStep(float* a)
{
    if constexpr (N <= InlineLimit)
        InverseBody<N>(a);
    else
        Inverse<N>(a);
}

template <int N>
[[gnu::always_inline]] inline void ForwardBody(float* a)
{
    if constexpr (N == 2) {
        Store(a, Butterfly2(Load(a)));
    } else if constexpr (N == 4) {
        const V4 v0 = Load(a), v1 = Load(a + 4);
        const V4 s = v0 + v1; // (a0 + a2, a1 + a3)
        const V4 d = v0 - v1; // (u, v)
        Store(a, Butterfly2(s));
        // (u, u) + (i v, -i v)
        const V4 uu = __builtin_shuffle(d, I4{0, 1, 0, 1});
        const V4 iv = reinterpret_cast<V4>(reinterpret_cast<I4>(__builtin_shuffle(d, I4{3, 2, 3, 2})) ^
                                           I4{INT32_MIN, 0, 0, INT32_MIN});
        Store(a + 4, uu + iv);
    } else {
        Pass<N>(a);
        ForwardStep<N / 4>(a + N);
        ForwardStep<N / 4>(a + 3 * N / 2);
        ForwardStep<N / 2>(a);
    }
}

template <int N>
[[gnu::always_inline]] inline void InverseBody(float* a)
{
    if constexpr (N == 2) {
        Store(a, Butterfly2(Load(a)));
    } else if constexpr (N == 4) {
        const V4 ef = Butterfly2(Load(a));     // (b0 + b1, b0 - b1)
        const V4 sd = Butterfly2(Load(a + 4)); // (b2 + b3, b2 - b3)
        // (s, -i d)
        const V4 t = reinterpret_cast<V4>(reinterpret_cast<I4>(__builtin_shuffle(sd, I4{0, 1, 3, 2})) ^
                                          I4{0, 0, 0, INT32_MIN});
        Store(a, ef + t);
        Store(a + 4, ef - t);
    } else {
        InverseStep<N / 2>(a);
        InverseStep<N / 4>(a + N);
        InverseStep<N / 4>(a + 3 * N / 2);
        Unpass<N>(a);
    }
}

template <int N>
void Forward(float* a)
{
    ForwardBody<N>(a);
}

template <int N>
void Inverse(float* a)
{
    InverseBody<N>(a);
}

using Kernel = void (*)(float*);

// Two entry points per size, forward then inverse: index 2 * (log2 N - 1) + inverse.
template <int... Logs>
constexpr std::array<Kernel, 2 * sizeof...(Logs)> MakeDispatch(std::integer_sequence<int, Logs...>)
{
    std::array<Kernel, 2 * sizeof...(Logs)> table{};
    int i = 0;
    ((table[i++] = &Forward<(2 << Logs)>, table[i++] = &Inverse<(2 << Logs)>), ...);
    return table;
}
constexpr auto Dispatch = MakeDispatch(std::make_integer_sequence<int, MaxLog2>{});

TQxComplex* AllocateBuffer()
{
    void* p = std::aligned_alloc(64, QxFFTMaxPoints * sizeof(TQxComplex));
    if (!p)
        throw std::bad_alloc();
    std::memset(p, 0, QxFFTMaxPoints * sizeof(TQxComplex));
    return static_cast<TQxComplex*>(p);
}

} // namespace

void TQxFFT::FreeDeleter::operator()(TQxComplex* p) const { std::free(p); }

TQxFFT::TQxFFT()
    : scratch_(AllocateBuffer())
    , data_(AllocateBuffer())
{
    SharedTables();
}

TQxFFT::~TQxFFT() = default;

void TQxFFT::Clear() { std::memset(data_.get(), 0, QxFFTMaxPoints * sizeof(TQxComplex)); }

void TQxFFT::FFT()
{
    const int n = FFTSizeInt();
    TQxComplex* data = data_.get();
    Dispatch[2 * static_cast<int>(size_)](reinterpret_cast<float*>(data));
    if (reOrder_) {
        TQxComplex* scratch = scratch_.get();
        std::memcpy(scratch, data, n * sizeof(TQxComplex));
        const uint16_t* p = SharedTables().permutation[static_cast<int>(size_) + 1].data();
        for (int k = 0; k < n; ++k)
            std::memcpy(&data[k], &scratch[p[k]], sizeof(TQxComplex));
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
        const uint16_t* p = SharedTables().permutation[static_cast<int>(size_) + 1].data();
        for (int k = 0; k < n; ++k)
            std::memcpy(&data[p[k]], &scratch[k], sizeof(TQxComplex));
    }
    Dispatch[2 * static_cast<int>(size_) + 1](reinterpret_cast<float*>(data));
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

} // namespace kolvarin::dsp
