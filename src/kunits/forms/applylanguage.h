#pragma once

// Puts the language texts into the captions, labels, buttons and menu
// items of the player's windows; start-up calls it once the language file
// is read, the configuration dialog again after another language was
// chosen. The windows and their components are found by their object
// names (the design's names: "frmPlaylist", "Addfiles1", ...); what does not
// exist is skipped. Texts keep every character (no narrowing to a code
// page). The configuration dialog takes its own texts. Main thread only.

#include "core/text/klanguage.h"

namespace kolvarin {

void ApplyLanguage(const TKLanguage& texts);
// The status texts the play system keeps ("Loading...", "[ %s is playing ]"
// ...) and the DVD captions of the playlist; ApplyLanguage runs it too.
void ApplyPlayTexts(const TKLanguage& texts);

} // namespace kolvarin
