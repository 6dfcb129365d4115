#include "kolvarinprocess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>

#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/settings/kconfig.h"
#include "temphome.h"

namespace ktest {

namespace {

// ASCII view of UTF-16LE text; other characters become '?'.
std::string Narrow(const std::string& bytes)
{
    std::string text;
    for (const char16_t c : FromUtf16Le(bytes)) {
        if (c == 0)
            break;
        text += c < 128 ? static_cast<char>(c) : '?';
    }
    return text;
}

} // namespace

KolvarinProcess::KolvarinProcess(const std::filesystem::path& home, std::vector<std::string> args,
                                 std::vector<std::string> extra, std::vector<std::string> under,
                                 const std::filesystem::path& program)
{
    const auto chosen = [&](const std::string& name) {
        for (const auto& e : extra)
            if (e.starts_with(name + "="))
                return true;
        return false;
    };
    std::vector<std::string> env;
    for (std::string entry :
         {"KOLVARIN_HOME=" + home.string(), std::string("QT_QPA_PLATFORM=offscreen"), "HOME=" + home.string()})
        if (!chosen(entry.substr(0, entry.find('='))))
            env.push_back(entry);
    // The audio output the test chose (the dummy driver, or the disk driver and
    // its file), and ThreadSanitizer's suppressions.
    for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "TSAN_OPTIONS"})
        if (const char* value = std::getenv(name); value && !chosen(name))
            env.push_back(std::string(name) + "=" + value);
    env.insert(env.end(), extra.begin(), extra.end());
    std::vector<char*> envp, argv;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    args.insert(args.begin(), program.empty() ? std::string(KOLVARIN_EXE) : program.string());
    args.insert(args.begin(), under.begin(), under.end());
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()), 0);
}

KolvarinProcess::~KolvarinProcess()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void KolvarinProcess::Signal(int signal) const { ::kill(pid_, signal); }

int KolvarinProcess::Wait(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<std::string> ReadLogLines(const std::filesystem::path& logFile)
{
    const std::string bytes = readFile(logFile);
    std::string text = bytes.size() < 2 ? std::string() : Narrow(bytes.substr(2));
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            break;
        std::string line = text.substr(start, end - start);
        // "date time: Proc - Text": the routine names hold no ": ".
        size_t cut = line.find(": ");
        lines.push_back(cut == std::string::npos ? line : line.substr(cut + 2));
        start = end + 2;
    }
    return lines;
}

bool WaitForLogLine(const std::filesystem::path& logFile, const std::string& text, int timeoutMs)
{
    return WaitUntil(
        [&] {
            for (const auto& line : ReadLogLines(logFile))
                if (line == text)
                    return true;
            return false;
        },
        std::chrono::milliseconds(timeoutMs));
}

void WriteLoggingConfig(const std::filesystem::path& home)
{
    kolvarin::TKConfig config;
    config.SetDefaults();
    config.Logging.EnableTextFile = true;
    config.SplashScreen = false;
    config.NewsWindowOnStartUp = false; // no test reaches for the news server
    config.SaveToFile((home / "config.xml").string());
}

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

TraceViewer::TraceViewer(const std::string& socketPath)
{
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, socketPath.size());
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    reader_ = std::thread([this] { Read(); });
}

TraceViewer::~TraceViewer()
{
    stop_ = true;
    reader_.join();
    ::close(fd_);
}

bool TraceViewer::WaitFor(const std::string& text, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const auto& line : lines_)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    });
}

std::vector<std::string> TraceViewer::Lines()
{
    std::lock_guard lock(mutex_);
    return lines_;
}

void TraceViewer::Read()
{
    while (!stop_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        std::string buffer(8192, '\0');
        ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        if (n <= 0)
            continue;
        buffer.resize(static_cast<size_t>(n));
        std::string line = Narrow(buffer);
        size_t cut = line.rfind("<[KTR]>");
        std::lock_guard lock(mutex_);
        lines_.push_back(cut == std::string::npos ? line : line.substr(cut + 7));
        changed_.notify_all();
    }
}

} // namespace ktest
