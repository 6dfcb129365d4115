#pragma once

// A private X server for the tests of real windows: Xvfb on a display of its
// own choosing (so tests running side by side never meet), and with a window
// manager, openbox on it, ready to manage windows when the constructor
// returns. Both are ended, by their process ids, when the object goes.

#include <string>

#include <sys/types.h>

namespace ktest {

class VirtualDesktop {
public:
    VirtualDesktop(int width, int height, bool windowManager);
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    // ":N"; empty when the server did not start.
    const std::string& Display() const { return display_; }
    // The server runs and, when one was asked for, the window manager too.
    bool Ready() const { return ready_; }

private:
    bool WaitForWindowManager() const;

    pid_t server_ = -1, manager_ = -1;
    std::string display_;
    bool ready_ = false;
};

// Runs xdotool with the arguments on the process's display; whether it succeeded.
bool XDoTool(const std::string& arguments);

} // namespace ktest
