#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/ksystemtypes.h"

namespace kolvarin {

// One playlist entry.
struct TKPlaylistEntry {
    std::u16string Caption;
    std::string Time; // at most 8 characters, normally "hh:mm:ss"
    std::u16string FileName;
    bool Selected = false;
    bool PlayState = false; // the entry being (or last) played
    std::string Track; // at most 2 characters, "00" when none
    int32_t Reserved = 0;
};

// The sort mode last used; the playlist window shows it.
extern int PlaylistSortMode;

enum TPlaylistSortMode : int {
    psmCaption = 0,
    psmFileName = 1,
    psmTime = 2,
    psmTrack = 3,
    psmVideoFirst = 4,
    psmAudioFirst = 5,
    psmShuffle = 6,
    psmReverse = 7,
};

// The ordered list of entries. Owns them. Main thread only.
class TKPlaylist {
public:
    // What the model needs from the rest of the program. The defaults:
    // SystemType decides by the settings' accepted-extension rules (or accepts
    // every file when there is no settings object); RecycleFile is empty, so
    // files stay where they are until the program installs the trash.
    struct Services {
        std::function<TSystemType(const std::u16string& fileName)> SystemType;
        std::function<bool(const std::u16string& fileName)> RecycleFile;
    };
    static Services& Hooks();

    void Clear();
    void DeselectAll();
    void ClearPlayState();
    void InvertSelection();
    // Appends an entry (time and track cut to 8 and 2 characters); its index.
    int Add(const std::u16string& caption, const std::u16string& fileName, bool selected, const std::string& track,
            const std::string& time);
    // Appends an entry that is complete already (the file readers).
    void Append(std::unique_ptr<TKPlaylistEntry> entry);
    // nullptr outside 0 .. Count - 1.
    TKPlaylistEntry* GetItem(int index) const;
    // Removes every selected entry; with deleteFiles each one's file goes to
    // the trash first (last entry first). An entry stays removed even when its
    // file could not be moved.
    void DeleteSelected(bool deleteFiles);
    int Count() const { return static_cast<int>(items_.size()); }
    // Modes 0..7, see TPlaylistSortMode; other values only set the mode.
    void Sort(int mode);
    // Takes the entry out without destroying it (to move entries); null when
    // the index is outside the list.
    std::unique_ptr<TKPlaylistEntry> Delete(int index);
    // Puts an entry in at Index (clamped to 0 .. Count).
    void Insert(int index, std::unique_ptr<TKPlaylistEntry> entry);
    int IndexOf(const TKPlaylistEntry* entry) const;

private:
    std::vector<std::unique_ptr<TKPlaylistEntry>> items_;
};

// The track text as a number for sorting: its decimal value, 0 when it is not one.
int64_t TrackNumber(const std::string& track);

} // namespace kolvarin
