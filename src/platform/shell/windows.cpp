#include "shell/windows.h"

#include <QWidget>

namespace kolvarin::shell {

bool RaiseWindow(QWidget* window)
{
    if (!window)
        return false;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
    return window->isActiveWindow();
}

void SetTaskbarEntry(QWidget* window, bool show)
{
    if (!window || window->windowFlags().testFlag(Qt::Tool) != show)
        return;
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    // Changing the window flags recreates the native window and hides it.
    window->setWindowFlag(Qt::Tool, !show);
    window->setGeometry(geometry);
    if (visible)
        window->show();
}

} // namespace kolvarin::shell
