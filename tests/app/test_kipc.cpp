// The running instance's side of the hand-over at its end: what was taken is
// handled, what comes later is refused, never acknowledged and lost.
#include <gtest/gtest.h>

#include "app/kipc.h"
#include "core/system/kcmdparameter.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "ipc/pipe.h"
#include "temphome.h"

namespace kolvarin {
namespace {

TEST(HandOverChannelTest, AtTheEndQueuedTextsAreHandledAndLaterOnesRefused)
{
    ktest::TempDir dir;
    UserPath = dir.path().string() + "/";
    std::unique_ptr<ipc::TKPipeServer> server = CreatePipeServer();
    ASSERT_TRUE(server);
    int steps = 0;
    ParameterActions.VolumeUp = [&] { ++steps; };
    AppInitialized = true; // the volume step acts at once
    // Taken while the main thread does not handle texts yet (as between the
    // message loop's last look and the shutdown).
    EXPECT_NO_THROW(ipc::TKPipeClient(PipePath()).SendString("\"kolvarin\" /vup", 1000));
    DisableReceivedParameters();
    EXPECT_EQ(steps, 1) << "the text taken was never handled";
    try {
        ipc::TKPipeClient(PipePath()).SendString("\"kolvarin\" /vup", 1000);
        ADD_FAILURE() << "a text was answered after the end";
    } catch (const ipc::EPipeError& e) {
        EXPECT_STREQ(e.what(), "PIPE did not respond.");
    }
    EXPECT_EQ(steps, 1);
    AppInitialized = false;
    ParameterActions.VolumeUp = nullptr;
    server.reset();
}

} // namespace
} // namespace kolvarin
