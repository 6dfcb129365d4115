// Figures of the real program on a virtual X server of its own (Xvfb), with
// the built-in skin and a fresh user folder: the main window mapped after
// exec, the resident memory once idle, and the CPU time while it plays a
// FLAC file (SDL's dummy driver stands for the sound card). Each is
// reported as a counter; the reference for the map time is an X client
// that maps a window of its own (xmessage-like, through xcb) in the same run.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <benchmark/benchmark.h>

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    std::vector<char*> argv, envp;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 500 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A virtual X server on a free display, for the lifetime of the object.
class Xvfb {
public:
    Xvfb()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"/usr/bin/Xvfb", "-displayfd", fd.c_str(), "-screen", "0",
                              "1280x1024x24",  "-nolisten",  "tcp",      nullptr};
        posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        std::string number;
        char c = 0;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty())
            display_ = ":" + number;
    }
    ~Xvfb() { Stop(pid_); }
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string display_;
};

// Watches the screen for top-level windows being mapped.
class MapWatcher {
public:
    explicit MapWatcher(const std::string& display) : c_(xcb_connect(display.c_str(), nullptr))
    {
        if (xcb_connection_has_error(c_))
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c_);
    }
    ~MapWatcher() { xcb_disconnect(c_); }
    bool Ok() const { return !xcb_connection_has_error(c_); }
    xcb_connection_t* Connection() const { return c_; }
    xcb_window_t Root() const { return root_; }

    // Waits until a window whose title begins with one of the prefixes is
    // mapped; the moment it was seen, or nothing after the time-out.
    std::optional<Clock::time_point> WaitForMap(std::initializer_list<std::string_view> prefixes,
                                                std::chrono::seconds timeout)
    {
        const Clock::time_point end = Clock::now() + timeout;
        while (Clock::now() < end) {
            xcb_generic_event_t* event = xcb_poll_for_event(c_);
            if (!event) {
                pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
                poll(&p, 1, 50);
                continue;
            }
            const Clock::time_point seen = Clock::now();
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
            const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
            free(event);
            if (!mapped)
                continue;
            const std::string title = Title(window);
            for (std::string_view prefix : prefixes)
                if (title.rfind(prefix, 0) == 0)
                    return seen;
        }
        return std::nullopt;
    }

private:
    std::string Title(xcb_window_t window)
    {
        auto cookie = xcb_get_property(c_, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c_, cookie, nullptr);
        std::string title;
        if (reply) {
            title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         static_cast<size_t>(xcb_get_property_value_length(reply)));
            free(reply);
        }
        return title;
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
};

// A virtual X server with a watcher on it.
struct Screen {
    Xvfb server;
    MapWatcher watcher{server.Display()};
};

// The screen, or null when none could be opened (the benchmark is skipped).
std::unique_ptr<Screen> OpenScreen(benchmark::State& state)
{
    auto screen = std::make_unique<Screen>();
    if (!screen->server.Display().empty() && screen->watcher.Ok())
        return screen;
    state.SkipWithError("no virtual X server (Xvfb)");
    return nullptr;
}

// The main window's title: its design caption, then "Kolvarin - " and the
// status text.
const std::initializer_list<std::string_view> kMainTitle = {"Kolvarin_Main", "Kolvarin - "};

std::vector<std::string> ProgramEnv(const std::string& display, const std::string& home)
{
    return {"DISPLAY=" + display,  "KOLVARIN_HOME=" + home, "HOME=" + home,
            "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=dummy", "PATH=/usr/bin:/bin"};
}

std::string FreshHome()
{
    char folder[] = "/tmp/kolvarin-bench-forms-XXXXXX";
    return mkdtemp(folder);
}

long Field(const std::string& file, const std::string& key)
{
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}

