#pragma once

// A play system with the real video side for the tests and benchmarks that
// play media: default settings (no message boxes, no play mode), an empty
// playlist and the given user folder. Open sets the process's settings up;
// a caller sets what else it needs, then makes the side and the system with
// StartSystem. Needs no test framework, so the benchmarks build it too.

#include <filesystem>
#include <functional>
#include <memory>

#include "playback/ksystem.h"
#include "video/kdirectshowside.h"
#include "video/kvideohost.h"

namespace ktest {

class VideoPlayer {
public:
    VideoPlayer() = default;
    ~VideoPlayer() { Close(); }
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;

    // The settings, the playlist and the user folder (made when missing).
    void Open(const std::filesystem::path& userFolder);
    // The graph scripts of the source tree, for a side started after.
    static void UseSourceScripts();
    // The side (inside host's video window, or in a window of its own) and
    // the system that plays through it.
    void StartSystem(kolvarin::video::TKVideoHost* host = nullptr);
    // The same inside a video window that lives until Close.
    template <class Window>
    Window& StartSystem(std::unique_ptr<Window> window)
    {
        Window& w = *window;
        host_ = std::move(window);
        StartSystem(&w);
        return w;
    }
    // Stops and releases the system, the side and the window, then the
    // settings and the playlist; again: nothing.
    void Close();

    // Adds the file to the playlist; its index.
    static int Add(const std::filesystem::path& file);
    // Runs the event loop until done() or the time-out; whether done() held.
    static bool WaitFor(const std::function<bool()>& done, int ms);

    std::unique_ptr<kolvarin::video::TKDirectShowSide> side;
    std::unique_ptr<kolvarin::TKSystem> system;

private:
    std::unique_ptr<kolvarin::video::TKVideoHost> host_;
    bool open_ = false;
};

} // namespace ktest
