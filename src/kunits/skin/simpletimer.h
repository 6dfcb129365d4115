#pragma once

#include <functional>

#include <QTimer>

namespace kolvarin {

// A light timer (the tray icon's). A zero interval never starts; changing
// the interval of a running timer restarts it; clearing OnTimer stops it;
// with AutoDisable it stops after its first tick. Main thread only.
class TSimpleTimer {
public:
    TSimpleTimer(int interval = 1000, std::function<void(TSimpleTimer&)> onTimer = {});

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    void SetInterval(int interval);
    void SetOnTimer(std::function<void(TSimpleTimer&)> onTimer);
    bool AutoDisable = false;

    // Whether the timer really runs (enabled, an interval and a handler).
    bool Running() const { return timer_.isActive(); }
    // What a tick does (tests call it directly).
    void Tick();

private:
    void Update();

    QTimer timer_;
    bool enabled_ = false;
    int interval_;
    std::function<void(TSimpleTimer&)> onTimer_;
};

} // namespace kolvarin
