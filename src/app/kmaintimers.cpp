#include "kmaintimers.h"

#include "core/kdebug.h"
#include "core/kglobals.h"

namespace kolvarin {

TKMainTimers* MainTimers = nullptr;

TKMainTimers::TKMainTimers()
{
    timCommandPlay.setObjectName("timCommandPlay");
    timCommandPlay.setInterval(10);
    timCommandPlay.setSingleShot(true);
    connect(&timCommandPlay, &QTimer::timeout, this, &TKMainTimers::timCommandPlayTimer);
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
