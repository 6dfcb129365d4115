#include "core/system/kdebug.h"

#include <chrono>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

TEST(TraceLog, ViewerReceivesTheTraceMessageWithTerminatingZero)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    TKDebug log("");
    log.SetViewerSocket(path);
    log.Log("R", "T");
    char buffer[4096];
    ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    ::close(fd);
    ASSERT_GT(n, 0);
    const std::u16string message = ktest::FromUtf16Le(std::string(buffer, static_cast<size_t>(n)));
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(message.back(), u'\0');
    const std::u16string tail = u"<[KTR]>5<[KTR]>R - T";
    EXPECT_EQ(message.substr(message.size() - 1 - tail.size(), tail.size()), tail);
}

TEST(TraceLog, AViewerThatStopsReadingCostsOneGraceAndGetsLinesWhenItReadsAgain)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    TKDebug log("");
    log.SetViewerSocket(path);
    // Far more lines than the socket queues, nobody reading: waiting the grace
    // for each would take at least half a second.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i)
        log.Log("R", "queued or dropped");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    char buffer[4096];
    while (::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
    log.Log("R", "after");
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    ::close(fd);
    ASSERT_GT(n, 0);
    EXPECT_NE(ktest::FromUtf16Le(std::string(buffer, static_cast<size_t>(n))).find(u"R - after"), std::u16string::npos);
}

// Without a viewer a line costs one failed connect and leaves nothing behind
// (a stalled viewer is the test above); a viewer that starts later gets the
// next line.
TEST(TraceLog, NoViewerCostsNothingAndNeverBlocks)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    TKDebug log("");
    log.SetViewerSocket(path);
    for (int i = 0; i < 1000; ++i)
        log.Log("R", "nobody listens");
    EXPECT_FALSE(std::filesystem::exists(path));

    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    log.Log("R", "a viewer started");
    char buffer[4096];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    const ssize_t more = ::recv(fd, buffer + 2048, 2048, MSG_DONTWAIT);
    ::close(fd);
    ASSERT_GT(n, 0);
    EXPECT_NE(ktest::FromUtf16Le(std::string(buffer, static_cast<size_t>(n))).find(u"R - a viewer started"),
              std::u16string::npos);
    EXPECT_LT(more, 0) << "the lines without a viewer went nowhere";
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
