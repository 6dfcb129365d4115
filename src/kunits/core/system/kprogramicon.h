#pragma once

#include <string>
#include <vector>

namespace kolvarin {

// The program's icon, compiled in as Qt resources below ":/kolvarin/icons/",
// laid out as the hicolor icon theme lays out its files:
//   hicolor/<N>x<N>/apps/kolvarin.png for N = 16, 22, 24, 32, 48, 64, 128, 256
//   hicolor/scalable/apps/kolvarin.svg
// The windows and the tray take it from there (ProgramIcon in
// core/desktop/kwindowicon.h); registration installs the same files into the
// user's icon theme folder, where the desktop finds them by the name "kolvarin".
inline constexpr const char* kProgramIconName = "kolvarin";
inline constexpr const char* kProgramIconResources = ":/kolvarin/icons/";

inline constexpr int kProgramIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The theme-relative file name of the picture of one size.
std::string ProgramIconFile(int size);
// The theme-relative file names, smallest first, the scalable one last.
std::vector<std::string> ProgramIconFiles();

// Copies every file below IconsFolder (a folder such as
// $XDG_DATA_HOME/icons/, with a trailing '/'), each saved atomically; false
// when one could not be written (the others stay).
bool InstallProgramIcons(const std::string& iconsFolder);
// Removes the files InstallProgramIcons writes there, and nothing else.
void RemoveProgramIcons(const std::string& iconsFolder);

} // namespace kolvarin
