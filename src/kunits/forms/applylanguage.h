#pragma once

// Puts the language texts into the captions, labels, buttons and menu
// items of the player's windows; start-up calls it once the language file
// is read, the configuration dialog again after another language was
// chosen. The windows and their components are found by their object
// names (the design's names: "frmPlaylist", "Addfiles1", ...); what does not
// exist is skipped. Texts keep every character (no narrowing to a code
// page). The configuration dialog takes its own texts. Main thread only.

#include <QString>

#include "core/text/klanguage.h"

namespace kolvarin {

// A language text as a Qt string.
QString LanguageQText(TLanguageSection section, int number);

// Gives a component its design name, by which the language texts find it.
template <class T>
T* Named(T* component, const char* name)
{
    component->setObjectName(QString::fromLatin1(name));
    return component;
}

void ApplyLanguage(const TKLanguage& texts);
// The status texts the play system keeps ("Loading...", "[ %s is playing ]"
// ...) and the DVD captions of the playlist; ApplyLanguage runs it too.
void ApplyPlayTexts(const TKLanguage& texts);

} // namespace kolvarin
