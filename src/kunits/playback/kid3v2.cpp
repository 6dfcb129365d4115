#include "playback/kid3v2.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/text/kstrings.h"
#include "playback/kid3v2frames_p.h"
#include "playback/ktagfile_p.h"
#include "playback/ktagtext_p.h"

namespace kolvarin {

using namespace id3v2;

namespace {

enum Slot {
    kTitle,
    kArtist,
    kAlbum,
    kTrack,
    kYear,
    kGenre,
    kComment,
    kComposer,
    kEncoder,
    kCopyright,
    kLanguage,
    kLink,
    kDate,
    kOriginalArtist,
    kContentGroup,
    kOriginalAlbum,
    kSlotCount
};
// The slots the writer fills; the others are only fallbacks of the reader.
constexpr int kWrittenSlots = kLink + 1;

// Frame IDs of versions 2.3/2.4 and of version 2.2.
constexpr std::array<std::array<const char*, 2>, kSlotCount> kFrameIds = {{
    {"TIT2", "TT2"},
    {"TPE1", "TP1"},
    {"TALB", "TAL"},
    {"TRCK", "TRK"},
    {"TYER", "TYE"},
    {"TCON", "TCO"},
    {"COMM", "COM"},
    {"TCOM", "TCM"},
    {"TENC", "TEN"},
    {"TCOP", "TCR"},
    {"TLAN", "TLA"},
    {"WXXX", "WXX"},
    {"TDRC", "TOR"},
    {"TOPE", "TOA"},
    {"TIT1", "TT1"},
    {"TOAL", "TOT"},
}};

constexpr size_t kContentLimit = 500;
constexpr size_t kHeadBlock = 4096;
constexpr int64_t kInPlaceLimit = 4096;

const char* FrameId(int slot, uint8_t version) { return kFrameIds[slot][version == 2 ? 1 : 0]; }

int SlotOf(const std::string& id, uint8_t version)
{
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (id == FrameId(slot, version))
            return slot;
    return -1;
}

// Where the description starts in a comment or link frame.
size_t DescriptionStart(int slot) { return slot == kComment ? 4 : 1; }

bool HasEmptyDescription(int slot, std::string_view content)
{
    if (content.size() < DescriptionStart(slot))
        return true;
    std::string_view description, rest;
    uint8_t encoding = static_cast<uint8_t>(content[0]);
    SplitTerminated(encoding, content.substr(DescriptionStart(slot)), description, rest);
    return IsEmptyDescription(encoding, description);
}

std::u16string TextOf(const std::optional<std::string>& content)
{
    if (!content || content->empty())
        return {};
    return tagtext::TrimWide(DecodeText(static_cast<uint8_t>((*content)[0]), std::string_view(*content).substr(1)));
}

// The text after the description of a comment (language first) or link.
std::u16string DescribedText(int slot, const std::optional<std::string>& content)
{
    if (!content || content->size() < DescriptionStart(slot))
        return {};
    uint8_t encoding = static_cast<uint8_t>((*content)[0]);
    std::string_view description, rest;
    SplitTerminated(encoding, std::string_view(*content).substr(DescriptionStart(slot)), description, rest);
    // A link is always Latin-1, whatever encodes its description.
    std::u16string text = slot == kLink ? AnsiToUtf16(tagtext::UpToNul(rest)) : DecodeText(encoding, rest);
    return tagtext::TrimWide(text);
}

// The number before the first "/", or nothing when it is not one.
std::optional<uint16_t> TrackNumber(std::u16string_view text)
{
    std::string ansi = Utf16ToAnsi(text.substr(0, text.find(u'/')));
    long long value = 0;
    if (!tagtext::ParseInteger(ansi, 0, 0xFFFF, value))
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

// Encoding byte and text: Latin-1 when that holds the text, else UTF-16
// with a byte-order mark.
std::string EncodedText(std::u16string_view text)
{
    if (tagtext::IsLatin1Safe(text))
        return std::string(1, '\0').append(Utf16ToAnsi(text));
    std::string bytes("\x01\xFF\xFE", 3);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

void AppendSize(std::string& out, uint32_t value, int bytes, int bitsPerByte)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (i * bitsPerByte)) & ((1u << bitsPerByte) - 1)));
}

std::string FrameBytes(uint8_t version, std::string_view id, std::string_view content)
{
    std::string out(id);
    uint32_t size = static_cast<uint32_t>(content.size());
    if (version == 2) {
        AppendSize(out, size, 3, 8);
    } else {
        AppendSize(out, size, 4, version == 4 ? 7 : 8);
        out.append(2, '\0');
    }
    out.append(content);
    return out;
}

struct OldTag {
    Header header;
    std::string head;
};

