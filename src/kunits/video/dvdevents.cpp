#include "video/dvdevents.h"

#include <algorithm>

#include "core/text/kfunctions.h"
#include "core/text/kwideformat.h"
#include "media/locale.h"

namespace kolvarin::video {
namespace {

using namespace kolvarin::media;

// Streams the menus offer: 0 to 7.
constexpr uint32_t kMenuStreams = 8;

std::u16string LanguageName(LCID lcid)
{
    std::u16string name = EnglishLanguageName(lcid);
    return name.empty() ? u"Unknown" : name;
}

TDvdMenuItem Item(TDvdMenuItem::Kind kind, std::u16string caption, int tag = -1, int group = 0)
{
    TDvdMenuItem item;
    item.kind = kind;
    item.Caption = std::move(caption);
    item.Tag = tag;
    item.GroupIndex = group;
    return item;
}

void CheckStream(TDvdMenu& menu, int index)
{
    for (auto& item : menu)
        if (item.kind == TDvdMenuItem::Kind::Stream)
            item.Checked = item.Tag == index;
}

} // namespace

void TDvdPlaySystem::SelectAudioStream(int index, const std::u16string& name) const
{
    if (!control || name.empty())
        return;
    control->SelectAudioStream(static_cast<uint32_t>(index), 0);
    state->DvdAudioIndex = index;
    state->DvdAudioName = name;
}

void TDvdPlaySystem::SelectSubpictureStream(int index, const std::u16string& name) const
{
    if (!control || name.empty())
        return;
    control->SelectSubpictureStream(static_cast<uint32_t>(index), 0);
    state->DvdSubpictureIndex = index;
    state->DvdSubpictureName = name;
}

void TDvdPlaySystem::SetSubpictureState(bool visible) const
{
    if (control)
        control->SetSubpictureState(visible, 0);
}

bool TDvdPlaySystem::TitleStreams(DVD_TITLE_ATTRIBUTES* streams) const
{
    return info && state->DvdCurrentTitle > 0 &&
           Succeeded(info->GetTitleAttributes(static_cast<uint32_t>(state->DvdCurrentTitle), streams));
}

bool TDvdPlaySystem::HasAudioStreams() const
{
    DVD_TITLE_ATTRIBUTES a;
    return TitleStreams(&a) && a.ulNumberOfAudioStreams >= 1 && a.ulNumberOfAudioStreams <= 7;
}

bool TDvdPlaySystem::HasSubpictureStreams() const
{
    DVD_TITLE_ATTRIBUTES a;
    return TitleStreams(&a) && a.ulNumberOfSubpictureStreams >= 1 && a.ulNumberOfSubpictureStreams <= 37;
}

// The items of the enabled streams 0..7 with their language names, the
// current one checked and remembered in index and name; header() is called
// before the first.
template <class Header>
void AddStreams(TDvdMenu& menu, uint32_t current, uint32_t enabled, const LCID* languages, Header header,
                int32_t& index, std::u16string& name)
{
    for (uint32_t i = 0; i < kMenuStreams; ++i) {
        if (!(enabled >> i & 1))
            continue;
        if (menu.empty())
            header();
        TDvdMenuItem item = Item(TDvdMenuItem::Kind::Stream, LanguageName(languages[i]), int(i));
        if (i == current) {
            item.Checked = true;
            index = int(i);
            name = item.Caption;
        }
        menu.push_back(std::move(item));
    }
}

TDvdMenu BuildDvdAudioMenu(const TDvdPlaySystem& dvd)
{
    TDvdMenu menu;
    DVD_TITLE_ATTRIBUTES a;
    if (!dvd.TitleStreams(&a))
        return menu;
    uint32_t available = 0, current = 0;
    dvd.info->GetCurrentAudio(&available, &current);
    LCID languages[kMenuStreams]{};
    for (uint32_t i = 0; i < kMenuStreams && i < a.ulNumberOfAudioStreams; ++i)
        languages[i] = a.AudioAttributes[i].Language;
    AddStreams(
        menu, current, a.ulAudioStreamsEnabled, languages, [] {}, dvd.state->DvdAudioIndex, dvd.state->DvdAudioName);
    return menu;
}

TDvdMenu BuildDvdSubtitleMenu(const TDvdPlaySystem& dvd, const TDvdTexts& texts)
{
    TDvdMenu menu;
    DVD_TITLE_ATTRIBUTES a;
    if (!dvd.TitleStreams(&a))
        return menu;
    uint32_t available = 0, current = 0;
    bool disabled = false;
    dvd.info->GetCurrentSubpicture(&available, &current, &disabled);
    LCID languages[kMenuStreams]{};
    for (uint32_t i = 0; i < kMenuStreams && i < a.ulNumberOfSubpictureStreams; ++i)
        languages[i] = a.SubpictureAttributes[i].Language;
    const auto header = [&] {
        menu.push_back(Item(TDvdMenuItem::Kind::ShowSubtitles, texts.ShowSubtitles));
        menu.back().Checked = dvd.state->DvdSubtitlesVisible != 0;
        menu.push_back(Item(TDvdMenuItem::Kind::Separator, u"-"));
    };
    AddStreams(menu, current, a.ulSubpictureStreamsEnabled, languages, header, dvd.state->DvdSubpictureIndex,
               dvd.state->DvdSubpictureName);
    return menu;
}

TDvdMenu BuildDvdJumpMenu(const TDvdPlaySystem& dvd, const TDvdTexts& texts)
{
    TDvdMenu menu;
    if (!dvd.info)
        return menu;
    DVD_PLAYBACK_LOCATION2 where;
    dvd.info->GetCurrentLocation(&where);
    uint32_t titles = 0;
    dvd.info->GetDVDVolumeInfo(nullptr, nullptr, nullptr, &titles);
    for (uint32_t t = 1; t <= titles; ++t) {
        TDvdMenuItem title = Item(TDvdMenuItem::Kind::Title, WideFormat(texts.Title, int(t)));
        uint32_t chapters = 0;
        dvd.info->GetNumberOfChapters(t, &chapters);
        if (chapters > 1) {
            for (uint32_t c = 1; c <= chapters; ++c)
                title.Items.push_back(
                    Item(TDvdMenuItem::Kind::Chapter, WideFormat(texts.Chapter, int(c)), int(c), int(t)));
        } else {
            title.Tag = 1;
            title.GroupIndex = int(t);
        }
        menu.push_back(std::move(title));
    }
    return menu;
}

void CheckDvdJumpMenu(TDvdMenu& jump, int title, int chapter)
{
    for (size_t k = 0; k < jump.size(); ++k) {
        const bool thisTitle = int(k) + 1 == title;
        jump[k].Checked = thisTitle;
        for (size_t j = 0; j < jump[k].Items.size(); ++j)
            jump[k].Items[j].Checked = thisTitle && int(j) + 1 == chapter;
    }
}

void DvdChapterStart(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenus& menus, int chapter)
{
    const TDvdState& s = *dvd.state;
    dvd.SelectAudioStream(s.DvdAudioIndex, s.DvdAudioName);
    dvd.SelectSubpictureStream(s.DvdSubpictureIndex, s.DvdSubpictureName);
    if (dvd.HasAudioStreams())
        menus.Audio = BuildDvdAudioMenu(dvd);
    if (dvd.HasSubpictureStreams())
        menus.Subtitles = BuildDvdSubtitleMenu(dvd, texts);
    if (menus.JumpTo.empty())
        menus.JumpTo = BuildDvdJumpMenu(dvd, texts);
    CheckDvdJumpMenu(menus.JumpTo, s.DvdCurrentTitle, chapter);
}

void DvdTitleChange(const TDvdPlaySystem& dvd, int title)
{
    if (!dvd.info)
        return;
    DVD_TITLE_ATTRIBUTES attributes;
    dvd.info->GetTitleAttributes(static_cast<uint32_t>(title), &attributes);
    dvd.state->DvdCurrentTitle = title;
    DVD_HMSF_TIMECODE total;
    if (Succeeded(dvd.info->GetTotalTitleTime(&total, nullptr)))
        dvd.state->DvdTotalTime = total;
    else
        dvd.state->DvdTotalTime = {};
}

TDvdTimeDisplay DvdCurrentTime(TDvdState& state, DVD_HMSF_TIMECODE time, int timeMode)
{
    state.DvdCurrentTime = PackTimeCode(time);
    const DVD_HMSF_TIMECODE& total = state.DvdTotalTime;
    const int64_t now = TimeToMilliseconds(time.bHours, time.bMinutes, time.bSeconds);
    const int64_t length = TimeToMilliseconds(total.bHours, total.bMinutes, total.bSeconds);
    TDvdTimeDisplay d;
    int64_t shown = now;
    if (timeMode == 1) {
        d.Remaining = true;
        shown = std::max<int64_t>(0, length - now);
    }
    d.Hours = static_cast<int>(shown / 3600000);
    d.Minutes = static_cast<int>(shown / 60000 % 60);
    d.Seconds = static_cast<int>(shown / 1000 % 60);
    if (length > 0) {
        d.ProgressTag = 1;
        d.ProgressEnabled = true;
        d.ProgressMax = length;
        d.ProgressPosition = now;
    }
    return d;
}

TDvdMessage DvdJumpTo(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenu& jump, const TDvdMenuItem& item)
{
    const int title = item.GroupIndex, chapter = item.Tag;
    if (title <= 0 || chapter <= 0 || !dvd.control)
        return {};
    dvd.control->PlayChapterInTitle(static_cast<uint32_t>(title), static_cast<uint32_t>(chapter), 0);
    const TDvdState& s = *dvd.state;
    dvd.SelectAudioStream(s.DvdAudioIndex, s.DvdAudioName);
    dvd.SelectSubpictureStream(s.DvdSubpictureIndex, s.DvdSubpictureName);
    CheckDvdJumpMenu(jump, title, chapter);
    return {WideFormat(texts.ChapterOfTitle, chapter, title)};
}

TDvdMessage DvdAudioClick(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenu& audio, const TDvdMenuItem& item)
{
    if (item.Tag + 1 <= 0)
        return {};
    dvd.SelectAudioStream(item.Tag, item.Caption);
    CheckStream(audio, item.Tag);
    return {WideFormat(texts.Language, item.Caption)};
}

TDvdMessage DvdSubtitleClick(const TDvdPlaySystem& dvd, const TDvdTexts& texts, TDvdMenu& subtitles,
                             const TDvdMenuItem& item)
{
    if (item.Tag + 1 <= 0)
        return {};
    dvd.SelectSubpictureStream(item.Tag, item.Caption);
    CheckStream(subtitles, item.Tag);
    if (!subtitles.empty())
        subtitles.front().Checked = dvd.state->DvdSubtitlesVisible != 0;
    return {WideFormat(texts.Subtitle, item.Caption)};
}

void DvdToggleSubtitles(const TDvdPlaySystem& dvd, TDvdMenu& subtitles)
{
    dvd.state->DvdSubtitlesVisible = dvd.state->DvdSubtitlesVisible == 0 ? -1 : 0;
    const bool visible = dvd.state->DvdSubtitlesVisible != 0;
    for (auto& item : subtitles)
        if (item.kind == TDvdMenuItem::Kind::ShowSubtitles)
            item.Checked = visible;
    dvd.SetSubpictureState(visible);
}

void DvdPlayChapter(const TDvdPlaySystem& dvd, bool graphActive, bool next)
{
    if (!graphActive || !dvd.control)
        return;
    if (next)
        dvd.control->PlayNextChapter(0);
    else
        dvd.control->PlayPrevChapter(0);
}

void DvdShowMenu(const TDvdPlaySystem& dvd, bool graphActive, DVD_MENU_ID menu)
{
    if (graphActive && dvd.control)
        dvd.control->ShowMenu(menu, 0);
}

void DvdMouse(const TDvdPlaySystem& dvd, bool graphActive, POINT at, bool release)
{
    if (!graphActive || !dvd.control)
        return;
    if (release)
        dvd.control->ActivateAtPosition(at);
    else
        dvd.control->SelectAtPosition(at);
}

} // namespace kolvarin::video
