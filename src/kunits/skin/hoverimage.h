#pragma once

#include <functional>

#include <QPoint>

#include "skin/kcontrol.h"

class QTimer;

namespace kolvarin {

// An image control that knows whether the mouse is over it (all skin
// buttons). One instance at a time is the hovered one; a shared 100 ms
// check leaves it when the mouse has gone elsewhere without a leave
// notification. OnMouseEnter and OnMouseLeave (of TKControl) report the
// window system's enter and leave. Main thread only.
class THoverImage : public TKImage {
public:
    explicit THoverImage(QWidget* parent);
    ~THoverImage() override;

    bool Hovered() const { return hovered_; }

    // The instance currently marked hovered, or null.
    static THoverImage* HoveredImage() { return hoveredImage_; }

    // What lies under a screen point, and whether the application has an
    // active window; tests replace them.
    static std::function<QWidget*(QPoint)> ControlAt;
    static std::function<bool()> HasActiveWindow;

    // A mouse move over the control at a screen point.
    void HoverAt(QPoint globalPos);
    // The periodic check: leaves when the control under the cursor is no
    // longer this one.
    void HoverCheck();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A move (or, activating its window, a press) at a screen point.
    void Hover(QPoint globalPos, bool activating);
    void Enter();
    void Leave();

    bool hovered_ = false;

    static THoverImage* hoveredImage_;
    static QTimer* timer_;
    static int instances_;
};

} // namespace kolvarin
