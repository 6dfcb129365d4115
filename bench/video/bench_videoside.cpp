// The play system's video side against the ffmpeg command in the same run:
// - playing a 720p H.264 clip through a graph script into the video display
//   (shown at 1280x720) for 5 s: "cpu_vs_ffmpeg" is our CPU time per second
//   of video over `ffmpeg -i clip -f null -`'s decode CPU time per second of
//   video (goal: at most 1.3; run under xvfb-run with QT_QPA_PLATFORM=xcb
//   for a real window, whose software OpenGL the display leaves for the
//   software path; the display server's own copy is not counted);
// - Play to the first frame shown for a local file, the graph script's
//   code taken from the cache: "first_frame_ms" (goal: at most 300), and
//   "cold_first_frame_ms" with the script compiled first.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"
#include "playback/ksystem.h"
#include "video/dskitvideowindow.h"
#include "video/kdirectshowside.h"
#include "videoplayer.h"

using namespace kolvarin;
namespace fx = ktest::media;
namespace fs = std::filesystem;

namespace {

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

// Runs the event loop until done() (checked every millisecond) or ms have
// passed; the milliseconds taken.
double RunUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return timer.nsecsElapsed() / 1e6;
}

// The video player with the graph scripts of the source tree and a fresh
// compiled-code cache, its display at 1280x720.
class Player : public ktest::VideoPlayer {
public:
    Player()
    {
        const fs::path folder = fs::temp_directory_path() / "kolvarin-bench-videoside";
        fs::remove_all(folder);
        Open(folder);
        UseSourceScripts();
        Config->SetDefaultFilters();
        StartSystem();
        side->Display().resize(1280, 720);
        side->Display().show();
    }
    // Plays the clip; the milliseconds from Play until a frame is shown.
    double PlayToFirstFrame(const fs::path& clip)
    {
        PlaylistClear();
        const int index = Add(clip);
        QElapsedTimer timer;
        timer.start();
        system->Play(index);
        auto renderer = side->Display().GetFilter();
        RunUntil([&] { return !media::CurrentVideoImage(renderer.get()).isNull(); }, 5000);
        return timer.nsecsElapsed() / 1e6;
    }
};

double FfmpegCpuSeconds(const fs::path& clip)
{
    const double before = CpuSeconds(RUSAGE_CHILDREN);
    const std::string cmd = "ffmpeg -nostdin -loglevel error -i \"" + clip.string() + "\" -f null -";
    if (std::system(cmd.c_str()) != 0)
        return 0;
    return CpuSeconds(RUSAGE_CHILDREN) - before;
}

void BM_VideoSidePlay720p(benchmark::State& state)
{
    const auto clip = fx::TimedClip("bench720.mp4", 6, 1280, 720, 25);
    double ratio = 0;
    for (auto _ : state) {
        Player player;
        player.PlayToFirstFrame(clip);
        const double before = CpuSeconds(RUSAGE_SELF);
        const double ms = RunUntil([] { return false; }, 5000);
        const double cpu = CpuSeconds(RUSAGE_SELF) - before;
        player.system->Stop(true);
        const double ffmpeg = FfmpegCpuSeconds(clip);
        ratio = ffmpeg > 0 ? (cpu / (ms / 1000)) / (ffmpeg / 6.0) : 0;
    }
    state.counters["cpu_vs_ffmpeg"] = ratio;
}

void BM_PlayToFirstFrame(benchmark::State& state)
{
    const auto clip = fx::TimedClip("bench720.mp4", 6, 1280, 720, 25);
    double cold = 0, warm = 0;
    for (auto _ : state) {
        Player player;
        cold = player.PlayToFirstFrame(clip);
        player.system->Stop(true);
        warm = player.PlayToFirstFrame(clip);
    }
    state.counters["cold_first_frame_ms"] = cold;
    state.counters["first_frame_ms"] = warm;
}

} // namespace

BENCHMARK(BM_VideoSidePlay720p)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PlayToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (qgetenv("SDL_AUDIODRIVER").isEmpty())
        qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
