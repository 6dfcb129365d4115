// Internet streams from a loopback server: ICY headers and titles, the bytes
// handed to the download callback, buffering, and every way a server fails.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <numbers>
#include <thread>

#include "audio/offline.h"
#include "audio_fixtures.h"
#include "loopback_server.h"

namespace {

using namespace kolvarin;
using namespace kolvarin::audio;
using namespace ktest::audio;
using ktest::closedPort;
using ktest::LoopbackServer;
using Clock = std::chrono::steady_clock;

const std::string& mp3Bytes()
{
    static const std::string bytes = [] {
        const std::filesystem::path wav = mediaDir() / "net.wav";
        writeWav(wav, 44100, 2, makeSamples(88200, 2, [](int i, int) {
                     return 0.5 * std::sin(2 * std::numbers::pi * 660 * i / 44100);
                 }));
        const std::filesystem::path mp3 = mediaDir() / "net.mp3";
        encode(wav, "-c:a libmp3lame -b:a 128k", mp3);
        std::ifstream in(mp3, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return bytes;
}

// The body with a metadata block after every interval bytes: the first
// carries meta (padded to 16 bytes), the others are empty.
std::string icyBody(const std::string& audio, std::size_t interval, const std::string& meta)
{
    std::string body;
    for (std::size_t at = 0, block = 0; at < audio.size(); at += interval, ++block) {
        body += audio.substr(at, interval);
        if (at + interval > audio.size())
            break;
        const std::string text = block == 0 ? meta : "";
        const std::size_t units = (text.size() + 15) / 16;
        body += static_cast<char>(units);
        body += text + std::string(units * 16 - text.size(), '\0');
    }
    return body;
}

struct Recorder {
    std::mutex mutex;
    std::string bytes;
    int endings = 0;
    static void proc(const void* buffer, DWORD length, void* user)
    {
        auto* self = static_cast<Recorder*>(user);
        std::lock_guard lock(self->mutex);
        if (buffer)
            self->bytes.append(static_cast<const char*>(buffer), length);
        else
            ++self->endings;
    }
};

class NetTest : public OfflineAudioTest {
protected:
    void SetUp() override
    {
        OfflineAudioTest::SetUp();
        // Generous, for a loaded machine; the tests of time-outs set their own.
        BASS_SetConfig(bass::kConfigNetTimeout, 10000);
        BASS_SetConfig(bass::kConfigNetPrebuf, 0);
        // Encoded before a server answers, so that encoding on a loaded
        // machine does not hold the response past a test's time-out.
        mp3Bytes();
    }
    void TearDown() override
    {
        OfflineAudioTest::TearDown();
        BASS_SetConfig(bass::kConfigNetTimeout, 5000);
        BASS_SetConfig(bass::kConfigNetPrebuf, 75);
    }
};

TEST_F(NetTest, IcyStreamPlaysWithTitleHeadersAndRecordedBytes)
{
    const std::string header = "ICY 200 OK\r\nicy-name: Test Radio\r\nicy-metaint: 8192\r\n"
                               "content-type: audio/mpeg\r\n\r\n";
    LoopbackServer server([&](int fd, const std::string& request, const std::atomic<bool>&) {
        if (request.find("Icy-MetaData: 1") == std::string::npos)
            return;
        LoopbackServer::send(fd, header + icyBody(mp3Bytes(), 8192, "StreamTitle='First Song';StreamUrl='';"));
    });
    Recorder recorder;
    const HSTREAM stream =
        BASS_StreamCreateURL(server.url("/live").c_str(), 0, bass::kStreamStatus, &Recorder::proc, &recorder);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BassChannelInfo info;
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.ctype, bass::kCtypeMp3);
    EXPECT_EQ(BASS_ChannelGetLength(stream, bass::kPosByte), static_cast<QWORD>(-1));

    const char* headers = BASS_ChannelGetTags(stream, bass::kTagIcy);
    ASSERT_NE(headers, nullptr);
    std::vector<std::string> lines;
    for (const char* p = headers; *p; p += std::strlen(p) + 1)
        lines.emplace_back(p);
    EXPECT_EQ(lines.front(), "ICY 200 OK");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "icy-name: Test Radio"), lines.end());

    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    const std::vector<float> out = playToEnd(stream);
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
    // 2 s of tone, give or take the encoder's padding.
    EXPECT_NEAR(static_cast<double>(BASS_ChannelGetPosition(stream, bass::kPosByte)) / 4, 88200, 3000);
    ASSERT_GT(out.size(), 2u * 60000);
    EXPECT_NEAR(toneLevel(out.data() + 2 * 20000, 32768, 2, 660, 44100), 0.5, 0.05);

