#pragma once

// The DVD side of the video window that is not window code: the DVD
// selection state kept between chapters, the audio, subtitle and "Jump to"
// menus built from the navigator as plain item trees for the window to show,
// the handlers of the navigator's chapter, title and time events, and the
// menu commands. The window turns the trees into its popup menu and calls
// back with the clicked item. Main thread.
//
// Only audio and subpicture streams 0 to 7 are offered.

#include <cstdint>
#include <string>
#include <vector>

#include "media/dvdif.h"

namespace kolvarin::video {

// Process-wide DVD selection state, kept between chapters and restored
// after a jump.
struct TDvdState {
    int32_t DvdAudioIndex = 0;
    std::u16string DvdAudioName;
    int32_t DvdSubpictureIndex = 0;
    std::u16string DvdSubpictureName;
    int32_t DvdCurrentTitle = 0;
    int32_t DvdSubtitlesVisible = 0; // 0 or -1
    media::DVD_HMSF_TIMECODE DvdTotalTime;
    uint32_t DvdCurrentTime = 0;
};

// One item of a built menu: Tag carries the stream or chapter number (-1:
// none), GroupIndex the title of a chapter item.
struct TDvdMenuItem {
    enum class Kind { Stream, ShowSubtitles, Separator, Title, Chapter };
    Kind kind = Kind::Stream;
    std::u16string Caption;
    int Tag = -1;
    int GroupIndex = 0;
    bool Checked = false;
    std::vector<TDvdMenuItem> Items; // the chapters of a title
};
using TDvdMenu = std::vector<TDvdMenuItem>;

// The language texts the DVD menus and messages use (English defaults).
struct TDvdTexts {
    std::u16string ShowSubtitles = u"Show subtitles";
    std::u16string Title = u"Title %d";
    std::u16string Chapter = u"Chapter %d";
    std::u16string ChapterOfTitle = u"Chapter %d, title %d";
    std::u16string Language = u"DVD language '%s'";
    std::u16string Subtitle = u"DVD subtitle '%s'";
};

// The play system's DVD operations (select and remember a stream, show or
// hide subpictures): what the handlers here call.
struct TDvdPlaySystem {
    media::IDvdControl2* control = nullptr;
    media::IDvdInfo2* info = nullptr;
    TDvdState* state = nullptr;

    void SelectAudioStream(int index, const std::u16string& name) const;
    void SelectSubpictureStream(int index, const std::u16string& name) const;
    void SetSubpictureState(bool visible) const;
    // The streams of the title DvdCurrentTitle names: the menus list them
    // as that title's events said, whatever the disc has moved on to since.
    bool TitleStreams(media::DVD_TITLE_ATTRIBUTES* streams) const;
    bool HasAudioStreams() const;
    bool HasSubpictureStreams() const;
};

// What a time event shows: the digits (elapsed or remaining) and the
// progress bar (Tag 1 and the title's length in milliseconds, or Tag -1,
// disabled, range 100 when the length is unknown).
struct TDvdTimeDisplay {
    int Hours = 0, Minutes = 0, Seconds = 0;
    bool Remaining = false;
    int ProgressTag = -1;
    bool ProgressEnabled = false;
    int64_t ProgressMax = 100, ProgressPosition = 0;
};

// An on-screen text and how long it stays.
struct TDvdMessage {
    std::u16string Text;
    int Milliseconds = 2000;
};

// The menus, rebuilt from the current title's streams; the state records
// the current streams. Empty without DVD info or a title.
TDvdMenu BuildDvdAudioMenu(const TDvdPlaySystem& dvd);
TDvdMenu BuildDvdSubtitleMenu(const TDvdPlaySystem& dvd, const TDvdTexts& texts);
TDvdMenu BuildDvdJumpMenu(const TDvdPlaySystem& dvd, const TDvdTexts& texts);
// Checks the title item number title (from 1) and its chapter item chapter.
void CheckDvdJumpMenu(TDvdMenu& jump, int title, int chapter);

// The event handlers. Chapter start rebuilds the audio and subtitle menus
// (where the disc has such streams) and the jump tree (only while empty).
struct TDvdMenus {
    TDvdMenu Audio, Subtitles, JumpTo;
};
void DvdChapterStart(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenus& menus, int chapter);
void DvdTitleChange(const TDvdPlaySystem& dvd, int title);
// timeMode: the setting TimeMode (0 elapsed, 1 remaining).
TDvdTimeDisplay DvdCurrentTime(TDvdState& state, media::DVD_HMSF_TIMECODE time, int timeMode);

// The menu commands; each acts only with the navigator there and returns
// the on-screen text to show (empty Text: none).
TDvdMessage DvdJumpTo(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenu& jump, const TDvdMenuItem& item);
TDvdMessage DvdAudioClick(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenu& audio, const TDvdMenuItem& item);
TDvdMessage DvdSubtitleClick(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenu& subtitles,
                             const TDvdMenuItem& item);
void DvdToggleSubtitles(const TDvdPlaySystem& dvd, TDvdMenu& subtitles);
// Previous or next chapter (graphActive: the graph runs).
void DvdPlayChapter(const TDvdPlaySystem& dvd, bool graphActive, bool next);
// A DVD menu (title, root, subpicture, audio, angle, chapter).
void DvdShowMenu(const TDvdPlaySystem& dvd, bool graphActive, media::DVD_MENU_ID menu);
// Mouse on the video, in the DVD's picture pixels: highlights the button
// under it, or fires it on release.
void DvdMouse(const TDvdPlaySystem& dvd, bool graphActive, media::POINT at, bool release);

} // namespace kolvarin::video
