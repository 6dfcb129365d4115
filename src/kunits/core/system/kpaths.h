#pragma once

#include <string>

namespace kolvarin {

// The three folders every file name is built from. Each ends in '/'.
// Set once by the start-up sequence on the main thread, read everywhere.
extern std::string InstallPath; // folder of the program file
extern std::string UserPath; // per-user data folder, created at start
extern std::string ApplicationPath; // folder holding data/ (languages, db, skins...)

// The folder of the running executable, with a trailing '/'.
std::string DetectInstallPath();

// $KOLVARIN_HOME when set, else $XDG_DATA_HOME/kolvarin/, else
// ~/.local/share/kolvarin/. Created (mode 0700) with missing parents; an
// empty result means no folder could be made.
std::string DetectUserPath();

// The folder that holds data/: beside the executable (or its parent, for a
// build tree), else the installed share folder; InstallPath as a last resort.
std::string DetectApplicationPath(const std::string& installPath);

// Appends '/' when missing.
std::string IncludeTrailingSlash(std::string path);

} // namespace kolvarin
