#pragma once

#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include "skin/kdocking.h"

class QMenu;

namespace kolvarin {

// The base window of the main, playlist and media-controls windows: a
// frameless top-level window that is dragged by its surface (we move it
// ourselves, so the snapping proposal of kdocking.h is applied before every
// step), snaps to the work area and to the other such windows, and, as the
// master (Tag 1), carries the windows docked to it. Shift during a move
// releases the docked windows and stops snapping. Main thread only.
class TKForm : public QWidget {
public:
    explicit TKForm(QWidget* parent = nullptr);
    ~TKForm() override;

    int Tag = kTagFree; // kTagMaster for the main window
    int SnapBuffer = 10;
    bool Moving() const { return moving_; }

    // The window's popup menu; with AutoPopup off a right click on the bare
    // surface opens it at the cursor.
    QMenu* PopupMenu = nullptr;
    bool AutoPopup = true;

    // Every TKForm in creation order.
    static const std::vector<TKForm*>& Forms() { return forms_; }

    // Starts moving the window with the mouse (the caption and background
    // controls call this on a press): the window follows the cursor from
    // the given screen point until the button is released.
    void StartSystemMove(QPoint globalPos);
    // Starts sizing from the bottom-right corner.
    void StartSystemSize(QPoint globalPos);

    // The steps of a move, as the window system's move loop would run them.
    void WMEnterSizeMove();
    void WMExitSizeMove();
    // Proposes a new rectangle; applies the snapping rules and moves the
    // docked windows. Returns the rectangle to use; Handled false means the
    // window ignores the proposal (docked, or not in the normal state).
    QRect WMWindowPosChanging(const QRect& proposed, bool shiftHeld, bool& handled);
    void ReleaseDocked();

    // The work area of the window's monitor; tests may replace it.
    virtual QRect WorkArea() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Move, Size };

    bool Snaps() const;
    void StartDrag(Drag kind, QPoint globalPos);
    void EndDrag();

    static std::vector<TKForm*> forms_;

    bool moving_ = false;
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    QRect startGeometry_;
};

} // namespace kolvarin
