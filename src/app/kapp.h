#pragma once

namespace kolvarin {

// The program's main sequence: folders, single-instance decision, trace log,
// settings, command line, splash, windows, initialisation, message loop,
// shutdown and cleanup. Returns the process exit code.
int KolvarinMain(int argc, char** argv);

// Reads the settings: defaults, then UserPath + "config.xml" over them.
void KLoadConfiguration();

// Everything that needs the windows. False when a fatal step aborted it.
bool KInitialize();

// The orderly release, saving the user's files unless NoSave.
void KKill();

} // namespace kolvarin
