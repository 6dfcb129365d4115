// Runs the real program in a temporary user folder, listens where the trace
// viewer listens, and checks the start-up and shutdown sequence it logs.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <csignal>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

#include "temphome.h"

extern char** environ;

namespace {

std::string Narrow(const char* bytes, size_t n)
{
    std::string text;
    for (size_t i = 0; i + 1 < n; i += 2) {
        char16_t c = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (c == 0)
            break;
        text += c < 128 ? static_cast<char>(c) : '?';
    }
    return text;
}

// Reads every datagram on its own thread: the program never waits for a
// viewer, so a viewer that falls behind loses lines.
class TraceViewer {
public:
    explicit TraceViewer(const std::string& path)
    {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, path.size());
        EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        reader_ = std::thread([this] { Read(); });
    }
    ~TraceViewer()
    {
        stop_ = true;
        reader_.join();
        ::close(fd_);
    }

    // Waits until a line contains `until`; false when the time is up.
    bool WaitFor(const std::string& until, int timeoutMs)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            for (const auto& line : lines_)
                if (line.find(until) != std::string::npos)
                    return true;
            return false;
        });
    }

    std::vector<std::string> Lines()
    {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    void Read()
    {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buffer[8192];
            ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                continue;
            std::string line = Narrow(buffer, static_cast<size_t>(n));
            size_t cut = line.rfind("<[KTR]>");
            std::lock_guard lock(mutex_);
            lines_.push_back(cut == std::string::npos ? line : line.substr(cut + 7));
            changed_.notify_all();
        }
    }

    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

pid_t Start(const std::string& home, std::vector<std::string> args)
{
    std::vector<std::string> env = {"KOLVARIN_HOME=" + home, "QT_QPA_PLATFORM=offscreen", "HOME=" + home};
    std::vector<char*> envp, argv;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    args.insert(args.begin(), KOLVARIN_EXE);
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, KOLVARIN_EXE, nullptr, nullptr, argv.data(), envp.data()), 0);
    return pid;
}

// Ends the process when a failed assertion leaves it running, so no orphan
// keeps the test's output open.
struct ProcessGuard {
    pid_t pid;
    ~ProcessGuard()
    {
        if (pid > 0 && ::kill(pid, 0) == 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

int Wait(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// True when `expected` appears in `lines` in this order (other lines may lie between).
::testing::AssertionResult InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected)
{
    size_t at = 0;
    for (const auto& want : expected) {
        while (at < lines.size() && lines[at] != want)
            ++at;
        if (at == lines.size())
            return ::testing::AssertionFailure() << "missing or out of order: " << want;
        ++at;
    }
    return ::testing::AssertionSuccess();
}

class StartupTest : public ktest::TempHomeTest {};

} // namespace

TEST_F(StartupTest, StartsRunsAndShutsDownInOrderOnSigterm)
{
    TraceViewer viewer((home() / "trace.socket").string());
    pid_t pid = Start(home().string(), {});
    ProcessGuard guard{pid};
    ASSERT_TRUE(viewer.WaitFor("Project - Run application...", 20000));
    ::kill(pid, SIGTERM);
    EXPECT_EQ(Wait(pid), 0);
    viewer.WaitFor("Project - Release log", 5000);
    EXPECT_TRUE(InOrder(viewer.Lines(), {
        "Project - Create mutex...",
        "Project - Create mutex ok",
        "Project - Detecting operating system",
        "Project - Load configuration...",
        "KLoadConfiguration - Enter",
        "KLoadConfiguration - Leave",
        "Project - Load configuration ok",
        "Project - Set log write to file",
        "Project - Handle parameters...",
        "Project - Create forms...",
        "Project - Create forms ok",
        "Project - Initialize kolvarin...",
        "KInitialize - Enter",
        "KInitialize - Force private paths...",
        "KInitialize - Force private paths ok",
        "KInitialize - DirectX 7 or higher detected.",
        "KInitialize - Leave with result: true",
        "Project - Initialize kolvarin ok",
        "Project - Run application...",
        "Project - Run application ok",
        "Project - Kill kolvarin...",
        "KKill - Enter",
        "KKill - Leave",
        "Project - Kill kolvarin ok",
        "Project - Destroy forms...",
        "Project - Destroy forms ok",
        "Project - Release mutex handle",
        "Project - Release log",
    }));
    EXPECT_TRUE(std::filesystem::is_directory(home() / "data" / "templates"));
}

TEST_F(StartupTest, SecondStartLeavesTheRunningInstanceAlone)
{
    TraceViewer viewer((home() / "trace.socket").string());
    pid_t first = Start(home().string(), {});
    ProcessGuard guard{first};
    ASSERT_TRUE(viewer.WaitFor("Project - Run application...", 20000));
    // Stands for the running instance's log: a second start must not delete it.
    dir().write("home/kolvarin.log", "first instance's log");

    viewer.Clear();
    pid_t second = Start(home().string(), {"/play", "x.mp3"});
    ProcessGuard secondGuard{second};
    EXPECT_EQ(Wait(second), 0);
    viewer.WaitFor("Project - Release log", 5000);
    EXPECT_TRUE(InOrder(viewer.Lines(), {"Project - Create mutex...", "Project - Create mutex failed, already exists!",
                                       "Project - Goto cleanup", "Project - Release log"}));
    EXPECT_EQ(ktest::readFile(home() / "kolvarin.log"), "first instance's log");

    ::kill(first, SIGTERM);
    EXPECT_EQ(Wait(first), 0);
}
