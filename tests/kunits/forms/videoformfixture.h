#pragma once

// The video window on the built-in skin, with a filter graph of the test's
// own that renders a clip into the window's display (what the video side
// does when it plays a file).

#include <filesystem>

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "forms/videoform.h"
#include "media/controlif.h"
#include "media_fixtures.h"
#include "skin/kskinload.h"
#include "zip/ziphandler.h"

namespace ktest {

class VideoFormTest : public ::testing::Test {
protected:
    VideoFormTest()
    {
        kolvarin::InitGUI(skin_);
        kolvarin::TZipHandler zip;
        loaded_ = kolvarin::LoadSkinByName(skin_, kolvarin::kDefaultSkinName, true, zip) == kolvarin::kSkinLoaded;
        kolvarin::Config = &config_;
        form_ = std::make_unique<kolvarin::TfrmVideo>(skin_);
        form_->DSVideoWindowEx->SetFilterGraph(&graph_);
    }
    ~VideoFormTest() override
    {
        graph_.SetActive(false);
        form_->DSVideoWindowEx->SetFilterGraph(nullptr);
        form_.reset();
        kolvarin::Config = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(loaded_); }

    // Renders the clip and pauses on its first picture, the window shown.
    void Open(const std::filesystem::path& clip)
    {
        form_->show();
        graph_.SetActive(true);
        ASSERT_TRUE(kolvarin::media::Succeeded(graph_.RenderFile(ktest::media::FileName(clip))));
        ASSERT_TRUE(graph_.Pause());
        kolvarin::media::OAFilterState state;
        graph_.Query<kolvarin::media::IMediaControl>()->GetState(3000, &state);
        QCoreApplication::processEvents();
    }
    // Where the renderer's window shows the picture, in the display's
    // coordinates.
    QRect PictureRect()
    {
        auto window = form_->DSVideoWindowEx->GetFilter().as<kolvarin::media::IVideoWindow>();
        int32_t left = 0, top = 0, width = 0, height = 0;
        if (window)
            window->GetWindowPosition(&left, &top, &width, &height);
        return QRect(left, top, width, height).translated(-form_->DSVideoWindowEx->pos());
    }

    kolvarin::TKGUI skin_;
    bool loaded_ = false;
    kolvarin::TKConfig config_;
    kolvarin::video::TFilterGraph graph_;
    std::unique_ptr<kolvarin::TfrmVideo> form_;
};

} // namespace ktest
