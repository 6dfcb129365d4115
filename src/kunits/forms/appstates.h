#pragma once

// Bringing the windows into line with the settings and the skin at three
// moments of the program's life, and the small display routines several
// windows share. They act on the process-wide settings, skin record,
// playlist, play system and the windows that exist (found by their object
// names); what is missing is skipped. Main thread only.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "playback/ksystem.h"

namespace kolvarin {

// What the other windows do for the application states; each window sets
// its own entries. Empty entries do nothing.
struct TKAppStateHooks {
    // The playlist window lays itself out with its view at the top, and
    // repaints.
    std::function<void()> PlaylistLayout;
    std::function<void()> PlaylistRepaint;
    // The video window lays itself out.
    std::function<void()> VideoLayout;
    // The debug entries of the other windows (the playlist's stress test,
    // the video graph's log file) follow the debug setting.
    std::function<void(bool enabled)> DebugEnabled;
};
TKAppStateHooks& AppStateHooks();

// "PROGRAMMSTART" (end of start-up), "SKINCHANGE" (a new skin was applied)
// or "PROGRAMEND" (shutdown: the window positions into the settings); any
// other text does nothing.
void SetApplicationState(const std::string& state);
// The element start values of "PROGRAMMSTART" and the blank time alone:
// start-up shows them before the windows appear, so that the first picture
// is the one that stays.
void ShowStartStates();

// Visibility, positions and element states of the main, playlist and
// media-controls windows from the settings.
void ArrangeWindows();

// The add-files dialog's filter: every extension the player knows, then
// each kind's own, then the playlist files. In the design's "name|*.a;*.b"
// form, and as Qt's "name (*.a *.b);;..." form.
std::u16string OpenDialogFilter();
QString QtFileDialogFilter(const std::u16string& filter);

// "hh:mm:ss" of a second count (hours not wrapped).
std::u16string SecondsToTimeText(int64_t seconds);
std::u16string FormatTime(int hours, int minutes, int seconds);

// Time digits (any -1 blanks all six) in the time element of the main
// window and of the full-screen bar; a value of 100 or more shows its first
// two digits.
void ShowTimeDigits(int hours, int minutes, int seconds, bool negative);
// The six digits ShowTimeDigits draws.
std::array<int, 6> TimeDigits(int hours, int minutes, int seconds);

// The lines of the stream information ("Audio stream: ...") of the current
// medium, each ended by a line break; empty when there is none.
std::u16string BuildStreamInfoText(const std::vector<TKStreamInfo>& infos);
// After a medium started: the media-information balloon and on-screen text
// by the notification settings, or the problem balloon when no stream could
// be used.
void ShowMediaInfo(const std::vector<TKStreamInfo>& infos, const TKPlaylistEntry& entry);

} // namespace kolvarin