    const char* meta = BASS_ChannelGetTags(stream, bass::kTagMeta);
    ASSERT_NE(meta, nullptr);
    EXPECT_STREQ(meta, "StreamTitle='First Song';StreamUrl='';");
    std::lock_guard lock(recorder.mutex);
    EXPECT_EQ(recorder.bytes, mp3Bytes()); // metadata taken out
    EXPECT_EQ(recorder.endings, 1);
    EXPECT_EQ(BASS_StreamGetFilePosition(stream, bass::kFilePosDownload), mp3Bytes().size());
}

TEST_F(NetTest, StalledWhileThePrebufferFills)
{
    BASS_SetConfig(bass::kConfigNetPrebuf, 100);
    std::mutex mutex;
    std::condition_variable go;
    bool released = false;
    LoopbackServer server([&](int fd, const std::string&, const std::atomic<bool>& stopping) {
        const std::string& mp3 = mp3Bytes();
        LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\ncontent-type: audio/mpeg\r\n\r\n" + mp3.substr(0, 20000));
        std::unique_lock lock(mutex);
        go.wait(lock, [&] { return released || stopping; });
        LoopbackServer::send(fd, mp3.substr(20000));
    });
    const HSTREAM stream = BASS_StreamCreateURL(server.url("/slow").c_str(), 0, 0, nullptr, nullptr);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    for (int i = 0; i < 1000 && BASS_StreamGetFilePosition(stream, bass::kFilePosDownload) < 20000; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    pull(1000);
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStalled);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), 0u);
    const QWORD downloaded = BASS_StreamGetFilePosition(stream, bass::kFilePosDownload);
    const QWORD end = BASS_StreamGetFilePosition(stream, bass::kFilePosEnd);
    EXPECT_EQ(downloaded, 20000u);
    EXPECT_GT(end, downloaded); // the buffer display shows a part filled
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    go.notify_all();
    const std::vector<float> out = playToEnd(stream);
    EXPECT_GT(BASS_ChannelGetPosition(stream, bass::kPosByte), 4u * 80000);
}

