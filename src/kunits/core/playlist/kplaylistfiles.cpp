#include "core/playlist/kplaylistfiles.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "base/bytereader.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/system/kerrors.h"
#include "core/system/kfilesave.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"

namespace kolvarin {

const char* const KplHeaderTokens[10] = {"4A7C2E91", "D03B6F58", "71E9A4C2", "2F85D0B7", "C6193E4A",
                                         "8B4F7D25", "5E02C9A3", "A93D6B18", "36F1E8C4", "E7A05D2B"};

namespace {

constexpr uint32_t kHeaderSize = 24;
constexpr int64_t kMaxEntries = 100'000'000;
// Two string counts, the time's 9 bytes and the track's 3.
constexpr int64_t kMinRecordSize = 4 + 4 + 9 + 3;
// The time text holds 8 characters: "99:59:59" is the longest duration it shows.
constexpr uint64_t kMaxDurationSeconds = 99 * 3600 + 59 * 60 + 59;

TKplResult fault(TKplStatus status, const ByteReader& reader)
{
    return {status, static_cast<int64_t>(reader.Position())};
}

// A count of UTF-16 code units, then the text.
TKplStatus readWide(ByteReader& reader, std::u16string& text)
{
    uint32_t count = 0;
    std::string_view raw;
    if (!reader.U32(count) || !reader.View(size_t{count} * 2, raw))
        return TKplStatus::Truncated;
    text.resize(count);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(text.data(), raw.data(), raw.size());
    } else {
        for (uint32_t i = 0; i < count; ++i)
            text[i] = Le16(reinterpret_cast<const uint8_t*>(raw.data()) + 2 * i);
    }
    return TKplStatus::Ok;
}

// A length byte and Capacity character bytes, of which the first Length count.
TKplStatus readShort(ByteReader& reader, size_t capacity, std::string& text)
{
    std::string_view raw;
    if (!reader.View(capacity + 1, raw))
        return TKplStatus::Truncated;
    const auto length = static_cast<unsigned char>(raw[0]);
    if (length > capacity)
        return TKplStatus::BadLength;
    text.assign(raw.substr(1, length));
    return TKplStatus::Ok;
}

void writeWide(ByteWriter<std::string>& writer, const std::u16string& text)
{
    writer.U32(static_cast<uint32_t>(text.size()));
    if constexpr (std::endian::native == std::endian::little) {
        writer.Bytes(text.data(), text.size() * 2);
    } else {
        for (char16_t c : text)
            writer.U16(c);
    }
}

// A length byte, then the text padded with zeros to Capacity bytes.
void writeShort(ByteWriter<std::string>& writer, const std::string& text, size_t capacity)
{
    const size_t length = std::min(text.size(), capacity);
    writer.U8(static_cast<uint8_t>(length));
    writer.Bytes(text.data(), length);
    for (size_t i = length; i < capacity; ++i)
        writer.U8(0);
}

void afterLoad(bool play)
{
    auto& hooks = PlaylistHooks();
    if (hooks.RefreshPlaylist)
        hooks.RefreshPlaylist();
    if (play && !SysPlayed && !SysPaused && hooks.StartPlay)
        hooks.StartPlay();
}

void takeEntries(TKPlaylistEntries& entries, bool clear)
{
    if (clear)
        PlaylistClear();
    if (!Playlist)
        return;
    for (auto& entry : entries)
        Playlist->Append(std::move(entry));
}

std::u16string wideName(const std::string& fileName) { return Utf8ToUtf16(fileName); }

// Lines ended by CR LF, LF or CR.
std::vector<std::u16string_view> splitLines(std::u16string_view text)
{
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
    return lines;
}

char16_t lowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// Position of a lower-case ASCII word in the text, any letter case; npos when absent.
size_t findNoCase(std::u16string_view text, std::u16string_view lowerWord, size_t from = 0)
{
    if (lowerWord.size() > text.size())
        return std::u16string_view::npos;
    for (size_t i = from; i + lowerWord.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < lowerWord.size() && lowerAscii(text[i + k]) == lowerWord[k])
            ++k;
        if (k == lowerWord.size())
            return i;
    }
    return std::u16string_view::npos;
}

