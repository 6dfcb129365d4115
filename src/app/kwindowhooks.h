#pragma once

namespace kolvarin {

// Connects the user actions and the application states to the windows
// that do their part (the playlist window's scrolling, sorting and layout).
// Each hook asks for its window when it runs, so the order in which the
// windows are created and destroyed does not matter. Main thread.
void InstallWindowHooks();

} // namespace kolvarin
