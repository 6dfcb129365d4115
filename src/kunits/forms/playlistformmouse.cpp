#include <algorithm>

#include <QCursor>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "forms/playlistform.h"
#include "skin/barpopupmenu.h"

namespace kolvarin {

namespace {

std::vector<int> SelectedIndexes()
{
    std::vector<int> indexes;
    for (int i = 0, count = PlaylistCount(); i < count; ++i)
        if (PlaylistGetItem(i)->Selected)
            indexes.push_back(i);
    return indexes;
}

bool DirectMove() { return Config && Config->PLEnableDirectMove; }

} // namespace

int TfrmPlaylist::IndexAtY(int y) const
{
    if (lineHeight_ <= 0 || y < 0)
        return -1;
    const int index = firstVisible_ + y / lineHeight_;
    return index < endVisible_ && index < PlaylistCount() ? index : -1;
}

void TfrmPlaylist::ResetDrag()
{
    dragging_ = false;
    dragCurrent_ = dragTarget_ = -1;
    dragSelection_.clear();
}

void TfrmPlaylist::ListMouseDown(TMouseButton button, TShiftState shift, int y)
{
    PlaylistItemIndex = -1;
    imgPlaylist->unsetCursor();
    if (PlaylistCount() == 0)
        return RefreshPlaylist();
    const int index = IndexAtY(y);
    TKPlaylistEntry* entry = PlaylistGetItem(index);
    if (button == TMouseButton::mbLeft) {
        if (!entry) {
            clickedIndex_ = -1;
            PlaylistDeselectAll();
        } else {
            PlaylistItemIndex = index;
            if (shift & ssCtrl) {
                entry->Selected = !entry->Selected;
            } else if (shift & ssShift) {
                PlaylistAnchorSecond = index;
                PlaylistDeselectAll();
                PlaylistSelectRange();
            } else {
                PlaylistAnchorFirst = index;
                clickedIndex_ = index;
                if (!entry->Selected)
                    PlaylistDeselectAll();
                entry->Selected = true;
            }
        }
        ResetDrag();
        dragSelection_ = SelectedIndexes();
        if (!dragSelection_.empty() && PlaylistItemIndex >= 0) {
            dragCurrent_ = dragTarget_ = PlaylistItemIndex;
            dragging_ = true;
        } else {
            dragSelection_.clear();
        }
    } else if (button == TMouseButton::mbRight) {
        // A right click on a selected entry keeps the selection for the menu.
        if (!entry || !entry->Selected) {
            ResetDrag();
            PlaylistDeselectAll();
            clickedIndex_ = -1;
        }
        if (entry && !entry->Selected) {
            PlaylistAnchorFirst = index;
            clickedIndex_ = index;
            entry->Selected = true;
        }
    }
    RefreshPlaylist();
}

int TfrmPlaylist::DragTargetAt(int y) const
{
    const int lines = std::min(PlaylistCount(), visibleLines_);
    if (lines <= 0 || lineHeight_ <= 0)
        return -1;
    const int target = firstVisible_ + std::clamp(y < 0 ? 0 : y / lineHeight_, 0, lines - 1);
    if (dragSelection_.empty())
        return target;
    // The moved block stays inside the visible rows.
    const int low = dragCurrent_ - (dragSelection_.front() - firstVisible_);
    const int high = (lines - 1) - (dragSelection_.back() - firstVisible_) + dragCurrent_;
    if (low > high)
        return dragCurrent_;
    return std::clamp(target, low, high);
}

void TfrmPlaylist::MoveSelection()
{
    const int d = dragTarget_ - dragCurrent_;
    if (d == 0 || !Playlist)
        return;
    const auto move = [d](int from) { Playlist->Insert(from + d, Playlist->Delete(from)); };
    if (d < 0)
        std::for_each(dragSelection_.begin(), dragSelection_.end(), move);
    else
        std::for_each(dragSelection_.rbegin(), dragSelection_.rend(), move);
}

bool TfrmPlaylist::IsDropRow(int index) const
{
    if (!dragging_ || dragTarget_ < 0 || DirectMove())
        return false;
    const int d = dragTarget_ - dragCurrent_;
    return d != 0 && std::binary_search(dragSelection_.begin(), dragSelection_.end(), index - d);
}

void TfrmPlaylist::ListMouseMove(TShiftState shift, int y)
{
    if (!dragging_ || !(shift & ssLeft))
        return;
    dragTarget_ = DragTargetAt(y);
    if (dragTarget_ >= 0 && DirectMove()) {
        MoveSelection();
        dragSelection_ = SelectedIndexes();
        dragCurrent_ = dragTarget_;
    }
    imgPlaylist->Invalidate();
}

void TfrmPlaylist::ListMouseUp(TMouseButton button, TShiftState shift, int y)
{
    if (dragging_) {
        dragTarget_ = DragTargetAt(y);
        if (dragTarget_ >= 0 && shift == 0) {
            MoveSelection();
            PlaylistAnchorFirst = clickedIndex_ = dragTarget_;
            PlaylistDeselectAll();
            PlaylistGetItem(dragTarget_)->Selected = true;
        }
        ResetDrag();
        RefreshPlaylist();
    }
    if (button == TMouseButton::mbRight)
        popmPlaylist->popup(QCursor::pos());
}

} // namespace kolvarin
