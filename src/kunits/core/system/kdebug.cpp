#include "core/system/kdebug.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "core/text/kstrings.h"

namespace kolvarin {

TKDebug* DebugLog = nullptr;
TKHistory* History = nullptr;

namespace {

// What the connection may hold for a viewer that is behind: a thousand-odd
// lines, so a viewer kept off the processor a while on a busy machine still
// gets a whole start-up, and a hung one costs a bounded amount of memory.
constexpr int kViewerQueueBytes = 1 << 20;

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

TKDebug::~TKDebug()
{
    if (viewer_ >= 0)
        ::close(viewer_);
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
    if (viewer_ >= 0)
        DisconnectViewerLocked();
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
    // Same payload as the viewer always received: the UTF-16 text with its terminating zero.
    std::u16string payload = Utf8ToUtf16(DateTimeToStr()) + u"<[KTR]>5<[KTR]>" + message;
    payload.push_back(u'\0');
    const std::string bytes = Utf16ToLeBytes(payload);
    // The second try reaches a viewer that was started anew since the last line.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (viewer_ < 0 && !ConnectViewerLocked())
            return;
        // A full queue drops the line: the program never waits for a viewer.
        if (::send(viewer_, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) >= 0 || errno == EAGAIN)
            return;
        DisconnectViewerLocked();
    }
}

bool TKDebug::ConnectViewerLocked()
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (viewerSocket_.size() >= sizeof address.sun_path)
        return false;
    viewerSocket_.copy(address.sun_path, viewerSocket_.size());
    // Sequenced packets keep each line whole, like datagrams, but what is
    // queued is bounded by the send buffer alone (not by a ten-datagram
    // queue at the viewer), and stays readable after the program ends.
    viewer_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (viewer_ < 0)
        return false;
    const int size = kViewerQueueBytes;
    ::setsockopt(viewer_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    // No listener (or one whose backlog is full): the line goes nowhere.
    if (::connect(viewer_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        DisconnectViewerLocked();
        return false;
    }
    return true;
}

void TKDebug::DisconnectViewerLocked()
{
    ::close(viewer_);
    viewer_ = -1;
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
