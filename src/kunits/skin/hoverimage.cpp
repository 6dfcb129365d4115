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

void THoverImage::HoverAt(QPoint globalPos)
{
    if (hoveredImage_ == this || ControlAt(globalPos) != this)
        return;
    if (hoveredImage_)
        hoveredImage_->Leave();
    if (!HasActiveWindow())
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
    if (hoveredImage_ == this) {
        timer_->stop();
        hoveredImage_ = nullptr;
    }
    if (!isEnabled() || !hovered_)
        return;
    hovered_ = false;
    update();
}

} // namespace kolvarin
