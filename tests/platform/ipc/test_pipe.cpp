#include "ipc/pipe.h"
#include "ipc/pipemessage.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <random>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "temphome.h"

using namespace std::string_literals;

using namespace kolvarin::ipc;

namespace {

std::string Le32(uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string RawRecord(uint32_t size, uint8_t kind, uint32_t length, const std::string& text)
{
    return Le32(size) + static_cast<char>(kind) + std::string(3, '\0') + Le32(length) + text;
}

struct Received {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<uint8_t, std::string>> items;
    void Add(uint8_t kind, const std::string& text)
    {
        std::lock_guard lock(mutex);
        items.emplace_back(kind, text);
        changed.notify_all();
    }
};

// Sends raw bytes as one packet and returns the reply (empty when none).
std::string SendRaw(const std::string& path, const std::string& bytes)
{
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return "connect failed";
    }
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    timeval timeout{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string reply(TPipeMessage::kRecordSize, '\0');
    ssize_t n = ::recv(fd, reply.data(), reply.size(), 0);
    ::close(fd);
    reply.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return reply;
}

} // namespace

TEST(PipeMessage, EncodeDecodeAndReplyByteForByte)
{
    TPipeMessage m;
    m.Text = "\"/usr/bin/kolvarin\" /play a.mp3";
    const std::string wire = m.Encode();
    const uint32_t length = static_cast<uint32_t>(m.Text.size() + 1);
    EXPECT_EQ(wire, RawRecord(length + 12, 1, length, m.Text + '\0'));
    EXPECT_EQ(TPipeMessage::Decode(wire)->Text, m.Text);

    const std::string reply = TPipeMessage::Reply(RawRecord(15, 1, 3, "ab\0"s));
    EXPECT_EQ(reply, RawRecord(15, 1, 3, "\0ba"s));
}

TEST(PipeMessage, LengthAndSizeAreNeverTrusted)
{
    struct Case {
        std::string bytes;
        bool decodes;
        std::string text;
    } cases[] = {
        {"short", false, ""},
        {RawRecord(0, 1, 0xFFFFFFFF, "abc"), true, "abc"}, // Length beyond what arrived
        {RawRecord(99, 1, 2, "abcdef"), true, "ab"}, // Length shorter than the text
        {RawRecord(99, 7, 4, "a\0bc"s), true, "a"}, // zero inside Length
        {RawRecord(99, 1, 9000, std::string(9000, 'x')), true, std::string(8096, 'x')}, // over the field
    };
    for (const auto& c : cases) {
        auto m = TPipeMessage::Decode(c.bytes);
        ASSERT_EQ(m.has_value(), c.decodes);
        if (m) {
            EXPECT_EQ(m->Text, c.text);
        }
    }
    EXPECT_EQ(TPipeMessage::Reply(RawRecord(0, 1, 0xFFFFFFFF, "xyz")).substr(12), "zyx");
    TPipeMessage tooLong;
    tooLong.Text = std::string(10000, 'y');
    EXPECT_EQ(tooLong.Encode().size(), TPipeMessage::kRecordSize);
}

class PipeTest : public ::testing::Test {
protected:
    ktest::TempDir dir;
    std::string path = (dir.path() / "kolvarin.pipe").string();
    Received received;
};

TEST_F(PipeTest, RoundTripHandsOverTheTextAndAnswersReversed)
{
    TKPipeServer server(path, [this](uint8_t kind, const std::string& text) {
        received.Add(kind, text);
        return true;
    });
    EXPECT_EQ(TKPipeClient(path).SendString("hello"), "\0olleh"s);
    // "shutdown pipe " with another path is plain data.
    EXPECT_EQ(TKPipeClient(path).SendString("shutdown pipe /elsewhere").size(), 25u);
    std::unique_lock lock(received.mutex);
    ASSERT_TRUE(received.changed.wait_for(lock, std::chrono::seconds(2), [&] { return received.items.size() == 2; }));
    EXPECT_EQ(received.items[0], std::make_pair(uint8_t{1}, std::string("hello")));
    EXPECT_EQ(received.items[1].second, "shutdown pipe /elsewhere");
}

TEST_F(PipeTest, BadRecordsAreAnsweredOrDroppedAndTheServerKeepsRunning)
{
    TKPipeServer server(path, [this](uint8_t kind, const std::string& text) {
        received.Add(kind, text);
        return true;
    });
    EXPECT_EQ(SendRaw(path, "abc"), "") << "shorter than a header: no answer";
    EXPECT_EQ(SendRaw(path, RawRecord(12, 9, 0xFFFFFF, "lie")).substr(12), "eil");
    std::mt19937 random(7);
    for (int i = 0; i < 50; ++i) {
        std::string noise(random() % 9000, '\0');
        for (char& c : noise)
            c = static_cast<char>(random());
        SendRaw(path, noise);
    }
    EXPECT_EQ(TKPipeClient(path).SendString("still here"), "\0ereh llits"s);
}

TEST_F(PipeTest, LongTextsArriveWholeInPartsAndARefusedTextIsNotAnswered)
{
    std::atomic<bool> taking{true};
    TKPipeServer server(path, [&](uint8_t kind, const std::string& text) {
        if (taking)
            received.Add(kind, text);
        return taking.load();
    });
    std::string whole;
    for (int i = 0; whole.size() < 3 * TPipeMessage::kTextSize; ++i)
        whole += "\"/music/a deep folder/track " + std::to_string(i) + ".mp3\" ";
    TKPipeClient(path).SendString(whole);
    TKPipeClient(path).SendString(std::string(TPipeMessage::kTextSize - 1, 'x')); // exactly one record
    {
        std::unique_lock lock(received.mutex);
        ASSERT_TRUE(
            received.changed.wait_for(lock, std::chrono::seconds(2), [&] { return received.items.size() == 2; }));
        EXPECT_EQ(received.items[0], std::make_pair(uint8_t{1}, whole));
        EXPECT_EQ(received.items[1].second.size(), TPipeMessage::kTextSize - 1);
    }
    // A part alone, then the connection closed: nothing is handed over.
    SendRaw(path, RawRecord(16, TKPipeServer::kPartKind, 4, "abc\0"s));
    EXPECT_THROW(TKPipeClient(path).SendString(std::string(TKPipeServer::kMaxTextBytes + 1, 'z')), EPipeError);

    taking = false;
    try {
        TKPipeClient(path).SendString("refused");
        FAIL() << "a refused text was answered";
    } catch (const EPipeError& e) {
        EXPECT_STREQ(e.what(), "PIPE did not respond.");
    }
    std::lock_guard lock(received.mutex);
    EXPECT_EQ(received.items.size(), 2u);
}

TEST_F(PipeTest, SecondServerIsRefusedAndStaleSocketReplaced)
{
    {
        TKPipeServer server(path, nullptr);
        EXPECT_THROW(TKPipeServer(path, nullptr), EPipeError);
    }
    // A socket file nobody listens on, as a crashed run leaves it.
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    TKPipeServer server(path, nullptr);
    EXPECT_EQ(TKPipeClient(path).SendString("x"), "\0x"s);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(PipeTest, ClientFailsCleanlyWithoutAServer)
{
    try {
        TKPipeClient(path).SendString("x");
        FAIL();
    } catch (const EPipeError& e) {
        EXPECT_STREQ(e.what(), "PIPE does not exist.");
    }
    EXPECT_THROW(TKPipeClient(path).SendString(std::string(8096, 'a')), EPipeError);
    EXPECT_THROW(TKPipeClient(path).SendString(std::string(20000, 'a')), EPipeError);
}
