#include "core/system/kdebug.h"

#include <chrono>

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

// A trace viewer's listening socket in a temporary folder, read by hand.
class Viewer {
public:
    explicit Viewer(const std::string& path)
    {
        listener_ = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, path.size());
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(listener_, 4), 0);
    }
    ~Viewer()
    {
        if (connection_ >= 0)
            ::close(connection_);
        ::close(listener_);
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // The next line the program sent, without waiting; empty when none is there.
    std::u16string Next()
    {
        if (connection_ < 0)
            connection_ = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK);
        char buffer[4096];
        const ssize_t n = connection_ < 0 ? -1 : ::recv(connection_, buffer, sizeof buffer, MSG_DONTWAIT);
        return n > 0 ? ktest::FromUtf16Le(std::string(buffer, static_cast<size_t>(n))) : std::u16string();
    }

private:
    int listener_ = -1;
    int connection_ = -1;
};

bool Holds(const std::u16string& line, const std::u16string& text) { return line.find(text) != std::u16string::npos; }

} // namespace

// The lines are queued for the viewer before Log returns, and stay there
// for it when the program has ended.
TEST(TraceLog, ViewerReceivesTheTraceMessageWithTerminatingZero)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    Viewer viewer(path);
    {
        TKDebug log("");
        log.SetViewerSocket(path);
        log.Log("R", "T");
        log.Log("R", "last");
    }
    const std::u16string message = viewer.Next();
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(message.back(), u'\0');
    const std::u16string tail = u"<[KTR]>5<[KTR]>R - T";
    EXPECT_EQ(message.substr(message.size() - 1 - tail.size(), tail.size()), tail);
    EXPECT_TRUE(Holds(viewer.Next(), u"R - last"));
}

// A viewer that reads nothing gets a long burst kept for it, in order; the
// rest is dropped without the program ever waiting, and lines flow again once
// it reads.
TEST(TraceLog, AViewerThatStopsReadingNeverStallsTheProgramAndKeepsABurst)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    Viewer viewer(path);
    TKDebug log("");
    log.SetViewerSocket(path);
    // Far more lines than any queue holds: waiting even a few milliseconds
    // for each would take minutes.
    constexpr int kLines = 20000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kLines; ++i)
        log.Log("R", "line " + std::to_string(i) + ";");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    int kept = 0;
    for (std::u16string line = viewer.Next(); !line.empty(); line = viewer.Next(), ++kept)
        ASSERT_TRUE(Holds(line, u"R - line " + Utf8ToUtf16(std::to_string(kept)) + u";"))
            << "line " << kept << " lost or out of order";
    EXPECT_GT(kept, 100) << "a burst is kept for a viewer that is behind";
    EXPECT_LT(kept, kLines) << "what is kept is bounded";
    log.Log("R", "after");
    EXPECT_TRUE(Holds(viewer.Next(), u"R - after"));
}

// Without a viewer a line costs one failed connect and leaves nothing behind;
// a viewer that starts later, or starts anew, gets the next line.
TEST(TraceLog, NoViewerCostsNothingAndAViewerStartedLaterGetsTheNextLine)
{
    ktest::TempDir dir;
    const std::string path = (dir.path() / "trace.socket").string();
    TKDebug log("");
    log.SetViewerSocket(path);
    for (int i = 0; i < 1000; ++i)
        log.Log("R", "nobody listens");
    EXPECT_FALSE(std::filesystem::exists(path));

    {
        Viewer viewer(path);
        log.Log("R", "a viewer started");
        EXPECT_TRUE(Holds(viewer.Next(), u"R - a viewer started"));
        EXPECT_TRUE(viewer.Next().empty()) << "the lines without a viewer went nowhere";
    }
    std::filesystem::remove(path);
    Viewer again(path);
    log.Log("R", "a viewer started again");
    EXPECT_TRUE(Holds(again.Next(), u"R - a viewer started again"));
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
