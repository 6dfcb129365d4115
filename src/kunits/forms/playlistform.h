#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/ksystemtypes.h"
#include "forms/mainformadder.h"
#include "forms/stresstest.h"
#include "skin/kskinnedplaylist.h"

class QAction;
class QMenu;

namespace kolvarin {

// The playlist window: the one playlist as an owner-drawn list (file-type
// icon, right-aligned number, caption cut with "...", right-aligned time),
// mouse and key selection, moving the selection by dragging, paging and
// wheel scrolling, the status bar, the popup menu and dropped files.
// TopIndex, MaxTop and ScrollBarShown are the skin record's playlist scroll
// bar (Position, Max, Shown). Every paint, key and scroll routine does
// nothing before a skin is loaded. Main thread only.
class TfrmPlaylist : public TKSkinnedPlaylist {
public:
    explicit TfrmPlaylist(TKGUI& skin = GUI);
    ~TfrmPlaylist() override;

    // Repaints the list and the status bar; everything that changes the
    // playlist calls it.
    void RefreshPlaylist();
    // TopIndex by ten rows, clamped; only with a skin and entries.
    void ScrollDown();
    void ScrollUp();
    void SortPlaylist(int mode);
    // Scrolls so that the entry is in the middle of the list (as far as the
    // list allows) and repaints.
    void ScrollToIndex(int index);
    // The dropped names (sorted here) by the drop mode: 0 nothing, 1 add,
    // 2 replace. Nothing starts playing. The names are added a slice at a
    // time from the event loop (Esc cancels); folders are read off the
    // main thread.
    void DropFiles(std::vector<std::u16string> names);
    TKFileAdder Adder;

    // The entry painted at y of the list, -1 for none (before the first
    // paint, below the last painted row, above the list).
    int IndexAtY(int y) const;

    // What the last paint laid out.
    int LineHeight() const { return lineHeight_; }
    int VisibleLines() const { return visibleLines_; }
    int FirstVisibleIndex() const { return firstVisible_; }
    int EndVisibleIndex() const { return endVisible_; }
    int ClickedIndex() const { return clickedIndex_; }
    bool Dragging() const { return dragging_; }

    // True while this is the active window: the wheel of the key hook then
    // scrolls this list.
    bool IsActive = false;

    // The main window's add-files and add-directory actions (wired by the
    // program; empty does nothing).
    std::function<void()> OnAddFiles;
    std::function<void()> OnAddDirectory;
    // Asks a yes/no question; tests replace it.
    std::function<bool(const std::u16string& text)> Confirm;
    // Shows a message; tests replace it.
    std::function<void(const std::u16string& text)> ShowMessage;
    // Asks for a line of text (empty when cancelled); tests replace it.
    std::function<std::u16string(const std::u16string& caption, const std::u16string& prompt)> AskText;

    // The popup menu's commands.
    void AddURL1Click();
    void AddDVD1Click();
    void Finditem1Click();
    void Edititem1Click();
    void RefreshID3Tag1Click();
    void Removefilesfromharddisk1Click();
    void Loadplaylist1Click();
    void Saveplaylist1Click();
    // Stops a running system and stress test, asks for the number of rounds
    // and starts the stress test with it.
    void Stresstest1Click();
    // The developer's items, shown only while debugging is on.
    QAction* Stresstest1 = nullptr;
    void SetDebugItemsVisible(bool visible);
    TKStressTest StressTest;
    // Docks the window under the main window.
    void DockUnderMain();
    // Loads a playlist file by its extension (".kpl", ".pls", ".m3u" in any
    // letter case); false for another extension or a file that was refused.
    bool LoadPlaylist(const std::u16string& fileName);

protected:
    void ScrollThumbMoved() override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Installs (or, with null, clears) what the play system and the user
    // actions ask of this window.
    static void SetHooks(TfrmPlaylist* form);
    TKSScrollBar& Scroll() const { return Skin().Playlist.Scrollbar; }
    void PlaceThumb();
    // The setting and the main menu's check mark follow the window (after
    // start-up, before shutdown); hiding trims the working set.
    void FormShowHide(bool visible);
    void SetTopIndex(int64_t top);

    // Painting (playlistformpaint.cpp).
    void PaintList(TKPaintbox& box);
    void PaintStatusbar(TKPaintbox& box);

    // Mouse and drag (playlistformmouse.cpp).
    void ListMouseDown(TMouseButton button, TShiftState shift, int y);
    void ListMouseMove(TShiftState shift, int y);
    void ListMouseUp(TMouseButton button, TShiftState shift, int y);
    void ResetDrag();
    int DragTargetAt(int y) const;
    void MoveSelection();
    bool IsDropRow(int index) const;

    // Popup menu (playlistformmenu.cpp).
    void BuildPopupMenu();

    int lineHeight_ = 0;
    int visibleLines_ = 0;
    int firstVisible_ = 0;
    int endVisible_ = 0;

    bool dragging_ = false;
    int dragCurrent_ = -1;
    int dragTarget_ = -1;
    std::vector<int> dragSelection_;
    int clickedIndex_ = -1;
    QAction* stresstestSeparator_ = nullptr;
};

// The window while it exists; else null.
extern TfrmPlaylist* frmPlaylist;

// The number column's text: index + 1 padded on the left with "_" to the
// digits of count, then ".)  ".
std::u16string PlaylistNumberText(int index, int count);
// Decimal digits of a count (1 for 0).
int DecimalDigits(int64_t count);
// The caption fitted to width: whole when it fits with "..." after it, else
// cut from the end until the rest with "..." fits ("..." alone at worst).
// widthOf measures a text.
template <class WidthOf>
std::u16string FitCaption(const std::u16string& caption, int width, WidthOf widthOf);

// File-type icon of a system type, -1 for none.
int FileTypeIconIndex(TSystemType type);

template <class WidthOf>
std::u16string FitCaption(const std::u16string& caption, int width, WidthOf widthOf)
{
    static const std::u16string dots = u"...";
    if (widthOf(caption + dots) <= width)
        return caption;
    // Widths grow with the length, so the longest prefix that fits is found
    // by halving instead of cutting one character at a time.
    size_t low = 0, high = caption.size();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (widthOf(caption.substr(0, mid) + dots) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return caption.substr(0, low) + dots;
}

} // namespace kolvarin
