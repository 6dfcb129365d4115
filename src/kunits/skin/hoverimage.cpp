#include "skin/hoverimage.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTimer>

namespace kolvarin {

THoverImage* THoverImage::hoveredImage_ = nullptr;
QTimer* THoverImage::timer_ = nullptr;
int THoverImage::instances_ = 0;

std::function<QWidget*(QPoint)> THoverImage::ControlAt = [](QPoint pos) { return QApplication::widgetAt(pos); };
std::function<bool()> THoverImage::HasActiveWindow = [] { return QApplication::activeWindow() != nullptr; };

THoverImage::THoverImage(QWidget* parent) : TKImage(parent)
{
    setMouseTracking(true);
    if (instances_++ == 0) {
        timer_ = new QTimer;
        timer_->setInterval(100);
    }
}

THoverImage::~THoverImage()
{
    if (hoveredImage_ == this)
        Leave();
    // A disabled control does not leave, but is no longer there to hover.
    if (hoveredImage_ == this) {
        timer_->stop();
        hoveredImage_ = nullptr;
    }
    if (--instances_ == 0) {
        delete timer_;
        timer_ = nullptr;
    }
}

void THoverImage::mouseMoveEvent(QMouseEvent* event)
{
    TKImage::mouseMoveEvent(event);
    HoverAt(event->globalPosition().toPoint());
}

void THoverImage::mousePressEvent(QMouseEvent* event)
{
    // The press activates the window; where the window system sends no move
    // after that, the press stands for it.
    Hover(event->globalPosition().toPoint(), true);
    TKImage::mousePressEvent(event);
}

void THoverImage::mouseReleaseEvent(QMouseEvent* event)
{
    // Released elsewhere: the hover ends before the release is judged, not
    // at the next check.
    if (ControlAt(event->globalPosition().toPoint()) != this)
        Leave();
    TKImage::mouseReleaseEvent(event);
}

void THoverImage::HoverAt(QPoint globalPos) { Hover(globalPos, false); }

void THoverImage::Hover(QPoint globalPos, bool activating)
{
    if (hoveredImage_ == this || ControlAt(globalPos) != this)
        return;
    if (hoveredImage_)
        hoveredImage_->Leave();
    if (!activating && !HasActiveWindow())
        return;
    timer_->stop();
    hoveredImage_ = this;
    QObject::disconnect(timer_, nullptr, nullptr, nullptr);
    QObject::connect(timer_, &QTimer::timeout, this, &THoverImage::HoverCheck);
    timer_->start();
    Enter();
}

void THoverImage::HoverCheck()
{
    if (ControlAt(QCursor::pos()) != this)
        Leave();
}

void THoverImage::Enter()
{
    if (!isEnabled() || hovered_)
        return;
    hovered_ = true;
    update();
}

void THoverImage::Leave()
{
    if (!isEnabled() || !hovered_)
        return;
    hovered_ = false;
    if (hoveredImage_ == this) {
        timer_->stop();
        hoveredImage_ = nullptr;
    }
    update();
}

} // namespace kolvarin
