#include "kforms.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QSlider>

#include "core/playlist/kplaylistprocs.h"
#include "forms/appstates.h"
#include "forms/debugmenu.h"
#include "forms/fullscreencontrol.h"
#include "forms/mainform.h"
#include "forms/mediacontrolsform.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "forms/videomenus.h"
#include "forms/windowevents.h"

namespace kolvarin {

namespace {

// A hook that acts on window while the window exists, and does nothing
// (answers the default) once it has gone: hooks outlive the windows at
// shutdown.
template <class Window, class Act>
auto While(Window& window, Act act)
{
    return [alive = QPointer<Window>(&window), act](auto... args) {
        using Result = decltype(act(*alive, args...));
        if (!alive)
            return Result();
        return act(*alive, args...);
    };
}

// The main window's video menu shows the video window's commands: each
// display-mode item the command of its name, each ratio item the command of
// the same stored mode (their tags), never the one at the same place.
void ConnectVideoMenu(TfrmMain& main, TfrmVideo& video)
{
    TKVideoPopupMenu& menu = video.Menu;
    ShowCommand(main.Fullscreen1, menu.Fullscreen1);
    ShowCommand(main.Desktop1, menu.Desktopmode1);
    ShowCommand(main.Window1, menu.Windowmode1);
    for (QAction* item : MenuItems(*main.Ratio1))
        for (QAction* command : MenuItems(*menu.Ratio1))
            if (ItemTag(command) == ItemTag(item))
                ShowCommand(item, command);
    video.MainMonitorOutput = main.MonitorOutput1;
}

} // namespace

void TKForms::InstallHooks()
{
    TfrmMain& main = Main();
    TfrmVideo& video = Video();
    TfrmPlaylist& playlist = Playlist();
    ConnectVideoMenu(main, video);
    FullscreenBar().OnClose = While(video, [](TfrmVideo& v) { v.Windowmode1Click(); });
    // The main menu's Debug submenu; its menu owns it.
    new TKDebugMenu(*main.Debug1);
    // The cursor follows the setting from the start, not only after an Apply.
    video.ApplyCursorHiding();
    // The playlist menu's add items run the main window's add actions.
    playlist.OnAddFiles = While(main, [](TfrmMain& m) { m.AddFromPlaylistExecute(); });
    playlist.OnAddDirectory = While(main, [](TfrmMain& m) { m.AddDirExecute(); });
    PlaylistHooks().RefreshPlaylist = [] { emit WindowEvents().PlaylistChanged(); };

    TKUserActionHooks& actions = UserActionHooks();
    actions.PlaylistActive = While(playlist, [](TfrmPlaylist& p) { return p.IsActive; });
    actions.ScrollPlaylist = While(playlist, [](TfrmPlaylist& p, int rows) {
        if (rows > 0)
            p.ScrollDown();
        else if (rows < 0)
            p.ScrollUp();
    });
    actions.ScrollPlaylistTo = While(playlist, [](TfrmPlaylist& p, int index) { p.ScrollToIndex(index); });
    actions.SortPlaylist = While(playlist, [](TfrmPlaylist& p, int mode) { p.SortPlaylist(mode); });
    actions.Screenshot =
        While(video, [](TfrmVideo& v, bool original) { (original ? v.Menu.Original1 : v.Menu.Angepasst1)->trigger(); });
    // The brightness keys move the dialog's bar too; like a drag, that marks
    // the colour area.
    actions.BrightnessChanged = [](int brightness) {
        QWidget* dialog = PlayerWindow("frmConfig");
        if (QSlider* bar = dialog ? dialog->findChild<QSlider*>(QStringLiteral("tbVideoBrightness")) : nullptr)
            bar->setValue(brightness);
    };
    TKAppStateHooks& states = AppStateHooks();
    states.PlaylistLayout = While(playlist, [](TfrmPlaylist& p) { p.FormResize(); });
    states.VideoLayout = While(video, [](TfrmVideo& v) { v.FormResize(); });
    states.PlaylistRepaint = While(playlist, [](TfrmPlaylist& p) { p.RefreshPlaylist(); });
}

} // namespace kolvarin
