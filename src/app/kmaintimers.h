#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

namespace kolvarin {

// The main window's timers that the core starts. Each is a QTimer named and
// timed as the main window's; handlers run on the main thread and act only
// while the program is initialised and not yet shutting down.
class TKMainTimers : public QObject {
public:
    TKMainTimers();

    // 10 ms, single shot: stops what plays and starts the playlist's selected or first entry.
    QTimer timCommandPlay;

    // What the command-play timer calls; empty until the play system exists.
    std::function<void()> StopSystem;
    std::function<void(int)> StartPlay;

private:
    void timCommandPlayTimer();
};

// The one set of timers; exists while the message loop may run. Null otherwise.
extern TKMainTimers* MainTimers;

} // namespace kolvarin
