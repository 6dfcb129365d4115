#pragma once

// The user actions: the small operations that hot keys, the windows'
// buttons and menus, the mouse wheel and the command line run on the play
// system. Each changes the setting, moves the skinned control that shows it
// (the process-wide skin record GUI and the main window's controls),
// applies the change through PlaySystem and tells the user: a status text
// that returns to the idle text after a second and, for video, an
// on-screen text. What does not exist yet (settings, play system, a
// window) is skipped. Main thread only.

#include <cstdint>
#include <functional>
#include <string>

#include "skin/kgui.h"
#include "skin/kskinnedwindow.h"
#include "skin/ktransportpanel.h"

class QWidget;

namespace kolvarin {

// The on-screen text of the video side: empty when none is shown.
extern std::u16string OSDText;
extern bool OSDShown;
// A temporary status text shows; the status reset timer restores the idle text.
extern bool StatusResetPending;

// What other windows do for the actions. Each window sets its own entries
// when it is created and clears them when it goes; an empty entry does
// nothing (or answers false).
struct TKUserActionHooks {
    // The playlist window is the active window (the wheel scrolls it).
    std::function<bool()> PlaylistActive;
    // Scrolls the playlist by rows (negative up), and so that the entry
    // stands in view (the played entry).
    std::function<void(int rows)> ScrollPlaylist;
    std::function<void(int index)> ScrollPlaylistTo;
    // The playlist window's search, sort (mode 0..7), disc and URL dialogs.
    std::function<void()> FindItem;
    std::function<void(int mode)> SortPlaylist;
    std::function<void()> AddDisc;
    std::function<void()> AddURL;
    // The video window: full screen now; display mode 1 window, 2 full
    // screen, 3 desktop; brightness to the colour control; background
    // repainted under the on-screen text; screenshot (original size or
    // fitted); digital zoom; next aspect ratio, audio stream, subtitle
    // stream, monitor.
    std::function<bool()> VideoFullscreen;
    std::function<void(int mode)> SetVideoWindowMode;
    std::function<void(int brightness)> SetBrightness;
    std::function<void()> RepaintVideoBackground;
    std::function<void(bool original)> Screenshot;
    std::function<void(int zoom)> SetDigitalZoom;
    std::function<void()> NextAspectRatio;
    std::function<void()> NextAudioStream;
    std::function<void()> NextSubtitleStream;
    std::function<void()> NextMonitorOutput;
    // The configuration dialog's brightness track bar follows the setting.
    std::function<void(int brightness)> BrightnessChanged;
};
TKUserActionHooks& UserActionHooks();

// The texts of the language's Status section that the windows show, by number.
enum TKStatusTextId : int {
    txtChooseDirectory = 1,
    txtReadingDirectory = 2,
    txtAddingFiles = 3,
    txtReady = 4,
    txtVolume = 7,
    txtSpeed = 9,
    txtPaused = 10,
    txtBalanceCenter = 11,
    txtBalanceLeft = 12,
    txtBalanceRight = 13,
    txtClosing = 19,
    txtTimejump = 20,
    txtBrightness = 39,
};
const std::u16string& StatusLanguageText(TKStatusTextId id);

// --- status and on-screen text ---------------------------------------------
void ShowStatus(const std::u16string& text);
// The idle text: "Ready", the playing title once a play has started,
// "Paused" while paused.
void ResetStatus();
void ShowOSD(const std::u16string& text);
void StartOSDTimer(int ms);

// --- the actions --------------------------------------------------------------
void VolumeUp();
void VolumeDown();
// One jump of JumpInterval on the progress control (the full-screen bar's
// in full-screen mode); only while a seekable medium has started.
void SeekForward();
void SeekBackward();
// The time a progress value stands for, in the status and as on-screen text.
void ShowTimeJump(int64_t value);
// Speed step 0..10 (25 % each).
void SetSpeedStep(int step);
void BrightnessUp();
void BrightnessDown();
void ToggleMute();
// A volume control moved by the mouse on a window's panel: the volume the
// panel shows plays at once (and stays for the next medium); when the drag
// ends every panel shows it.
void VolumeMoved(const TKTransportPanel& panel, TKDragPhase phase);
void PlayPause();
void ToggleFullscreen();
void SetVideoMode(int mode);
// Tray icon and taskbar button by ShowKolvarinIn: 0 button, 1 icon, 2 both.
void SetTrayMode();
void MouseWheelUp();
void MouseWheelDown();
void HandleHotKey(uint16_t key, uint8_t shift);
// The top-level window with that object name ("frmPlaylist", ...); null
// when there is none.
QWidget* PlayerWindow(const char* name);
template <class Window>
Window* PlayerWindowAs(const char* name)
{
    return dynamic_cast<Window*>(PlayerWindow(name));
}
// The caption bars of the main, playlist, media-controls and video windows:
// the active window's shows active, every other one inactive (all of them
// with none).
void ShowCaptionsActive(TKGUI& skin, const QWidget* active);

// A player window is in front and the main window is not minimised. A bit
// of exclude makes the answer false while that window has the focus: 1
// main, 2 media controls, 4 playlist, 8 video and full-screen bar, 16
// configuration dialog.
bool IsPlayerForeground(int exclude);
// The playlist window has the keyboard focus.
bool PlaylistFocused();
// Every shown player window brought back from the task bar, the main window
// in front and active.
void BringApplicationToFront();
// Every shown player window to the task bar (the application minimised).
void MinimizeApplication();
// One action of the hot-key table (1 .. 54).
void RunHotKeyAction(int action);

// --- the texts of the actions --------------------------------------------------
// "[ Volume %3.1f %s ]" and "[ Balance ... ]".
std::u16string VolumeText(double percent);
std::u16string BalanceText(int64_t value);

} // namespace kolvarin
