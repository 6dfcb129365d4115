#include "playback/kapetag.h"

#include <array>
#include <strings.h>

#include "base/bytereader.h"
#include "core/text/kstrings.h"
#include "playback/ktagfile_p.h"
#include "playback/ktagtext_p.h"

namespace kolvarin {

namespace {

constexpr int64_t kFooterSize = 32;
constexpr int64_t kID3v1Size = 128;
constexpr size_t kValueLimit = 250;

} // namespace

void TAPEtag::ResetData() { *this = TAPEtag(); }

bool TAPEtag::ReadFromFile(const std::u16string& fileName)
{
    ResetData();
    tagfile::TagFile file(fileName, false);
    if (!file.IsOpen())
        return false;
    int64_t tagEnd = file.Size();
    if (tagEnd >= kID3v1Size && file.ReadAt(tagEnd - kID3v1Size, 3) == "TAG")
        tagEnd -= kID3v1Size;
    if (tagEnd < kFooterSize)
        return false;
    std::string footer = file.ReadAt(tagEnd - kFooterSize, kFooterSize);
    if (footer.size() != kFooterSize)
        return false;
    ByteReader foot(footer);
    std::string_view magic;
    uint32_t version, size, count;
    if (!(foot.View(8, magic) && foot.U32(version) && foot.U32(size) && foot.U32(count)) || magic != "APETAGEX")
        return true;
    if (size < kFooterSize || size > tagEnd)
        return true;
    exists_ = true;
    version_ = static_cast<int32_t>(version);
    size_ = size;

    // The item area is bounded by the tag, which the file bounds.
    const std::string items = file.ReadAt(tagEnd - size, static_cast<size_t>(size - kFooterSize));
    const std::array<std::pair<const char*, std::u16string*>, 8> fields = {{
        {"Title", &title_},
        {"Artist", &artist_},
        {"Album", &album_},
        {"Track", nullptr},
        {"Year", &year_},
        {"Genre", &genre_},
        {"Comment", &comment_},
        {"Copyright", &copyright_},
    }};
    std::u16string trackText;
    ByteReader in(items);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t valueSize;
        std::string_view keyBytes, valueBytes;
        if (!(in.U32(valueSize) && in.Skip(4) && in.CString(keyBytes) && in.View(valueSize, valueBytes)))
            break;
        std::string key = tagtext::TrimAnsi(keyBytes);
        std::string raw = tagtext::TrimAnsi(tagtext::UpToNul(valueBytes.substr(0, kValueLimit)));
        for (const auto& [name, field] : fields) {
            if (::strcasecmp(key.c_str(), name) != 0)
                continue;
            std::u16string value = version_ > 1000 ? Utf8ToUtf16(raw) : AnsiToUtf16(raw);
            *(field ? field : &trackText) = std::move(value);
        }
    }
    long long track = 0;
    std::string trackNumber = Utf16ToAnsi(trackText.substr(0, trackText.find(u'/')));
    if (tagtext::ParseInteger(trackNumber, INT32_MIN, INT32_MAX, track))
        track_ = static_cast<int32_t>(track);
    return true;
}

} // namespace kolvarin
