#include <cstdlib>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "playback/kplaystate_p.h"

namespace kolvarin {

namespace {

constexpr int kStop = -1;
constexpr int kNothing = -2;

} // namespace

int ChooseNextIndex(bool back, bool forward, int index, bool force, int mode, int count, int lastItemIndex,
                    const std::function<int(int)>& random)
{
    if (force && mode != 2)
        mode = 4;
    if (mode == 1)
        return index;
    if (forward) {
        switch (mode) {
        case 2: return count > 0 ? random(count) : kNothing;
        case 3: return index >= count - 1 ? kStop : index + 1;
        case 4: return index + 1 > count - 1 ? 0 : index + 1;
        default: return kNothing;
        }
    }
    if (back) {
        switch (mode) {
        case 2:
            if (lastItemIndex >= 0)
                return lastItemIndex;
            return count > 0 ? random(count) : kNothing;
        case 3: return index - 1 < 0 ? kStop : index - 1;
        case 4: return index - 1 < 0 ? count - 1 : index - 1;
        default: return kNothing;
        }
    }
    return kNothing;
}

void TKSystem::PlayNextOrPrevious(bool back, bool forward, int index, bool force)
{
    const char* proc = "PlayNextOrPrevious";
    Log(proc, "Enter with Index=" + Quoted(std::to_string(index)));
    const int count = PlaylistCount();
    if (index == -1) {
        if (SysActive)
            Stop(true);
        if (count > 0) {
            Play(0);
            view_->RefreshPlaylist();
            Log(proc, "Leave");
            return;
        }
    }
    const int lastItemIndex = Playlist && state_->LastItem ? Playlist->IndexOf(state_->LastItem) : -1;
    const int mode = Config ? Config->PlayMode.Mode : 0;
    const int next =
        ChooseNextIndex(back, forward, index, force, mode, count, lastItemIndex, [](int n) { return std::rand() % n; });
    if (next == kStop) {
        Stop(true);
    } else if (next >= 0 && next < count) {
        Play(next);
        view_->RefreshPlaylist();
    }
    Log(proc, "Leave");
}

void TKSystem::PlayNext(bool force)
{
    LastPlayedIndex = PlaylistPlayingIndex();
    PlayNextOrPrevious(false, true, LastPlayedIndex, force);
}

void TKSystem::PlayPrevious(bool force) { PlayNextOrPrevious(true, false, PlaylistPlayingIndex(), force); }

} // namespace kolvarin
