// Loading, saving and sorting a playlist of 100,000 entries. Each benchmark
// reports "x_read": its time over the time to read the same file's bytes,
// measured in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/system/kfilesave.h"

using namespace kolvarin;

namespace {

constexpr int kEntries = 100'000;

std::u16string wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// A file of typical entries: artist - title captions, deep paths, times and tracks.
const std::string& kplFile()
{
    static const std::string path = [] {
        std::mt19937 random(42);
        TKPlaylist list;
        for (int i = 0; i < kEntries; ++i) {
            const std::string artist = "Artist " + std::to_string(random() % 5000);
            const std::string title = "Title of song number " + std::to_string(random());
            const char* ext[] = {".mp3", ".ogg", ".flac", ".avi", ".mkv"};
            char time[16];
            std::snprintf(time, sizeof time, "00:%02u:%02u", unsigned(random() % 60), unsigned(random() % 60));
            list.Add(wide(artist + " - " + title), wide("/home/user/Music/" + artist + "/Album/" + title + ext[i % 5]),
                     false, std::to_string(random() % 30), time);
        }
        const std::string file =
            (std::filesystem::temp_directory_path() / ("kolvarin-bench-" + std::to_string(::getpid()) + ".kpl"))
                .string();
        SaveFileAtomically(file, BuildKplFile(list, 0));
        std::atexit([] { std::filesystem::remove(kplFile()); });
        return file;
    }();
    return path;
}

// Seconds to read the file's bytes: the best of several reads, page cache warm.
double readSeconds()
{
    static const double seconds = [] {
        double best = 1e9;
        std::string bytes;
        for (int i = 0; i < 20; ++i) {
            const auto start = std::chrono::steady_clock::now();
            ReadWholeFile(kplFile(), bytes);
            benchmark::DoNotOptimize(bytes.data());
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    }();
    return seconds;
}

void reportRatio(benchmark::State& state, double seconds)
{
    state.counters["x_read"] = seconds / static_cast<double>(state.iterations()) / readSeconds();
    state.counters["read_ms"] = readSeconds() * 1000;
}

template <typename Step>
double timed(Step&& step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ReadBytes(benchmark::State& state)
{
    std::string bytes;
    double seconds = 0;
    for (auto _ : state)
        seconds += timed([&] { ReadWholeFile(kplFile(), bytes); });
    reportRatio(state, seconds);
}

// The global playlist for one benchmark, filled from the file unless empty.
class GlobalPlaylist {
public:
    explicit GlobalPlaylist(bool loaded)
    {
        Playlist = &list;
        if (loaded)
            LoadPlaylistFile(kplFile(), false, true);
    }
    ~GlobalPlaylist()
    {
        PlaylistClear();
        Playlist = nullptr;
    }
    TKPlaylist list;
};

void BM_LoadKpl(benchmark::State& state)
{
    GlobalPlaylist playlist(false);
    double seconds = 0;
    for (auto _ : state) {
        // As at start-up: into an empty playlist.
        state.PauseTiming();
        PlaylistClear();
        state.ResumeTiming();
        seconds += timed([] { LoadPlaylistFile(kplFile(), false, true); });
    }
    if (playlist.list.Count() != kEntries)
        state.SkipWithError("the file did not load");
    reportRatio(state, seconds);
}

void BM_BuildKpl(benchmark::State& state)
{
    GlobalPlaylist playlist(true);
    double seconds = 0;
    for (auto _ : state)
        seconds += timed([&] { benchmark::DoNotOptimize(BuildKplFile(playlist.list, 0)); });
    reportRatio(state, seconds);
}

// A save builds the file, writes it and flushes it to disk; the flush costs
// what the disk makes it cost.
void BM_SaveKpl(benchmark::State& state)
{
    GlobalPlaylist playlist(true);
    const std::string target = kplFile() + ".saved";
    double seconds = 0;
    for (auto _ : state)
        seconds += timed([&] { SavePlaylistFile(target); });
    reportRatio(state, seconds);
    std::filesystem::remove(target);
}

void BM_Sort(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    GlobalPlaylist playlist(false);
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LoadPlaylistFile(kplFile(), false, true);
        state.ResumeTiming();
        seconds += timed([&] { playlist.list.Sort(mode); });
    }
    reportRatio(state, seconds);
}

} // namespace

BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadKpl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildKpl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveKpl)->Unit(benchmark::kMillisecond);
// Each sort starts from the file's order, reloaded outside the timing.
BENCHMARK(BM_Sort)->DenseRange(0, 7)->Iterations(10)->Unit(benchmark::kMillisecond);
