#pragma once

// A play system with the real video side for the tests that play media:
// a fresh user folder, default settings (no message boxes, no play mode),
// an empty playlist. A test sets what else it needs, then makes the side
// and the system with StartSystem.

#include <filesystem>
#include <functional>
#include <memory>

#include "playback/ksystem.h"
#include "temphome.h"
#include "video/kdirectshowside.h"

namespace ktest {

class VideoPlayFixture : public TempHomeTest {
protected:
    void SetUp() override;
    // Stops and releases the system and the side, then the settings and playlist.
    void TearDown() override;
    // The side (inside host's video window, or in a window of its own) and
    // the system that plays through it.
    void StartSystem(kolvarin::video::TKVideoHost* host = nullptr);
    // Adds the file to the playlist; its index.
    static int Add(const std::filesystem::path& file);
    // Runs the event loop until done() or the time-out; whether done() held.
    static bool WaitFor(const std::function<bool()>& done, int ms);

    std::unique_ptr<kolvarin::video::TKDirectShowSide> side;
    std::unique_ptr<kolvarin::TKSystem> system;
};

} // namespace ktest
