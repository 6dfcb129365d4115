#include "core/playlist/kplaylist.h"

#include <algorithm>
#include <cstdlib>

#include "core/settings/kconfig.h"

namespace kolvarin {

int PlaylistSortMode = psmCaption;

namespace {

using Entry = std::unique_ptr<TKPlaylistEntry>;

TSystemType defaultSystemType(const std::u16string& fileName)
{
    static const std::vector<std::string> none;
    return Config ? SystemTypeOfFileName(fileName, Config->AcceptAllFiles, Config->AcceptedExtensions)
                  : SystemTypeOfFileName(fileName, true, none);
}

bool isVideo(TSystemType type)
{
    return type == TSystemType::DirectXVideo || type == TSystemType::DirectXStream || type == TSystemType::DVD;
}

bool isAudio(TSystemType type)
{
    return type == TSystemType::CDTrack || type == TSystemType::DirectXAudio || type == TSystemType::BassStream ||
           type == TSystemType::BassFile;
}

// Sorts by a key taken once per entry: comparisons then read the key beside
// the entry instead of reaching through it (and the track text is parsed once).
template <typename KeyOf>
void sortByKey(std::vector<Entry>& items, KeyOf keyOf)
{
    using Key = decltype(keyOf(*items.front()));
    std::vector<std::pair<Key, Entry>> keyed;
    keyed.reserve(items.size());
    for (auto& e : items) {
        Key key = keyOf(*e);
        keyed.emplace_back(key, std::move(e));
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < items.size(); ++i)
        items[i] = std::move(keyed[i].second);
}

} // namespace

TKPlaylist::Services& TKPlaylist::Hooks()
{
    static Services services{defaultSystemType, nullptr};
    return services;
}

int64_t TrackNumber(const std::string& track)
{
    size_t at = 0;
    bool negative = false;
    if (!track.empty() && (track[0] == '-' || track[0] == '+')) {
        negative = track[0] == '-';
        at = 1;
    }
    if (at == track.size())
        return 0;
    int64_t value = 0;
    for (; at < track.size(); ++at) {
        if (track[at] < '0' || track[at] > '9')
            return 0;
        value = std::min<int64_t>(value * 10 + (track[at] - '0'), INT32_MAX);
    }
    return negative ? -value : value;
}

void TKPlaylist::Clear() { items_.clear(); }

void TKPlaylist::DeselectAll()
{
    for (auto& e : items_)
        e->Selected = false;
}

void TKPlaylist::ClearPlayState()
{
    for (auto& e : items_)
        e->PlayState = false;
}

void TKPlaylist::InvertSelection()
{
    for (auto& e : items_)
        e->Selected = !e->Selected;
}

int TKPlaylist::Add(const std::u16string& caption, const std::u16string& fileName, bool selected,
                    const std::string& track, const std::string& time)
{
    auto entry = std::make_unique<TKPlaylistEntry>();
    entry->Caption = caption;
    entry->FileName = fileName;
    entry->Selected = selected;
    entry->Time = time.substr(0, 8);
    entry->Track = track.substr(0, 2);
    items_.push_back(std::move(entry));
    return Count() - 1;
}

void TKPlaylist::Append(std::unique_ptr<TKPlaylistEntry> entry)
{
    if (entry)
        items_.push_back(std::move(entry));
}

TKPlaylistEntry* TKPlaylist::GetItem(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

void TKPlaylist::DeleteSelected(bool deleteFiles)
{
    if (deleteFiles) {
        for (auto it = items_.rbegin(); it != items_.rend(); ++it)
            if ((*it)->Selected && Hooks().RecycleFile)
                Hooks().RecycleFile((*it)->FileName);
    }
    std::erase_if(items_, [](const Entry& e) { return e->Selected; });
}

void TKPlaylist::Sort(int mode)
{
    PlaylistSortMode = mode;
    if (items_.size() < 2)
        return;
    switch (mode) {
    case psmCaption: sortByKey(items_, [](const TKPlaylistEntry& e) { return std::u16string_view(e.Caption); }); break;
    case psmFileName:
        sortByKey(items_, [](const TKPlaylistEntry& e) { return std::u16string_view(e.FileName); });
        break;
    case psmTime: sortByKey(items_, [](const TKPlaylistEntry& e) { return std::string_view(e.Time); }); break;
    case psmTrack: sortByKey(items_, [](const TKPlaylistEntry& e) { return TrackNumber(e.Track); }); break;
    case psmVideoFirst:
    case psmAudioFirst: {
        const auto& systemType = Hooks().SystemType;
        const auto first = mode == psmVideoFirst ? isVideo : isAudio;
        std::stable_partition(items_.begin(), items_.end(),
                              [&](const Entry& e) { return systemType && first(systemType(e->FileName)); });
        break;
    }
    case psmShuffle:
        // The generator the start-up seeded.
        for (size_t i = items_.size(); i > 1; --i)
            std::swap(items_[i - 1], items_[static_cast<size_t>(std::rand()) % i]);
        break;
    case psmReverse: std::reverse(items_.begin(), items_.end()); break;
    default: break;
    }
}

std::unique_ptr<TKPlaylistEntry> TKPlaylist::Delete(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    Entry entry = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return entry;
}

void TKPlaylist::Insert(int index, std::unique_ptr<TKPlaylistEntry> entry)
{
    if (!entry)
        return;
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, std::move(entry));
}

int TKPlaylist::IndexOf(const TKPlaylistEntry* entry) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == entry)
            return static_cast<int>(i);
    return -1;
}

} // namespace kolvarin
