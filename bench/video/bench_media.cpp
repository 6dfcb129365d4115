// The media framework against the ffmpeg command in the same run:
// - decoding a generated 1080p H.264 clip (video and audio) through the graph
//   into null renderers, against `ffmpeg -i clip -f null -`: the counter
//   "speed_vs_ffmpeg" is ffmpeg's wall time over ours (goal: at least 0.8);
// - playing a 720p clip in real time through the video renderer's software
//   path and its OpenGL path (needs a display with OpenGL, e.g. xvfb-run
//   with QT_QPA_PLATFORM=xcb, whose software rasteriser the player itself
//   leaves for the software path): "cpu_vs_ffmpeg" is our CPU time per
//   second of video over ffmpeg's decode CPU time per second of video (goal:
//   at most 1.3);
// - audio/video drift over 60 s of playback (below);
// - seeking to a key frame while playing: "seek_ms" until the first new
//   picture is shown (goal: at most 100).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "media/controlif.h"
#include "media/graphif.h"
#include "media/uuids.h"
#include "media/videorenderer.h"
#include "media/videoview.h"
#include "media_fixtures.h"

using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

using Clock = std::chrono::steady_clock;

const std::filesystem::path kHeardFile = std::filesystem::temp_directory_path() / "kolvarin-bench-heard.raw";

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

std::u16string U16(const std::filesystem::path& p)
{
    const std::string s = p.string();
    return {s.begin(), s.end()};
}

// Runs the event loop for ms milliseconds, calling tick every 10 ms.
void RunEventLoop(int ms, const std::function<void()>& tick)
{
    QEventLoop loop;
    QTimer ticks;
    if (tick) {
        QObject::connect(&ticks, &QTimer::timeout, tick);
        ticks.start(10);
    }
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Source, decoders and null renderers by hand.
ComPtr<IGraphBuilder> DecodeGraph(const std::filesystem::path& clip)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    graph->AddSourceFilter(U16(clip), u"Source", source.put());
    for (auto& pin : PinsOf(source.get(), PINDIR_OUTPUT)) {
        const auto types = MediaTypesOf(pin.get());
        auto decoder = CreateInstance<IBaseFilter>(types[0].majortype == MEDIATYPE_Video ? CLSID_FFVideoDecoder
                                                                                         : CLSID_FFAudioDecoder);
        auto sink = CreateInstance<IBaseFilter>(CLSID_NullRenderer);
        graph->AddFilter(decoder.get(), {});
        graph->AddFilter(sink.get(), {});
        graph->ConnectDirect(pin.get(), PinsOf(decoder.get(), PINDIR_INPUT)[0].get(), nullptr);
        graph->ConnectDirect(PinsOf(decoder.get(), PINDIR_OUTPUT)[0].get(), PinsOf(sink.get())[0].get(), nullptr);
    }
    return graph;
}

double FfmpegSeconds(const std::filesystem::path& clip, double* cpu)
{
    const double cpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    const auto start = Clock::now();
    const std::string cmd = "ffmpeg -nostdin -loglevel error -i \"" + clip.string() + "\" -f null -";
    if (std::system(cmd.c_str()) != 0)
        return 0;
    if (cpu)
        *cpu = CpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    return Seconds(Clock::now() - start);
}

void BM_Decode1080p(benchmark::State& state)
{
    const auto clip = fx::TimedClip("bench1080.mp4", 10, 1920, 1080, 25);
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto graph = DecodeGraph(clip);
        const auto start = Clock::now();
        graph.as<IMediaControl>()->Run();
        int32_t code = 0;
        graph.as<IMediaEvent>()->WaitForCompletion(120000, &code);
        ours += Seconds(Clock::now() - start);
        graph.as<IMediaControl>()->Stop();
        theirs += FfmpegSeconds(clip, nullptr);
    }
    state.counters["speed_vs_ffmpeg"] = ours > 0 ? theirs / ours : 0;
}

