#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QMenu>

namespace kolvarin {

class TKFormatDatabase;

// One row of the file-type tables, as the developer lists show it.
struct TKFileTypeRow {
    std::string Extension; // ".WAV"
    std::string IconFile; // "wav.ico"
    std::string Description; // "Wavestream (*.wav)"
    bool BuiltIn = false; // plays without extra codecs
};

// The six tables in the order the lists take them.
enum class TKFileTypeGroup { BassFiles, DirectXAudio, DirectXVideo, DVD, CD, Playlists };
inline constexpr TKFileTypeGroup kFileTypeGroups[] = {TKFileTypeGroup::BassFiles,    TKFileTypeGroup::DirectXAudio,
                                                      TKFileTypeGroup::DirectXVideo, TKFileTypeGroup::DVD,
                                                      TKFileTypeGroup::CD,           TKFileTypeGroup::Playlists};
// The rows of a table, in table order (its header row left out).
std::vector<TKFileTypeRow> FileTypeRows(TKFileTypeGroup group);

// The developer's data generators. Each writes one file (the folders end in
// "/") and throws std::runtime_error when it cannot; an old file is then
// kept. Main thread.

// "filetypes.txt": the built-in types' descriptions, then the others.
void CreateFiletypeFile(const std::string& userPath);
// "format_Audio_export.csv", "format_Video_export.csv" and
// "format_Playlists_export.csv".
void CreateFiletypeFeatureFiles(const std::string& userPath);
// "iconswofehlen.txt": the icon files missing below data/icons/.
void CheckIcons(const std::string& applicationPath, const std::string& userPath);
// data/db/videoformats.xml from the built-in FourCC names: the codec table
// is walked (each code once, its first name), so the file is the one a
// look-up of every code below 2^31 would give, in the same order.
void GenVideoFormatsDB(const std::string& applicationPath);
// data/db/audioformats.xml from the built-in wave-format tag names.
void GenAudioFormatsDB(const std::string& applicationPath);
// One "  AddEntry(code, 'name');" line per database entry, in its order.
void GenDefaultFormatsCode(const TKFormatDatabase& db, const std::string& fileName);

// The eight generators as items of the main menu's "Debug" submenu
// (Debug1), on the process-wide folders, databases and language texts. The
// menu owns this object. A generator that fails says why through
// ShowMessage; nothing else changes.
class TKDebugMenu : public QObject {
public:
    explicit TKDebugMenu(QMenu& menu);

    // Unset shows a message box.
    std::function<void(const QString& text)> ShowMessage;

    QAction* CreateFiletypefile1;
    QAction* Createfiletypeforfeaturesdebug1;
    QAction* Checkicons1;
    QAction* Genvideoformatsdb1;
    QAction* Genaudioformatsdb1;
    QAction* Gendefaultvideoformatsdb1;
    QAction* Getdefaultaudioformatsdbcode1;
    QAction* Savecurrentlanguagetoxml1;

private:
    QAction* AddItem(const QString& caption, std::function<void()> run);
    void Message(const QString& text);

    QMenu& menu_;
};

} // namespace kolvarin
