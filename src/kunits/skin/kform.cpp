#include "skin/kform.h"

#include <algorithm>

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

namespace kolvarin {

std::vector<TKForm*> TKForm::forms_;

namespace {

TKWinRect ToWin(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

} // namespace

TKForm::TKForm(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint) { forms_.push_back(this); }

TKForm::~TKForm() { forms_.erase(std::remove(forms_.begin(), forms_.end(), this), forms_.end()); }

QRect TKForm::WorkArea() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect();
}

// Snapping and docking concern visible, frameless windows in the normal state.
bool TKForm::Snaps() const
{
    return isVisible() && (windowFlags() & Qt::FramelessWindowHint) && windowState() == Qt::WindowNoState;
}

void TKForm::WMEnterSizeMove()
{
    if (Tag != kTagMaster || forms_.empty())
        return;
    moving_ = true;
    std::vector<TKWinRect> rects;
    std::vector<int> tags;
    int master = -1;
    for (TKForm* form : forms_) {
        if (form == this)
            master = static_cast<int>(rects.size());
        else if (!form->isVisible())
            continue;
        rects.push_back(ToWin(form->geometry()));
        tags.push_back(form->Tag);
    }
    MarkDockedWindows(master, rects, tags);
    size_t i = 0;
    for (TKForm* form : forms_)
        if (form == this || form->isVisible())
            form->Tag = tags[i++];
}

void TKForm::ReleaseDocked()
{
    moving_ = false;
    if (Tag != kTagMaster)
        return;
    for (TKForm* form : forms_)
        if (form != this && form->Tag == kTagDocked)
            form->Tag = kTagFree;
}

void TKForm::WMExitSizeMove() { ReleaseDocked(); }

QRect TKForm::WMWindowPosChanging(const QRect& proposed, bool shiftHeld, bool& handled)
{
    handled = windowState() == Qt::WindowNoState && Tag != kTagDocked;
    if (!handled)
        return geometry();
    if (shiftHeld) {
        if (moving_)
            ReleaseDocked();
        return proposed;
    }
    std::vector<TKSnapWindow> others;
    std::vector<TKForm*> owners;
    for (TKForm* form : forms_) {
        if (form == this || !form->isVisible() || !(form->windowFlags() & Qt::FramelessWindowHint))
            continue;
        others.push_back({ToWin(form->geometry()), form->Tag});
        owners.push_back(form);
    }
    const TKSnapResult snap = SnapWindowPos(ToWin(geometry()), Tag == kTagMaster, proposed.x(), proposed.y(),
                                            proposed.width(), proposed.height(), ToWin(WorkArea()), others, SnapBuffer);
    for (const auto& [index, rect] : snap.Moves)
        owners[static_cast<size_t>(index)]->move(rect.Left, rect.Top);
    return {snap.X, snap.Y, proposed.width(), proposed.height()};
}

void TKForm::StartSystemMove(QPoint globalPos) { StartDrag(Drag::Move, globalPos); }

void TKForm::StartSystemSize(QPoint globalPos) { StartDrag(Drag::Size, globalPos); }

void TKForm::StartDrag(Drag kind, QPoint globalPos)
{
    if (!Snaps() || drag_ != Drag::None)
        return;
    drag_ = kind;
    dragStart_ = globalPos;
    startGeometry_ = geometry();
    WMEnterSizeMove();
    grabMouse();
}

void TKForm::EndDrag()
{
    if (drag_ == Drag::None)
        return;
    drag_ = Drag::None;
    releaseMouse();
    WMExitSizeMove();
}

void TKForm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && cursor().shape() == Qt::ArrowCursor)
        StartSystemMove(event->globalPosition().toPoint());
    else
        QWidget::mousePressEvent(event);
}

void TKForm::mouseMoveEvent(QMouseEvent* event)
{
    if (drag_ == Drag::None) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - dragStart_;
    QRect proposed = startGeometry_;
    if (drag_ == Drag::Move) {
        proposed.moveTopLeft(startGeometry_.topLeft() + delta);
    } else {
        const QSize min = minimumSize();
        proposed.setSize({std::max(startGeometry_.width() + delta.x(), min.width()),
                          std::max(startGeometry_.height() + delta.y(), min.height())});
    }
    bool handled = false;
    const bool shift = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    const QRect target = WMWindowPosChanging(proposed, shift, handled);
    if (handled)
        setGeometry(target);
}

void TKForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ != Drag::None) {
        EndDrag();
        return;
    }
    if (event->button() == Qt::RightButton && PopupMenu && !AutoPopup)
        PopupMenu->popup(QCursor::pos());
    QWidget::mouseReleaseEvent(event);
}

} // namespace kolvarin
