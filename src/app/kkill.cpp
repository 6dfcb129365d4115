#include "core/kconfig.h"
#include "core/kdebug.h"
#include "core/kglobals.h"
#include "kapp.h"
#include "kstep.h"

namespace kolvarin {

namespace {

constexpr const char* kKill = "KKill";

// Runs a release step with its "...", " ok" and " failed: " lines.
template <typename Step>
void Release(const std::string& what, Step&& step)
{
    Log(kKill, "Release " + what + "...");
    if (Guarded(kKill, "Release " + what + " failed: ", step))
        Log(kKill, "Release " + what + " ok");
}

} // namespace

void KKill()
{
    Log(kKill, "Enter");
    AppKilled = false;
    Log(kKill, std::string("SysPlayed: ") + (SysPlayed ? "true" : "false"));
    Log(kKill, std::string("SysPaused: ") + (SysPaused ? "true" : "false"));
    Log(kKill, "Set status");

    Release("history", [] {
        delete History;
        History = nullptr;
    });
    Release("config class", [] {
        delete Config;
        Config = nullptr;
    });

    AppKilled = true;
    Log(kKill, "Leave");
}

} // namespace kolvarin
