#pragma once

// Private to the FFT: the transform kernels as templates over the vector
// width, built once per instruction set by the files that include this.
// Nothing here may call an out-of-line library function: a copy compiled for
// a wider instruction set could be picked by the linker for every caller.

#include <cstdint>
#include <utility>

namespace kolvarin::dsp {

constexpr int FFTMaxLog2 = 13;

// Per size (index log2 N, from 8 points on), the combination pass's w^k for
// k = 0 .. N/4 - 1 in blocks of four: (c0, c0, c1, c1, c2, c2, c3, c3) then
// (-s0, s0, -s1, s1, -s2, s2, -s3, s3), so w * z = re-part * z +
// im-part * swap(z). Set once with the shared tables, read-only after.
extern const float* FFTPassTwiddles[FFTMaxLog2 + 1];

using FFTKernel = void (*)(float*);
// Two entry points per size, forward then inverse: index 2 * (log2 N - 1) + inverse.
struct FFTKernelTable {
    FFTKernel entry[2 * FFTMaxLog2];
};

// The kernels built for AVX2 with FMA, or nullptr in a build without them.
const FFTKernelTable* FFTAvx2Kernels();

namespace {

template <int W>
struct Vec;
template <>
struct Vec<4> {
    using F = float __attribute__((vector_size(16)));
    using I = int32_t __attribute__((vector_size(16)));
    static constexpr I SignRe = {INT32_MIN, 0, INT32_MIN, 0};
};
template <>
struct Vec<8> {
    using F = float __attribute__((vector_size(32)));
    using I = int32_t __attribute__((vector_size(32)));
    static constexpr I SignRe = {INT32_MIN, 0, INT32_MIN, 0, INT32_MIN, 0, INT32_MIN, 0};
};

using V4 = Vec<4>::F;
using I4 = Vec<4>::I;

template <int W>
inline typename Vec<W>::F Load(const float* p)
{
    typename Vec<W>::F v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}
template <typename V>
inline void Store(float* p, V v)
{
    __builtin_memcpy(p, &v, sizeof v);
}
template <typename V>
inline V Xor(V v, decltype(Vec<sizeof(V) / 4>::SignRe) mask)
{
    return reinterpret_cast<V>(reinterpret_cast<decltype(mask)>(v) ^ mask);
}
template <typename V>
inline V SwapReIm(V v)
{
    if constexpr (sizeof(V) == 16)
        return __builtin_shufflevector(v, v, 1, 0, 3, 2);
    else
        return __builtin_shufflevector(v, v, 1, 0, 3, 2, 5, 4, 7, 6);
}
// i * z for every value.
template <typename V>
inline V MulI(V z)
{
    return Xor(SwapReIm(z), Vec<sizeof(V) / 4>::SignRe);
}

// Sub-arrays start on multiples of two complex values, so the narrow vector
// always fits; the wide one serves from eight points per quarter.
template <int W, int N>
constexpr int PassWidth = (N / 2 >= W) ? W : 4;

// The combination pass of N points over its four quarters q0..q3.
// Forward (decimation in frequency): the first half gets the even
// frequencies, the third quarter 4k + 1, the last quarter 4k - 1, each in
// its own order. Inverse: the mirror image, joining the sub-transforms.
template <int W, int N, bool Inverse>
inline void Combine(float* a)
{
    constexpr int Q = N / 2; // floats per quarter
    constexpr int VW = PassWidth<W, N>;
    const float* w = FFTPassTwiddles[__builtin_ctz(N)];
    for (int k = 0; k < Q; k += VW) {
        const float* t = w + 16 * (k / 8) + (k % 8);
        const auto q0 = Load<VW>(a + k), q1 = Load<VW>(a + Q + k);
        const auto q2 = Load<VW>(a + 2 * Q + k), q3 = Load<VW>(a + 3 * Q + k);
        const auto wr = Load<VW>(t), wi = Load<VW>(t + 8);
        if constexpr (!Inverse) {
            const auto u = q0 - q2;
            const auto iv = MulI(q1 - q3);
            const auto p = u + iv, m = u - iv;
            Store(a + k, q0 + q2);
            Store(a + Q + k, q1 + q3);
            Store(a + 2 * Q + k, wr * p + wi * SwapReIm(p));
            Store(a + 3 * Q + k, wr * m - wi * SwapReIm(m));
        } else {
            const auto t2 = wr * q2 - wi * SwapReIm(q2);
            const auto t3 = wr * q3 + wi * SwapReIm(q3);
            const auto s = t2 + t3;
            const auto id = MulI(t2 - t3);
            Store(a + k, q0 + s);
            Store(a + 2 * Q + k, q0 - s);
            Store(a + Q + k, q1 - id);
            Store(a + 3 * Q + k, q1 + id);
        }
    }
}

// (a0, a1) -> (a0 + a1, a0 - a1)
inline V4 Butterfly2(V4 v)
{
    const V4 lo = __builtin_shufflevector(v, v, 0, 1, 0, 1);
    const V4 hi = __builtin_shufflevector(v, v, 2, 3, 2, 3);
    return lo + Xor(hi, I4{0, 0, INT32_MIN, INT32_MIN});
}

// Sizes up to InlineLimit are expanded into their callers: for them a call
// costs as much as the arithmetic.
constexpr int InlineLimit = 32;

// The forward transform (decimation in frequency) or the inverse (in time)
// of N points, each as one out-of-line function.
template <int W, int N, bool Inverse>
void Transform(float* a);

template <int W, int N, bool Inverse>
[[gnu::always_inline]] inline void TransformBody(float* a);

template <int W, int N, bool Inverse>
[[gnu::always_inline]] inline void TransformStep(float* a)
{
    if constexpr (N <= InlineLimit)
        TransformBody<W, N, Inverse>(a);
    else
        Transform<W, N, Inverse>(a);
}

template <int W, int N, bool Inverse>
[[gnu::always_inline]] inline void TransformBody(float* a)
{
    if constexpr (N == 2) {
        Store(a, Butterfly2(Load<4>(a)));
    } else if constexpr (N == 4 && !Inverse) {
        const V4 v0 = Load<4>(a), v1 = Load<4>(a + 4);
        const V4 s = v0 + v1; // (a0 + a2, a1 + a3)
        const V4 d = v0 - v1; // (u, v)
        Store(a, Butterfly2(s));
        // (u, u) + (i v, -i v)
        const V4 uu = __builtin_shufflevector(d, d, 0, 1, 0, 1);
        const V4 iv = Xor(__builtin_shufflevector(d, d, 3, 2, 3, 2), I4{INT32_MIN, 0, 0, INT32_MIN});
        Store(a + 4, uu + iv);
    } else if constexpr (N == 4) {
        const V4 ef = Butterfly2(Load<4>(a)); // (b0 + b1, b0 - b1)
        const V4 sd = Butterfly2(Load<4>(a + 4)); // (b2 + b3, b2 - b3)
        // (s, -i d)
        const V4 t = Xor(__builtin_shufflevector(sd, sd, 0, 1, 3, 2), I4{0, 0, 0, INT32_MIN});
        Store(a, ef + t);
        Store(a + 4, ef - t);
    } else if constexpr (!Inverse) {
        Combine<W, N, false>(a);
        TransformStep<W, N / 4, false>(a + N);
        TransformStep<W, N / 4, false>(a + 3 * N / 2);
        TransformStep<W, N / 2, false>(a);
    } else {
        TransformStep<W, N / 2, true>(a);
        TransformStep<W, N / 4, true>(a + N);
        TransformStep<W, N / 4, true>(a + 3 * N / 2);
        Combine<W, N, true>(a);
    }
}

template <int W, int N, bool Inverse>
void Transform(float* a)
{
    TransformBody<W, N, Inverse>(a);
}

template <int W, int... Logs>
constexpr FFTKernelTable MakeFFTKernels(std::integer_sequence<int, Logs...>)
{
    return FFTKernelTable{{&Transform<W, (2 << (Logs / 2)), Logs % 2 == 1>...}};
}

// The 26 entry points built with vectors of W floats.
template <int W>
constexpr FFTKernelTable MakeFFTKernels()
{
    return MakeFFTKernels<W>(std::make_integer_sequence<int, 2 * FFTMaxLog2>{});
}

} // namespace

} // namespace kolvarin::dsp
