// What the built program costs the sound server: the program runs on a
// private X server against a private PulseAudio server with a null sink, and
// the CPU time of both is read from the kernel while the program is idle
// (nothing played since its start), plays a FLAC file and plays a 720p H.264
// video; then the time from a Play command to the first sound that reaches
// the sink. When KOLVARIN_BENCH_BEFORE names another build of the program,
// it runs in the same way against the same server and each figure of ours is
// also given as a ratio to it ("before" figures on the same machine in the
// same run).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include "ipc/pipe.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kIdleSeconds = 10;
constexpr int kFlacSeconds = 20;
constexpr int kVideoSeconds = 15;
constexpr int kFirstSoundRuns = 5;
// Long enough for a program that lets its output go while idle to have done so.
constexpr auto kIdleSettle = 4s;

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, const char* out = nullptr)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp, argv;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> copy = args;
    for (auto& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out ? out : "/dev/null", O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(50ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// The CPU time of every thread of a process, in seconds, from the scheduler's
// own nanosecond account.
double CpuSeconds(pid_t pid)
{
    double total = 0;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long ns = 0;
        if (in >> ns)
            total += static_cast<double>(ns) / 1e9;
    }
    return total;
}

struct Cost {
    double program = 0; // percent of one core
    double server = 0;
};

Cost Measure(pid_t program, pid_t server, int seconds)
{
    const double p0 = CpuSeconds(program), s0 = CpuSeconds(server);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    return {(CpuSeconds(program) - p0) / wall * 100, (CpuSeconds(server) - s0) / wall * 100};
}

// A private PulseAudio server with one null sink, 44.1 kHz stereo.
class SoundServer {
public:
    explicit SoundServer(const fs::path& dir) : dir_(dir)
    {
        fs::create_directories(dir_ / "runtime");
        socket_ = (dir_ / "runtime" / "native").string();
        pid_ = Spawn({"/usr/bin/pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                      "--log-target=stderr", "-L", "module-null-sink sink_name=bench rate=44100", "-L",
                      "module-native-protocol-unix auth-anonymous=1 socket=" + socket_},
                     Env(), (dir_ / "pulseaudio.log").c_str());
        for (int i = 0; i < 100 && !fs::exists(socket_); ++i)
            std::this_thread::sleep_for(50ms);
    }
    ~SoundServer() { Stop(pid_); }
    bool Ready() const { return pid_ > 0 && fs::exists(socket_); }
    pid_t Pid() const { return pid_; }
    // What a client of this server needs in its environment.
    std::vector<std::string> Env() const
    {
        return {"PULSE_RUNTIME_PATH=" + (dir_ / "runtime").string(), "PULSE_SERVER=unix:" + socket_,
                "PULSE_COOKIE=" + (dir_ / "cookie").string()};
    }

private:
    fs::path dir_;
    std::string socket_;
    pid_t pid_ = 0;
};

// Xvfb on a random high display, 1280 x 800.
class XServer {
public:
    XServer()
    {
        std::mt19937 pick(static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(std::time(nullptr)));
        for (int attempt = 0; attempt < 10 && pid_ == 0; ++attempt) {
            const int display = 200 + static_cast<int>(pick() % 700);
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
            if (fs::exists(socket))
                continue;
            pid_ = Spawn(
                {"/usr/bin/Xvfb", ":" + std::to_string(display), "-screen", "0", "1280x800x24", "-nolisten", "tcp"},
                {});
            for (int i = 0; i < 100 && !fs::exists(socket); ++i)
                std::this_thread::sleep_for(50ms);
            if (!fs::exists(socket)) {
                Stop(pid_);
                pid_ = 0;
                continue;
            }
            name_ = ":" + std::to_string(display);
        }
    }
    ~XServer() { Stop(pid_); }
    bool Ready() const { return pid_ > 0; }
    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = 0;
    std::string name_;
};

// Records the sink's monitor and tells when the first sound after silence
// came: the time the sample reached the sink, as near as the recorder's
// 5 ms fragments tell.
class FirstSound {
public:
    explicit FirstSound(const std::vector<std::string>& env)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        std::vector<std::string> all;
        for (char** e = environ; *e; ++e)
            all.emplace_back(*e);
        all.insert(all.end(), env.begin(), env.end());
        std::vector<char*> envp;
        for (auto& e : all)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const char* argv[] = {"/usr/bin/parec", "-d",           "bench.monitor",    "--raw", "--format=s16le",
                              "--channels=2",   "--rate=44100", "--latency-msec=5", nullptr};
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), envp.data()) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        fd_ = fds[0];
        reader_ = std::thread([this] { Read(); });
    }
    ~FirstSound()
    {
        stop_ = true;
        Stop(pid_);
        if (reader_.joinable())
            reader_.join();
        if (fd_ >= 0)
            close(fd_);
    }
    // Waits until the recorder has delivered silence for a while.
    bool WaitForSilence(std::chrono::milliseconds quiet)
    {
        const auto end = Clock::now() + 10s;
        while (Clock::now() < end) {
            if (silentSince_.load() != Clock::time_point{} && Clock::now() - silentSince_.load() >= quiet)
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }
    // The first sound after `after`, waiting up to 5 s.
    std::optional<Clock::time_point> WaitForSound(Clock::time_point after)
    {
        const auto end = Clock::now() + 5s;
        while (Clock::now() < end) {
            const auto at = soundAt_.load();
            if (at != Clock::time_point{} && at >= after)
                return at;
            std::this_thread::sleep_for(1ms);
        }
        return std::nullopt;
    }

private:
    void Read()
    {
        std::vector<int16_t> buffer(4096);
        bool silent = false;
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = read(fd_, buffer.data(), buffer.size() * sizeof(int16_t));
            if (n <= 0)
                return;
            const auto now = Clock::now();
            const size_t samples = static_cast<size_t>(n) / sizeof(int16_t);
            size_t first = samples;
            for (size_t i = 0; i < samples; ++i)
                if (std::abs(buffer[i]) > 64) {
                    first = i;
                    break;
                }
            if (first == samples) {
                if (!silent)
                    silentSince_ = now;
                silent = true;
                continue;
            }
            if (silent) {
                const auto behind = std::chrono::microseconds((samples - first) / 2 * 1000000 / 44100);
                soundAt_ = now - behind;
            }
            silent = false;
            silentSince_ = Clock::time_point{};
        }
    }

    pid_t pid_ = 0;
    int fd_ = -1;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    std::atomic<Clock::time_point> silentSince_{};
    std::atomic<Clock::time_point> soundAt_{};
};

