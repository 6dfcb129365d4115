#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>

#include <gtest/gtest.h>

#include "temphome.h"
#include "xdesktop.h"

// Runs the tests in one application object on the xcb platform, on a private
// X server with a window manager. Listing the tests needs no server.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ktest::SetHeadlessEnvironment();
    std::unique_ptr<ktest::VirtualDesktop> desktop;
    if (!GTEST_FLAG_GET(list_tests)) {
        desktop = std::make_unique<ktest::VirtualDesktop>(1024, 768, true);
        if (!desktop->Ready()) {
            std::fprintf(stderr, "No X server with a window manager (Xvfb, openbox) could be started\n");
            return 1;
        }
        ::setenv("DISPLAY", desktop->Display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        // No session bus: with a display, the bus library would launch one.
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kolvarin-test-bus", 1);
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
