#pragma once

namespace kolvarin {

class TfrmConfig;

// Connects the configuration dialog's Apply to the program's windows and
// services: the skin change, the analyzer, the audio buffer, messages. Runs
// when the dialog is built.
void InstallConfigHooks(TfrmConfig& form);

} // namespace kolvarin