struct Media {
    fs::path flac, shortFlac, video;
};

std::optional<Media> MakeMedia(const fs::path& dir)
{
    Media m{dir / "music.flac", dir / "short.flac", dir / "video.mp4"};
    const std::string ff = "ffmpeg -nostdin -y -hide_banner -loglevel error ";
    const std::string tone = "-f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=";
    if (!Run(ff + tone + std::to_string(kFlacSeconds + 20) + "' -ac 2 -c:a flac '" + m.flac.string() + "'") ||
        !Run(ff + tone + "1' -ac 2 -c:a flac '" + m.shortFlac.string() + "'") ||
        !Run(ff + "-f lavfi -i 'testsrc2=size=1280x720:rate=30:duration=" + std::to_string(kVideoSeconds + 20) + "' " +
             tone + std::to_string(kVideoSeconds + 20) +
             "' -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 '" + m.video.string() + "'"))
        return std::nullopt;
    return m;
}

struct Figures {
    Cost idle, flac, video;
    double firstSoundMs = 0;
    std::string problem;
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Waits for a trace line holding text (UTF-16LE) on the viewer socket.
bool WaitForTrace(int fd, const std::u16string& text)
{
    const std::string needle(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    const auto end = Clock::now() + 30s;
    std::string buffer(65536, '\0');
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0)
            continue;
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
        if (n > 0 && std::string(buffer.data(), static_cast<size_t>(n)).find(needle) != std::string::npos)
            return true;
    }
    return false;
}

