#pragma once

// The main window with the built-in skin on the process-wide skin record,
// default settings, an empty playlist and a play system on the audio
// layer's offline output; the program counts as started.

#include <filesystem>
#include <memory>
#include <string>

#include <QPoint>

#include <gtest/gtest.h>

#include "core/playlist/kplaylist.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "forms/mainform.h"
#include "playback/ksystem.h"
#include "temphome.h"

namespace ktest {

class MainFormTest : public TempHomeTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The centre of an element, in the main window, from its record.
    static QPoint Centre(const kolvarin::TKSButton& element);
    // A left click at a point of the main window, delivered by the window
    // system to whatever control lies there.
    void ClickAt(QPoint point);
    // Presses there, then releases the button away from the control.
    void PressAndLeave(QPoint point);
    // A silent 16-bit stereo WAV of the given length at 44.1 kHz.
    static void WriteSilence(const std::filesystem::path& file, int seconds);

    std::unique_ptr<kolvarin::TfrmMain> main;
    kolvarin::TKSystem* system = nullptr;
};

} // namespace ktest
