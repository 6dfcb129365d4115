#include "forms/videostreams.h"

#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"
#include "forms/videomenus.h"
#include "media/locale.h"
#include "media/uuids.h"

namespace kolvarin {

namespace {

using media::ComPtr;

constexpr char kStreamIndex[] = "StreamIndex";
constexpr char kLanguageIndex[] = "LanguageIndex";

// The captions of the splitter's streams of the given major types.
template <class Accept>
void SplitterEntries(media::IAMStreamSelect* splitter, const char16_t* untitled, Accept accept,
                     std::vector<TKStreamEntry>& entries)
{
    uint32_t count = 0;
    if (!splitter || media::Failed(splitter->Count(&count)))
        return;
    int running = 0;
    for (uint32_t i = 0; i < count; ++i) {
        media::AMMediaType type;
        media::LCID lcid = 0;
        std::u16string name;
        if (media::Failed(
                splitter->Info(static_cast<int32_t>(i), &type, nullptr, &lcid, nullptr, &name, nullptr, nullptr)) ||
            !accept(type.majortype))
            continue;
        ++running;
        std::u16string caption;
        if (lcid) {
            caption = TrimWide(media::EnglishLanguageName(lcid));
            if (!name.empty())
                caption += u" - " + name;
        } else
            caption = WideFormat(untitled, running);
        entries.push_back({caption, static_cast<int>(i), -1});
    }
}

QAction* AddEntry(QMenu& menu, const TKStreamEntry& entry)
{
    QAction* item = menu.addAction(QString::fromStdU16String(entry.Caption));
    item->setCheckable(true);
    item->setProperty(kStreamIndex, entry.StreamIndex);
    item->setProperty(kLanguageIndex, entry.LanguageIndex);
    return item;
}

bool Contains(const std::u16string& caption, const std::u16string& part)
{
    return WideLowerCase(caption).find(WideLowerCase(part)) != std::u16string::npos;
}

} // namespace

TKGraphFilters FindGraphFilters(media::IFilterGraph* graph)
{
    TKGraphFilters found;
    ComPtr<media::IEnumFilters> filters;
    if (!graph || media::Failed(graph->EnumFilters(filters.put())))
        return found;
    ComPtr<media::IBaseFilter> filter;
    while (filters->Next(1, filter.put(), nullptr) == media::S_OK) {
        if (!found.Splitter)
            found.Splitter = filter.as<media::IAMStreamSelect>();
        if (!found.Subtitles)
            found.Subtitles = filter.as<media::IDirectVobSub>();
        if (!found.DvdControl)
            found.DvdControl = filter.as<media::IDvdControl2>();
        if (!found.DvdInfo)
            found.DvdInfo = filter.as<media::IDvdInfo2>();
    }
    return found;
}

std::vector<TKStreamEntry> GetAudioStreamEntries(media::IAMStreamSelect* splitter)
{
    std::vector<TKStreamEntry> entries;
    SplitterEntries(
        splitter, u"Audio Track %d", [](const media::GUID& major) { return major == media::MEDIATYPE_Audio; }, entries);
    return entries;
}

std::vector<TKStreamEntry> GetSubtitleStreamEntries(media::IAMStreamSelect* splitter, media::IDirectVobSub* subtitles)
{
    std::vector<TKStreamEntry> entries;
    if (!subtitles)
        return entries;
    SplitterEntries(
        splitter, u"Subtitle Track %d",
        [](const media::GUID& major) { return major == media::MEDIATYPE_Subtitle || major == media::MEDIATYPE_Text; },
        entries);
    // The filter's embedded language shows whichever of the splitter's
    // streams is enabled: those streams choose it, and it is no entry of
    // its own.
    int32_t embedded = -1;
    if (!entries.empty() && media::Succeeded(subtitles->get_EmbeddedLanguage(&embedded)))
        for (TKStreamEntry& e : entries)
            e.LanguageIndex = embedded;
    int32_t count = 0;
    if (media::Failed(subtitles->get_LanguageCount(&count)))
        return entries;
    for (int32_t i = 0; i < count; ++i) {
        if (i == embedded)
            continue;
        std::u16string name;
        subtitles->get_LanguageName(i, &name);
        entries.push_back({TrimWide(name), -1, i});
    }
    return entries;
}

void FillAudioStreamMenu(QMenu& menu, const std::vector<TKStreamEntry>& entries)
{
    menu.clear();
    for (const TKStreamEntry& e : entries)
        AddEntry(menu, e);
}

void FillSubtitleStreamMenu(QMenu& menu, const std::vector<TKStreamEntry>& entries, const std::u16string& offText)
{
    menu.clear();
    if (entries.empty())
        return;
    AddEntry(menu, {offText, -1, -1});
    menu.addSeparator();
    for (const TKStreamEntry& e : entries)
        AddEntry(menu, e);
}

TKStreamEntry EntryOf(const QAction* item)
{
    TKStreamEntry e;
    if (!item)
        return e;
    bool ok = false;
    const int stream = item->property(kStreamIndex).toInt(&ok);
    e.StreamIndex = ok ? stream : -1;
    const int language = item->property(kLanguageIndex).toInt(&ok);
    e.LanguageIndex = ok ? language : -1;
    e.Caption = StreamName(item);
    return e;
}

std::u16string StreamName(const QAction* item)
{
    std::u16string name = item ? item->text().toStdU16String() : std::u16string();
    if (!name.empty() && name[0] == u'&')
        name.erase(0, 1);
    return name;
}

QAction* DefaultAudioItem(const QMenu& menu, const std::u16string& language)
{
    const std::vector<QAction*> items = MenuItems(menu);
    if (!language.empty())
        for (QAction* a : items)
            if (Contains(a->text().toStdU16String(), language))
                return a;
    return items.empty() ? nullptr : items.front();
}

QAction* DefaultSubtitleItem(const QMenu& menu, const std::u16string& subtitle, bool subtitleFailed)
{
    const std::vector<QAction*> items = MenuItems(menu);
    if (!subtitle.empty() && subtitle != u"-")
        for (QAction* a : items)
            if (Contains(a->text().toStdU16String(), subtitle))
                return a;
    // The "off" item, the separator and at least one subtitle.
    if (menu.actions().size() <= 2)
        return nullptr;
    return subtitleFailed ? items[1] : items[0];
}

bool SelectAudioStream(QMenu& menu, QAction* item, const TKGraphFilters& filters)
{
    if (!filters.Splitter)
        return false;
    filters.Splitter->Enable(EntryOf(item).StreamIndex, media::AMSTREAMSELECTENABLE_ENABLE);
    CheckOnly(MenuItems(menu), item);
    return true;
}

bool SelectSubtitleStream(QMenu& menu, QAction* item, const TKGraphFilters& filters)
{
    if (!filters.Subtitles)
        return false;
    const TKStreamEntry e = EntryOf(item);
    if (e.StreamIndex < 0 && e.LanguageIndex < 0) {
        filters.Subtitles->put_HideSubtitles(true); // the "off" item
    } else {
        filters.Subtitles->put_SelectedLanguage(e.LanguageIndex);
        filters.Subtitles->put_HideSubtitles(false);
        if (filters.Splitter && e.StreamIndex > -1)
            filters.Splitter->Enable(e.StreamIndex, media::AMSTREAMSELECTENABLE_ENABLE);
    }
    CheckOnly(MenuItems(menu), item);
    return true;
}

} // namespace kolvarin