std::optional<OldTag> ReadOldTag(const tagfile::TagFile& file)
{
    if (!file.IsOpen())
        return std::nullopt;
    OldTag old;
    old.head = file.ReadAt(0, kHeadBlock);
    old.header = ParseHeader(old.head, file.Size());
    return old;
}

bool HasWholeTag(const Header& header) { return header.exists && header.tagSize > 0; }

struct KeptFrames {
    bool complete = true;
    // Comments and links with a description were kept.
    bool describedComment = false;
    bool describedLink = false;
};

// Appends every frame of the old tag that the writer does not own, byte for
// byte; complete is false when the old tag cannot be read whole.
KeptFrames AppendKeptFrames(const tagfile::TagFile& file, OldTag& old, uint8_t version, std::string& frames)
{
    KeptFrames kept;
    TagBody body(file, old.header, std::move(old.head));
    WalkFrames(body, old.header, [&](const Frame& frame) {
        int slot = SlotOf(frame.id, version);
        bool owned = (slot >= 0 && slot < kWrittenSlots) || (version == 4 && slot == kDate);
        if (owned && (slot == kComment || slot == kLink)) {
            // Only the plain comment and link are ours; described ones stay.
            std::optional<std::string> content = FrameContent(body, old.header, frame, 1024);
            owned = content && HasEmptyDescription(slot, *content);
            (slot == kComment ? kept.describedComment : kept.describedLink) |= content && !owned;
        }
        if (owned)
            return;
        size_t size = static_cast<size_t>(frame.headerSize + frame.dataSize);
        std::string_view bytes = body.Get(frame.offset, size);
        kept.complete = kept.complete && bytes.size() == size;
        size_t start = frames.size();
        frames.append(bytes);
        // A 2.4 header flag that unsynchronised every frame is not written
        // again, so each kept frame carries it itself.
        if (kept.complete && version == 4 && (old.header.flags & 0x80))
            frames[start + 9] = static_cast<char>(frames[start + 9] | 0x02);
    });
    return kept;
}

} // namespace

void TID3v2::ResetData() { *this = TID3v2(); }

bool TID3v2::ReadFromFile(const std::u16string& fileName)
{
    ResetData();
    tagfile::TagFile file(fileName, false);
    std::optional<OldTag> tag = ReadOldTag(file);
    if (!tag || tag->head.size() < kHeaderSize)
        return false;
    const Header& header = tag->header;
    if (!header.exists)
        return true;
    exists_ = true;
    versionId_ = header.version;
    size_ = header.tagSize;
    if (!HasFrames(header))
        return true;

    std::array<std::optional<std::string>, kSlotCount> slots;
    TagBody body(file, header, std::move(tag->head));
    WalkFrames(body, header, [&](const Frame& frame) {
        int slot = SlotOf(frame.id, header.version);
        if (slot < 0)
            return;
        std::optional<std::string> content = FrameContent(body, header, frame, kContentLimit);
        if (!content || content->empty() || static_cast<uint8_t>((*content)[0]) > 3)
            return;
        // The plain comment (or link) wins over ones that carry a description.
        if ((slot == kComment || slot == kLink) && slots[slot] && HasEmptyDescription(slot, *slots[slot]) &&
            !HasEmptyDescription(slot, *content))
            return;
        slots[slot] = std::move(content);
    });

    auto textOr = [&](int main, int fallback) {
        std::u16string text = TextOf(slots[main]);
        return text.empty() ? TextOf(slots[fallback]) : text;
    };
    title_ = textOr(kTitle, kContentGroup);
    artist_ = textOr(kArtist, kOriginalArtist);
    album_ = textOr(kAlbum, kOriginalAlbum);
    trackString_ = TextOf(slots[kTrack]);
    track_ = TrackNumber(trackString_).value_or(0);
    year_ = TextOf(slots[kYear]);
    if (year_.empty())
        year_ = TextOf(slots[kDate]).substr(0, 4);
    genre_ = TextOf(slots[kGenre]);
    if (size_t close = genre_.find(u')'); close != std::u16string::npos)
        genre_ = tagtext::TrimWide(std::u16string_view(genre_).substr(close + 1));
    comment_ = DescribedText(kComment, slots[kComment]);
    link_ = DescribedText(kLink, slots[kLink]);
    composer_ = TextOf(slots[kComposer]);
    encoder_ = TextOf(slots[kEncoder]);
    copyright_ = TextOf(slots[kCopyright]);
    language_ = TextOf(slots[kLanguage]);
    return true;
}

