#pragma once

#include <string>

namespace kolvarin::shell {

// Moves a file or folder to the user's freedesktop trash (restorable, no
// questions asked). False when it is missing or cannot be moved; then nothing
// has changed.
bool MoveToTrash(const std::u16string& path);

// The name a file manager shows for the file: its name without the folder.
// The path itself when the file does not exist.
std::u16string DisplayName(const std::u16string& path);

// The user's standard folders, by the XDG user-dirs settings.
enum class SpecialFolder { Desktop, Documents, Music, Videos, Pictures, Home, Data, Cache, Fonts };

// The folder's path without a trailing '/'; empty when the system has none.
std::u16string SpecialFolderPath(SpecialFolder folder);

} // namespace kolvarin::shell
