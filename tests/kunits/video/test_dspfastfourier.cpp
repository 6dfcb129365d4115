#include "video/dspfastfourier.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using namespace kolvarin::dsp;

namespace {

using CD = std::complex<double>;

std::vector<CD> RandomSignal(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<CD> v(n);
    for (CD& c : v)
        c = {dist(rng), dist(rng)};
    return v;
}

// Plain DFT in double precision, A[k] = sum a[j] e^(+2 pi i jk/n); the
// twiddle index is reduced mod n so large sizes keep their accuracy. The
// reference is not what the sanitizers check: unchecked plain doubles take
// a second where std::complex took twenty in the unoptimised sanitizer build.
__attribute__((no_sanitize("address", "undefined"))) std::vector<CD> NaiveDFT(const std::vector<CD>& in)
{
    const int n = static_cast<int>(in.size());
    std::vector<double> twiddles(2 * n), samples(2 * n);
    for (int k = 0; k < n; ++k) {
        twiddles[2 * k] = std::cos(2.0 * M_PI * k / n);
        twiddles[2 * k + 1] = std::sin(2.0 * M_PI * k / n);
        samples[2 * k] = in[k].real();
        samples[2 * k + 1] = in[k].imag();
    }
    const double* w = twiddles.data();
    const double* a = samples.data();
    std::vector<CD> out(n);
    for (int k = 0; k < n; ++k) {
        double re = 0, im = 0;
        int index = 0;
        for (int j = 0; j < n; ++j) {
            re += a[2 * j] * w[2 * index] - a[2 * j + 1] * w[2 * index + 1];
            im += a[2 * j] * w[2 * index + 1] + a[2 * j + 1] * w[2 * index];
            index += k;
            if (index >= n)
                index -= n;
        }
        out[k] = {re, im};
    }
    return out;
}

void Load(TQxFFT& fft, const std::vector<CD>& v)
{
    for (size_t i = 0; i < v.size(); ++i)
        fft.Data()[i] = {static_cast<float>(v[i].real()), static_cast<float>(v[i].imag())};
}

double MaxError(const TQxComplex* got, const std::vector<CD>& want, const uint16_t* order = nullptr)
{
    double worst = 0;
    for (size_t k = 0; k < want.size(); ++k) {
        const TQxComplex g = got[order ? order[k] : k];
        worst = std::max(worst, std::abs(CD(g.re, g.im) - want[k]));
    }
    return worst;
}

TQxFFTSize SizeOf(int log2n) { return static_cast<TQxFFTSize>(log2n - 1); }

// Every kernel set this processor can run; the active one is restored after.
class KernelSets {
public:
    KernelSets() : saved_(ActiveFFTKernelSet())
    {
        for (TFFTKernelSet set : {TFFTKernelSet::Portable, TFFTKernelSet::Avx2})
            if (SelectFFTKernelSet(set))
                sets_.push_back(set);
        SelectFFTKernelSet(saved_);
    }
    ~KernelSets() { SelectFFTKernelSet(saved_); }
    std::vector<TFFTKernelSet>::const_iterator begin() const { return sets_.begin(); }
    std::vector<TFFTKernelSet>::const_iterator end() const { return sets_.end(); }

private:
    TFFTKernelSet saved_;
    std::vector<TFFTKernelSet> sets_;
};

} // namespace

TEST(QxFFT, MatchesNaiveDFTAtEverySizeInBothOrders)
{
    TQxFFT fft;
    for (int log = 1; log <= 13; ++log) {
        const int n = 1 << log;
        SCOPED_TRACE(n);
        fft.SetFFTSize(SizeOf(log));
        ASSERT_EQ(fft.FFTSizeInt(), n);
        const std::vector<CD> x = RandomSignal(n, log);
        const std::vector<CD> forward = NaiveDFT(x);
        // float rounding grows like sqrt(log n); the signal's bins grow like sqrt(n)
        const double tolerance = 2e-6 * std::sqrt(double(n)) * log;
        // The inverse has the opposite sign, so it is the forward result with
        // frequency k read at n - k, and the 1/N factor.
        std::vector<CD> inverse(n);
        for (int k = 0; k < n; ++k)
            inverse[k] = forward[(n - k) % n];
        std::vector<CD> scaledInverse = inverse;
        for (CD& c : scaledInverse)
            c /= n;

        for (TFFTKernelSet set : KernelSets()) {
            SCOPED_TRACE(static_cast<int>(set));
            SelectFFTKernelSet(set);
            fft.SetReOrder(true);
            Load(fft, x);
            fft.FFT();
            EXPECT_LT(MaxError(fft.Data(), forward), tolerance);

            fft.SetReOrder(false);
            Load(fft, x);
            fft.FFT();
            EXPECT_LT(MaxError(fft.Data(), forward, FFTPermutation(n).data()), tolerance);

            fft.SetReOrder(true);
            fft.SetScale(false);
            Load(fft, x);
            fft.IFFT();
            EXPECT_LT(MaxError(fft.Data(), inverse), tolerance);

            fft.SetScale(true);
            Load(fft, x);
            fft.IFFT();
            EXPECT_LT(MaxError(fft.Data(), scaledInverse), tolerance / n + 1e-7);
        }
    }
}

