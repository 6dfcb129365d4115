#include "kwindowhooks.h"

#include <array>

#include <QAction>
#include <QMenu>

#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "forms/videogeometry.h"

namespace kolvarin {

namespace {

// The main window's ratio items by stored mode, as the video window's
// RatioItems (the menus list stretched before letter box).
std::array<QAction*, kRatioModeCount> MainRatioItems()
{
    TfrmMain& m = *frmMain;
    return {m.RatLetterbox, m.RatStretched, m.RatCrop, m.Rat43, m.Rat54, m.Rat169, m.Rat1610, m.Rat2351, m.RatUserDef};
}

// The main window's video menu runs the video window's items of the same
// name and shows the video window's checks.
void ConnectVideoMenu()
{
    if (!frmMain || !frmVideo)
        return;
    TKVideoPopupMenu& video = frmVideo->Menu;
    const std::pair<QAction*, QAction*> modes[] = {
        {frmMain->Fullscreen1, video.Fullscreen1},
        {frmMain->Desktop1, video.Desktopmode1},
        {frmMain->Window1, video.Windowmode1},
    };
    for (const auto& [item, target] : modes)
        QObject::connect(item, &QAction::triggered, target, &QAction::trigger);
    const std::array<QAction*, kRatioModeCount> ratios = MainRatioItems();
    for (size_t mode = 0; mode < ratios.size(); ++mode)
        QObject::connect(ratios[mode], &QAction::triggered, video.RatioItems[mode], &QAction::trigger);
    frmVideo->OnRatioChecked = [](uint8_t mode) {
        if (!frmMain)
            return;
        const std::array<QAction*, kRatioModeCount> items = MainRatioItems();
        for (size_t i = 0; i < items.size(); ++i)
            items[i]->setChecked(i == mode);
    };
    frmVideo->MainMonitorOutput = frmMain->MonitorOutput1;
    frmVideo->OnDisplayModeChecked = [](uint8_t mode) {
        if (!frmMain)
            return;
        frmMain->Fullscreen1->setChecked(mode == vdmFullscreen);
        frmMain->Desktop1->setChecked(mode == vdmDesktop);
        frmMain->Window1->setChecked(mode == vdmWindow);
    };
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
