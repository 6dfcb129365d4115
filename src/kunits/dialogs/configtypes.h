#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>

namespace kolvarin {

// The pages of the configuration dialog, in the order of its tree.
enum class TConfigPage : uint8_t {
    General,
    Filetypes,
    Shortcuts,
    Mouse,
    Playlist,
    AcceptedExtensions,
    Skins,
    Languages,
    Audio,
    AudioOutput,
    AudioLivestreaming,
    Video,
    VideoFilter,
    VideoOSD,
    VideoDefault,
    VideoFullscreen,
    System,
    Notifications,
    Count
};
constexpr int kConfigPageCount = static_cast<int>(TConfigPage::Count);

// A page's notebook name and the language position of its tree text; a
// child page names its parent.
struct TConfigPageInfo {
    const char* Name;
    int TreeText;
    TConfigPage Parent; // Count for a top-level page
};
const TConfigPageInfo& ConfigPageInfo(TConfigPage page);
// False for a page this build does not offer yet; its node is hidden.
bool IsConfigPageReady(TConfigPage page);

// What a control's change marks. Apply stores and re-applies only the areas
// marked, in its fixed order.
enum class TConfigArea : uint8_t {
    TagReading,
    TimeReading,
    PlaylistDrawing,
    ValidFileCheck,
    PlayMode,
    Analyzer,
    MemoryManagement,
    CrossFader,
    VolumeFader,
    VideoBehaviour,
    LiveStreams,
    TrayAndScrollLabel,
    FileTypes,
    TimeJump,
    OnScreenText,
    SearchWindow,
    LiveUpdate,
    OutputDevice,
    LastPlayed,
    StatusBar,
    VideoColour,
    DefaultAudioLanguage,
    DefaultSubtitle,
    Speakers,
    PlaylistFiles,
    ContextMenu,
    FullscreenControl,
    DragAndDrop,
    DVDGraph,
    GraphScriptTable,
    NewsOnStartup,
    FreshNewsOnly,
    DVDContextMenu,
    MediaKeys,
    AcceptedExtensions,
    AcceptAllFiles,
    ForcedMonitor,
    WheelControl,
    DirectMove,
    Notifications,
    AudioPriority,
    Logging,
    Splash,
    // Not a change mark: the skin page's colour blend, stored with the skin.
    SkinColorBlend,
    Count
};
constexpr int kConfigAreaCount = static_cast<int>(TConfigArea::Count);

// A graph script and the file types it declares: (extension or file-name
// pattern, type caption).
struct TKGraphType {
    std::string Script;
    std::vector<std::pair<std::string, std::string>> FileTypes;
};

// How Apply reaches the rest of the program: each hook re-applies stored
// settings to windows and services the dialog does not own. An empty hook
// does nothing; the program installs them when it creates the dialog.
struct TKConfigHooks {
    std::function<void()> RepaintPlaylist;
    std::function<void()> LayoutPlaylist; // the status bar changed
    std::function<void()> SetTrayMode;
    // 0 stops the scrolling label and resets its offsets; 1 right, 2 left.
    std::function<void(int direction)> SetScrollDirection;
    std::function<void()> PlayModeChanged; // the main window's play-mode box
    // Auto full screen and resize boxes, the cursor-hide delay.
    std::function<void()> VideoBehaviourChanged;
    std::function<void()> FaderChanged; // end syncs of a playing file
    std::function<void()> AnalyzerChanged; // the spectrum painter
    std::function<void()> SpeakersChanged; // rebuilds a playing stream set
    std::function<void()> VideoColorsChanged;
    std::function<void()> FullscreenControlChanged;
    std::function<void()> BufferChanged; // the audio library's buffer settings
    // The video window's graph types, read again from the graph scripts.
    std::function<std::vector<TKGraphType>()> GraphTypes;
    // Texts of every window after the language texts changed.
    std::function<void()> ApplyLanguage;
    // Loads and applies a skin; returns the name now shown ("base[default]"
    // after a fall-back).
    std::function<std::string(const std::string& name)> ApplySkin;
    // Places the windows again after every setting went back to its default.
    std::function<void()> ArrangeWindows;
    // An information box; tests record it.
    std::function<void(const QString& text)> ShowMessage;
    // A Yes/No question; empty asks with a message box.
    std::function<bool(const QString& question)> AskYesNo;
    // A one-line input box; no answer when cancelled. Empty uses Qt's.
    std::function<std::optional<QString>(const QString& title, const QString& prompt, const QString& text)> AskText;
    // Shows the template editor modally; true when closed with OK. Empty
    // runs its own event loop.
    std::function<bool(class TfrmTemplateEditor& editor)> RunTemplateEditor;
};

} // namespace kolvarin
