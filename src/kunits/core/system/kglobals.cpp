#include "core/system/kglobals.h"

namespace kolvarin {

std::string VersionText;
TOSVersion OSVersion = TOSVersion::Unknown;
bool UserIsAdmin = false;
std::string CPUName;
int CPUCores = 1;

bool AppInitialized = false;
bool AppKilled = false;

bool SysActive = false;
bool SysPlayed = false;
bool SysPaused = false;

bool NoSave = false;
bool QuitAfterPlay = false;

void ResetProcessFlags()
{
    AppInitialized = AppKilled = false;
    SysActive = SysPlayed = SysPaused = false;
    NoSave = QuitAfterPlay = false;
}

} // namespace kolvarin
