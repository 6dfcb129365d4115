#include "core/system/kdebug.h"

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "core/text/kstrings.h"

namespace kolvarin {

TKDebug* DebugLog = nullptr;
TKHistory* History = nullptr;

namespace {

// The socket queues ten lines at the viewer; this many more wait here for a
// viewer kept off the processor on a busy machine (a whole start-up). Beyond
// it, lines are dropped: a hung viewer costs bounded memory.
constexpr size_t kViewerQueueLines = 4096;
// How long the last lines may wait for a viewer that is behind when the log ends.
constexpr auto kViewerDrainTime = std::chrono::milliseconds(100);
constexpr int kViewerPollMs = 20;

// Sends one datagram to the viewer's socket; false when the viewer is behind
// (its queue is full), true when the line went out or nobody listens.
bool SendLine(const std::string& socketPath, const std::string& bytes)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return true;
    socketPath.copy(address.sun_path, socketPath.size());
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true;
    bool done = true;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        done = ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) >= 0 || errno != EAGAIN;
        if (!done) {
            pollfd writable{fd, POLLOUT, 0};
            done = ::poll(&writable, 1, kViewerPollMs) > 0 &&
                   ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) >= 0;
        }
    }
    ::close(fd);
    return done;
}

std::string FormatNow(const char* format)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    size_t n = std::strftime(text, sizeof text, format, &local);
    return std::string(text, n);
}

} // namespace

std::string DateTimeToStr() { return FormatNow("%x %X"); }
std::string TimeToStr() { return FormatNow("%X"); }

void AppendUtf16Line(const std::string& fileName, const std::u16string& line)
{
    std::FILE* file = std::fopen(fileName.c_str(), "ab");
    if (!file)
        throw std::runtime_error("Cannot open " + fileName);
    std::string bytes;
    if (std::ftell(file) == 0)
        bytes = "\xFF\xFE";
    bytes += Utf16ToLeBytes(line + u"\r\n");
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        throw std::runtime_error("Cannot write " + fileName);
}

TKDebug::TKDebug(std::string fileName) : fileName_(std::move(fileName))
{
    if (!fileName_.empty())
        std::remove(fileName_.c_str());
}

void TKDebug::SetLogToFile(bool on)
{
    MutexLock lock(mutex_);
    logToFile_ = on && !fileName_.empty();
}

bool TKDebug::LogToFile() const
{
    MutexLock lock(mutex_);
    return logToFile_;
}

void TKDebug::SetViewerSocket(std::string path)
{
    std::lock_guard lock(outboxMutex_);
    viewerSocket_ = std::move(path);
}

void TKDebug::Log(const std::string& procName, const std::string& text) { Log(procName, Utf8ToUtf16(text)); }

void TKDebug::Log(const std::string& procName, const std::u16string& text)
{
    const std::u16string message = Utf8ToUtf16(procName) + u" - " + text;
    MutexLock lock(mutex_);
    TraceLocked(message);
    if (!logToFile_)
        return;
    try {
        AppendUtf16Line(fileName_, Utf8ToUtf16(DateTimeToStr()) + u": " + message);
    } catch (const std::exception&) {
        // A full disk must not stop the program; the viewer still gets the line.
    }
}

void TKDebug::Trace(const std::u16string& message)
{
    MutexLock lock(mutex_);
    TraceLocked(message);
}

void TKDebug::TraceLocked(const std::u16string& message)
{
    std::lock_guard lock(outboxMutex_);
    if (viewerSocket_.empty() || outbox_.size() >= kViewerQueueLines)
        return;
    // Same payload as the viewer always received: the UTF-16 text with its terminating zero.
    std::u16string payload = Utf8ToUtf16(DateTimeToStr()) + u"<[KTR]>5<[KTR]>" + message;
    payload.push_back(u'\0');
    outbox_.push_back(Utf16ToLeBytes(payload));
    if (!sender_.joinable())
        sender_ = std::jthread([this](std::stop_token stop) { SendLoop(std::move(stop)); });
    outboxReady_.notify_one();
}

void TKDebug::SendLoop(std::stop_token stop)
{
    std::chrono::steady_clock::time_point drainEnd{};
    std::unique_lock lock(outboxMutex_);
    for (;;) {
        outboxReady_.wait(lock, stop, [this] { return !outbox_.empty(); });
        if (outbox_.empty())
            return;
        if (stop.stop_requested()) {
            const auto now = std::chrono::steady_clock::now();
            if (drainEnd == std::chrono::steady_clock::time_point{})
                drainEnd = now + kViewerDrainTime;
            else if (now >= drainEnd)
                return;
        }
        const std::string path = viewerSocket_;
        const std::string line = outbox_.front();
        lock.unlock();
        const bool done = SendLine(path, line);
        lock.lock();
        // Lines go in order: one the viewer had no room for is tried again.
        if (done && !outbox_.empty())
            outbox_.pop_front();
    }
}

void Log(const std::string& procName, const std::u16string& text)
{
    if (DebugLog)
        DebugLog->Log(procName, text);
}

void Log(const std::string& procName, const std::string& text)
{
    if (DebugLog)
        DebugLog->Log(procName, text);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void TKHistory::Add(const std::u16string& text)
{
    if (!Enabled)
        return;
    AppendUtf16Line(fileName_, Utf8ToUtf16(TimeToStr()) + u" - " + text);
}

} // namespace kolvarin
