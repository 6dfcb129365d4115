#include "xdesktop.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace ktest {
namespace {

// Starts a program found on the path, with the process's environment and the
// given display; -1 when it cannot be started.
pid_t Spawn(const std::vector<std::string>& words, const std::string& display = {})
{
    std::vector<char*> argv;
    for (const std::string& w : words)
        argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    const std::string displayVariable = "DISPLAY=" + display;
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        if (display.empty() || std::string_view(*e).rfind("DISPLAY=", 0) != 0)
            env.push_back(*e);
    if (!display.empty())
        env.push_back(const_cast<char*>(displayVariable.c_str()));
    env.push_back(nullptr);
    pid_t pid = -1;
    return ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), env.data()) == 0 ? pid : -1;
}

void End(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

VirtualDesktop::VirtualDesktop(int width, int height, bool windowManager)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    // The server tells its display number on the pipe once it accepts clients.
    server_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0",
                     std::to_string(width) + "x" + std::to_string(height) + "x24"});
    ::close(fds[1]);
    std::string number;
    char c;
    while (server_ > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.empty())
        return;
    display_ = ":" + number;
    if (!windowManager) {
        ready_ = true;
        return;
    }
    manager_ = Spawn({"openbox", "--sm-disable"}, display_);
    ready_ = manager_ > 0 && WaitForWindowManager();
}

VirtualDesktop::~VirtualDesktop()
{
    End(manager_);
    End(server_);
}

bool VirtualDesktop::WaitForWindowManager() const
{
    ::Display* x = XOpenDisplay(display_.c_str());
    if (!x)
        return false;
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    bool found = false;
    for (int tries = 0; tries < 200 && !found; ++tries) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        found = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                   &after, &data) == Success &&
                count == 1;
        if (data)
            XFree(data);
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(x);
    return found;
}

bool XDoTool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

} // namespace ktest
