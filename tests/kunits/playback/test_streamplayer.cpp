// Internet streams: an ICY station from a loopback server, its name and
// titles, and the recording with its title splits.
#include <chrono>
#include <fstream>
#include <thread>

#include "audio_fixtures.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"
#include "loopback_server.h"
#include "playsystem_fixture.h"

namespace {

using namespace kolvarin;
namespace ka = ktest::audio;

constexpr size_t kInterval = 4096;

std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The ICY body: after each interval of audio a metadata block, with a title
// after interval 0 and another after interval `second`.
std::string icyBody(const std::string& audio, size_t second)
{
    std::string body;
    for (size_t at = 0, block = 0; at < audio.size(); at += kInterval, ++block) {
        body += audio.substr(at, kInterval);
        if (at + kInterval > audio.size())
            break;
        const std::string text = block == 0        ? "StreamTitle='First Song';"
                                 : block == second ? "StreamTitle='Second Song';"
                                                   : "";
        const size_t units = (text.size() + 15) / 16;
        body += static_cast<char>(units);
        body += text + std::string(units * 16 - text.size(), '\0');
    }
    return body;
}

// Body offset just after interval `count`'s metadata block.
size_t bodyOffset(const std::string& body, const std::string& audio, size_t count)
{
    size_t offset = 0;
    for (size_t i = 0; i < count; ++i) {
        offset += std::min(kInterval, audio.size() - i * kInterval);
        offset += 1 + static_cast<unsigned char>(body[offset]) * 16;
    }
    return offset;
}

template <typename Predicate>
bool waitFor(Predicate&& predicate, int ms = 5000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class StreamTest : public ktest::PlaySystemTest {
protected:
    void SetUp() override
    {
        PlaySystemTest::SetUp();
        Config->Fader.Enabled = false;
        Config->TryURLTime = 3000;
        Config->NetPrebuffer = 0;
        Config->LSASAutoRecord = true;
        Config->LSAS.AutoChangeTitle = true;
    }
    QWORD downloaded() const
    {
        return BASS_StreamGetFilePosition(system->ChannelSlots()[0][0], bass::kFilePosDownload);
    }
};

TEST_F(StreamTest, StationTitlesAndRecordingSplitAtEachTitle)
{
    const std::string audio = fileBytes(ka::encodedReference("net.mp3", "-c:a libmp3lame -b:a 320k"));
    ASSERT_GT(audio.size(), 10 * kInterval);
    const std::string body = icyBody(audio, 6);
    const size_t cut[] = {bodyOffset(body, audio, 2), bodyOffset(body, audio, 6), bodyOffset(body, audio, 8)};
    std::atomic<int> phase{0};
    ktest::LoopbackServer server([&](int fd, const std::string&, const std::atomic<bool>& stopping) {
        ktest::LoopbackServer::send(fd, "ICY 200 OK\r\nicy-name: Test Radio\r\nicy-metaint: 4096\r\n"
                                        "content-type: audio/mpeg\r\n\r\n" +
                                            body.substr(0, cut[0]));
        for (int i = 1; i <= 3; ++i) {
            while (phase < i && !stopping)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ktest::LoopbackServer::send(fd, i < 3 ? body.substr(cut[i - 1], cut[i] - cut[i - 1]) : body.substr(cut[2]));
        }
    });
    const int index = PlaylistAdd(u"My station", Utf8ToUtf16(server.url("/live")), "00:00:00", false, "00");
    system->Play(index);
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(system->SystemType(), TSystemType::BassStream);
    EXPECT_EQ(PlaylistGetItem(index)->Caption, u"Test Radio");
    EXPECT_FALSE(system->Seekable());
    EXPECT_EQ(system->RecorderState().Name, "Test Radio");
    EXPECT_TRUE(system->RecorderState().Enabled);

    ASSERT_TRUE(waitFor([&] { return downloaded() >= 2 * kInterval; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    system->Update();
    EXPECT_EQ(view.Status, u"[ First Song is playing ]");
    EXPECT_EQ(system->RecorderState().Name, "First Song");

    phase = 1;
    ASSERT_TRUE(waitFor([&] { return downloaded() >= 6 * kInterval; }));
    phase = 2;
    ASSERT_TRUE(waitFor([&] { return downloaded() >= 8 * kInterval; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    system->Update();
    EXPECT_EQ(view.Status, u"[ Second Song is playing ]");
    phase = 3;
    ASSERT_TRUE(waitFor([&] { return downloaded() >= audio.size() && !system->RecorderState().Stream; }));
    system->Update(); // the same title again: no further split
    EXPECT_FALSE(system->RecorderState().SplitPending);

    // The block that arrives with a split pending opens the new file: no byte is lost.
    const auto output = home() / "data" / "output";
    EXPECT_EQ(fileBytes(output / "First Song.mp3"), audio.substr(2 * kInterval, 6 * kInterval));
    EXPECT_EQ(fileBytes(output / "Second Song.mp3"), audio.substr(8 * kInterval));
    system->Stop(true);
    EXPECT_FALSE(SysActive);
}

TEST_F(StreamTest, RecorderEdgeCases)
{
    const std::string audio = fileBytes(ka::encodedReference("net.mp3", "-c:a libmp3lame -b:a 320k"));
    ktest::LoopbackServer server([&](int fd, const std::string&, const std::atomic<bool>& stopping) {
        ktest::LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\ncontent-type: audio/mpeg\r\n\r\n" + audio.substr(0, 20000));
        while (!stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    Config->LSASAutoRecord = false;
    PlaylistAdd(u"Plain", Utf8ToUtf16(server.url("/plain")), "00:00:00", false, "00");
    system->Play(0);
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"Plain"); // no icy-name: the caption stays
    EXPECT_EQ(system->RecorderState().Name, "unknown");
    EXPECT_EQ(system->RecorderState().Format, 0);
    const uint64_t source = system->RecorderState().Source;
    const auto output = home() / "data" / "output";

    // Not recording: nothing is written.
    system->RecordBlock(source, "abcd", 4);
    EXPECT_FALSE(std::filesystem::exists(output / "unknown.mp3"));
    // The end of a download with no file open creates none.
    system->AudioLiveStreamRecord();
    system->RecordBlock(source, nullptr, 0);
    EXPECT_FALSE(std::filesystem::exists(output / "unknown.mp3"));
    // Blocks of another stream never reach this file.
    system->RecordBlock(source + 1000, "zzzz", 4);
    system->RecordBlock(source, "abcd", 4);
    system->SetRecordName("next", true);
    system->RecordBlock(source, "efgh", 4);
    system->RecordBlock(source, nullptr, 0);
    EXPECT_EQ(fileBytes(output / "unknown.mp3"), "abcd");
    EXPECT_EQ(fileBytes(output / "next.mp3"), "efgh");
    system->Stop(true);
}

TEST_F(StreamTest, NoPassesOrNoServerReport203)
{
    Config->NumTrysURLStream = 0;
    Config->Notifications.ShowBalloonOnProblems = true;
    PlaylistAdd(u"Gone", Utf8ToUtf16("http://127.0.0.1:" + std::to_string(ktest::closedPort()) + "/x"), "", false,
                "00");
    system->Play(0);
    EXPECT_FALSE(SysActive);
    Config->NumTrysURLStream = 1;
    Config->TryURLTime = 300;
    system->Play(0);
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(view.Icon, TKStatusIcon::Stopped);
}

TEST(StreamTexts, HeadersMetadataAndRecordNames)
{
    const char tags[] = "ICY 200 OK\0icy-name: Radio One\0icy-br:128\0";
    EXPECT_EQ(TagListToText(tags), "ICY 200 OK;icy-name: Radio One;icy-br:128;");
    EXPECT_EQ(TagListToText(nullptr), "");
    std::vector<TKey> pairs;
    SplitKeyValues(TagListToText(tags), pairs, ':', true, ';');
    SplitKeyValues("StreamTitle='A: B';StreamUrl='';x=';", pairs, '=', false, ';');
    TKey pair;
    ASSERT_TRUE(FindKeyValue("ICY-NAME", pairs, pair));
    EXPECT_EQ(pair.Value, " Radio One");
    ASSERT_TRUE(FindKeyValue("streamtitle", pairs, pair));
    EXPECT_EQ(pair.Value, "A: B");
    EXPECT_FALSE(FindKeyValue("StreamUrl", pairs, pair)); // empty value: not kept
    EXPECT_EQ(pair.Value, "");
    EXPECT_DOUBLE_EQ(BufferFillPercent(200, 84, 0, false), 42.0);
    EXPECT_DOUBLE_EQ(BufferFillPercent(200, 184, 100, true), 42.0);
    EXPECT_DOUBLE_EQ(BufferFillPercent(0, 84, 0, false), 0.0);
    EXPECT_DOUBLE_EQ(BufferFillPercent(static_cast<QWORD>(-1), 84, 0, false), 0.0);
    EXPECT_DOUBLE_EQ(BufferFillPercent(100, 500, 0, false), 100.0);
    EXPECT_EQ(WideFormat(TKPlayTexts{}.Buffering, 42.0, u"%"), u"[ Buffering 42.0 % ]");
    EXPECT_DOUBLE_EQ(BitrateKbps(176400, 1.0), 1411.2);
    EXPECT_DOUBLE_EQ(BitrateKbps(176400, 0.0), 0.0);
    EXPECT_EQ(RecordFormatOfChannelType(bass::kCtypeOgg), 5);
    EXPECT_EQ(RecordFormatExtension(5), ".ogg");
    EXPECT_EQ(RecordFormatOfChannelType(0x12345), 0);
    EXPECT_EQ(RecordFormatExtension(6), ".unknown");
}

} // namespace
