#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace kolvarin::ziplib {

// The records of the zip format (PKWARE application note), read byte by byte,
// little-endian. Shared by the zip library and the component's directory
// reader so both see an archive the same way.

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kSpanSignature = 0x08074b50;

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
// The end record plus the longest comment it can carry.
constexpr std::size_t kEndSearchSize = kEndRecordSize + 0xFFFF;

// A read-only archive file with 64-bit positions. Not copyable; closes on
// destruction. Any thread, one user at a time.
class ArchiveFile {
public:
    ArchiveFile() = default;
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Opens a file by its UTF-8 name; false when it cannot be opened for
    // reading or is not a regular file.
    bool Open(const std::string& utf8Name);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    // Size in bytes at open time.
    std::int64_t Size() const { return size_; }
    bool Seek(std::int64_t position);
    // Reads up to count bytes; returns how many were read.
    std::size_t Read(void* buffer, std::size_t count);
    bool ReadExact(void* buffer, std::size_t count) { return Read(buffer, count) == count; }
    bool ReadExactAt(std::int64_t position, void* buffer, std::size_t count)
    {
        return Seek(position) && ReadExact(buffer, count);
    }

private:
    std::FILE* file_ = nullptr;
    std::int64_t size_ = 0;
};

// The end-of-central-directory record without its signature and comment.
struct EndRecord {
    std::uint16_t ThisDisk = 0;
    std::uint16_t CentralDisk = 0;
    std::uint16_t EntriesHere = 0;
    std::uint16_t TotalEntries = 0;
    std::uint32_t CentralSize = 0;
    std::uint32_t CentralOffset = 0;
    std::uint16_t CommentLength = 0;
};

// p points at the 22 bytes of the record, signature included.
EndRecord ParseEndRecord(const std::uint8_t* p);

// Searches buffer[0, size) backwards, from position `from` down to 0, for an
// end record whose comment lies wholly inside the buffer; a candidate whose
// comment length runs past the end is not taken and the search goes on.
std::optional<std::size_t> FindEndRecord(const std::uint8_t* buffer, std::size_t size, std::size_t from);

// One central file header: the 42 bytes after its signature, in order, and
// the variable fields as stored.
struct CentralHeader {
    std::uint8_t MadeByVersion = 0;
    std::uint8_t HostSystem = 0;
    std::uint16_t VersionNeeded = 0;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;
    std::uint32_t DateTime = 0;
    std::uint32_t Crc32 = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UncompressedSize = 0;
    std::uint16_t NameLength = 0;
    std::uint16_t ExtraLength = 0;
    std::uint16_t CommentLength = 0;
    std::uint16_t StartDisk = 0;
    std::uint16_t InternalAttributes = 0;
    std::uint32_t ExternalAttributes = 0;
    std::uint32_t LocalHeaderOffset = 0;
    std::string Name;
    std::string Extra;
    std::string Comment;

    bool Encrypted() const { return (Flags & 0x0001) != 0; }
};

enum class CentralRead { Ok, ShortHeader, BadSignature, ShortName, ShortExtra, ShortComment };

// Reads one central header at the file's current position. On failure the
// header holds what was read so far and the position is undefined.
CentralRead ReadCentralHeader(ArchiveFile& file, CentralHeader& header);

// A name or comment of the header as text: UTF-8 when the header says so,
// the OEM code page for archives made on MS-DOS, HPFS or (by version 5.0
// tools) NTFS, else the ANSI code page.
std::u16string DecodeText(const std::string& raw, const CentralHeader& header);

// True when a member name has a file part, i.e. does not end in a separator.
bool HasFilePart(const std::u16string& name);

} // namespace kolvarin::ziplib
