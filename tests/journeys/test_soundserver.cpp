// The program on a private PulseAudio server: it holds no stream while
// nothing plays, one while a track plays, and a video's sound goes through
// one stream too.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "journey.h"

extern char** environ;

namespace ktest {
namespace {

class SoundServerJourney : public Journey {
protected:
    void SetUp() override
    {
        Journey::SetUp();
        if (HasFatalFailure())
            return;
        if (!std::filesystem::exists("/usr/bin/pulseaudio") || !std::filesystem::exists("/usr/bin/pactl"))
            GTEST_SKIP() << "pulseaudio and pactl are needed (scripts/packages/journeys.txt)";
        const auto dir = Home().parent_path() / "pulse";
        std::filesystem::create_directories(dir);
        socket_ = (dir / "native").string();
        const std::string log = (dir / "server.log").string();
        std::vector<std::string> args = {"/usr/bin/pulseaudio",
                                         "--daemonize=no",
                                         "-n",
                                         "--exit-idle-time=-1",
                                         "--use-pid-file=no",
                                         "--log-target=stderr",
                                         "-L",
                                         "module-null-sink sink_name=journey rate=44100",
                                         "-L",
                                         "module-native-protocol-unix auth-anonymous=1 socket=" + socket_};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(::posix_spawn(&server_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(socket_); })) << "see " << log;
    }
    void TearDown() override
    {
        Journey::TearDown();
        if (server_ > 0) {
            ::kill(server_, SIGTERM);
            ::waitpid(server_, nullptr, 0);
        }
    }

    std::vector<std::string> SoundEnv() const { return {"SDL_AUDIODRIVER=pulseaudio", "PULSE_SERVER=unix:" + socket_}; }

    // The streams the server plays now; -1 when it cannot be asked.
    int Streams() const
    {
        const std::string command = "PULSE_SERVER=unix:" + socket_ + " pactl list short sink-inputs 2>/dev/null";
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return -1;
        int lines = 0;
        std::array<char, 512> line{};
        while (std::fgets(line.data(), line.size(), pipe))
            ++lines;
        return ::pclose(pipe) == 0 ? lines : -1;
    }

    // The most streams seen over the time, asked every 100 ms.
    int MostStreams(std::chrono::milliseconds time) const
    {
        int most = 0;
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            most = std::max(most, Streams());
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return most;
    }

private:
    std::string socket_;
    pid_t server_ = 0;
};

TEST_F(SoundServerJourney, AStreamOnlyWhileSomethingPlaysAndOneForAVideo)
{
    ASSERT_TRUE(Start({}, SoundEnv()));
    EXPECT_TRUE(WaitUntil([&] { return Streams() == 0; })) << "idle since the start";

    const auto tracks = MakeTracks({"One"}, 3);
    ASSERT_EQ(StartAgain(Arguments(tracks)), 0);
    EXPECT_TRUE(WaitUntil([&] { return Streams() == 1; })) << "a track plays";
    EXPECT_TRUE(WaitUntil([&] { return Streams() == 0; })) << "the track has ended";

    const auto video = Home().parent_path() / "video.mp4";
    ASSERT_EQ(std::system(("ffmpeg -nostdin -y -hide_banner -loglevel error -f lavfi -i "
                           "testsrc2=size=320x240:rate=25:duration=4 -f lavfi -i "
                           "sine=frequency=440:sample_rate=44100:duration=4 -c:v libx264 -pix_fmt yuv420p "
                           "-c:a aac -shortest '" +
                           video.string() + "'")
                              .c_str()),
              0);
    ASSERT_EQ(StartAgain(Arguments({video})), 0);
    EXPECT_TRUE(WaitUntil([&] { return Streams() == 1; })) << "the video's sound plays";
    EXPECT_EQ(MostStreams(std::chrono::seconds(2)), 1) << "one stream for the video";
    EXPECT_EQ(Terminate(), 0);
}

} // namespace
} // namespace ktest