// User plus system time of the process in seconds.
double CpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14)
            utime = std::stoull(field);
        if (i == 15) {
            stime = std::stoull(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void BM_MainWindowMapped(benchmark::State& state)
{
    const std::unique_ptr<Screen> screen = OpenScreen(state);
    if (!screen)
        return;
    const Xvfb& server = screen->server;
    MapWatcher& watcher = screen->watcher;
    double program = 0, reference = 0, cpu = 0;
    for (auto _ : state) {
        const std::string home = FreshHome();
        const Clock::time_point start = Clock::now();
        const pid_t pid = Spawn({KOLVARIN_EXE}, ProgramEnv(server.Display(), home));
        const auto mapped = watcher.WaitForMap(kMainTitle, std::chrono::seconds(20));
        if (mapped)
            cpu += CpuSeconds(pid);
        Stop(pid);
        std::filesystem::remove_all(home);
        if (!mapped) {
            state.SkipWithError("the main window was never mapped");
            return;
        }
        program += std::chrono::duration<double>(*mapped - start).count();

        // The reference: a window of our own, created and mapped at once.
        const Clock::time_point own = Clock::now();
        xcb_connection_t* c = xcb_connect(server.Display().c_str(), nullptr);
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root, 0, 0, 380,
                          170, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 9, "reference");
        xcb_map_window(c, w);
        xcb_flush(c);
        const auto shown = watcher.WaitForMap({"reference"}, std::chrono::seconds(5));
        xcb_disconnect(c);
        if (shown)
            reference += std::chrono::duration<double>(*shown - own).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["mapped_ms"] = program / n * 1000;
    state.counters["reference_ms"] = reference / n * 1000;
    // What the program itself spent until then, which a busy machine does
    // not stretch (in clock ticks of 10 ms).
    state.counters["mapped_cpu_ms"] = cpu / n * 1000;
}

// Starts the program (with arguments), waits for its main window and lets
// it settle; the process, or -1.
pid_t StartSettled(const Xvfb& server, MapWatcher& watcher, const std::string& home,
                   const std::vector<std::string>& args, std::chrono::seconds settle)
{
    std::vector<std::string> argv{KOLVARIN_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = Spawn(argv, ProgramEnv(server.Display(), home));
    if (!watcher.WaitForMap(kMainTitle, std::chrono::seconds(20))) {
        Stop(pid);
        return -1;
    }
    std::this_thread::sleep_for(settle);
    return pid;
}

void BM_IdleResidentMemory(benchmark::State& state)
{
    const std::unique_ptr<Screen> screen = OpenScreen(state);
    if (!screen)
        return;
    const Xvfb& server = screen->server;
    MapWatcher& watcher = screen->watcher;
    double kib = 0;
    for (auto _ : state) {
        const std::string home = FreshHome();
        const pid_t pid = StartSettled(server, watcher, home, {}, std::chrono::seconds(3));
        if (pid < 0) {
            state.SkipWithError("the main window was never mapped");
            return;
        }
        kib += static_cast<double>(Field("/proc/" + std::to_string(pid) + "/status", "VmRSS:"));
        Stop(pid);
        std::filesystem::remove_all(home);
    }
    state.counters["idle_rss_mib"] = kib / static_cast<double>(state.iterations()) / 1024;
}

void BM_PlayingFlacCpu(benchmark::State& state)
{
    const std::unique_ptr<Screen> screen = OpenScreen(state);
    if (!screen)
        return;
    const Xvfb& server = screen->server;
    MapWatcher& watcher = screen->watcher;
    const std::string media = FreshHome();
    const std::string flac = media + "/tone.flac";
    const pid_t encoder = Spawn({"/usr/bin/ffmpeg", "-loglevel", "error", "-f", "lavfi", "-i",
                                 "sine=frequency=440:duration=120:sample_rate=44100", "-ac", "2", flac},
                                {"PATH=/usr/bin:/bin"});
    waitpid(encoder, nullptr, 0);
    if (!std::filesystem::exists(flac)) {
        state.SkipWithError("ffmpeg could not make the FLAC file");
        return;
    }
    constexpr double kSeconds = 10;
    double percent = 0;
    for (auto _ : state) {
        const std::string home = FreshHome();
        const pid_t pid = StartSettled(server, watcher, home, {"/play", flac}, std::chrono::seconds(2));
        if (pid < 0) {
            state.SkipWithError("the main window was never mapped");
            return;
        }
        const double before = CpuSeconds(pid);
        const Clock::time_point start = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(kSeconds));
        const double used = CpuSeconds(pid) - before;
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        percent += used / wall * 100;
        Stop(pid);
        std::filesystem::remove_all(home);
    }
    std::filesystem::remove_all(media);
    state.counters["playing_cpu_percent"] = percent / static_cast<double>(state.iterations());
}

BENCHMARK(BM_MainWindowMapped)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayingFlacCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