// The text after the first '='; the whole line when there is none.
std::u16string_view lineValue(std::u16string_view line)
{
    const size_t eq = line.find(u'=');
    return eq == std::u16string_view::npos ? line : line.substr(eq + 1);
}

bool allDigits(std::u16string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

uint64_t saturatedNumber(std::u16string_view digits, uint64_t limit)
{
    uint64_t value = 0;
    for (char16_t c : digits)
        value = value > limit / 10 ? limit : std::min<uint64_t>(limit, value * 10 + (c - u'0'));
    return value;
}

// For "file" + i and "title" + i: the first line holding the word followed by
// the decimal digits of i, found in one pass. A line "File12=" holds "File1"
// as well as "File12", so every digit prefix counts.
class NumberedLines {
public:
    NumberedLines(const std::vector<std::u16string_view>& lines, std::u16string_view lowerWord)
    {
        for (size_t n = 0; n < lines.size(); ++n) {
            const auto line = lines[n];
            for (size_t at = findNoCase(line, lowerWord); at != std::u16string_view::npos;
                 at = findNoCase(line, lowerWord, at + 1)) {
                size_t d = at + lowerWord.size();
                if (d >= line.size() || line[d] == u'0')
                    continue;
                uint64_t number = 0;
                for (int digits = 0; d < line.size() && line[d] >= u'0' && line[d] <= u'9' && digits < 10;
                     ++d, ++digits) {
                    number = number * 10 + (line[d] - u'0');
                    first_.try_emplace(number, n);
                }
            }
        }
    }
    // The line's index; -1 when no line holds the word with that number.
    int64_t Find(uint64_t number) const
    {
        auto it = first_.find(number);
        return it == first_.end() ? -1 : static_cast<int64_t>(it->second);
    }
    // The numbers that some line holds, from 1 to upTo, ascending.
    std::vector<uint64_t> Numbers(uint64_t upTo) const
    {
        std::vector<uint64_t> numbers;
        for (const auto& [number, line] : first_)
            if (number <= upTo)
                numbers.push_back(number);
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }

private:
    std::unordered_map<uint64_t, size_t> first_;
};

// The part after the last '/', '\' or ':'.
std::u16string_view lastPart(std::u16string_view path)
{
    const size_t cut = path.find_last_of(u"/\\:");
    return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

bool isAbsoluteM3uEntry(std::u16string_view line)
{
    auto isLetter = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    if (line.size() >= 3 && isLetter(line[0]) && line[1] == u':' && (line[2] == u'\\' || line[2] == u'/'))
        return true;
    if (line.starts_with(u"\\\\") || line.starts_with(u"/"))
        return true;
    return findNoCase(line.substr(0, 4), u"http") == 0 || findNoCase(line.substr(0, 3), u"mms") == 0;
}

std::unique_ptr<TKPlaylistEntry> makeEntry(std::u16string caption, std::u16string fileName, std::string time)
{
    auto entry = std::make_unique<TKPlaylistEntry>();
    entry->Caption = std::move(caption);
    entry->FileName = std::move(fileName);
    entry->Time = std::move(time);
    entry->Track = "00";
    return entry;
}

bool readListText(const std::string& fileName, std::u16string& text)
{
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes))
        return false;
    text = DecodeListText(bytes);
    return true;
}

} // namespace

