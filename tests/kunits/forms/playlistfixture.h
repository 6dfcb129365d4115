#pragma once

// The playlist window on the built-in skin with a playlist of its own, the
// settings' defaults and a play system that accepts every file.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "forms/playlistform.h"
#include "playback/ksystem.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "zip/ziphandler.h"

namespace ktest {

class PlaylistFormTest : public ::testing::Test {
protected:
    PlaylistFormTest()
    {
        config_.SetDefaults();
        config_.AcceptAllFiles = true;
        kolvarin::Config = &config_;
        kolvarin::Playlist = &list_;
        kolvarin::PlaySystem = &system_;
        kolvarin::PlaylistItemIndex = kolvarin::PlaylistAnchorFirst = kolvarin::PlaylistAnchorSecond = -1;
        kolvarin::InitGUI(skin_);
        kolvarin::TZipHandler zip;
        EXPECT_EQ(kolvarin::LoadSkinByName(skin_, kolvarin::kDefaultSkinName, true, zip), kolvarin::kSkinLoaded);
        form_ = std::make_unique<kolvarin::TfrmPlaylist>(skin_);
        kolvarin::TKSkinWindows windows;
        windows.Playlist = form_.get();
        kolvarin::ApplySkin(skin_, windows);
        form_->show();
    }

    ~PlaylistFormTest() override
    {
        form_.reset();
        kolvarin::PlaySystem = nullptr;
        kolvarin::Playlist = nullptr;
        kolvarin::Config = nullptr;
    }

    void Fill(int count)
    {
        for (int i = 0; i < count; ++i)
            kolvarin::PlaylistAdd(u"Entry " + Number(i), u"/m/entry" + Number(i) + u".mp3", "00:01:00", false, "00");
    }

    static std::u16string Number(int i)
    {
        const std::string s = std::to_string(i);
        return std::u16string(s.begin(), s.end());
    }

    // Paints once, then gives the list room for exactly `rows` rows and
    // half a row more, scrolls to `top` and paints again.
    void Layout(int rows, int64_t top = 0)
    {
        form_->imgPlaylist->Paint();
        const int lh = form_->LineHeight();
        form_->imgPlaylist->resize(form_->imgPlaylist->width(), rows * lh + lh / 2);
        skin_.Playlist.Scrollbar.Position = top;
        form_->imgPlaylist->Paint();
    }

    int RowY(int row) const { return row * form_->LineHeight() + form_->LineHeight() / 2; }

    kolvarin::TKSScrollBar& Scroll() { return skin_.Playlist.Scrollbar; }

    kolvarin::TKConfig config_;
    kolvarin::TKPlaylist list_;
    kolvarin::TKSystem system_;
    kolvarin::TKGUI skin_;
    std::unique_ptr<kolvarin::TfrmPlaylist> form_;
};

} // namespace ktest
