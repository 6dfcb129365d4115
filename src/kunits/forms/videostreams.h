#pragma once

// The audio and subtitle choices of a playing file: the splitter's streams
// (by stream selection) and the subtitle filter's languages, as menu
// entries; the menus built from them, the default choice, the clicks that
// select a stream, and the stepping hot keys. Main thread.

#include <string>
#include <vector>

#include <QAction>
#include <QMenu>

#include "media/controlif.h"
#include "media/dvdif.h"
#include "media/graphif.h"
#include "media/subtitlefilter.h"

namespace kolvarin {

// One choice of the audio or subtitle menu.
struct TKStreamEntry {
    std::u16string Caption;
    int StreamIndex = -1; // in the splitter's stream selection; -1 none
    int LanguageIndex = -1; // in the subtitle filter's languages; -1 none
};

// The filters of a graph that the menus use: the first that offers stream
// selection, the first subtitle filter, the DVD navigator's control and
// information (any may be null).
struct TKGraphFilters {
    media::ComPtr<media::IAMStreamSelect> Splitter;
    media::ComPtr<media::IDirectVobSub> Subtitles;
    media::ComPtr<media::IDvdControl2> DvdControl;
    media::ComPtr<media::IDvdInfo2> DvdInfo;
};
TKGraphFilters FindGraphFilters(media::IFilterGraph* graph);

// Audio entries: the splitter's audio streams, captioned by language (and
// name), else "Audio Track %d".
std::vector<TKStreamEntry> GetAudioStreamEntries(media::IAMStreamSelect* splitter);
// Subtitle entries, only with a subtitle filter: the splitter's subtitle and
// text streams ("Subtitle Track %d" without a language), each choosing the
// filter's embedded language they feed, then the filter's other languages.
std::vector<TKStreamEntry> GetSubtitleStreamEntries(media::IAMStreamSelect* splitter, media::IDirectVobSub* subtitles);

// The menus filled with radio items carrying their entry; the subtitle menu
// starts with the "off" item (caption offText, no stream) and a separator
// when there is any entry.
void FillAudioStreamMenu(QMenu& menu, const std::vector<TKStreamEntry>& entries);
void FillSubtitleStreamMenu(QMenu& menu, const std::vector<TKStreamEntry>& entries, const std::u16string& offText);
// The entry an item carries; an entry with both indexes -1 for others.
TKStreamEntry EntryOf(const QAction* item);

// The item the defaults choose: audio, the first whose caption contains
// language (any case), else the first; subtitles, the first containing
// subtitle (unless empty or "-"), else with at least one subtitle the first
// subtitle when subtitleFailed, else "off". Null: nothing to click.
QAction* DefaultAudioItem(const QMenu& menu, const std::u16string& language);
QAction* DefaultSubtitleItem(const QMenu& menu, const std::u16string& subtitle, bool subtitleFailed);

// Selects the item's stream and ticks it: audio by the splitter; subtitles
// by the subtitle filter's language (shown) and the splitter's stream, or
// hidden for the "off" item. False when the filter it needs is missing.
bool SelectAudioStream(QMenu& menu, QAction* item, const TKGraphFilters& filters);
bool SelectSubtitleStream(QMenu& menu, QAction* item, const TKGraphFilters& filters);

// The item's caption with a leading "&" removed.
std::u16string StreamName(const QAction* item);

} // namespace kolvarin