// One program from its start to its end against the server.
Figures RunProgram(const std::string& exe, const Media& media, const SoundServer& sound, const XServer& x,
                   const fs::path& home)
{
    Figures f;
    fs::create_directories(home);
    const std::string traceSocket = (home / "trace.socket").string();
    const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    traceSocket.copy(address.sun_path, sizeof address.sun_path - 1);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    std::vector<std::string> env = sound.Env();
    env.insert(env.end(), {"KOLVARIN_HOME=" + home.string(), "HOME=" + home.string(), "DISPLAY=" + x.Name(),
                           "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=pulseaudio"});
    const pid_t pid = Spawn({exe}, env, (home / "output.log").c_str());
    const bool started = WaitForTrace(fd, u"Project - Run application...");
    // Nobody listens from now on: the program's trace lines cost it nothing more.
    close(fd);
    fs::remove(traceSocket);
    if (!started) {
        f.problem = "the program never reached its message loop";
        Stop(pid);
        return f;
    }
    const auto play = [&](const fs::path& file) {
        try {
            kolvarin::ipc::TKPipeClient(home.string() + "/kolvarin.pipe")
                .SendString('"' + exe + "\" /play " + file.string(), 1000);
            return true;
        } catch (const kolvarin::ipc::EPipeError&) {
            return false;
        }
    };
    std::this_thread::sleep_for(kIdleSettle);
    f.idle = Measure(pid, sound.Pid(), kIdleSeconds);

    std::vector<double> firstSound;
    {
        FirstSound recorder(sound.Env());
        for (int run = 0; run < kFirstSoundRuns && f.problem.empty(); ++run) {
            if (!recorder.WaitForSilence(500ms)) {
                f.problem = "the sink never fell silent";
                break;
            }
            // The one-second file has ended; the program has been idle long enough.
            std::this_thread::sleep_for(kIdleSettle);
            const auto sent = Clock::now();
            if (!play(media.shortFlac)) {
                f.problem = "the program took no Play command";
                break;
            }
            const auto heard = recorder.WaitForSound(sent);
            if (!heard) {
                f.problem = "no sound reached the sink";
                break;
            }
            firstSound.push_back(std::chrono::duration<double, std::milli>(*heard - sent).count());
        }
    }
    f.firstSoundMs = Median(firstSound);
    if (f.problem.empty() && play(media.flac)) {
        std::this_thread::sleep_for(2s);
        f.flac = Measure(pid, sound.Pid(), kFlacSeconds);
    }
    if (f.problem.empty() && play(media.video)) {
        std::this_thread::sleep_for(3s);
        f.video = Measure(pid, sound.Pid(), kVideoSeconds);
    }
    Stop(pid);
    return f;
}

void Report(benchmark::State& state, const std::string& prefix, const Figures& f)
{
    state.counters[prefix + "idle_program_pct"] = f.idle.program;
    state.counters[prefix + "idle_server_pct"] = f.idle.server;
    state.counters[prefix + "idle_together_pct"] = f.idle.program + f.idle.server;
    state.counters[prefix + "flac_program_pct"] = f.flac.program;
    state.counters[prefix + "flac_server_pct"] = f.flac.server;
    state.counters[prefix + "flac_together_pct"] = f.flac.program + f.flac.server;
    state.counters[prefix + "video_program_pct"] = f.video.program;
    state.counters[prefix + "video_server_pct"] = f.video.server;
    state.counters[prefix + "first_sound_ms"] = f.firstSoundMs;
}

void BM_SoundServerCost(benchmark::State& state)
{
    for (const char* tool : {"/usr/bin/pulseaudio", "/usr/bin/parec", "/usr/bin/Xvfb"})
        if (!fs::exists(tool)) {
            state.SkipWithError((std::string(tool) + " is missing (scripts/packages/bench)").c_str());
            return;
        }
    std::string pattern = (fs::temp_directory_path() / "kolvarin-bench-XXXXXX").string();
    const fs::path dir = mkdtemp(pattern.data());
    const auto media = MakeMedia(dir);
    Figures ours, before;
    const char* beforeExe = std::getenv("KOLVARIN_BENCH_BEFORE");
    for (auto _ : state) {
        if (!media) {
            state.SkipWithError("ffmpeg could not make the media");
            break;
        }
        const SoundServer sound(dir / "pulse");
        const XServer x;
        if (!sound.Ready() || !x.Ready()) {
            state.SkipWithError("the sound server or the X server did not start");
            break;
        }
        if (beforeExe && *beforeExe)
            before = RunProgram(beforeExe, *media, sound, x, dir / "before");
        ours = RunProgram(KOLVARIN_EXE, *media, sound, x, dir / "ours");
    }
    fs::remove_all(dir);
    if (!ours.problem.empty()) {
        state.SkipWithError(ours.problem.c_str());
        return;
    }
    Report(state, "", ours);
    if (beforeExe && *beforeExe && before.problem.empty()) {
        Report(state, "before_", before);
        const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0; };
        state.counters["idle_together_vs_before"] =
            ratio(ours.idle.program + ours.idle.server, before.idle.program + before.idle.server);
        state.counters["flac_together_vs_before"] =
            ratio(ours.flac.program + ours.flac.server, before.flac.program + before.flac.server);
        state.counters["video_server_vs_before"] = ratio(ours.video.server, before.video.server);
        state.counters["first_sound_vs_before"] = ratio(ours.firstSoundMs, before.firstSoundMs);
    }
}

BENCHMARK(BM_SoundServerCost)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
