#pragma once

namespace kolvarin {

// Which of the user's files the start-up has read. Shutdown saves only those:
// after an aborted start a file whose load never ran would otherwise be
// overwritten by an empty table or playlist. Main thread only.
struct TKLoadedFiles {
    bool AcceptedExtensions = false;
    bool FilterManager = false;
    bool Playlist = false;
};
extern TKLoadedFiles LoadedFiles;

// The shutdown's saves of config.xml, acceptedextensions.xml,
// filtermanager.xml and default.kpl into UserPath, each guarded and logged on
// its own; NoSave, or a file whose load never ran, logs "skipped!".
void KSaveUserFiles();

} // namespace kolvarin
