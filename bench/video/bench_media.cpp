// The media framework against the ffmpeg command in the same run:
// - decoding a generated 1080p H.264 clip (video and audio) through the graph
//   into null renderers, against `ffmpeg -i clip -f null -`: the counter
//   "speed_vs_ffmpeg" is ffmpeg's wall time over ours (goal: at least 0.8);
// - playing a 720p clip in real time through the video renderer's software
//   path: "cpu_vs_ffmpeg" is our CPU time per second of video over ffmpeg's
//   decode CPU time per second of video;
// - seeking to a key frame while playing: "seek_ms" until the first new
//   picture is shown (goal: at most 100).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <QApplication>

#include "media/controlif.h"
#include "media/graphif.h"
#include "media/uuids.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"

using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

using Clock = std::chrono::steady_clock;

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

void BM_Play720pSoftware(benchmark::State& state)
{
    const auto clip = fx::TimedClip("bench720.mp4", 6, 1280, 720, 25);
    double ratio = 0;
    for (auto _ : state) {
        auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
        graph->RenderFile(U16(clip), {});
        auto window = graph.as<IVideoWindow>();
        window->SetWindowPosition(0, 0, 1280, 720);
        window->put_Visible(true);
        const double cpuBefore = CpuSeconds(RUSAGE_SELF);
        const auto start = Clock::now();
        graph.as<IMediaControl>()->Run();
        const auto end = start + std::chrono::seconds(5);
        while (Clock::now() < end)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore;
        graph.as<IMediaControl>()->Stop();
        double ffmpegCpu = 0;
        FfmpegSeconds(clip, &ffmpegCpu);
        ratio = (cpu / Seconds(Clock::now() - start)) / (ffmpegCpu / 6.0);
    }
    state.counters["cpu_vs_ffmpeg"] = ratio;
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
BENCHMARK(BM_SeekToKeyFrame)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
