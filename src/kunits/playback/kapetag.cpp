#include "playback/kapetag.h"

#include <array>
#include <strings.h>

#include "core/text/kstrings.h"
#include "playback/ktagfile_p.h"
#include "playback/ktagtext_p.h"

namespace kolvarin {

namespace {

constexpr int64_t kFooterSize = 32;
constexpr int64_t kID3v1Size = 128;
constexpr size_t kItemHeaderSize = 8;
constexpr size_t kValueLimit = 250;

uint32_t ReadLE32(std::string_view bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    return value;
}

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
    if (footer.compare(0, 8, "APETAGEX") != 0)
        return true;
    int64_t size = ReadLE32(footer, 12);
    uint32_t count = ReadLE32(footer, 16);
    if (size < kFooterSize || size > tagEnd)
        return true;
    exists_ = true;
    version_ = static_cast<int32_t>(ReadLE32(footer, 8));
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
    size_t pos = 0;
    for (uint32_t i = 0; i < count && items.size() - pos >= kItemHeaderSize; ++i) {
        uint32_t valueSize = ReadLE32(items, pos);
        size_t keyStart = pos + kItemHeaderSize;
        size_t keyEnd = items.find('\0', keyStart);
        if (keyEnd == std::string::npos)
            break;
        size_t valueStart = keyEnd + 1;
        if (valueSize > items.size() - valueStart)
            break;
        std::string key = tagtext::TrimAnsi(std::string_view(items).substr(keyStart, keyEnd - keyStart));
        std::string raw = tagtext::TrimAnsi(
            tagtext::UpToNul(std::string_view(items).substr(valueStart, std::min<size_t>(valueSize, kValueLimit))));
        pos = valueStart + valueSize;
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
