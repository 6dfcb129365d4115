#include "tagbytes.h"

#include "base/bytereader.h"

namespace tagbytes {

std::string BE32(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string LE32(uint32_t value)
{
    std::string out;
    kolvarin::ByteWriter(out).U32(value);
    return out;
}

std::string Syncsafe(uint32_t value)
{
    return {static_cast<char>((value >> 21) & 0x7F), static_cast<char>((value >> 14) & 0x7F),
            static_cast<char>((value >> 7) & 0x7F), static_cast<char>(value & 0x7F)};
}

std::string Utf16(std::u16string_view text, bool bigEndian, bool mark)
{
    std::string out;
    if (mark)
        out = bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

std::string Frame(int version, const std::string& id, const std::string& content, uint8_t flags0, uint8_t flags1)
{
    uint32_t size = static_cast<uint32_t>(content.size());
    if (version == 2)
        return id + BE32(size).substr(1) + content;
    return id + (version == 4 ? Syncsafe(size) : BE32(size)) +
           std::string{static_cast<char>(flags0), static_cast<char>(flags1)} + content;
}

std::string TextFrame(int version, const std::string& id, const std::string& text)
{
    return Frame(version, id, std::string(1, '\0') + text);
}

std::string Tag(int version, const std::string& frames, size_t padding, uint8_t flags)
{
    return std::string("ID3") + static_cast<char>(version) + '\0' + static_cast<char>(flags) +
           Syncsafe(static_cast<uint32_t>(frames.size() + padding)) + frames + std::string(padding, '\0');
}

std::string Audio(size_t size)
{
    std::string out("\xFF\xFB\x90\x00", 4);
    for (size_t i = 4; i < size; ++i)
        out.push_back(static_cast<char>(i * 7 % 251));
    return out;
}

std::string ID3v1Record(const std::string& title, const std::string& artist, const std::string& comment,
                        uint8_t byte125, uint8_t byte126, uint8_t genre)
{
    std::string record(128, '\0');
    record.replace(0, 3, "TAG");
    record.replace(3, title.size(), title);
    record.replace(33, artist.size(), artist);
    record.replace(97, comment.size(), comment);
    record[125] = static_cast<char>(byte125);
    record[126] = static_cast<char>(byte126);
    record[127] = static_cast<char>(genre);
    return record;
}

std::string ApeItem(const std::string& key, const std::string& value)
{
    return LE32(static_cast<uint32_t>(value.size())) + LE32(0) + key + '\0' + value;
}

std::string ApeTag(uint32_t version, const std::string& items, uint32_t count)
{
    return items + "APETAGEX" + LE32(version) + LE32(static_cast<uint32_t>(items.size() + 32)) + LE32(count) + LE32(0) +
           std::string(8, '\0');
}

std::u16string Name(const std::filesystem::path& path) { return path.u16string(); }

} // namespace tagbytes