// CPU per second of video while playing the 720p clip in real time for 5 s,
// over ffmpeg's decode CPU per second of video; 0 when output is OpenGL
// but the display offers none.
double PlayCpuRatio(VideoOutput output)
{
    const auto clip = fx::TimedClip("bench720.mp4", 6, 1280, 720, 25);
    SetVideoOutput(output);
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    graph->RenderFile(U16(clip), {});
    ComPtr<IEnumFilters> filters;
    graph->EnumFilters(filters.put());
    ComPtr<IBaseFilter> f;
    bool openGL = false;
    while (filters->Next(1, f.put(), nullptr) == S_OK)
        openGL = openGL || VideoWindowUsesOpenGL(f.get());
    if (openGL != (output == VideoOutput::OpenGL))
        return 0;
    auto window = graph.as<IVideoWindow>();
    window->SetWindowPosition(0, 0, 1280, 720);
    window->put_Visible(true);
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const auto start = Clock::now();
    graph.as<IMediaControl>()->Run();
    RunEventLoop(5000, nullptr);
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
    const double played = Seconds(Clock::now() - start);
    graph.as<IMediaControl>()->Stop();
    double ffmpegCpu = 0;
    FfmpegSeconds(clip, &ffmpegCpu);
    return (cpu / played) / (ffmpegCpu / 6.0);
}

void BM_Play720pSoftware(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state)
        ratio = PlayCpuRatio(VideoOutput::Software);
    state.counters["cpu_vs_ffmpeg"] = ratio;
}

// Needs a display with OpenGL: run under xvfb-run with QT_QPA_PLATFORM=xcb.
void BM_Play720pOpenGL(benchmark::State& state)
{
    double ratio = 0;
    for (auto _ : state)
        ratio = PlayCpuRatio(VideoOutput::OpenGL);
    if (ratio == 0)
        state.SkipWithError("no OpenGL on this display");
    state.counters["cpu_vs_ffmpeg"] = ratio;
}

// Seconds of audio the device has taken (SDL's disk driver writes every
// float frame it takes to the file).
double HeardSeconds(const std::filesystem::path& file, int rate, int channels)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    return error ? 0 : double(bytes) / (4.0 * rate * channels);
}

// Drift between the graph's clock (which times the pictures) and the audio
// the device took, over 60 s of playback of a 640x360 clip with a 44.1 kHz
// mono tone: "drift_ms" (goal: at most one frame, 40 ms).
void BM_AudioVideoDrift60s(benchmark::State& state)
{
    const auto clip = fx::TimedClip("bench-drift.mp4", 70, 640, 360, 25);
    double drift = 0;
    for (auto _ : state) {
        auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
        graph->RenderFile(U16(clip), {});
        auto seeking = graph.as<IMediaSeeking>();
        graph.as<IMediaControl>()->Run();
        // The driver writes through a stdio buffer, so the file trails what
        // was taken by up to one buffer: the least offset over 2 s is the true one.
        auto leastOffset = [&] {
            double least = 1e9;
            RunEventLoop(2000, [&] {
                int64_t position = 0;
                seeking->GetCurrentPosition(&position);
                least = std::min(least, position / 1e7 - HeardSeconds(kHeardFile, 44100, 1));
            });
            return least;
        };
        RunEventLoop(3000, nullptr);
        const double early = leastOffset();
        RunEventLoop(58000, nullptr);
        const double late = leastOffset();
        drift = std::abs(late - early) * 1000;
        graph.as<IMediaControl>()->Stop();
    }
    state.counters["drift_ms"] = drift;
}

void BM_SeekToKeyFrame(benchmark::State& state)
{
    const auto clip = fx::TimedClip("bench720.mp4", 6, 1280, 720, 25);
    double totalMs = 0;
    int seeks = 0;
    for (auto _ : state) {
        auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
        graph->RenderFile(U16(clip), {});
        graph.as<IMediaControl>()->Run();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        int64_t target = 30000000; // 3 s
        const auto start = Clock::now();
        graph.as<IMediaSeeking>()->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, 0);
        totalMs += Seconds(Clock::now() - start) * 1000; // returns once the first new picture is there
        ++seeks;
        graph.as<IMediaControl>()->Stop();
    }
    state.counters["seek_ms"] = seeks ? totalMs / seeks : 0;
}

} // namespace

BENCHMARK(BM_Decode1080p)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Play720pSoftware)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Play720pOpenGL)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AudioVideoDrift60s)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SeekToKeyFrame)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The disk driver takes audio at the device's pace and shows what it took.
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", kHeardFile.c_str());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
