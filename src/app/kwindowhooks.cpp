#include "kwindowhooks.h"

#include <QAction>
#include <QMenu>

#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "forms/videomenus.h"

namespace kolvarin {

namespace {

// The main window's video menu shows the video window's commands: each
// display-mode item the command of its name, each ratio item the command of
// the same stored mode (their tags), never the one at the same place.
void ConnectVideoMenu()
{
    if (!frmMain || !frmVideo)
        return;
    TKVideoPopupMenu& video = frmVideo->Menu;
    ShowCommand(frmMain->Fullscreen1, video.Fullscreen1);
    ShowCommand(frmMain->Desktop1, video.Desktopmode1);
    ShowCommand(frmMain->Window1, video.Windowmode1);
    for (QAction* item : MenuItems(*frmMain->Ratio1))
        for (QAction* command : MenuItems(*video.Ratio1))
            if (ItemTag(command) == ItemTag(item))
                ShowCommand(item, command);
    frmVideo->MainMonitorOutput = frmMain->MonitorOutput1;
}

} // namespace

void InstallWindowHooks()
{
    ConnectVideoMenu();
    // The playlist menu's add items run the main window's add actions.
    if (frmPlaylist) {
        frmPlaylist->OnAddFiles = [] {
            if (frmMain)
                frmMain->AddFromPlaylistExecute();
        };
        frmPlaylist->OnAddDirectory = [] {
            if (frmMain)
                frmMain->AddDirExecute();
        };
    }
    TKUserActionHooks& actions = UserActionHooks();
    actions.PlaylistActive = [] { return frmPlaylist && frmPlaylist->IsActive; };
    actions.ScrollPlaylist = [](int rows) {
        if (!frmPlaylist)
            return;
        if (rows > 0)
            frmPlaylist->ScrollDown();
        else if (rows < 0)
            frmPlaylist->ScrollUp();
    };
    actions.ScrollPlaylistTo = [](int index) {
        if (frmPlaylist)
            frmPlaylist->ScrollToIndex(index);
    };
    actions.SortPlaylist = [](int mode) {
        if (frmPlaylist)
            frmPlaylist->SortPlaylist(mode);
    };
    actions.Screenshot = [](bool original) {
        if (frmVideo)
            (original ? frmVideo->Menu.Original1 : frmVideo->Menu.Angepasst1)->trigger();
    };
    TKAppStateHooks& states = AppStateHooks();
    states.PlaylistLayout = [] {
        if (frmPlaylist)
            frmPlaylist->FormResize();
    };
    states.VideoLayout = [] {
        if (frmVideo)
            frmVideo->FormResize();
    };
    states.PlaylistRepaint = [] {
        if (frmPlaylist)
            frmPlaylist->RefreshPlaylist();
    };
}

} // namespace kolvarin
