#include "playback/ktagcaption.h"

#include "core/text/kstrings.h"
#include "playback/kapetag.h"
#include "playback/kid3v1.h"
#include "playback/kid3v2.h"
#include "playback/ktagtext_p.h"

namespace kolvarin {

namespace {

std::u16string Caption(const std::u16string& artist, const std::u16string& title)
{
    if (artist.empty() || title.empty())
        return {};
    return artist + u" - " + title;
}

std::string TrackText(long long track) { return track == 0 ? "00" : std::to_string(track); }

} // namespace

std::u16string GetAPETagCaption(const std::u16string& fileName)
{
    TAPEtag tag;
    tag.ReadFromFile(fileName);
    return tag.Exists() ? Caption(tag.Artist(), tag.Title()) : std::u16string();
}

std::u16string GetID3TagCaption(const std::u16string& fileName)
{
    TID3v2 v2;
    if (v2.ReadFromFile(fileName) && v2.Exists()) {
        std::u16string caption = Caption(v2.Artist(), v2.Title());
        if (!caption.empty())
            return caption;
    }
    TID3v1 v1;
    if (!v1.ReadFromFile(fileName) || !v1.Exists())
        return {};
    return Caption(AnsiToUtf16(v1.Artist()), AnsiToUtf16(v1.Title()));
}

std::string GetAPETagTrack(const std::u16string& fileName)
{
    TAPEtag tag;
    tag.ReadFromFile(fileName);
    return TrackText(tag.Exists() ? tag.Track() : 0);
}

std::string GetID3TagTrack(const std::u16string& fileName)
{
    TID3v2 v2;
    if (v2.ReadFromFile(fileName) && v2.Exists())
        return TrackText(v2.Track());
    TID3v1 v1;
    v1.ReadFromFile(fileName);
    return TrackText(v1.Exists() ? v1.Track() : 0);
}

} // namespace kolvarin
