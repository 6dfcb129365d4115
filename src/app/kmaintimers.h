#pragma once

#include <functional>
#include <string>

#include <QObject>
#include <QTimer>

#include "playback/kplayerview.h"

namespace kolvarin {

// The main window's timers and the part of the main window the play system
// talks to, until the skinned main window exists. Each timer is a QTimer
// named and timed as the main window's; handlers run on the main thread and
// act only while the program is initialised and not yet shutting down.
class TKMainTimers : public QObject, public TKPlayerView {
public:
    TKMainTimers();

    // 10 ms, single shot: stops what plays and starts the playlist's selected or first entry.
    QTimer timCommandPlay;
    // The play system's timers (see TKPlayTimer).
    QTimer PlayTimer;
    QTimer SyncFadeOutProcStartTimer;
    QTimer SyncEndProcStartTimer;
    QTimer FadeOutStopTimer;

    // What the command-play timer calls; empty until the play system exists.
    std::function<void()> StopSystem;
    std::function<void(int)> StartPlay;

    // TKPlayerView
    void SetTimer(TKPlayTimer timer, bool enabled, int intervalMs) override;
    void StartTimerFromSync(TKPlayTimer timer) override;
    std::u16string StatusText() const override { return statusText_; }
    void SetStatusText(const std::u16string& text) override;
    TKStatusIcon StatusIcon() const override { return statusIcon_; }
    void SetStatusIcon(TKStatusIcon icon) override { statusIcon_ = icon; }
    void ShowBalloon(const std::u16string& title, const std::u16string& text, int seconds, bool errorIcon) override;

private:
    QTimer& Timer(TKPlayTimer timer);
    void timCommandPlayTimer();

    std::u16string statusText_;
    TKStatusIcon statusIcon_ = TKStatusIcon::Stopped;
};

// The one set of timers; exists while the message loop may run. Null otherwise.
extern TKMainTimers* MainTimers;

} // namespace kolvarin
