#pragma once

#include <string>
#include <vector>

class QWidget;

namespace kolvarin {

// Shell and window routines of the player, on the shell stand-in.
// Main thread only.

// Asks the desktop to open the text (a web address or a document); no error
// is reported.
void OpenURL(const std::u16string& text);

// Moves the file to the trash without asking; true when it was moved.
bool DeleteToRecycleBin(const std::u16string& path);

// The folder dialog, opened at initialFolder (else at folder). On OK the
// chosen folder is stored in folder and the result is true; on cancel
// folder is unchanged.
bool BrowseForFolder(QWidget* owner, std::u16string& folder, const std::u16string& caption,
                     const std::u16string& initialFolder);

// The name a file manager shows for the file, else the path.
std::u16string GetDisplayName(const std::u16string& path);

// Shell folder ids, numbered as the player's settings and callers know them.
enum ShellFolderId : int {
    CSIDL_DESKTOP = 0x0000,
    CSIDL_PERSONAL = 0x0005,
    CSIDL_MYMUSIC = 0x000D,
    CSIDL_MYVIDEO = 0x000E,
    CSIDL_DESKTOPDIRECTORY = 0x0010,
    CSIDL_FONTS = 0x0014,
    CSIDL_APPDATA = 0x001A,
    CSIDL_LOCAL_APPDATA = 0x001C,
    CSIDL_INTERNET_CACHE = 0x0020,
    CSIDL_MYPICTURES = 0x0027,
    CSIDL_PROFILE = 0x0028,
};

// The folder for a shell folder id, without a trailing '/'; empty for an id
// that has no counterpart here.
std::u16string GetSpecialFolderPath(int folderId);

// The list dialog with the "Dont ask again for this extension" check box.
// True on OK, with the chosen item; the check state is returned either way.
bool ShowDontAskAgainDialog(const std::u16string& caption, const std::u16string& label,
                            const std::vector<std::u16string>& items, std::u16string& chosen, bool& dontAskAgain);

// Restores a minimised window and brings it to the front; true when it is
// the active window afterwards.
bool ForceForegroundWindow(QWidget* window);

// Shows or hides the window's taskbar button.
void ShowTaskbarButton(QWidget* window, bool show);

// The system's internet-connected state; sends nothing.
bool IsInternetConnected();

} // namespace kolvarin