TEST(QxFFT, RoundTripsWithAndWithoutReordering)
{
    TQxFFT fft;
    fft.SetScale(true);
    for (TFFTKernelSet set : KernelSets()) {
        SelectFFTKernelSet(set);
        for (int log = 1; log <= 13; ++log) {
            const int n = 1 << log;
            fft.SetFFTSize(SizeOf(log));
            const std::vector<CD> x = RandomSignal(n, 100 + log);
            for (bool reorder : {true, false}) {
                fft.SetReOrder(reorder);
                Load(fft, x);
                fft.FFT();
                fft.IFFT();
                EXPECT_LT(MaxError(fft.Data(), x), 2e-6 * log)
                    << "set " << static_cast<int>(set) << " size " << n << " reorder " << reorder;
            }
        }
    }
}

TEST(QxFFT, PermutationTablesAreTheSplitRadixOrder)
{
    const std::vector<uint16_t> p2{0, 1}, p4{0, 2, 1, 3}, p8{0, 4, 2, 7, 1, 5, 3, 6},
        p16{0, 8, 4, 14, 2, 10, 7, 13, 1, 9, 5, 15, 3, 11, 6, 12};
    auto table = [](int n) {
        auto s = FFTPermutation(n);
        return std::vector<uint16_t>(s.begin(), s.end());
    };
    EXPECT_EQ(table(2), p2);
    EXPECT_EQ(table(4), p4);
    EXPECT_EQ(table(8), p8);
    EXPECT_EQ(table(16), p16);
    for (int n = 2; n <= 8192; n *= 2) {
        std::vector<uint16_t> sorted = table(n);
        ASSERT_EQ(static_cast<int>(sorted.size()), n);
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(sorted[i], i) << "not a permutation at " << n;
    }
    EXPECT_TRUE(FFTPermutation(3).empty());
    EXPECT_TRUE(FFTPermutation(16384).empty());
}

TEST(QxFFT, TwiddleTablesHoldAQuarterOrAnOctant)
{
    EXPECT_TRUE(FFTTwiddles(16).empty());
    for (int n = 32; n <= 8192; n *= 2) {
        SCOPED_TRACE(n);
        auto w = FFTTwiddles(n);
        const int m = n <= 512 ? n / 4 : n / 8;
        ASSERT_EQ(static_cast<int>(w.size()), m - 1);
        for (int k = 1; k < m; ++k) {
            EXPECT_EQ(w[k - 1].re, static_cast<float>(std::cos(2 * M_PI * k / n)));
            EXPECT_EQ(w[k - 1].im, static_cast<float>(std::sin(2 * M_PI * k / n)));
        }
    }
}

TEST(QxFFT, ImpulseAtOneUsesThePositiveExponent)
{
    TQxFFT fft;
    fft.SetFFTSize(TQxFFTSize::fts4);
    fft.Data()[1] = {1, 0};
    fft.FFT();
    const TQxComplex want[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(fft.Data()[k].re, want[k].re) << k;
        EXPECT_FLOAT_EQ(fft.Data()[k].im, want[k].im) << k;
    }
}

TEST(QxFFT, StartsClearedWithDefaultsAndClearEmptiesTheWholeBuffer)
{
    TQxFFT fft;
    EXPECT_EQ(fft.FFTSize(), TQxFFTSize::fts512);
    EXPECT_TRUE(fft.Scale());
    EXPECT_TRUE(fft.ReOrder());
    for (int i = 0; i < QxFFTMaxPoints; ++i)
        ASSERT_TRUE(fft.Data()[i].re == 0 && fft.Data()[i].im == 0);
    fft.Data()[QxFFTMaxPoints - 1] = {1, 2};
    fft.Clear();
    EXPECT_EQ(fft.Data()[QxFFTMaxPoints - 1].re, 0);
    EXPECT_EQ(fft.Data()[QxFFTMaxPoints - 1].im, 0);
}
