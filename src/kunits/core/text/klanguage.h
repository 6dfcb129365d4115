#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/text/kwideformat.h"

namespace kolvarin {

// True when both texts take the same kinds of arguments (text, integer, real)
// in the same order, read as WideFormat reads them; width, precision and
// flags may differ.
bool SameFormatArguments(std::u16string_view a, std::u16string_view b);

// The sections of the language texts, in the order of the language file.
enum class TLanguageSection : uint8_t {
    Status,
    MainPopupMenu,
    MainPopupMenu_Help,
    MainPopupMenu_Audio,
    MainTellafriend,
    MainAudioLivestream,
    PlaylistPopupMenu,
    PlaylistPopupMenu_Sort,
    MainHints,
    Configuration,
    ConfigurationTreeview,
    ConfigurationGeneral,
    ConfigurationFiletypes,
    ConfigurationPlaylist,
    ConfigurationAcceptFileExt,
    ConfigurationSkin,
    ConfigurationAudio,
    ConfigurationAudioOutput,
    ConfigurationAudioLS,
    ConfigurationSystem,
    ConfigurationVideo,
    ConfigurationVideoFilter,
    ConfigurationVideoOSD,
    ConfigurationVideoDefault,
    ConfigurationVideoFullscreen,
    ConfigurationMouse,
    MediaControlsHints,
    VideoPopupMenu,
    VideoPopupMenu_Mode,
    VideoPopupMenu_Ratio,
    VideoPopupMenu_DigitalZoom,
    VideoPopupMenu_Showmenu,
    VideoPopupMenu_Subtitles,
    VideoPopupMenu_JumpTo,
    VideoPopupMenu_Screenshot,
    PlaylistSearch,
    PlaylistSearch_For,
    EditPlaylistEntry,
    AddCDtoPlaylist,
    AddURLtoPlaylist,
    EditID3Tag,
    ConfigurationShortCuts,
    MediaControlsPopupMenu,
    ShortCuts,
    News,
    ConfigurationNotifications,
    ConfigurationOMPActions,
    NotifiyStatus,
    ConfigurationLang,
};

// A section: its element name, how many texts it has and where its first
// text lies in the record.
struct TLanguageSectionInfo {
    const char* Name;
    int Count;
    int Position;
};

constexpr int kLanguageSectionCount = 49;
constexpr int kLanguageTextCount = 481;

// The 49 sections in file order (ConfigurationLang, written last, lies
// between ConfigurationAcceptFileExt and ConfigurationSkin in the record).
std::span<const TLanguageSectionInfo, kLanguageSectionCount> LanguageSections();
const TLanguageSectionInfo& LanguageSection(TLanguageSection section);

// The user-interface texts. Owned by the main thread.
struct TKLanguage {
    std::array<std::u16string, kLanguageTextCount> Texts;

    // Text Number (from 1) of a section; an empty text outside the section.
    const std::u16string& Text(TLanguageSection section, int number) const;
    // The text with the arguments filled in (see WideFormat). Texts whose
    // conversions differ from the built-in text's never reach here: the
    // loader keeps the built-in text for them.
    template <class... Args>
    std::u16string Format(TLanguageSection section, int number, const Args&... args) const
    {
        return WideFormat(Text(section, number), args...);
    }
};

// The process-wide texts: the built-in English ones from the start (the
// command line's registrations run before the language file is read), then
// what the start-up loads.
extern TKLanguage Language;

// The built-in English text at a record position (0 .. 480); empty outside.
std::u16string_view BuiltinLanguageText(int position);

// Sets all 481 texts to the built-in English ones.
void SetDefaultLanguage(TKLanguage& texts);

// Reads a language file over the texts. A file that cannot be read, does not
// parse or lacks the root KolvarinLanguageFile changes nothing. In a section
// the file holds, a text it lacks becomes the visible missing-tag text. A text
// whose conversions (%s, %d, %3.1f...) differ from the built-in text's keeps
// the built-in text, so a translation can never make a formatted text print
// garbage. Throws std::runtime_error when an id does not fit an integer;
// texts read before it keep their new values (the caller restores the
// defaults).
void LoadLanguageFile(TKLanguage& texts, const std::string& fileName);
// The same for the file's bytes.
void LoadLanguageText(TKLanguage& texts, std::string_view bytes);

// Writes every text as a language file, Windows-1252 in CDATA sections,
// through a temporary file renamed over the old one. Throws
// std::runtime_error when it cannot be written; the old file is then kept.
void SaveLanguageFile(const TKLanguage& texts, const std::string& fileName);

// The folder of the language files: ApplicationPath + "data/languages/".
std::string LanguageFolder();

} // namespace kolvarin
