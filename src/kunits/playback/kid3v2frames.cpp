#include "playback/kid3v2frames_p.h"

#include <algorithm>

#include "core/text/kstrings.h"
#include "playback/ktagtext_p.h"

namespace kolvarin::id3v2 {

namespace {

constexpr size_t kCacheBlock = 4096;

constexpr uint8_t kUnsynchronised = 0x80;
constexpr uint8_t kExtendedHeader = 0x40;
constexpr uint8_t kCompressed22 = 0x40;
constexpr uint8_t kFooter = 0x10;

uint8_t Byte(std::string_view bytes, size_t i) { return static_cast<uint8_t>(bytes[i]); }

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() >= 2 && Byte(bytes, 0) == 0xFF && Byte(bytes, 1) == 0xFE) {
        bigEndian = false;
        bytes.remove_prefix(2);
    } else if (bytes.size() >= 2 && Byte(bytes, 0) == 0xFE && Byte(bytes, 1) == 0xFF) {
        bigEndian = true;
        bytes.remove_prefix(2);
    }
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = bigEndian ? static_cast<char16_t>(Byte(bytes, i) << 8 | Byte(bytes, i + 1))
                                  : static_cast<char16_t>(Byte(bytes, i + 1) << 8 | Byte(bytes, i));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

} // namespace

uint32_t ReadBE(std::string_view bytes, size_t count)
{
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value = value << 8 | Byte(bytes, i);
    return value;
}

bool ReadSyncsafe(std::string_view bytes, uint32_t& value)
{
    value = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (Byte(bytes, i) & 0x80)
            return false;
        value = value << 7 | Byte(bytes, i);
    }
    return true;
}

Header ParseHeader(std::string_view head, int64_t fileSize)
{
    Header header;
    uint32_t size = 0;
    if (head.size() < kHeaderSize || head.substr(0, 3) != "ID3" || !ReadSyncsafe(head.substr(6), size))
        return header;
    header.exists = true;
    header.version = Byte(head, 3);
    header.flags = Byte(head, 5);
    header.bodyEnd = static_cast<int64_t>(kHeaderSize) + size;
    int64_t tagSize = header.bodyEnd + ((header.flags & kFooter) ? 10 : 0);
    if (tagSize <= fileSize)
        header.tagSize = tagSize;
    return header;
}

bool HasFrames(const Header& header)
{
    return header.exists && header.tagSize > 0 && header.version >= 2 && header.version <= 4 &&
           !(header.version == 2 && (header.flags & kCompressed22));
}

std::string Resync(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (Byte(bytes, i) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0')
            ++i;
    }
    return out;
}

TagBody::TagBody(const tagfile::TagFile& file, const Header& header, std::string head)
    : file_(file), cache_(std::move(head))
{
    start_ = static_cast<int64_t>(kHeaderSize);
    end_ = header.bodyEnd;
    if (header.version <= 3 && (header.flags & kUnsynchronised)) {
        // Frame sizes of 2.2 and 2.3 count the resynchronised bytes, so the
        // whole area is read; its size is bounded by the file.
        std::string raw = file.ReadAt(start_, static_cast<size_t>(end_ - start_));
        cache_ = Resync(raw);
        cacheStart_ = start_;
        end_ = start_ + static_cast<int64_t>(cache_.size());
        whole_ = true;
    }
    if (header.version >= 3 && (header.flags & kExtendedHeader)) {
        std::string_view bytes = Get(start_, 4);
        uint32_t size = 0;
        bool good = bytes.size() == 4;
        if (good && header.version == 3)
            size = ReadBE(bytes, 4) + 4;
        else if (good)
            good = ReadSyncsafe(bytes, size);
        start_ = good && size <= end_ - start_ ? start_ + size : end_;
    }
}

std::string_view TagBody::Get(int64_t offset, size_t count)
{
    if (offset < 0 || offset >= end_)
        return {};
    count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), end_ - offset));
    int64_t cacheEnd = cacheStart_ + static_cast<int64_t>(cache_.size());
    if (whole_ || (offset >= cacheStart_ && offset + static_cast<int64_t>(count) <= cacheEnd)) {
        if (offset < cacheStart_ || offset >= cacheEnd)
            return {};
        size_t from = static_cast<size_t>(offset - cacheStart_);
        return std::string_view(cache_).substr(from, count);
    }
    size_t block = static_cast<size_t>(std::min<int64_t>(std::max(count, kCacheBlock), end_ - offset));
    cache_ = file_.ReadAt(offset, block);
    cacheStart_ = offset;
    return std::string_view(cache_).substr(0, count);
}

bool EndsAtFrameBoundary(TagBody& body, int64_t offset)
{
    if (offset == body.End())
        return true;
    if (offset > body.End())
        return false;
    std::string_view id = body.Get(offset, 4);
    if (!id.empty() && id[0] == '\0')
        return true;
    return id.size() == 4 && IsFrameId(id);
}

bool IsFrameId(std::string_view id)
{
    if (id.empty() || id[0] < 'A' || id[0] > 'Z')
        return false;
    return std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

std::optional<std::string> FrameContent(TagBody& body, const Header& header, const Frame& frame, size_t limit)
{
    int64_t skip = 0;
    bool unsynchronised = false;
    if (header.version == 3) {
        if (frame.formatFlags & 0xC0) // compression, encryption
            return std::nullopt;
        skip = (frame.formatFlags & 0x20) ? 1 : 0; // group identifier
    } else if (header.version == 4) {
        if (frame.formatFlags & 0x0C) // compression, encryption
            return std::nullopt;
        skip = ((frame.formatFlags & 0x40) ? 1 : 0) + ((frame.formatFlags & 0x01) ? 4 : 0);
        unsynchronised = (frame.formatFlags & 0x02) || (header.flags & kUnsynchronised);
    }
    if (skip > frame.dataSize)
        return std::nullopt;
    int64_t available = frame.dataSize - skip;
    // Resynchronising can halve the bytes, so twice the limit is read.
    size_t want =
        static_cast<size_t>(std::min<int64_t>(available, static_cast<int64_t>(unsynchronised ? 2 * limit : limit)));
    std::string content(body.Get(frame.offset + frame.headerSize + skip, want));
    if (unsynchronised)
        content = Resync(content);
    if (content.size() > limit)
        content.resize(limit);
    return content;
}

std::u16string DecodeText(uint8_t encoding, std::string_view bytes)
{
    switch (encoding) {
    case 0: return AnsiToUtf16(tagtext::UpToNul(bytes));
    case 1: return DecodeUtf16(bytes, false);
    case 2: return DecodeUtf16(bytes, true);
    case 3: return Utf8ToUtf16(tagtext::UpToNul(bytes));
    default: return {};
    }
}

void SplitTerminated(uint8_t encoding, std::string_view bytes, std::string_view& before, std::string_view& after)
{
    size_t end = std::string_view::npos;
    size_t width = 1;
    if (encoding == 1 || encoding == 2) {
        width = 2;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            if (bytes[i] == '\0' && bytes[i + 1] == '\0') {
                end = i;
                break;
            }
        }
    } else {
        end = bytes.find('\0');
    }
    if (end == std::string_view::npos) {
        before = bytes;
        after = {};
        return;
    }
    before = bytes.substr(0, end);
    after = bytes.substr(end + width);
}

bool IsEmptyDescription(uint8_t encoding, std::string_view description)
{
    return DecodeText(encoding, description).empty();
}

} // namespace kolvarin::id3v2
