#include "shell/windows.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace kolvarin::shell;

TEST(ShellWindows, TaskbarEntryTogglesWithoutHidingTheWindow)
{
    QWidget window;
    window.setGeometry(40, 50, 200, 100);
    window.show();
    SetTaskbarEntry(&window, false);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), QRect(40, 50, 200, 100));
    SetTaskbarEntry(&window, true);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.isVisible());

    QWidget hidden;
    SetTaskbarEntry(&hidden, false);
    EXPECT_FALSE(hidden.isVisible());
    SetTaskbarEntry(nullptr, true);
}

TEST(ShellWindows, RaisingRestoresAMinimisedWindow)
{
    QWidget window;
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(window.isMinimized());
    RaiseWindow(&window);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_FALSE(RaiseWindow(nullptr));
}
