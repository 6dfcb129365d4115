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

// Where the build put the folder that holds data/ (each ends in '/').
struct TKDataLocations {
    std::string Installed; // relative to an installed program's folder: "../share/kolvarin/"
    std::string BuildTree; // programs below this folder are the build tree's...
    std::string BuildData; // ...and take the source folder's data/ from here
};
// This build's locations.
const TKDataLocations& BuiltDataLocations();

// The folder that holds data/: the installed layout beside the program, else
// the build's data for a program of the build tree, else the nearest folder
// above the program that holds data/ or share/kolvarin/data/; installPath
// as a last resort.
std::string DetectApplicationPath(const std::string& installPath, const TKDataLocations& where = BuiltDataLocations());

// Appends '/' when missing.
std::string IncludeTrailingSlash(std::string path);

} // namespace kolvarin
