#include "ziplib/dzformat.h"

#include "codepage/codepage.h"

#include <sys/stat.h>

namespace kolvarin::ziplib {

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

ArchiveFile::~ArchiveFile() { Close(); }

bool ArchiveFile::Open(const std::string& utf8Name)
{
    Close();
    file_ = std::fopen(utf8Name.c_str(), "rb");
    if (file_ == nullptr) {
        return false;
    }
    // A folder opens for reading on Linux; only a regular file has a size.
    struct stat info {};
    if (fstat(fileno(file_), &info) != 0 || !S_ISREG(info.st_mode) || fseeko(file_, 0, SEEK_END) != 0 ||
        (size_ = ftello(file_)) < 0 || fseeko(file_, 0, SEEK_SET) != 0) {
        Close();
        return false;
    }
    return true;
}

void ArchiveFile::Close()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    size_ = 0;
}

bool ArchiveFile::Seek(std::int64_t position)
{
    return file_ != nullptr && position >= 0 && fseeko(file_, position, SEEK_SET) == 0;
}

std::size_t ArchiveFile::Read(void* buffer, std::size_t count)
{
    return file_ == nullptr ? 0 : std::fread(buffer, 1, count, file_);
}

EndRecord ParseEndRecord(const std::uint8_t* p)
{
    EndRecord r;
    r.ThisDisk = Le16(p + 4);
    r.CentralDisk = Le16(p + 6);
    r.EntriesHere = Le16(p + 8);
    r.TotalEntries = Le16(p + 10);
    r.CentralSize = Le32(p + 12);
    r.CentralOffset = Le32(p + 16);
    r.CommentLength = Le16(p + 20);
    return r;
}

std::optional<std::size_t> FindEndRecord(const std::uint8_t* buffer, std::size_t size, std::size_t from)
{
    if (size < kEndRecordSize) {
        return std::nullopt;
    }
    if (from > size - kEndRecordSize) {
        from = size - kEndRecordSize;
    }
    for (std::size_t p = from + 1; p-- > 0;) {
        if (Le32(buffer + p) == kEndSignature && p + kEndRecordSize + Le16(buffer + p + 20) <= size) {
            return p;
        }
    }
    return std::nullopt;
}

namespace {

bool ReadString(ArchiveFile& file, std::string& out, std::size_t length)
{
    out.assign(length, '\0');
    return length == 0 || file.ReadExact(out.data(), length);
}

} // namespace

CentralRead ReadCentralHeader(ArchiveFile& file, CentralHeader& h)
{
    std::uint8_t b[kCentralHeaderSize];
    if (!file.ReadExact(b, sizeof b)) {
        return CentralRead::ShortHeader;
    }
    if (Le32(b) != kCentralSignature) {
        return CentralRead::BadSignature;
    }
    h.MadeByVersion = b[4];
    h.HostSystem = b[5];
    h.VersionNeeded = Le16(b + 6);
    h.Flags = Le16(b + 8);
    h.Method = Le16(b + 10);
    h.DateTime = Le32(b + 12);
    h.Crc32 = Le32(b + 16);
    h.CompressedSize = Le32(b + 20);
    h.UncompressedSize = Le32(b + 24);
    h.NameLength = Le16(b + 28);
    h.ExtraLength = Le16(b + 30);
    h.CommentLength = Le16(b + 32);
    h.StartDisk = Le16(b + 34);
    h.InternalAttributes = Le16(b + 36);
    h.ExternalAttributes = Le32(b + 38);
    h.LocalHeaderOffset = Le32(b + 42);
    if (!ReadString(file, h.Name, h.NameLength)) {
        return CentralRead::ShortName;
    }
    if (!ReadString(file, h.Extra, h.ExtraLength)) {
        return CentralRead::ShortExtra;
    }
    if (!ReadString(file, h.Comment, h.CommentLength)) {
        return CentralRead::ShortComment;
    }
    return CentralRead::Ok;
}

std::u16string DecodeText(const std::string& raw, const CentralHeader& h)
{
    if ((h.Flags & 0x0800) != 0) {
        return Utf8ToUtf16(raw);
    }
    const bool oem = h.HostSystem == 0 || h.HostSystem == 6 || (h.HostSystem == 11 && h.MadeByVersion == 50);
    return oem ? OemToUtf16(raw) : AnsiToUtf16(raw);
}

bool HasFilePart(const std::u16string& name) { return !name.empty() && name.back() != u'/' && name.back() != u'\\'; }

} // namespace kolvarin::ziplib
