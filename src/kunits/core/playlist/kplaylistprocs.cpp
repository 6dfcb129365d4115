#include "core/playlist/kplaylistprocs.h"

#include <algorithm>

#include "core/settings/kconfig.h"
#include "core/system/kerrors.h"

namespace kolvarin {

TKPlaylist* Playlist = nullptr;
int PlaylistItemIndex = -1;
int PlaylistAnchorFirst = -1;
int PlaylistAnchorSecond = -1;
int64_t PlaylistTopLine = 0;

namespace {

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

void defaultMediaProblem(TKErrorCode code, const std::u16string& fileName)
{
    if (Config && Config->Notifications.ShowMsgBoxOnProblems)
        ShowError(code, u"TKMedia", fileName, false);
}

template <typename Action>
void forEachEntry(Action&& action)
{
    for (int i = 0; i < PlaylistCount(); ++i)
        action(*Playlist->GetItem(i));
}

} // namespace

TKPlaylistHooks& PlaylistHooks()
{
    static TKPlaylistHooks hooks{{}, {}, {}, {}, defaultMediaProblem};
    return hooks;
}

int PlaylistAdd(const std::u16string& caption, const std::u16string& fileName, const std::string& time, bool selected,
                const std::string& track)
{
    return Playlist ? Playlist->Add(caption, fileName, selected, track, time) : -1;
}

TKPlaylistEntry* PlaylistGetItem(int index) { return Playlist ? Playlist->GetItem(index) : nullptr; }

int PlaylistCount() { return Playlist ? Playlist->Count() : 0; }

int PlaylistLastIndex() { return PlaylistCount() - 1; }

void PlaylistClear()
{
    if (Playlist)
        Playlist->Clear();
    PlaylistAnchorFirst = -1;
    PlaylistAnchorSecond = -1;
    PlaylistItemIndex = -1;
}

void PlaylistDeselectAll()
{
    if (Playlist)
        Playlist->DeselectAll();
}

void PlaylistInvertSelection()
{
    if (Playlist)
        Playlist->InvertSelection();
}

void PlaylistSelectAll()
{
    forEachEntry([](TKPlaylistEntry& e) { e.Selected = true; });
}

void PlaylistSelectRange()
{
    const int from = std::max(std::min(PlaylistAnchorFirst, PlaylistAnchorSecond), 0);
    const int to = std::min(std::max(PlaylistAnchorFirst, PlaylistAnchorSecond), PlaylistLastIndex());
    for (int i = from; i <= to; ++i)
        Playlist->GetItem(i)->Selected = true;
}

void PlaylistClearPlayed()
{
    if (Playlist)
        Playlist->ClearPlayState();
}

void PlaylistDeleteSelected(bool deleteFiles)
{
    if (!Playlist)
        return;
    auto& hooks = PlaylistHooks();
    call(hooks.BeginDeleteStatus);
    const int before = Playlist->Count();
    Playlist->DeleteSelected(deleteFiles);
    PlaylistTopLine = std::max<int64_t>(PlaylistTopLine - (before - Playlist->Count()), 0);
    PlaylistAnchorFirst = -1;
    PlaylistAnchorSecond = -1;
    call(hooks.RefreshPlaylist);
    call(hooks.EndDeleteStatus);
}

void PlaylistSort(int mode)
{
    if (Playlist)
        Playlist->Sort(mode);
}

bool TimeTextToMilliseconds(const std::string& time, int64_t& milliseconds)
{
    int64_t parts[3] = {};
    size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (at >= time.size() || time[at] != ':')
                return false;
            ++at;
        }
        const size_t start = at;
        for (; at < time.size() && time[at] >= '0' && time[at] <= '9'; ++at)
            parts[i] = std::min<int64_t>(parts[i] * 10 + (time[at] - '0'), 1'000'000'000);
        if (at == start)
            return false;
    }
    if (at != time.size())
        return false;
    milliseconds = parts[0] * 3'600'000 + parts[1] * 60'000 + parts[2] * 1'000;
    return true;
}

int64_t PlaylistTotalTime()
{
    int64_t total = 0;
    forEachEntry([&](TKPlaylistEntry& e) {
        int64_t ms = 0;
        if (TimeTextToMilliseconds(e.Time, ms))
            total += ms;
    });
    return total;
}

int PlaylistPlayingIndex()
{
    for (int i = 0; i < PlaylistCount(); ++i)
        if (Playlist->GetItem(i)->PlayState)
            return i;
    return -1;
}

int PlaylistSelectedCount()
{
    int count = 0;
    forEachEntry([&](TKPlaylistEntry& e) { count += e.Selected ? 1 : 0; });
    return count;
}

bool PlaylistIsSelected(int index)
{
    const TKPlaylistEntry* entry = PlaylistGetItem(index);
    return entry && entry->Selected;
}

int PlaylistIndexOfCaption(const std::u16string& caption)
{
    for (int i = 0; i < PlaylistCount(); ++i)
        if (Playlist->GetItem(i)->Caption == caption)
            return i;
    return -1;
}

int PlaylistLastPlayedIndex()
{
    return LastPlayedIndex >= 0 && LastPlayedIndex < PlaylistCount() ? LastPlayedIndex : -1;
}

} // namespace kolvarin
