#pragma once

#include <string>

namespace kolvarin {

// The program's main sequence: folders, single-instance decision, trace log,
// settings, command line, splash, windows, initialisation, message loop,
// shutdown and cleanup. Returns the process exit code.
int KolvarinMain(int argc, char** argv);

// Shows the text in the splash window and repaints it at once, when there is one.
void SetSplashText(const std::string& text);

// Reads the settings: defaults, then UserPath + "config.xml" over them.
void KLoadConfiguration();

// Everything that needs the windows. False when a fatal step aborted it.
bool KInitialize();

// Moves the queued command-line entries into the playlist and, when one was
// to be played, starts the command-play timer. Main thread.
bool KLoadParameter();

// The analyzer painter takes the skin's analyzer and the spectrum settings
// (at start-up and after a skin change).
void ApplySpectrumSettings();

// The orderly release, saving the user's files unless NoSave.
void KKill();

} // namespace kolvarin
