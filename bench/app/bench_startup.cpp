// Start-up to a running message loop, and shutdown from SIGTERM to the exit
// with every save done, of the real program in a fresh user folder; the
// reference is starting and reaping /bin/true. The program plays on SDL's
// dummy driver, so no sound output is needed. Each figure is the median of
// the runs: one run that meets a busy moment of the machine does not move it.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

pid_t Spawn(const char* exe, const std::string& home)
{
    std::vector<std::string> env = {"KOLVARIN_HOME=" + home, "QT_QPA_PLATFORM=offscreen", "HOME=" + home,
                                    "SDL_AUDIODRIVER=dummy"};
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(exe), nullptr};
    pid_t pid = 0;
    posix_spawn(&pid, exe, nullptr, nullptr, argv, envp.data());
    return pid;
}

// Waits for a trace line holding `text` (UTF-16LE) on the viewer socket.
bool WaitForTrace(int fd, const std::u16string& text)
{
    const std::string needle(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0)
            return false;
        std::string buffer(65536, '\0');
        ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
        if (n > 0 && std::string(buffer.data(), static_cast<size_t>(n)).find(needle) != std::string::npos)
            return true;
    }
}

// Reaps the child while reading its trace lines, as a viewer would.
void WaitDraining(pid_t pid, int fd)
{
    std::string buffer(65536, '\0');
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1) > 0)
            while (recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT) > 0) {
            }
    }
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_StartupAndShutdown(benchmark::State& state)
{
    char folder[] = "/tmp/kolvarin-bench-XXXXXX";
    const std::string home = mkdtemp(folder);
    const std::string socketPath = home + "/trace.socket";
    int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, socketPath.size());
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    std::vector<double> startup, shutdown;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        pid_t pid = Spawn(KOLVARIN_EXE, home);
        if (!WaitForTrace(fd, u"Project - Run application...")) {
            state.SkipWithError("the program never reached its message loop");
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        auto t1 = std::chrono::steady_clock::now();
        kill(pid, SIGTERM);
        WaitDraining(pid, fd);
        auto t2 = std::chrono::steady_clock::now();
        if (!std::filesystem::exists(home + "/hotkeys.kkeys")) { // the last save of the shutdown
            state.SkipWithError("the shutdown did not save");
            break;
        }
        std::filesystem::remove(home + "/hotkeys.kkeys");
        startup.push_back(Seconds(t1 - t0));
        shutdown.push_back(Seconds(t2 - t1));
    }
    close(fd);
    std::filesystem::remove_all(home);

    std::vector<double> reference;
    for (int64_t i = 0; i < state.iterations(); ++i) {
        auto t0 = std::chrono::steady_clock::now();
        pid_t pid = Spawn("/bin/true", home);
        waitpid(pid, nullptr, 0);
        reference.push_back(Seconds(std::chrono::steady_clock::now() - t0));
    }
    state.counters["startup_ms"] = Median(startup) * 1000;
    state.counters["shutdown_ms"] = Median(shutdown) * 1000;
    state.counters["startup_vs_true"] = Median(startup) / Median(reference);
}

BENCHMARK(BM_StartupAndShutdown)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
