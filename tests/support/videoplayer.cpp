#include "videoplayer.h"

#include <chrono>

#include <QCoreApplication>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "media_fixtures.h"

namespace ktest {

using namespace kolvarin;

void VideoPlayer::Open(const std::filesystem::path& userFolder)
{
    Close();
    std::filesystem::create_directories(userFolder);
    UserPath = userFolder.string() + "/";
    Config = new TKConfig();
    Config->SetDefaults();
    TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
    Config->Notifications.ShowMsgBoxOnProblems = false;
    Config->PlayMode.Enabled = false;
    Playlist = new TKPlaylist();
    PlaylistItemIndex = -1;
    ResetProcessFlags();
    AppInitialized = true;
    open_ = true;
}

void VideoPlayer::UseSourceScripts() { ApplicationPath = KOLVARIN_SOURCE_DIR "/"; }

void VideoPlayer::StartSystem(video::TKVideoHost* host)
{
    side = std::make_unique<video::TKDirectShowSide>(host);
    system = std::make_unique<TKSystem>();
    system->SetVideoSide(side.get());
}

void VideoPlayer::Close()
{
    if (system)
        system->Stop(true);
    if (PlaySystem == system.get())
        PlaySystem = nullptr;
    system.reset();
    side.reset();
    host_.reset();
    if (!open_)
        return;
    open_ = false;
    delete Playlist;
    Playlist = nullptr;
    delete Config;
    Config = nullptr;
    ResetProcessFlags();
}

int VideoPlayer::Add(const std::filesystem::path& file)
{
    return PlaylistAdd(u"clip", ktest::media::FileName(file), "00:00:00", false, "00");
}

bool VideoPlayer::WaitFor(const std::function<bool()>& done, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace ktest
