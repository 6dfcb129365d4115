#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/playlist/kplaylist.h"
#include "core/system/kerrors.h"

namespace kolvarin {

// The one playlist; created and freed by the start-up and shutdown sequence.
// Null before and after: the procedures below then act on nothing.
extern TKPlaylist* Playlist;

// Selection state of the playlist window; -1 when unset. Main thread only.
extern int PlaylistItemIndex; // the focused entry that start-play uses
extern int PlaylistAnchorFirst; // the two ends of a range selection
extern int PlaylistAnchorSecond;
extern int64_t PlaylistTopLine; // the playlist window's first visible line

// What the procedures and the playlist files need of the windows and the play
// system. Every hook may be empty; the defaults do nothing, except
// ShowMediaProblem, which shows the error box when the settings ask for it.
struct TKPlaylistHooks {
    std::function<void()> RefreshPlaylist; // repaint and re-place the scroll bar
    std::function<void()> BeginDeleteStatus; // keep the status text, show "Deleting items..."
    std::function<void()> EndDeleteStatus; // show the kept status text again
    std::function<void()> StartPlay; // the play system's start, with nothing playing
    std::function<void(TKErrorCode code, const std::u16string& fileName)> ShowMediaProblem;
};
TKPlaylistHooks& PlaylistHooks();

int PlaylistAdd(const std::u16string& caption, const std::u16string& fileName, const std::string& time, bool selected,
                const std::string& track);
TKPlaylistEntry* PlaylistGetItem(int index);
int PlaylistCount();
int PlaylistLastIndex();
// Empties the list; both anchors and PlaylistItemIndex := -1.
void PlaylistClear();
void PlaylistDeselectAll();
void PlaylistInvertSelection();
void PlaylistSelectAll();
// Selects every entry between the two anchors (both included, either order);
// only indexes inside the list are touched.
void PlaylistSelectRange();
void PlaylistClearPlayed();
// Removes the selected entries (their files go to the trash with deleteFiles),
// moves the top line up by the number removed, resets the anchors.
void PlaylistDeleteSelected(bool deleteFiles);
void PlaylistSort(int mode);
// Sum of every entry's "h:m:s" time in milliseconds; other texts add nothing.
int64_t PlaylistTotalTime();
int PlaylistPlayingIndex();
int PlaylistSelectedCount();
bool PlaylistIsSelected(int index);
// The first entry whose caption equals the text exactly; -1 when none.
int PlaylistIndexOfCaption(const std::u16string& caption);
// LastPlayedIndex when it names an entry of the list, else -1: the stored
// value comes from a file and may not fit the playlist that was loaded.
int PlaylistLastPlayedIndex();

// Hours, minutes and seconds of a time text "h:m:s" in milliseconds; false
// when the text is not three decimal numbers separated by ':'.
bool TimeTextToMilliseconds(const std::string& time, int64_t& milliseconds);

} // namespace kolvarin