TKplResult ParseKplFile(std::string_view bytes, TKPlaylistEntries& entries)
{
    entries.clear();
    ByteReader reader(bytes);
    std::string_view magic;
    if (!reader.View(4, magic) || (magic != "KPL2" && magic != "KPLW"))
        return fault(TKplStatus::BadMagic, reader);
    uint32_t count = 0;
    if (magic == "KPLW") {
        if (!reader.U32(count))
            return fault(TKplStatus::Truncated, reader);
    } else {
        uint32_t headerSize = 0, reserved = 0;
        std::string_view token;
        if (!reader.U32(headerSize) || !reader.U32(reserved) || !reader.U32(count) || !reader.View(8, token))
            return fault(TKplStatus::Truncated, reader);
        if (headerSize != kHeaderSize || std::none_of(std::begin(KplHeaderTokens), std::end(KplHeaderTokens),
                                                      [&](const char* t) { return token == t; }))
            return fault(TKplStatus::BadHeader, reader);
    }
    // Read as a signed number; each record takes at least kMinRecordSize bytes.
    const int64_t signedCount = static_cast<int32_t>(count);
    if (signedCount < 0 || signedCount >= kMaxEntries ||
        signedCount * kMinRecordSize > static_cast<int64_t>(reader.Remaining()))
        return fault(TKplStatus::BadCount, reader);

    TKPlaylistEntries read;
    read.reserve(static_cast<size_t>(signedCount));
    for (int64_t i = 0; i < signedCount; ++i) {
        auto entry = std::make_unique<TKPlaylistEntry>();
        const auto at = static_cast<int64_t>(reader.Position());
        TKplStatus status = readWide(reader, entry->Caption);
        if (status == TKplStatus::Ok)
            status = readWide(reader, entry->FileName);
        if (status == TKplStatus::Ok)
            status = readShort(reader, 8, entry->Time);
        if (status == TKplStatus::Ok)
            status = readShort(reader, 2, entry->Track);
        if (status != TKplStatus::Ok)
            return {status, at};
        read.push_back(std::move(entry));
    }
    entries = std::move(read);
    return {};
}

std::string BuildKplFile(const TKPlaylist& playlist, int tokenIndex)
{
    size_t size = kHeaderSize;
    for (int i = 0; i < playlist.Count(); ++i) {
        const TKPlaylistEntry& e = *playlist.GetItem(i);
        size += kMinRecordSize + 2 * (e.Caption.size() + e.FileName.size());
    }
    std::string out;
    out.reserve(size);
    ByteWriter writer(out);
    writer.Bytes("KPL2");
    writer.U32(kHeaderSize);
    writer.U32(0);
    writer.U32(static_cast<uint32_t>(playlist.Count()));
    writer.Bytes(KplHeaderTokens[std::clamp(tokenIndex, 0, 9)]);
    for (int i = 0; i < playlist.Count(); ++i) {
        const TKPlaylistEntry& e = *playlist.GetItem(i);
        writeWide(writer, e.Caption);
        writeWide(writer, e.FileName);
        writeShort(writer, e.Time, 8);
        writeShort(writer, e.Track, 2);
    }
    return out;
}

int ChooseKplToken()
{
    const int rounds = std::rand() % 99 + 1;
    int token = 0;
    for (int i = 0; i < rounds; ++i)
        token = std::rand() % 9;
    return token;
}

std::u16string DecodeListText(std::string_view bytes)
{
    if (!IsValidUtf8(bytes))
        return AnsiToUtf16(bytes);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return Utf8ToUtf16(bytes);
}

int64_t ParsePlsText(std::u16string_view text, TKPlaylistEntries& entries)
{
    entries.clear();
    const auto lines = splitLines(text);
    const auto holds = [&](std::u16string_view word, bool anyCase) {
        return std::find_if(lines.begin(), lines.end(), [&](std::u16string_view line) {
            return anyCase ? findNoCase(line, word) != std::u16string_view::npos
                           : line.find(word) != std::u16string_view::npos;
        });
    };
    if (holds(u"[playlist]", true) == lines.end())
        return -1;
    const auto countLine = holds(u"NumberOfEntries", false);
    if (countLine == lines.end() || !allDigits(lineValue(*countLine)))
        return -1;
    // Lists often state a wrong count: the entries 1 to the count that have a
    // "File" line are read, walking only the numbers some line holds.
    const uint64_t count = saturatedNumber(lineValue(*countLine), INT64_MAX);
    const NumberedLines files(lines, u"file");
    const NumberedLines titles(lines, u"title");
    for (const uint64_t i : files.Numbers(count)) {
        const std::u16string_view fileName = lineValue(lines[static_cast<size_t>(files.Find(i))]);
        std::u16string_view caption = lastPart(fileName);
        if (const int64_t titleLine = titles.Find(i); titleLine >= 0) {
            const std::u16string_view title = lineValue(lines[static_cast<size_t>(titleLine)]);
            if (!title.empty())
                caption = title;
        }
        entries.push_back(makeEntry(std::u16string(caption), std::u16string(fileName), "00:00:00"));
    }
    return static_cast<int64_t>(count);
}

