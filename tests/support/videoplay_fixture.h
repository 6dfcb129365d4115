#pragma once

// The video player of the tests that play media, in a fresh user folder
// for each test; closed after the test.

#include "temphome.h"
#include "videoplayer.h"

namespace ktest {

class VideoPlayFixture : public TempHomeTest, public VideoPlayer {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        Open(home());
    }
    void TearDown() override
    {
        Close();
        TempHomeTest::TearDown();
    }
};

} // namespace ktest
