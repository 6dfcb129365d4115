#pragma once

// The fixture of the whole-program journeys: the built program with its real
// windows, in a fresh user folder, on a private X server with a window
// manager, driven through the server like a user would.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistfiles.h"
#include "core/settings/kconfig.h"
#include "kolvarinprocess.h"
#include "skin/kgui.h"
#include "temphome.h"
#include "xsession.h"

namespace ktest {

// Titles the skinned windows carry (the main window's follows the status
// text: "Kolvarin - <status>").
inline constexpr const char* kMainTitle = "Kolvarin - ";
inline constexpr const char* kPlaylistTitle = "Playlist";
inline constexpr const char* kMediaControlsTitle = "Media Controls";

class Journey : public ::testing::Test {
protected:
    // A fresh user folder whose config.xml turns the log file on and the
    // splash and news off; then the X server and the window manager.
    void SetUp() override;
    // A failed journey leaves a screenshot in the shots folder (its path is
    // printed); the program still running is killed.
    void TearDown() override;

    const std::filesystem::path& Home() const { return home_; }
    TXSession& X() { return *x_; }

    // Starts the program with these arguments (and NAME=value entries over
    // its environment) and waits until its message loop runs and its main
    // window shows. False (with a failure recorded) otherwise.
    bool Start(std::vector<std::string> args = {}, std::vector<std::string> env = {});
    // A second start while one runs: it hands over and ends; its exit code.
    int StartAgain(std::vector<std::string> args, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    bool Running() const { return program_ != nullptr; }
    pid_t Pid() const { return program_ ? program_->pid() : -1; }
    // Waits for the program to end by itself; its exit code, -1 on a timeout
    // (it is killed then) or a crash.
    int WaitForEnd(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Ends the program with SIGTERM, as a session's end does; its exit code.
    int Terminate();

    // The main window, viewable.
    TXWindowInfo Main();
    // Waits until the log holds the line ("Proc - Text").
    bool WaitForLog(const std::string& line, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    std::vector<std::string> Log() const;

    // The centre of a skin element in its window, by the built-in skin's
    // description (positions do not depend on the pictures).
    static const kolvarin::TKGUI& BuiltinSkin();
    // Right-clicks the point of the window and waits for its popup menu;
    // the journey then walks it with keys ("Up" from a fresh menu is its last item).
    bool OpenMenu(XWindow window, int x, int y);

    // Opens the configuration dialog from the main window's menu; the dialog.
    std::optional<TXWindowInfo> OpenConfiguration();
    // In the open configuration dialog: shows the page of the tree's node
    // whose text starts with `page` (typed into the tree, so neither the
    // rows' height nor which branches are open matters), chooses the item
    // of the page's list that starts with `item`, and presses "Apply".
    // Where the dialog's parts are follows its layout: the tree down the
    // left, the page's list at the top of the page, the buttons along the
    // bottom with "Apply" last.
    void ApplyListChoice(XWindow dialog, const std::string& page, const std::string& item);

    // What the program stored in the user folder.
    kolvarin::TKConfig StoredConfig() const;
    // Writes the settings the next start reads.
    void StoreConfig(kolvarin::TKConfig config) const;
    kolvarin::TKPlaylistEntries StoredPlaylist() const;

    // A screenshot of the whole screen into the shots folder as
    // <test>-<label>.png, for a human to look at; its path.
    std::filesystem::path Shot(const std::string& label);

    // Silent WAV files "<name>.wav" in the journey's music folder.
    std::vector<std::filesystem::path> MakeTracks(const std::vector<std::string>& names, int seconds);
    // The paths as program arguments.
    static std::vector<std::string> Arguments(const std::vector<std::filesystem::path>& files);
    // How many log lines contain the text.
    size_t LogCount(const std::string& text) const;

private:
    std::unique_ptr<TempDir> dir_;
    std::filesystem::path home_;
    std::unique_ptr<TXSession> x_;
    std::unique_ptr<KolvarinProcess> program_;
    std::vector<std::string> env_;
};

} // namespace ktest
