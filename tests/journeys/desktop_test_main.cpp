#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>

#include <gtest/gtest.h>

#include <unistd.h>

#include "desktop.h"
#include "temphome.h"

namespace ktest {
namespace {

TXSession* session = nullptr;

} // namespace

TXSession& Desktop() { return *session; }

} // namespace ktest

// Runs the tests in one application object on the xcb platform, on a private
// X server with a window manager, where focus, stacking and the input are
// the real ones. Listing the tests needs no server.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ktest::SetHeadlessEnvironment();
    const auto home = std::filesystem::temp_directory_path() / ("kolvarin-desktop-" + std::to_string(::getpid()));
    std::unique_ptr<ktest::TXSession> desktop;
    if (!GTEST_FLAG_GET(list_tests)) {
        std::filesystem::create_directories(home);
        desktop = std::make_unique<ktest::TXSession>(home);
        if (!desktop->Ready()) {
            std::fprintf(stderr, "No private X server with a window manager: %s\n", desktop->Problem().c_str());
            return 1;
        }
        ktest::session = desktop.get();
        ::setenv("DISPLAY", desktop->DisplayName().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        // No session bus: with a display, the bus library would launch one.
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kolvarin-test-bus", 1);
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    desktop.reset();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return result;
}
