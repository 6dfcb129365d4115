#pragma once

#include <string>

#include "core/system/ksysinfo.h"

namespace kolvarin {

// Process-wide state of the start-up sequence; owned by the main thread.
extern std::string VersionText;
extern TOSVersion OSVersion;
extern bool UserIsAdmin;
extern std::string CPUName;
extern int CPUCores;

extern bool AppInitialized; // True only after the initialisation ran to its end
extern bool AppKilled; // True once shutdown ran to its end: handlers do nothing more

extern bool SysActive;
extern bool SysPlayed;
extern bool SysPaused;

extern bool NoSave; // "/nosave": shutdown writes none of the user's files
extern bool QuitAfterPlay; // "/q"

// The flags above as a process has them before start-up: nothing
// initialised, nothing plays, no option given.
void ResetProcessFlags();

} // namespace kolvarin
