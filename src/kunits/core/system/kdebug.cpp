#include "core/system/kdebug.h"

#include <cerrno>
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

// Long enough for a viewer that is only descheduled on a busy machine (the
// socket queues ten lines); a hung one costs it once.
constexpr int kViewerGraceMs = 50;

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
    std::lock_guard lock(mutex_);
    logToFile_ = on && !fileName_.empty();
}

bool TKDebug::LogToFile() const
{
    std::lock_guard lock(mutex_);
    return logToFile_;
}

void TKDebug::SetViewerSocket(std::string path)
{
    std::lock_guard lock(mutex_);
    viewerSocket_ = std::move(path);
}

void TKDebug::Log(const std::string& procName, const std::string& text) { Log(procName, Utf8ToUtf16(text)); }

void TKDebug::Log(const std::string& procName, const std::u16string& text)
{
    const std::u16string message = Utf8ToUtf16(procName) + u" - " + text;
    std::lock_guard lock(mutex_);
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
    std::lock_guard lock(mutex_);
    TraceLocked(message);
}

void TKDebug::TraceLocked(const std::u16string& message)
{
    if (viewerSocket_.empty())
        return;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (viewerSocket_.size() >= sizeof address.sun_path)
        return;
    viewerSocket_.copy(address.sun_path, viewerSocket_.size());
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    // Same payload as the viewer always received: the UTF-16 text with its terminating zero.
    std::u16string payload = Utf8ToUtf16(DateTimeToStr()) + u"<[KTR]>5<[KTR]>" + message;
    payload.push_back(u'\0');
    const std::string bytes = Utf16ToLeBytes(payload);
    // No listener: nothing. A viewer that is behind gets a short grace so a
    // burst of lines is not lost; one that stays behind (hung, or no longer
    // reading) costs that once, not once per line.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        bool sent = ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) >= 0;
        if (!sent && errno == EAGAIN && !viewerBehind_) {
            pollfd writable{fd, POLLOUT, 0};
            sent = ::poll(&writable, 1, kViewerGraceMs) > 0 &&
                   ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) >= 0;
            viewerBehind_ = !sent;
        } else if (sent) {
            viewerBehind_ = false;
        }
    }
    ::close(fd);
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
