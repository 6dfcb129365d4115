#pragma once

class QWidget;

namespace kolvarin::shell {

// Restores a minimised window, raises it and asks for it to become the
// active window. True when it is the active window on return; window systems
// confirm activation asynchronously, so false may still end in front.
// Main thread only; a null window gives false.
bool RaiseWindow(QWidget* window);

// Shows or hides the window's taskbar entry. A hidden entry makes the window a
// tool window; a window that was visible is shown again at its place.
void SetTaskbarEntry(QWidget* window, bool show);

} // namespace kolvarin::shell
