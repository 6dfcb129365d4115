#include "core/system/kdebug.h"

#include <chrono>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "core/text/kstrings.h"
#include "temphome.h"

using namespace kolvarin;

TEST(TraceLog, FileIsUtf16WithMarkAndCrLfAndOldLogIsDeleted)
{
    ktest::TempDir dir;
    auto file = dir.write("kolvarin.log", "old run");
    TKDebug log(file.string());
    EXPECT_FALSE(std::filesystem::exists(file));

    log.Log("KInitialize", "Enter"); // file logging off: nothing written
    EXPECT_FALSE(std::filesystem::exists(file));

    log.SetLogToFile(true);
    log.Log("KInitialize", "Enter");
    log.Log("TKSystem.Play", u"Caf\u00e9 \U0001F3B5");
    const std::string bytes = ktest::readFile(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const std::u16string text = ktest::FromUtf16Le(bytes.substr(2));
    const std::u16string stamp = u": KInitialize - Enter\r\n";
    ASSERT_NE(text.find(stamp), std::u16string::npos);
    EXPECT_NE(text.find(u": TKSystem.Play - Caf\u00e9 \U0001F3B5\r\n"), std::u16string::npos);
    EXPECT_EQ(text.find(u"\xFEFF"), std::u16string::npos) << "one mark only, at the start";
}

namespace {

// A trace viewer: a datagram socket bound at a path.
class Viewer {
public:
    explicit Viewer(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_DGRAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, path.size());
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Viewer() { ::close(fd_); }
    bool Bound() const { return bound_; }
    // The next line, or an empty text when none comes within the time.
    std::u16string Next(int timeoutMs = 10000)
    {
        pollfd readable{fd_, POLLIN, 0};
        if (::poll(&readable, 1, timeoutMs) <= 0)
            return {};
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        return n > 0 ? ktest::FromUtf16Le(std::string(buffer, static_cast<size_t>(n))) : std::u16string();
    }

private:
    int fd_;
    bool bound_ = false;
};

bool EndsWith(const std::u16string& line, const std::u16string& tail)
{
    return line.size() >= tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST(TraceLog, ViewerReceivesTheTraceMessageWithTerminatingZero)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    Viewer viewer(path);
    ASSERT_TRUE(viewer.Bound());
    TKDebug log("");
    log.SetViewerSocket(path);
    log.Log("R", "T");
    const std::u16string message = viewer.Next();
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(message.back(), u'\0');
    EXPECT_TRUE(EndsWith(message, std::u16string(u"<[KTR]>5<[KTR]>R - T") + u'\0'));
}

// The socket queues ten lines; a viewer kept off the processor (a busy
// machine) must still get a whole burst, in order, without stalling the
// program, and the last lines must not be lost when the log ends.
TEST(TraceLog, AViewerThatIsBehindGetsEveryLineInOrderWithoutStallingTheProgram)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    Viewer viewer(path);
    ASSERT_TRUE(viewer.Bound());
    constexpr int kLines = 500;
    {
        TKDebug log("");
        log.SetViewerSocket(path);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLines; ++i)
            log.Log("R", "line " + std::to_string(i));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
        for (int i = 0; i < kLines - 5; ++i) {
            const std::u16string line = viewer.Next();
            ASSERT_TRUE(EndsWith(line, u"R - line " + Utf8ToUtf16(std::to_string(i)) + u'\0')) << i;
        }
    } // the last five are still on their way when the log ends
    for (int i = kLines - 5; i < kLines; ++i)
        EXPECT_TRUE(EndsWith(viewer.Next(), u"R - line " + Utf8ToUtf16(std::to_string(i)) + u'\0')) << i;
}

// A viewer that never reads costs the program bounded memory and no time,
// and ending the log waits for it only briefly.
TEST(TraceLog, AHungViewerNeverStallsTheProgram)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    Viewer viewer(path);
    ASSERT_TRUE(viewer.Bound());
    const auto start = std::chrono::steady_clock::now();
    {
        TKDebug log("");
        log.SetViewerSocket(path);
        for (int i = 0; i < 20000; ++i)
            log.Log("R", "nobody reads");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// Without a viewer a line leaves nothing behind; a viewer that starts after
// the socket's place is known gets the next line.
TEST(TraceLog, NoViewerLeavesNothingAndALaterViewerGetsTheNextLine)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    {
        TKDebug log("");
        log.SetViewerSocket(path);
        for (int i = 0; i < 1000; ++i)
            log.Log("R", "nobody listens");
    }
    EXPECT_FALSE(std::filesystem::exists(path));

    TKDebug log("");
    log.SetViewerSocket(path);
    Viewer viewer(path);
    ASSERT_TRUE(viewer.Bound());
    log.Log("R", "a viewer started");
    EXPECT_TRUE(EndsWith(viewer.Next(), std::u16string(u"R - a viewer started") + u'\0'));
    EXPECT_TRUE(viewer.Next(200).empty());
}

TEST(History, AddsLinesOnlyWhenEnabledAndKeepsGrowing)
{
    ktest::TempDir dir;
    const auto file = (dir.path() / "history.log").string();
    {
        TKHistory history(file);
        history.Add(u"not written");
        EXPECT_FALSE(std::filesystem::exists(file));
        history.Enabled = true;
        history.Add(u"first");
    }
    TKHistory again(file);
    again.Enabled = true;
    again.Add(u"second");
    const std::u16string text = ktest::FromUtf16Le(ktest::readFile(file).substr(2));
    EXPECT_NE(text.find(u" - first\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u" - second\r\n"), std::u16string::npos);
    EXPECT_EQ(text.find(u"not written"), std::u16string::npos);
}
