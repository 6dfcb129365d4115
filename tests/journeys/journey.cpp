#include "journey.h"

#include <algorithm>
#include <csignal>
#include <iostream>
#include <thread>

#include "audio_fixtures.h"
#include "skin/kskinxml.h"

namespace ktest {

namespace {

std::string TestName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

} // namespace

void Journey::SetUp()
{
    dir_ = std::make_unique<TempDir>();
    home_ = dir_->path() / "home";
    std::filesystem::create_directories(home_);
    WriteLoggingConfig(home_);
    const auto runtime = dir_->path() / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    x_ = std::make_unique<TXSession>(dir_->path());
    ASSERT_TRUE(x_->Ready()) << x_->Problem();
    env_ = {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + x_->DisplayName(), "SDL_AUDIODRIVER=dummy",
            "XDG_RUNTIME_DIR=" + runtime.string(),
            // No session bus: the media keys' service stays away, and nothing launches one.
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir_->path() / "no-bus").string()};
}

void Journey::TearDown()
{
    if (HasFailure() && x_ && x_->Ready()) {
        const auto shot = Shot("failed");
        std::cout << "Screen at the failure: " << shot.string() << "\n";
    }
    program_.reset();
    x_.reset();
    dir_.reset();
}

bool Journey::Start(std::vector<std::string> args, std::vector<std::string> env)
{
    // The journey's entries replace the harness's of the same name.
    for (const std::string& entry : env_)
        if (std::none_of(env.begin(), env.end(),
                         [&](const std::string& e) { return e.starts_with(entry.substr(0, entry.find('=') + 1)); }))
            env.push_back(entry);
    // A log left by an earlier run must not satisfy the wait.
    std::error_code ec;
    std::filesystem::remove(home_ / "kolvarin.log", ec);
    program_ = std::make_unique<KolvarinProcess>(home_, std::move(args), std::move(env));
    if (!WaitForLog("Project - Run application...")) {
        ADD_FAILURE() << "the program never reached its message loop";
        return false;
    }
    if (!x_->WaitForWindow(kMainTitle)) {
        std::string windows;
        for (const TXWindowInfo& w : x_->Windows())
            windows += " \"" + w.Title + "\"" + (w.Viewable ? "" : " (not shown)");
        const auto log = Log();
        ADD_FAILURE() << "the main window never showed; windows:" << windows
                      << "; last log line: " << (log.empty() ? "" : log.back()) << "; display " << x_->DisplayName()
                      << (x_->WindowManagerRuns() ? "" : "; the window manager has ended");
        return false;
    }
    return true;
}

int Journey::StartAgain(std::vector<std::string> args, std::chrono::milliseconds timeout)
{
    std::vector<std::string> env = env_;
    KolvarinProcess second(home_, std::move(args), std::move(env));
    return second.Wait(static_cast<int>(timeout.count()));
}

int Journey::WaitForEnd(std::chrono::milliseconds timeout)
{
    if (!program_)
        return -1;
    const int code = program_->Wait(static_cast<int>(timeout.count()));
    program_.reset();
    return code;
}

int Journey::Terminate()
{
    if (!program_)
        return -1;
    program_->Signal(SIGTERM);
    return WaitForEnd();
}

TXWindowInfo Journey::Main()
{
    const auto main = x_->WaitForWindow(kMainTitle);
    if (!main)
        ADD_FAILURE() << "no main window";
    return main.value_or(TXWindowInfo{});
}

bool Journey::WaitForLog(const std::string& line, std::chrono::milliseconds timeout) const
{
    return WaitForLogLine(home_ / "kolvarin.log", line, static_cast<int>(timeout.count()));
}

std::vector<std::string> Journey::Log() const { return ReadLogLines(home_ / "kolvarin.log"); }

const kolvarin::TKGUI& Journey::BuiltinSkin()
{
    static const kolvarin::TKGUI* skin = [] {
        auto* gui = new kolvarin::TKGUI;
        EXPECT_EQ(kolvarin::LoadSkinXmlFromFile(*gui, KOLVARIN_BUILTIN_SKIN_XML).Status,
                  kolvarin::TKSkinReadStatus::Ok);
        return gui;
    }();
    return *skin;
}

