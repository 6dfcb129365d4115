// The developer's stress test: its rounds play the next entry and jump about
// in it from the event loop, and the end stops the player.
#include <chrono>
#include <set>

#include <QCoreApplication>

#include "core/playlist/kplaylistprocs.h"
#include "forms/stresstest.h"
#include "mainformfixture.h"

using namespace kolvarin;

namespace ktest {
namespace {

TEST_F(MainFormTest, StresstestRoundsPlayTheNextEntryAndTheEndStopsThePlayer)
{
    for (const char* name : {"one.wav", "two.wav", "three.wav"}) {
        WriteSilence(home() / name, 20);
        PlaylistAdd(u"silence", (home() / name).u16string(), "00:00:20", false, "00");
    }
    system->Play(2);
    ASSERT_TRUE(SysActive);

    TKStressTest test;
    test.RoundPause = test.JumpPause = std::chrono::milliseconds(5);
    test.Start(2);
    EXPECT_FALSE(SysActive) << "a running player is stopped first";
    std::set<int> played;
    bool stripShown = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (test.Running() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (SysActive)
            played.insert(PlaylistPlayingIndex());
        stripShown = stripShown || test.StripShown();
    }
    ASSERT_FALSE(test.Running());
    EXPECT_EQ(played, (std::set<int>{0, 1}));
    EXPECT_TRUE(stripShown);
    EXPECT_EQ(test.ProgressText(), QStringLiteral("Stresstest running, processed 2/2"));
    EXPECT_EQ(test.JumpText(), QStringLiteral("Jump 10 / 10 processed"));
    EXPECT_FALSE(SysActive);
    EXPECT_FALSE(test.StripShown());
}

} // namespace
} // namespace ktest
