#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/settings/kformatdb.h"
#include "core/settings/khotkeys.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/ktemplates.h"
#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "kapp.h"
#include "keyhook/keyhook.h"
#include "kloadedfiles.h"
#include "kstep.h"
#include "playback/ksystem.h"
#include "skin/kgui.h"
#include "video/kdirectshowside.h"

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

// One of the user's files: written unless NoSave, or unless its load never
// ran (an aborted start must not overwrite it with an empty table).
template <typename Write>
void SaveUserFile(const std::string& prefix, const std::string& name, bool loaded, Write&& write)
{
    const std::string path = UserPath + name;
    const std::string text = prefix + Quoted(path);
    Log(kKill, text + "...");
    if (NoSave || !loaded) {
        Log(kKill, text + " skipped!");
        return;
    }
    if (Guarded(kKill, text + " failed: ", [&] { write(path); }))
        Log(kKill, text + " ok");
}

} // namespace

// The four saves of the shutdown, each guarded on its own.
void KSaveUserFiles()
{
    SaveUserFile("Save config to file ", "config.xml", Config != nullptr,
                 [](const std::string& path) { Config->SaveToFile(path); });
    SaveUserFile("Save extension whitelist to file ", "acceptedextensions.xml",
                 Config && LoadedFiles.AcceptedExtensions,
                 [](const std::string& path) { Config->SaveAcceptedExtensions(path); });
    SaveUserFile("Save media graphs to file ", "filtermanager.xml", Config && LoadedFiles.FilterManager,
                 [](const std::string& path) { Config->SaveFilterManager(path); });
    SaveUserFile("Save playlist to file ", "default.kpl", Playlist && LoadedFiles.Playlist,
                 [](const std::string& path) { SavePlaylistFile(path); });
}

void KSaveHotKeys()
{
    SaveUserFile("Save hotkeys to file ", "hotkeys.kkeys", HotKeys && LoadedFiles.HotKeys,
                 [](const std::string& path) { HotKeys->SaveToFile(path); });
}

void KKill()
{
    Log(kKill, "Enter");
    AppKilled = false;
    Log(kKill, std::string("SysPlayed: ") + (SysPlayed ? "true" : "false"));
    Log(kKill, std::string("SysPaused: ") + (SysPaused ? "true" : "false"));
    if (PlaySystem && (SysPlayed || SysPaused)) {
        Log(kKill, "System is active");
        Log(kKill, "Stopping system...");
        if (Guarded(kKill, "Stopping system failed: ", [] { PlaySystem->Stop(true); }))
            Log(kKill, "Stopping system ok");
    }
    Log(kKill, "Set status");
    if (frmMain)
        frmMain->SetStatusText(StatusLanguageText(txtClosing));
    if (PlaySystem) {
        Log(kKill, "Release bass streams...");
        PlaySystem->FreeChannelSlots();
        Log(kKill, "Release bass streams ok");
    }
    Log(kKill, "Release bass audio system...");
    BASS_Free();
    Log(kKill, "Release bass audio system ok");

    Log(kKill, "Application ended...");
    SetApplicationState("PROGRAMEND");
    Log(kKill, "Application ended ok");
    Release("format databases", [] {
        delete AudioFormatDB;
        AudioFormatDB = nullptr;
        delete VideoFormatDB;
        VideoFormatDB = nullptr;
    });
    Release("template databases", [] {
        delete BalloonTemplate;
        BalloonTemplate = nullptr;
        delete OSDTemplate;
        OSDTemplate = nullptr;
    });
    Release("history", [] {
        delete History;
        History = nullptr;
    });
    Release("GUI", [] { FreeGUI(GUI); });
    KSaveUserFiles();
    Release("playlist", [] {
        delete Playlist;
        Playlist = nullptr;
    });
    Release("vars", [] {
        AudioDevices.clear();
        delete PlaySystem;
        PlaySystem = nullptr;
        // The video window outlives the side: it lets the side's DSP filter go first.
        if (frmVideo)
            frmVideo->AttachDSP(nullptr);
        delete video::VideoSide;
        video::VideoSide = nullptr;
    });
    Log(kKill, "Deactivate hook...");
    Log(kKill, keyhook::KDisableHook() ? "Deactivate hook ok" : "Deactivate hook failed!");
    KSaveHotKeys();
    Release("hotkeys class", [] {
        delete HotKeys;
        HotKeys = nullptr;
    });
    Release("config class", [] {
        delete Config;
        Config = nullptr;
    });

    AppKilled = true;
    Log(kKill, "Leave");
}

} // namespace kolvarin
