#pragma once

namespace kolvarin {

class TfrmConfig;

// Connects the configuration dialog's Apply to the program's windows and
// services: the skin change, the analyzer, the audio buffer, messages; and
// fills the main menu's Debug submenu. Runs once every window exists.
void InstallConfigHooks(TfrmConfig& form);

} // namespace kolvarin