std::string TID3v2::RenderFrames(uint8_t version) const
{
    std::string frames;
    auto add = [&](const char* id, std::string_view content) { frames += FrameBytes(version, id, content); };
    auto addText = [&](int slot, std::u16string_view text) {
        if (!text.empty())
            add(FrameId(slot, version), EncodedText(text));
    };
    addText(kTitle, title_);
    addText(kArtist, artist_);
    addText(kAlbum, album_);
    if (track_ != 0) {
        // "7/12" survives a save that keeps track 7.
        bool keepText = TrackNumber(trackString_) == track_;
        addText(kTrack, keepText ? trackString_ : AnsiToUtf16(std::to_string(track_)));
    }
    // Version 2.4 has no TYER: its year is the recording time.
    addText(version == 4 ? kDate : kYear, year_);
    addText(kGenre, genre_);
    if (!comment_.empty()) {
        std::string text = EncodedText(comment_);
        std::string terminator(text[0] == '\x01' ? 2 : 1, '\0');
        add(FrameId(kComment, version), text.substr(0, 1) + "eng" + terminator + text.substr(1));
    }
    addText(kComposer, composer_);
    addText(kEncoder, encoder_);
    addText(kCopyright, copyright_);
    addText(kLanguage, language_);
    if (!link_.empty())
        add(FrameId(kLink, version), std::string(2, '\0') + Utf16ToAnsi(link_));
    return frames;
}

bool TID3v2::SaveToFile(const std::u16string& fileName)
{
    std::string tag;
    Header old;
    {
        tagfile::TagFile file(fileName, false);
        std::optional<OldTag> oldTag = ReadOldTag(file);
        if (!oldTag)
            return false;
        old = oldTag->header;
        const uint8_t version = HasFrames(old) ? old.version : 3;
        std::string frames = RenderFrames(version);
        if (HasFrames(old)) {
            KeptFrames kept = AppendKeptFrames(file, *oldTag, version, frames);
            if (!kept.complete)
                return false;
            // An empty plain frame keeps a cleared comment or link from
            // falling back to a described one.
            if (kept.describedComment && comment_.empty())
                frames += FrameBytes(version, FrameId(kComment, version), std::string("\0eng\0", 5));
            if (kept.describedLink && link_.empty())
                frames += FrameBytes(version, FrameId(kLink, version), std::string(2, '\0'));
        }

        const int64_t needed = static_cast<int64_t>(kHeaderSize + frames.size());
        const bool inPlace = HasWholeTag(old) && old.tagSize >= needed && old.tagSize <= kInPlaceLimit;
        const int64_t total = std::max(needed, inPlace ? old.tagSize : kInPlaceLimit);
        if (total - static_cast<int64_t>(kHeaderSize) >= (int64_t{1} << 28))
            return false;
        tag = "ID3";
        tag.push_back(static_cast<char>(version));
        tag.append(2, '\0');
        AppendSize(tag, static_cast<uint32_t>(total - kHeaderSize), 4, 7);
        tag += frames;
        tag.resize(static_cast<size_t>(total), '\0');
        if (inPlace) {
            if (!tagfile::MakeWritable(fileName))
                return false;
            tagfile::TagFile out(fileName, true);
            return out.IsOpen() && out.WriteAt(0, tag);
        }
    }
    return tagfile::MakeWritable(fileName) && tagfile::ReplaceFile(fileName, tag, HasWholeTag(old) ? old.tagSize : 0);
}

bool TID3v2::RemoveFromFile(const std::u16string& fileName)
{
    std::optional<OldTag> old = ReadOldTag(tagfile::TagFile(fileName, false));
    if (!old || !HasWholeTag(old->header))
        return false;
    return tagfile::MakeWritable(fileName) && tagfile::ReplaceFile(fileName, {}, old->header.tagSize);
}

void TID3v2::SetTitle(std::u16string_view text) { title_ = tagtext::TrimWide(text); }
void TID3v2::SetArtist(std::u16string_view text) { artist_ = tagtext::TrimWide(text); }
void TID3v2::SetAlbum(std::u16string_view text) { album_ = tagtext::TrimWide(text); }
void TID3v2::SetYear(std::u16string_view text) { year_ = tagtext::TrimWide(text); }
void TID3v2::SetGenre(std::u16string_view text) { genre_ = tagtext::TrimWide(text); }
void TID3v2::SetComment(std::u16string_view text) { comment_ = tagtext::TrimWide(text); }
void TID3v2::SetComposer(std::u16string_view text) { composer_ = tagtext::TrimWide(text); }
void TID3v2::SetEncoder(std::u16string_view text) { encoder_ = tagtext::TrimWide(text); }
void TID3v2::SetCopyright(std::u16string_view text) { copyright_ = tagtext::TrimWide(text); }
void TID3v2::SetLanguage(std::u16string_view text) { language_ = tagtext::TrimWide(text); }
void TID3v2::SetURL(std::u16string_view text) { link_ = tagtext::TrimWide(text); }

} // namespace kolvarin
