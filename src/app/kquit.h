#pragma once

namespace kolvarin {

// Ends the program the normal way from wherever the main thread stands: the
// open popup menus and modal dialogs close (a box as if its OK button was
// pressed), every running event loop returns, and the message loop is not
// entered any more once start-up ends, so the whole shutdown sequence runs
// and saves. A dialog or menu opened later closes as soon as it shows.
// Main thread, with the application object alive.
void RequestQuit();

// True once RequestQuit ran.
bool QuitRequested();

} // namespace kolvarin
