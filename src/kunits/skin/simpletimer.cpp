#include "skin/simpletimer.h"

namespace kolvarin {

TSimpleTimer::TSimpleTimer(int interval, std::function<void(TSimpleTimer&)> onTimer)
    : interval_(interval), onTimer_(std::move(onTimer))
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void TSimpleTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Update();
}

void TSimpleTimer::SetInterval(int interval)
{
    interval_ = interval;
    Update();
}

void TSimpleTimer::SetOnTimer(std::function<void(TSimpleTimer&)> onTimer)
{
    onTimer_ = std::move(onTimer);
    Update();
}

void TSimpleTimer::Update()
{
    timer_.stop();
    if (enabled_ && interval_ > 0 && onTimer_)
        timer_.start(interval_);
}

void TSimpleTimer::Tick()
{
    if (AutoDisable)
        SetEnabled(false);
    if (onTimer_)
        onTimer_(*this);
}

} // namespace kolvarin