bool Journey::OpenMenu(XWindow window, int x, int y)
{
    // A click while a menu is still open would only close that menu.
    if (!WaitUntil([&] { return !x_->Popup(); })) {
        ADD_FAILURE() << "a menu stays open";
        return false;
    }
    // A click on a window that is still being placed, just after the start,
    // can miss it: the user clicks again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        x_->Click(window, x, y, 3);
        if (WaitUntil([&] { return x_->Popup().has_value(); }, std::chrono::seconds(5)))
            return true;
    }
    ADD_FAILURE() << "no menu opened";
    return false;
}

kolvarin::TKConfig Journey::StoredConfig() const
{
    kolvarin::TKConfig config;
    config.SetDefaults();
    config.LoadFromFile((home_ / "config.xml").string());
    return config;
}

void Journey::StoreConfig(kolvarin::TKConfig config) const { config.SaveToFile((home_ / "config.xml").string()); }

std::optional<TXWindowInfo> Journey::OpenConfiguration()
{
    const kolvarin::TKSMain& skin = BuiltinSkin().Main;
    if (!OpenMenu(Main().Id, skin.CaptionBar.FormPos.X + 8,
                  skin.CaptionBar.FormPos.Y + skin.CaptionBar.Size.Height / 2))
        return std::nullopt;
    // "About", "Help center", then "Configuration...".
    for (int i = 0; i < 3; ++i)
        x_->Press("Down");
    x_->Press("Return");
    auto dialog = x_->WaitForWindow("Configuration");
    if (!dialog || !x_->Activate(dialog->Id)) {
        ADD_FAILURE() << "no configuration dialog";
        return std::nullopt;
    }
    return dialog;
}

void Journey::ApplyListChoice(XWindow dialog, const std::string& page, const std::string& item)
{
    const TXRect area = x_->Geometry(dialog);
    // The tree's first row starts 8 pixels under the 28-pixel caption strip;
    // a click there gives the tree the focus, and the node's first letters
    // choose it. Arrow keys through the X server do not reach it here.
    x_->Click(dialog, 60, 28 + 8 + 8);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    x_->Type(page);
    // The page's list starts under its title and its group's caption and is
    // 220 pixels high at least: a click in it, then the item's first letters.
    // The list forgets letters typed before only after the toolkit's
    // type-ahead interval (400 ms).
    x_->Click(dialog, 196 + 80, 150);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    x_->Type(item);
    x_->Click(dialog, area.Width - 16 - 24, area.Height - 12 - 10);
}

kolvarin::TKPlaylistEntries Journey::StoredPlaylist() const
{
    kolvarin::TKPlaylistEntries entries;
    EXPECT_EQ(kolvarin::ParseKplFile(readFile(home_ / "default.kpl"), entries).Status, kolvarin::TKplStatus::Ok);
    return entries;
}

std::filesystem::path Journey::Shot(const std::string& label)
{
    const auto file = std::filesystem::path(KOLVARIN_JOURNEY_SHOTS) / (TestName() + "-" + label + ".png");
    if (!x_->Screenshot(file))
        ADD_FAILURE() << "no screenshot " << file;
    return file;
}

std::vector<std::filesystem::path> Journey::MakeTracks(const std::vector<std::string>& names, int seconds)
{
    std::vector<std::filesystem::path> files;
    constexpr int kRate = 8000;
    const auto silence = audio::makeSamples(kRate * seconds, 1, [](int, int) { return 0.0; });
    for (const std::string& name : names) {
        files.push_back(dir_->path() / "music" / (name + ".wav"));
        std::filesystem::create_directories(files.back().parent_path());
        audio::writeWav(files.back(), kRate, 1, silence);
    }
    return files;
}

std::vector<std::string> Journey::Arguments(const std::vector<std::filesystem::path>& files)
{
    std::vector<std::string> args;
    for (const auto& file : files)
        args.push_back(file.string());
    return args;
}

size_t Journey::LogCount(const std::string& text) const
{
    size_t count = 0;
    for (const std::string& line : Log())
        count += line.find(text) != std::string::npos;
    return count;
}

} // namespace ktest
