#pragma once

// Runs the real program in a temporary user folder and watches what it logs.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

#include <gtest/gtest.h>

namespace ktest {

// One run of the program with KOLVARIN_HOME set to `home`, headless. A run
// still going when the object dies is killed, so no orphan keeps the test's
// output open. `env` adds NAME=value entries (SDL_AUDIODRIVER=disk, ...)
// over the test's own audio choice and the defaults (QT_QPA_PLATFORM=xcb ...).
class KolvarinProcess {
public:
    // `under` is a command line the program runs under (its own comes after it);
    // `program` is the build's program when empty (an installed copy otherwise).
    KolvarinProcess(const std::filesystem::path& home, std::vector<std::string> args = {},
                    std::vector<std::string> env = {}, std::vector<std::string> under = {},
                    const std::filesystem::path& program = {});
    ~KolvarinProcess();
    KolvarinProcess(const KolvarinProcess&) = delete;
    KolvarinProcess& operator=(const KolvarinProcess&) = delete;

    pid_t pid() const { return pid_; }
    void Signal(int signal) const;
    // Waits for the end; the exit code, or -1 when it did not exit normally.
    // A run still going after timeoutMs is killed (-1).
    int Wait(int timeoutMs = 60000);

private:
    pid_t pid_ = -1;
};

// Polls the condition every few milliseconds until it holds; false when the
// deadline passes first. The program-level tests' one way to wait.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(15));

// The lines of the UTF-16LE log file, as "Proc - Text" (date and time cut off).
std::vector<std::string> ReadLogLines(const std::filesystem::path& logFile);

// Waits until the log file holds a line ending in `text`; false after timeoutMs.
bool WaitForLogLine(const std::filesystem::path& logFile, const std::string& text, int timeoutMs = 20000);

// Writes a config.xml into `home` that turns the log file on and the splash off.
void WriteLoggingConfig(const std::filesystem::path& home);

// True when `expected` appears in `lines` in this order, other lines between.
::testing::AssertionResult InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected);

// Listens where the trace viewer listens, reading on its own thread: the
// program never waits for a viewer, so a viewer that falls behind loses lines.
class TraceViewer {
public:
    explicit TraceViewer(const std::string& socketPath);
    ~TraceViewer();
    bool WaitFor(const std::string& text, int timeoutMs);
    std::vector<std::string> Lines();

private:
    void Read();

    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

} // namespace ktest
