// Global keys grabbed on a real X server: runs only where Xvfb is installed.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "keyhook/keyhook.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace kolvarin::keyhook {
namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";

// A private X server for the test; it tells its display number when ready.
class VirtualServer {
public:
    VirtualServer()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {kXvfb,     "-displayfd", fd.c_str(),   "-nolisten", "tcp",
                              "-screen", "0",          "320x200x24", nullptr};
        if (::posix_spawn(&pid_, kXvfb, nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            pid_ = -1;
        ::close(fds[1]);
        std::string number;
        char c;
        while (::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (!number.empty())
            display_ = ":" + number;
    }
    ~VirtualServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

class Recorder : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != THookEvent::TypeOf(kHookKeyMessage))
            return QObject::event(e);
        const auto* h = static_cast<THookEvent*>(e);
        if (!(h->LParam & kKeyUpBit))
            downs.push_back({h->WParam, h->KeyState});
        return true;
    }
    std::vector<std::pair<uint64_t, uint8_t>> downs;
};

void Type(::Display* display, const std::vector<KeySym>& held, KeySym key)
{
    for (KeySym k : held)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, k), True, 0);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, 0);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, 0);
    for (KeySym k : held)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, k), False, 0);
    XSync(display, False);
}

TEST(X11Keys, GlobalKeysArriveWhateverHasTheFocus)
{
    if (::access(kXvfb, X_OK) != 0)
        GTEST_SKIP() << "no Xvfb";
    VirtualServer server;
    ASSERT_FALSE(server.Display().empty());
    ::setenv("DISPLAY", server.Display().c_str(), 1);
    // No session bus: with a display, the bus library would otherwise try to launch one.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kolvarin-test-bus", 1);
    ::Display* typist = XOpenDisplay(server.Display().c_str());
    ASSERT_NE(typist, nullptr);

    Recorder window;
    KSetKolvHandler(&window);
    KSetGlobalKeys({{0x50, 1 | 4}, {0x73, 2}});
    ASSERT_TRUE(KEnableHook());
    Type(typist, {XK_Control_L, XK_Shift_L}, XK_p);
    Type(typist, {}, XK_q); // not grabbed
    Type(typist, {XK_Alt_L}, XK_F4);
    Type(typist, {XK_Shift_L}, XK_p); // other modifiers: not grabbed
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (window.downs.size() < 2 && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(window.downs, (std::vector<std::pair<uint64_t, uint8_t>>{{0x50, 5}, {0x73, 2}}));

    KDisableHook();
    KSetKolvHandler(nullptr);
    XCloseDisplay(typist);
    ::unsetenv("DISPLAY");
}

} // namespace
} // namespace kolvarin::keyhook
