#pragma once

#include <functional>
#include <string>

namespace kolvarin {

// How files reach the playlist from outside the playlist window (command
// line, hand-over). Main thread only.
struct TKMediaAdder {
    // Adds one media file through the play system (caption, track and time
    // from the file as the settings ask); false when it was refused or the
    // play system does not exist.
    std::function<bool(const std::u16string& fileName)> AddFile;
};
extern TKMediaAdder MediaAdder;

// Adds every file below the folder (symbolic links to folders are not
// followed, so link cycles cannot loop) whose system type is playable.
void AddDirectory(const std::u16string& folder);

} // namespace kolvarin
