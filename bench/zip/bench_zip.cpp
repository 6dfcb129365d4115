// Extraction of a skin-package-like archive of about 50 MB with a few
// hundred members, against Debian's unzip on the same archive in the same
// run. The counter "ratio" is our time over unzip's (below 1: faster). Both
// write into the temporary folder ($TMPDIR), so its file system's write-back
// is part of what is measured.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "codepage/codepage.h"
#include "zip/ziphandler.h"

namespace {

namespace fs = std::filesystem;

// Text-like members (about 3:1 under deflate) and incompressible ones.
std::string MemberData(std::mt19937& rng, bool text, std::size_t size)
{
    static const char* const kWords[] = {"skin",   "button",   "volume",  "playlist", "equalizer", "bitmap",
                                         "state",  "hover",    "pressed", "normal",   "window",    "seek",
                                         "bar",    "label",    "time",    "spectrum", "caption",   "border",
                                         "colour", "0x00FF00", "12",      "345"};
    std::string out;
    out.reserve(size + 16);
    while (out.size() < size) {
        if (text) {
            out += kWords[rng() % std::size(kWords)];
            out += (rng() % 9 == 0) ? '\n' : ' ';
            if (rng() % 4 == 0) {
                out += static_cast<char>('a' + rng() % 26);
            }
        } else {
            out += static_cast<char>(rng());
        }
    }
    out.resize(size);
    return out;
}

struct Corpus {
    fs::path root;
    fs::path archive;

    Corpus()
    {
        root = fs::temp_directory_path() / ("kolvarin-bench-zip-" + std::to_string(::getpid()));
        const fs::path source = root / "src";
        fs::create_directories(source);
        std::mt19937 rng(42);
        for (int i = 0; i < 300; ++i) {
            const bool text = i % 3 != 0;
            std::ofstream(source / ("member" + std::to_string(i) + (text ? ".xml" : ".bmp")), std::ios::binary)
                << MemberData(rng, text, text ? 375 * 1024 : 350 * 1024);
        }
        archive = root / "corpus.kskz";
        const std::string command = "cd '" + source.string() + "' && zip -q -r '" + archive.string() + "' .";
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("zip failed; is it installed?");
        }
    }
    ~Corpus()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_ExtractVersusUnzip(benchmark::State& state)
{
    static const Corpus corpus;
    const fs::path ours = corpus.root / "ours";
    const fs::path theirs = corpus.root / "theirs";
    fs::create_directories(ours);
    fs::create_directories(theirs);
    const std::string unzip = "unzip -o -q '" + corpus.archive.string() + "' -d '" + theirs.string() + "'";
    double oursTotal = 0;
    double theirsTotal = 0;
    bool unzipFirst = false;
    for (auto _ : state) {
        // Alternate which tool goes first, so neither always meets the
        // other's pending write-back.
        double unzipTime = 0;
        int rc = 0;
        const auto runUnzip = [&] {
            const auto start = std::chrono::steady_clock::now();
            rc = std::system(unzip.c_str());
            unzipTime = Seconds(std::chrono::steady_clock::now() - start);
        };
        if (unzipFirst) {
            runUnzip();
        }
        const auto start = std::chrono::steady_clock::now();
        kolvarin::TZipHandler zip;
        zip.Unattended = true;
        zip.SetZipFileName(kolvarin::codepage::Utf8ToUtf16(corpus.archive.string()));
        zip.ExtrBaseDir = kolvarin::codepage::Utf8ToUtf16(ours.string());
        zip.ExtrOptions = kolvarin::ExtrOverWrite;
        const int count = zip.Extract();
        const double ourTime = Seconds(std::chrono::steady_clock::now() - start);
        if (!unzipFirst) {
            runUnzip();
        }
        unzipFirst = !unzipFirst;
        if (count != 300 || rc != 0) {
            state.SkipWithError("extraction failed");
            break;
        }
        oursTotal += ourTime;
        theirsTotal += unzipTime;
        state.SetIterationTime(ourTime);
    }
    state.counters["archive_MB"] = static_cast<double>(fs::file_size(corpus.archive)) / (1 << 20);
    state.counters["kolvarin_ms"] = benchmark::Counter(oursTotal * 1000, benchmark::Counter::kAvgIterations);
    state.counters["unzip_ms"] = benchmark::Counter(theirsTotal * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = theirsTotal > 0 ? oursTotal / theirsTotal : 0;
}
BENCHMARK(BM_ExtractVersusUnzip)->UseManualTime()->Iterations(8)->Unit(benchmark::kMillisecond);

} // namespace