TEST_F(NetTest, FailingServersFailTheCreateCallInTime)
{
    LoopbackServer server([&](int fd, const std::string& request, const std::atomic<bool>& stopping) {
        if (request.find("/missing") != std::string::npos) {
            LoopbackServer::send(fd, "HTTP/1.1 404 Not Found\r\ncontent-length: 0\r\n\r\n");
        } else if (request.find("/badmetaint") != std::string::npos) {
            LoopbackServer::send(fd, "ICY 200 OK\r\nicy-metaint: lots\r\n\r\n" + mp3Bytes());
        } else if (request.find("/notaudio") != std::string::npos) {
            LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\ncontent-type: text/html\r\n\r\n" + std::string(50000, 'x'));
        } else if (request.find("/silent") != std::string::npos) {
            while (!stopping)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } else if (request.find("/headersonly") != std::string::npos) {
            LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\ncontent-type: audio/mpeg\r\n\r\n");
            while (!stopping)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const struct {
        std::string url;
        int error;
        DWORD timeout;
    } cases[] = {
        // Failures that are not time-outs get the fixture's generous time-out:
        // a loaded machine must not turn them into one.
        {server.url("/missing"), bass::kErrorNoNet, 10000},
        {"http://127.0.0.1:" + std::to_string(closedPort()) + "/refused", bass::kErrorNoNet, 10000},
        {server.url("/badmetaint"), bass::kErrorFileForm, 10000},
        {server.url("/notaudio"), bass::kErrorFileForm, 10000},
        {server.url("/silent"), bass::kErrorTimeout, 300},
        {server.url("/headersonly"), bass::kErrorTimeout, 300},
        {"ftp://127.0.0.1/x.mp3", bass::kErrorIllParam, 10000},
    };
    for (const auto& c : cases) {
        BASS_SetConfig(bass::kConfigNetTimeout, c.timeout);
        const auto started = Clock::now();
        EXPECT_EQ(BASS_StreamCreateURL(c.url.c_str(), 0, 0, nullptr, nullptr), 0u) << c.url;
        EXPECT_EQ(BASS_ErrorGetCode(), c.error) << c.url;
        if (c.error == bass::kErrorTimeout) { // within the time-out, give or take a loaded machine
            EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(c.timeout + 1500)) << c.url;
        }
    }
}

TEST_F(NetTest, StreamThatStallsOrSendsJunkMetadataEnds)
{
    LoopbackServer server([&](int fd, const std::string& request, const std::atomic<bool>& stopping) {
        const std::string& mp3 = mp3Bytes();
        if (request.find("/junk") != std::string::npos) {
            // Metadata blocks of binary junk, some with NULs, some without a title.
            std::string body = icyBody(mp3, 4096, std::string("\x01\xff\x7f=';;'=", 9) + std::string(40, '\xee'));
            LoopbackServer::send(fd, "ICY 200 OK\r\nicy-metaint: 4096\r\n\r\n" + body);
            return;
        }
        LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\n\r\n" + mp3.substr(0, mp3.size() / 2));
        while (!stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    for (const char* path : {"/junk", "/stall"}) {
        // The stall ends the stream after the time-out; the junk gets the
        // fixture's generous one, so a loaded machine does not time it out.
        if (std::string(path) == "/stall")
            BASS_SetConfig(bass::kConfigNetTimeout, 300);
        const HSTREAM stream = BASS_StreamCreateURL(server.url(path).c_str(), 0, 0, nullptr, nullptr);
        ASSERT_NE(stream, 0u) << path << " " << BASS_ErrorGetCode();
        ASSERT_TRUE(BASS_ChannelPlay(stream, false));
        const auto started = Clock::now();
        playToEnd(stream);
        EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped) << path;
        EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(4000)) << path;
        EXPECT_GT(BASS_ChannelGetPosition(stream, bass::kPosByte), 4u * 20000) << path;
        BASS_StreamFree(stream);
    }
}

TEST_F(NetTest, FreeingStopsTheDownloadWithoutAFinalCallback)
{
    LoopbackServer server([&](int fd, const std::string&, const std::atomic<bool>& stopping) {
        LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\n\r\n" + mp3Bytes().substr(0, 30000));
        while (!stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    Recorder recorder;
    const HSTREAM stream = BASS_StreamCreateURL(server.url("/forever").c_str(), 0, 0, &Recorder::proc, &recorder);
    ASSERT_NE(stream, 0u);
    const auto started = Clock::now();
    EXPECT_TRUE(BASS_StreamFree(stream));
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(500));
    std::lock_guard lock(recorder.mutex);
    EXPECT_EQ(recorder.endings, 0);
}

TEST_F(NetTest, DownloadCallbackMayFreeItsStream)
{
    static std::atomic<HSTREAM> handle{0};
    static std::atomic<bool> freed{false};
    handle = 0;
    freed = false;
    std::atomic<bool> created{false};
    LoopbackServer server([&](int fd, const std::string&, const std::atomic<bool>& stopping) {
        LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\n\r\n" + mp3Bytes().substr(0, 20000));
        while (!created && !stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        LoopbackServer::send(fd, mp3Bytes().substr(20000));
    });
    const HSTREAM stream = BASS_StreamCreateURL(
        server.url("/self").c_str(), 0, 0,
        [](const void* buffer, DWORD, void*) {
            if (buffer && handle && !freed)
                freed = BASS_StreamFree(handle);
        },
        nullptr);
    ASSERT_NE(stream, 0u);
    handle = stream;
    created = true;
    for (int i = 0; i < 2000 && !freed; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(freed);
    EXPECT_FALSE(BASS_ChannelPlay(stream, false));
}

} // namespace
