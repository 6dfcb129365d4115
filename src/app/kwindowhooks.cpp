#include "kwindowhooks.h"

#include <algorithm>

#include "forms/appstates.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"

namespace kolvarin {

namespace {

// The entry in the middle of the list's rows, as far as the list scrolls.
void CentrePlaylistOn(int index)
{
    if (!frmPlaylist)
        return;
    TKSScrollBar& scroll = frmPlaylist->Skin().Playlist.Scrollbar;
    scroll.Position = std::clamp<int64_t>(index - frmPlaylist->VisibleLines() / 2, 0, std::max<int64_t>(scroll.Max, 0));
    frmPlaylist->FormResize();
    frmPlaylist->RefreshPlaylist();
}

} // namespace

void InstallWindowHooks()
{
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
    actions.ScrollPlaylistTo = CentrePlaylistOn;
    actions.SortPlaylist = [](int mode) {
        if (frmPlaylist)
            frmPlaylist->SortPlaylist(mode);
    };
    TKAppStateHooks& states = AppStateHooks();
    states.PlaylistLayout = [] {
        if (frmPlaylist)
            frmPlaylist->FormResize();
    };
    states.PlaylistRepaint = [] {
        if (frmPlaylist)
            frmPlaylist->RefreshPlaylist();
    };
}

} // namespace kolvarin
