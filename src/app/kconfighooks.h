#pragma once

namespace kolvarin {

class TfrmConfig;

// Fills the main menu's Debug submenu, lets the video window's cursor follow
// the settings and the brightness keys move the configuration dialog's bar.
// Runs once the skinned windows exist.
void InstallFormHooks();

// Connects the configuration dialog's Apply to the program's windows and
// services: the skin change, the analyzer, the audio buffer, messages. Runs
// when the dialog is built.
void InstallConfigHooks(TfrmConfig& form);

} // namespace kolvarin
