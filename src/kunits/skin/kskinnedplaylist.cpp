#include "skin/kskinnedplaylist.h"

#include "core/desktop/kbitmaps.h"
#include "core/system/kglobals.h"
#include "skin/kskinelements.h"

namespace kolvarin {

void PaintBackgroundUnder(TKPaintbox& box, const gdi::Bitmap& background)
{
    BlitBitmapAtOrigin(background, box.Surface(), box.x(), box.y());
}

TKSkinnedPlaylist::TKSkinnedPlaylist(TKGUI& skin) : TKSkinnedWindow(skin)
{
    setObjectName(QStringLiteral("frmPlaylist"));
    setWindowTitle(QStringLiteral("Playlist"));
    resize(360, 205);

    imgForm = new TKPaintbox(this);
    imgPlaylist = new TKPaintbox(this);
    imgStatusbar = new TKPaintbox(this);
    imgScrollBar = new TKImage(this);
    imgCaptionBar = new TKImage(this);
    imgResizer = new TKImage(this);
    popmPlaylist = new TBarPopupMenu(this);
    popmPlaylist->VerticalText = u"KPlaylist";
    popmPlaylist->GradientStart = gdi::RGB(0, 0, 0);

    TKSPlaylist& p = skin.Playlist;
    imgForm->OnPaint = [&p](TKPaintbox& box) { BlitBitmap(p.ResizeForm.Background, box.Surface()); };
    imgPlaylist->OnPaint = [&p](TKPaintbox& box) { PaintBackgroundUnder(box, p.ResizeForm.Background); };
    imgStatusbar->OnPaint = [&p](TKPaintbox& box) { BlitBitmap(p.Statusbar.Background, box.Surface()); };
    BindMover(*imgForm, *this);
    BindMover(*imgCaptionBar, *this);
    imgResizer->OnMouseDown = [this](TKControl& c, TMouseButton button, TShiftState, int x, int y) {
        if (button == TMouseButton::mbLeft)
            StartSystemSize(c.mapToGlobal(QPoint(x, y)));
    };
    imgResizer->OnDblClick = [this](TKControl&) { resize(minimumSize()); };
    imgScrollBar->OnMouseDown = [this, &p](TKControl& c, TMouseButton button, TShiftState, int x, int y) {
        SkinScrollBarMouseDown(Skin(), static_cast<TKImage&>(c), p.Scrollbar, button, x, y);
    };
    imgScrollBar->OnMouseMove = [this, &p](TKControl& c, TShiftState shift, int x, int y) {
        if (!(shift & ssLeft))
            return;
        SkinScrollBarMouseMove(Skin(), static_cast<TKImage&>(c), *imgPlaylist, p.Scrollbar, shift, x, y);
        ScrollThumbMoved();
    };
    imgScrollBar->OnMouseUp = [this, &p](TKControl& c, TMouseButton, TShiftState, int, int) {
        SkinScrollBarMouseUp(Skin(), static_cast<TKImage&>(c), p.Scrollbar);
    };
}

void TKSkinnedPlaylist::FormResize()
{
    TKGUI& skin = Skin();
    if (!skin.Loaded || AppKilled)
        return;
    TKSPlaylist& p = skin.Playlist;
    SkinPlaceGripAndCaption(*this, *imgResizer, *imgCaptionBar);
    SkinPaintResizeForm(skin, *imgForm, p.ResizeForm, *this);
    SkinLayoutPlaylist(skin, *imgPlaylist, *imgStatusbar, p.ResizeForm, p.PlaylistEditor, p.Statusbar);
    SkinUpdatePlaylistScrollThumb(skin, *imgScrollBar, *imgPlaylist, p.Scrollbar);
    imgPlaylist->Invalidate();
    imgStatusbar->Invalidate();
}

void TKSkinnedPlaylist::resizeEvent(QResizeEvent* event)
{
    TKForm::resizeEvent(event);
    FormResize();
}

} // namespace kolvarin
