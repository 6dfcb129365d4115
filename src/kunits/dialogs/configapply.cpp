// Apply of the configuration dialog: validate every page, then store and
// re-apply the marked areas in their fixed order.

#include <exception>

#include <QPushButton>

#include "core/system/kdebug.h"
#include "core/text/klanguage.h"
#include "dialogs/configform.h"
#include "dialogs/configskininfo.h"
#include "skin/kskinload.h"

namespace kolvarin {

namespace {

constexpr const char* kApply = "TfrmConfig.Apply";

using A = TConfigArea;

// One step of Apply: an area and what follows its storing.
struct TApplyStep {
    TConfigArea Area;
    const char* Text;
    void (*After)(const TKConfigHooks& hooks);
};

void run(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

// The scrolling label: index 0 stops it, 1 ("Left scrolling") moves it
// with direction value 2, 2 ("Right scrolling") with direction value 1.
void trayAndScrollLabel(const TKConfigHooks& hooks)
{
    run(hooks.SetTrayMode);
    if (hooks.SetScrollDirection)
        hooks.SetScrollDirection(Config->SLMoveProg == 1 ? 2 : Config->SLMoveProg == 2 ? 1 : 0);
}

void outputDevice(const TKConfigHooks& hooks)
{
    if (hooks.ShowMessage)
        hooks.ShowMessage(
            QStringLiteral("To see a effect on your change \"Audio output device\", you must restart Kolvarin."));
}

void logging(const TKConfigHooks&)
{
    if (DebugLog)
        DebugLog->SetLogToFile(Config->Logging.EnableTextFile);
}

// The areas in the order Apply stores them, after the skin and the language.
const TApplyStep kSteps[] = {
    {A::TagReading, "tag reading", nullptr},
    {A::TimeReading, "time reading", nullptr},
    {A::ValidFileCheck, "valid-file check", nullptr},
    {A::PlayMode, "play mode", [](const TKConfigHooks& h) { run(h.PlayModeChanged); }},
    {A::Analyzer, "analyzer", [](const TKConfigHooks& h) { run(h.AnalyzerChanged); }},
    {A::MemoryManagement, "memory management", nullptr},
    {A::CrossFader, "cross-fader", [](const TKConfigHooks& h) { run(h.FaderChanged); }},
    {A::VolumeFader, "volume fader", nullptr},
    {A::LiveStreams, "live streams", nullptr},
    {A::VideoBehaviour, "video behaviour", [](const TKConfigHooks& h) { run(h.VideoBehaviourChanged); }},
    {A::TrayAndScrollLabel, "tray and scrolling label", trayAndScrollLabel},
    {A::TimeJump, "time jump", nullptr},
    {A::LiveUpdate, "live update", nullptr},
    {A::FileTypes, "file types", nullptr},
    {A::OnScreenText, "on-screen text", nullptr},
    {A::PlaylistDrawing, "playlist drawing", [](const TKConfigHooks& h) { run(h.RepaintPlaylist); }},
    {A::DirectMove, "direct move", [](const TKConfigHooks& h) { run(h.RepaintPlaylist); }},
    {A::LastPlayed, "last played", nullptr},
    {A::SearchWindow, "search window", nullptr},
    {A::OutputDevice, "output device", outputDevice},
    {A::StatusBar, "status bar", [](const TKConfigHooks& h) { run(h.LayoutPlaylist); }},
    {A::VideoColour, "video colour", [](const TKConfigHooks& h) { run(h.VideoColorsChanged); }},
    {A::DVDGraph, "DVD graph", nullptr},
    {A::DefaultAudioLanguage, "default audio language", nullptr},
    {A::DefaultSubtitle, "default subtitle", nullptr},
    {A::Speakers, "speakers", [](const TKConfigHooks& h) { run(h.SpeakersChanged); }},
    {A::FullscreenControl, "full-screen control", [](const TKConfigHooks& h) { run(h.FullscreenControlChanged); }},
    {A::PlaylistFiles, "playlist files", nullptr},
    {A::ContextMenu, "context menu", nullptr},
    {A::DVDContextMenu, "DVD context menu", nullptr},
    {A::MediaKeys, "media keys", nullptr},
    {A::GraphScriptTable, "graph-script table", nullptr},
    {A::DragAndDrop, "drag and drop", nullptr},
    {A::NewsOnStartup, "news on start-up", nullptr},
    {A::FreshNewsOnly, "fresh news only", nullptr},
    {A::AcceptedExtensions, "accepted extensions", nullptr},
    {A::AcceptAllFiles, "accept all files", nullptr},
    {A::ForcedMonitor, "forced monitor", nullptr},
    {A::WheelControl, "wheel control", nullptr},
    {A::Notifications, "notifications", nullptr},
    {A::AudioPriority, "audio priority", [](const TKConfigHooks& h) { run(h.BufferChanged); }},
    {A::Logging, "logging", logging},
    {A::Splash, "splash", nullptr},
};
static_assert(std::size(kSteps) == kConfigAreaCount - 1, "every area but the colour blend has its step");

// Runs one step guarded: a failure is logged and the next step follows.
template <typename Step>
void guarded(const std::string& text, Step&& step)
{
    try {
        step();
        Log(kApply, "Applying " + text + " ok");
    } catch (const std::exception& e) {
        Log(kApply, "Applying " + text + " failed: " + e.what());
    }
}

} // namespace

void TfrmConfig::StoreArea(TConfigArea area)
{
    for (TConfigPageWidget* page : pages_)
        if (page)
            page->Store(area);
}

bool TfrmConfig::Apply()
{
    ClearError();
    std::vector<TFieldError> errors;
    for (TConfigPageWidget* page : pages_)
        if (page)
            page->Validate(marked_, errors);
    if (!errors.empty()) {
        Log(kApply, "Apply refused: " + errors.front().Message.toStdString());
        ShowError(errors.front());
        return false;
    }
    apply_->setEnabled(false);
    RunSteps();
    ClearChangeFlags();
    UpdateApplyButton();
    return true;
}

void TfrmConfig::ApplySkin(const std::string& name)
{
    if (name.empty())
        return;
    const std::string shown = Hooks.ApplySkin ? Hooks.ApplySkin(name) : name;
    Config->Skin = shown.empty() ? kDefaultSkinName : shown;
    if (TConfigPageWidget* page = pages_[static_cast<size_t>(TConfigPage::Skins)])
        page->Load();
}

// The language texts from the chosen file (built-in English for
// "english[default]"); when that fails the kept language comes back.
void TfrmConfig::ApplyLanguage()
{
    const std::string kept = Config->Language;
    auto load = [](const std::string& name) {
        SetDefaultLanguage(Language);
        if (name != "english[default]" && name != "english")
            LoadLanguageFile(Language, LanguageFileOf(name));
    };
    try {
        load(SelectedLanguageName);
        Config->Language = SelectedLanguageName == "english[default]" ? "english" : SelectedLanguageName;
    } catch (...) {
        try {
            load(kept);
        } catch (...) {
            SetDefaultLanguage(Language);
        }
        if (Hooks.ApplyLanguage)
            Hooks.ApplyLanguage();
        throw;
    }
    if (Hooks.ApplyLanguage)
        Hooks.ApplyLanguage();
}

void TfrmConfig::RunSteps()
{
    if (!SelectedSkinName.empty())
        guarded("skin", [&] {
            StoreArea(TConfigArea::SkinColorBlend);
            ApplySkin(SelectedSkinName);
        });
    const bool languageChanged = !SelectedLanguageName.empty();
    if (languageChanged)
        guarded("language", [&] { ApplyLanguage(); });
    for (const TApplyStep& step : kSteps) {
        if (!IsMarked(step.Area))
            continue;
        guarded(step.Text, [&] {
            StoreArea(step.Area);
            if (step.After)
                step.After(Hooks);
        });
    }
    if (languageChanged)
        Retranslate();
}

} // namespace kolvarin
