#pragma once

// The video window as the video side's host, with the play system and the
// DirectShow side around it: what a played medium goes through.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "forms/videoform.h"
#include "media_fixtures.h"
#include "playback/ksystem.h"
#include "temphome.h"
#include "video/kdirectshowside.h"

namespace ktest {

class VideoPlayTest : public TempHomeTest {
protected:
    void SetUp() override
    {
        using namespace kolvarin;
        TempHomeTest::SetUp();
        std::filesystem::create_directories(home());
        UserPath = home().string() + "/";
        Config = new TKConfig();
        Config->SetDefaults();
        TKConfig::FillKnownExtensions(Config->AcceptedExtensions);
        Config->Notifications.ShowMsgBoxOnProblems = false;
        Config->PlayMode.Enabled = false;
        Playlist = new TKPlaylist();
        PlaylistItemIndex = -1;
        ResetProcessFlags();
        AppInitialized = true;
        form = std::make_unique<TfrmVideo>();
        side = std::make_unique<video::TKDirectShowSide>(form.get());
        system = std::make_unique<TKSystem>();
        system->SetVideoSide(side.get());
        PlaySystem = system.get();
        VideoDisplayMode = vdmNone;
    }
    void TearDown() override
    {
        using namespace kolvarin;
        system->Stop(true);
        PlaySystem = nullptr;
        system.reset();
        side.reset();
        form.reset();
        delete Playlist;
        Playlist = nullptr;
        delete Config;
        Config = nullptr;
        ResetProcessFlags();
        TempHomeTest::TearDown();
    }
    void Play(const std::filesystem::path& clip)
    {
        system->Play(kolvarin::PlaylistAdd(u"clip", media::FileName(clip), "00:00:00", false, "00"));
        QCoreApplication::processEvents();
    }
    static std::vector<std::u16string> Captions(const QMenu& menu)
    {
        using kolvarin::MenuItems;
        std::vector<std::u16string> captions;
        for (QAction* a : MenuItems(menu))
            captions.push_back(a->text().toStdU16String());
        return captions;
    }
    static bool WaitFor(const std::function<bool()>& done, int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    std::unique_ptr<kolvarin::TfrmVideo> form;
    std::unique_ptr<kolvarin::video::TKDirectShowSide> side;
    std::unique_ptr<kolvarin::TKSystem> system;
};

} // namespace ktest