void ParseM3uText(std::u16string_view text, const std::u16string& folder, TKPlaylistEntries& entries)
{
    entries.clear();
    std::u16string caption;
    std::string time = "00:00:00";
    for (const std::u16string_view line : splitLines(text)) {
        if (line.empty())
            continue;
        if (line[0] == u'#') {
            if (findNoCase(line.substr(0, 7), u"#extinf") != 0)
                continue;
            const size_t comma = line.find(u',');
            if (comma == std::u16string_view::npos)
                continue;
            caption = line.substr(comma + 1);
            const size_t colon = line.find(u':');
            if (colon == std::u16string_view::npos)
                continue;
            const auto duration = colon < comma ? line.substr(colon + 1, comma - colon - 1) : std::u16string_view();
            const uint64_t seconds = allDigits(duration) ? saturatedNumber(duration, kMaxDurationSeconds) : 0;
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%.2u:%.2u:%.2u", unsigned(seconds / 3600),
                          unsigned(seconds / 60 % 60), unsigned(seconds % 60));
            time = buffer;
            continue;
        }
        std::u16string fileName;
        if (isAbsoluteM3uEntry(line)) {
            fileName = line;
        } else {
            fileName = folder;
            if (!fileName.empty() && fileName.back() != u'/')
                fileName += u'/';
            for (char16_t c : line)
                fileName += c == u'\\' ? u'/' : c;
        }
        if (caption.empty()) {
            const std::u16string_view name = lastPart(line);
            caption = name.substr(0, std::min(name.size(), name.rfind(u'.')));
        }
        entries.push_back(makeEntry(std::move(caption), std::move(fileName), time));
        caption.clear();
        time = "00:00:00";
    }
}

void SavePlaylistFile(const std::string& fileName)
{
    static const TKPlaylist empty;
    SaveFileAtomically(fileName, BuildKplFile(Playlist ? *Playlist : empty, ChooseKplToken()));
}

bool LoadPlaylistFile(const std::string& fileName, bool play, bool clear)
{
    std::string bytes;
    TKPlaylistEntries entries;
    if (!ReadWholeFile(fileName, bytes) || !ParseKplFile(bytes, entries)) {
        if (PlaylistHooks().ShowMediaProblem)
            PlaylistHooks().ShowMediaProblem(TKErrorCode::PlaylistNotSupported, wideName(fileName));
        afterLoad(false);
        return false;
    }
    takeEntries(entries, clear);
    afterLoad(play);
    return true;
}

bool LoadPlsFile(const std::string& fileName, bool play, bool clear)
{
    std::u16string text;
    TKPlaylistEntries entries;
    const int64_t count = readListText(fileName, text) ? ParsePlsText(text, entries) : -1;
    if (count < 0) {
        ShowError(TKErrorCode::InvalidShoutcastPlaylist, u"TKGlobal", wideName(fileName), false);
        return false;
    }
    if (count == 0)
        return true;
    takeEntries(entries, clear);
    afterLoad(play);
    return true;
}

bool LoadM3uFile(const std::string& fileName, bool play, bool clear)
{
    std::u16string text;
    TKPlaylistEntries entries;
    if (!readListText(fileName, text))
        return false;
    const std::u16string name = wideName(fileName);
    const size_t cut = name.find_last_of(u'/');
    ParseM3uText(text, cut == std::u16string::npos ? std::u16string() : name.substr(0, cut), entries);
    takeEntries(entries, clear);
    afterLoad(play);
    return true;
}

} // namespace kolvarin
