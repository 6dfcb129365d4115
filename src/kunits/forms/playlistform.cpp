#include "forms/playlistform.h"

#include <algorithm>
#include <memory>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QShowEvent>
#include <QWheelEvent>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"
#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/windowevents.h"
#include "playback/ksystem.h"
#include "skin/kskinelements.h"

namespace kolvarin {

TfrmPlaylist* frmPlaylist = nullptr;

namespace {

constexpr int kPageRows = 10;

// The playlist's status while a long step runs: the kept text comes back
// afterwards.
class TBusyStatus {
public:
    explicit TBusyStatus(const std::u16string& text)
    {
        if (!PlaySystem)
            return;
        TKPlayerView& view = PlaySystem->View();
        kept_ = view.StatusText();
        view.SetStatusIcon(TKStatusIcon::Wait);
        view.SetStatusText(text);
    }
    ~TBusyStatus()
    {
        if (!PlaySystem)
            return;
        TKPlayerView& view = PlaySystem->View();
        view.SetStatusIcon(PlaySystem->SystemType() != TSystemType::None ? TKStatusIcon::Play : TKStatusIcon::Stopped);
        view.SetStatusText(kept_);
    }
    TBusyStatus(const TBusyStatus&) = delete;
    TBusyStatus& operator=(const TBusyStatus&) = delete;

private:
    std::u16string kept_;
};

} // namespace

TfrmPlaylist::TfrmPlaylist(TKGUI& skin) : TKSkinnedPlaylist(skin)
{
    frmPlaylist = this;
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    imgPlaylist->OnPaint = [this](TKPaintbox& box) { PaintList(box); };
    imgStatusbar->OnPaint = [this](TKPaintbox& box) { PaintStatusbar(box); };
    imgPlaylist->OnMouseDown = [this](TKControl&, TMouseButton button, TShiftState shift, int, int y) {
        ListMouseDown(button, shift, y);
    };
    imgPlaylist->OnMouseMove = [this](TKControl&, TShiftState shift, int, int y) { ListMouseMove(shift, y); };
    imgPlaylist->OnMouseUp = [this](TKControl&, TMouseButton button, TShiftState shift, int, int y) {
        ListMouseUp(button, shift, y);
    };
    imgPlaylist->OnDblClick = [](TKControl&) {
        if (PlaylistItemIndex >= 0 && PlaySystem)
            PlaySystem->StartPlay();
    };
    imgCaptionBar->OnDblClick = [this](TKControl&) { DockUnderMain(); };
    BuildPopupMenu();
    SetHooks(this);
    TKWindowEvents& events = WindowEvents();
    QObject::connect(&events, &TKWindowEvents::PlaylistChanged, this, [this] {
        PlaceThumb();
        RefreshPlaylist();
    });
    // The played entry scrolled into view.
    QObject::connect(&events, &TKWindowEvents::MediumStarted, this, [this] { ScrollToIndex(PlaylistPlayingIndex()); });
}

TfrmPlaylist::~TfrmPlaylist()
{
    if (frmPlaylist != this)
        return;
    SetHooks(nullptr);
    frmPlaylist = nullptr;
}

void TfrmPlaylist::SetHooks(TfrmPlaylist* form)
{
    // The wheel, sorting and scrolling hooks are the program's (TKForms).
    const auto on = [form](auto run) { return form ? decltype(std::function(run))(run) : nullptr; };
    TKUserActionHooks& hooks = UserActionHooks();
    hooks.FindItem = on([form] { form->Finditem1Click(); });
    hooks.AddDisc = on([form] { form->AddDVD1Click(); });
    hooks.AddURL = on([form] { form->AddURL1Click(); });
    AppStateHooks().DebugEnabled = on([form](bool enabled) { form->SetDebugItemsVisible(enabled); });
}

void TfrmPlaylist::RefreshPlaylist()
{
    imgPlaylist->Invalidate();
    imgStatusbar->Invalidate();
}

void TfrmPlaylist::PlaceThumb() { SkinUpdatePlaylistScrollThumb(Skin(), *imgScrollBar, *imgPlaylist, Scroll()); }

void TfrmPlaylist::SetTopIndex(int64_t top)
{
    Scroll().Position = std::clamp<int64_t>(top, 0, std::max<int64_t>(Scroll().Max, 0));
    PlaceThumb();
    imgPlaylist->Invalidate();
}

void TfrmPlaylist::ScrollDown()
{
    if (Skin().Loaded && PlaylistCount() > 0)
        SetTopIndex(Scroll().Position + kPageRows);
}

void TfrmPlaylist::ScrollUp()
{
    if (Skin().Loaded && PlaylistCount() > 0)
        SetTopIndex(Scroll().Position - kPageRows);
}

void TfrmPlaylist::ScrollToIndex(int index)
{
    SetTopIndex(int64_t{index} - visibleLines_ / 2);
    RefreshPlaylist();
}

void TfrmPlaylist::ScrollThumbMoved() { imgPlaylist->Invalidate(); }

void TfrmPlaylist::SortPlaylist(int mode)
{
    TBusyStatus busy(Language.Text(TLanguageSection::Status, 8));
    PlaylistSort(mode);
    RefreshPlaylist();
}

void TfrmPlaylist::DropFiles(std::vector<std::u16string> names)
{
    const int mode = Config ? Config->PLOnDragDropMode : 0;
    if ((mode != 1 && mode != 2) || names.empty())
        return;
    SortNames(names);
    // A long drop runs from the event loop with its progress in the status;
    // Esc cancels it and keeps what was added. A drop under way ends here.
    Adder.Cancel();
    auto busy = std::make_shared<TBusyStatus>(Language.Text(TLanguageSection::Status, 3));
    if (mode == 2) {
        PlaylistClear();
        Scroll().Position = 0;
    }
    Adder.Add = [replace = mode == 2](const std::u16string& name) {
        const int before = PlaylistCount();
        if (PlaySystem)
            PlaySystem->AddFilesToPlaylist({name}, replace);
        return PlaylistCount() > before;
    };
    Adder.OnProgress = [this](size_t done, size_t total) {
        if (PlaySystem && total > 0)
            PlaySystem->View().SetStatusText(
                WideFormat(u"%s (%d / %d)", Language.Text(TLanguageSection::Status, 3), done, total));
        RefreshPlaylist();
    };
    Adder.OnDone = [this, busy](size_t, bool) mutable {
        busy.reset();
        PlaceThumb();
        RefreshPlaylist();
    };
    Adder.Start(std::move(names));
}

void TfrmPlaylist::DockUnderMain()
{
    for (const TKForm* form : Forms())
        if (form->Tag == kTagMaster) {
            move(form->x(), form->y() + form->height());
            return;
        }
}

void TfrmPlaylist::showEvent(QShowEvent* event)
{
    TKSkinnedPlaylist::showEvent(event);
    // A minimised window coming back is no change of the setting.
    if (!event->spontaneous())
        FormShowHide(true);
}

void TfrmPlaylist::hideEvent(QHideEvent* event)
{
    TKSkinnedPlaylist::hideEvent(event);
    if (!event->spontaneous())
        FormShowHide(false);
}

void TfrmPlaylist::FormShowHide(bool visible)
{
    if (!AppInitialized || AppKilled)
        return;
    if (Config)
        Config->PlaylistVis = visible;
    if (frmMain)
        frmMain->Playlistwindow1->setChecked(visible);
    if (!visible && PlaySystem)
        PlaySystem->SwapMemory();
}

void TfrmPlaylist::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && Adder.Busy()) {
        Adder.Cancel();
        return;
    }
    const int count = PlaylistCount();
    if (!Skin().Loaded || count == 0) {
        TKSkinnedPlaylist::keyPressEvent(event);
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const auto selectRange = [](int index) {
        PlaylistAnchorSecond = index;
        PlaylistDeselectAll();
        PlaylistSelectRange();
    };
    const auto focus = [&](int index) {
        PlaylistDeselectAll();
        PlaylistItemIndex = index;
        if (shift) {
            selectRange(index);
        } else {
            PlaylistAnchorFirst = index;
            PlaylistGetItem(index)->Selected = true;
        }
    };
    switch (event->key()) {
    case Qt::Key_A:
        if (!(event->modifiers() & Qt::ControlModifier))
            return;
        PlaylistSelectAll();
        break;
    case Qt::Key_Down:
        if (PlaylistItemIndex >= count - 1)
            return;
        focus(PlaylistItemIndex + 1);
        if (PlaylistItemIndex >= endVisible_)
            SetTopIndex(Scroll().Position + (PlaylistItemIndex - endVisible_ + 1));
        break;
    case Qt::Key_Up:
        if (PlaylistItemIndex <= 0)
            return;
        focus(std::min(PlaylistItemIndex, count) - 1);
        if (PlaylistItemIndex < firstVisible_)
            SetTopIndex(PlaylistItemIndex);
        break;
    case Qt::Key_PageDown:
        SetTopIndex(Scroll().Position + kPageRows);
        if (shift) {
            PlaylistItemIndex = count - 1;
            selectRange(count - 1);
        }
        break;
    case Qt::Key_PageUp:
        SetTopIndex(Scroll().Position - kPageRows);
        if (shift) {
            PlaylistItemIndex = 0;
            selectRange(0);
        }
        break;
    case Qt::Key_Home: SetTopIndex(0); break;
    case Qt::Key_End: SetTopIndex(Scroll().Max); break;
    case Qt::Key_Delete:
        PlaylistTopLine = Scroll().Position;
        PlaylistDeleteSelected(false);
        Scroll().Position = PlaylistTopLine;
        break;
    default: TKSkinnedPlaylist::keyPressEvent(event); return;
    }
    RefreshPlaylist();
}

void TfrmPlaylist::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta < 0)
        ScrollDown();
    else if (delta > 0)
        ScrollUp();
    event->accept();
}

void TfrmPlaylist::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange)
        IsActive = isActiveWindow();
    TKSkinnedPlaylist::changeEvent(event);
}

void TfrmPlaylist::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmPlaylist::dropEvent(QDropEvent* event)
{
    std::vector<std::u16string> names = DroppedFiles(*event->mimeData());
    // Accepted before the work, so the drop never travels on to another
    // handler: one drop is handled once.
    event->acceptProposedAction();
    DropFiles(std::move(names));
}

} // namespace kolvarin
