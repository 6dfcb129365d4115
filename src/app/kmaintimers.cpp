#include "kmaintimers.h"

#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "playback/ksystem.h"

namespace kolvarin {

TKMainTimers* MainTimers = nullptr;

namespace {

void SetupTimer(QTimer& timer, const char* name, int interval)
{
    timer.setObjectName(name);
    timer.setInterval(interval);
}

// The handlers act on the play system only while the program may act.
template <void (TKSystem::*Handler)()>
void CallPlaySystem()
{
    if (AppInitialized && !AppKilled && PlaySystem)
        (PlaySystem->*Handler)();
}

} // namespace

TKMainTimers::TKMainTimers()
{
    SetupTimer(timCommandPlay, "timCommandPlay", 10);
    timCommandPlay.setSingleShot(true);
    connect(&timCommandPlay, &QTimer::timeout, this, &TKMainTimers::timCommandPlayTimer);

    SetupTimer(PlayTimer, "PlayTimer", 333);
    SetupTimer(SyncFadeOutProcStartTimer, "SyncFadeOutProcStartTimer", 1);
    SetupTimer(SyncEndProcStartTimer, "SyncEndProcStartTimer", 1);
    SetupTimer(FadeOutStopTimer, "FadeOutStopTimer", 1000);
    connect(&PlayTimer, &QTimer::timeout, this, [] { CallPlaySystem<&TKSystem::PlayTimerTimer>(); });
    connect(&SyncFadeOutProcStartTimer, &QTimer::timeout, this,
            [] { CallPlaySystem<&TKSystem::SyncFadeOutProcStartTimerTimer>(); });
    connect(&SyncEndProcStartTimer, &QTimer::timeout, this,
            [] { CallPlaySystem<&TKSystem::SyncEndProcStartTimerTimer>(); });
    connect(&FadeOutStopTimer, &QTimer::timeout, this, [] { CallPlaySystem<&TKSystem::FadeOutStopTimerTimer>(); });
}

QTimer& TKMainTimers::Timer(TKPlayTimer timer)
{
    switch (timer) {
    case TKPlayTimer::PlayTimer: return PlayTimer;
    case TKPlayTimer::SyncFadeOutProcStartTimer: return SyncFadeOutProcStartTimer;
    case TKPlayTimer::SyncEndProcStartTimer: return SyncEndProcStartTimer;
    case TKPlayTimer::FadeOutStopTimer: break;
    }
    return FadeOutStopTimer;
}

void TKMainTimers::SetTimer(TKPlayTimer timer, bool enabled, int intervalMs)
{
    QTimer& t = Timer(timer);
    if (intervalMs > 0)
        t.setInterval(intervalMs);
    if (enabled)
        t.start();
    else
        t.stop();
}

void TKMainTimers::StartTimerFromSync(TKPlayTimer timer)
{
    QTimer* t = &Timer(timer);
    QMetaObject::invokeMethod(
        this, [t] { t->start(); }, Qt::QueuedConnection);
}

void TKMainTimers::SetStatusText(const std::u16string& text) { statusText_ = text; }

void TKMainTimers::ShowBalloon(const std::u16string& title, const std::u16string& text, int, bool)
{
    Log("TfrmMain.ShowBalloon", title + u": " + text);
}

void TKMainTimers::timCommandPlayTimer()
{
    if (!AppInitialized || AppKilled)
        return;
    const char* proc = "TfrmMain.timCommandPlayTimer";
    Log(proc, "Enter");
    Log(proc, "Stop system");
    if (SysActive && StopSystem)
        StopSystem();
    Log(proc, "Start play system");
    if (StartPlay)
        StartPlay(0);
    Log(proc, "Leave");
}

} // namespace kolvarin
