#include "ziplib/dzformat.h"

#include "base/bytereader.h"
#include "codepage/codepage.h"

#include <sys/stat.h>

namespace kolvarin::ziplib {

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
    ByteReader in(p, kEndRecordSize);
    in.Skip(4);
    in.U16(r.ThisDisk);
    in.U16(r.CentralDisk);
    in.U16(r.EntriesHere);
    in.U16(r.TotalEntries);
    in.U32(r.CentralSize);
    in.U32(r.CentralOffset);
    in.U16(r.CommentLength);
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
    ByteReader in(b, sizeof b);
    std::uint32_t signature;
    in.U32(signature);
    if (signature != kCentralSignature) {
        return CentralRead::BadSignature;
    }
    // The buffer holds every fixed field.
    in.U8(h.MadeByVersion);
    in.U8(h.HostSystem);
    in.U16(h.VersionNeeded);
    in.U16(h.Flags);
    in.U16(h.Method);
    in.U32(h.DateTime);
    in.U32(h.Crc32);
    in.U32(h.CompressedSize);
    in.U32(h.UncompressedSize);
    in.U16(h.NameLength);
    in.U16(h.ExtraLength);
    in.U16(h.CommentLength);
    in.U16(h.StartDisk);
    in.U16(h.InternalAttributes);
    in.U32(h.ExternalAttributes);
    in.U32(h.LocalHeaderOffset);
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
        return codepage::Utf8ToUtf16(raw);
    }
    const bool oem = h.HostSystem == 0 || h.HostSystem == 6 || (h.HostSystem == 11 && h.MadeByVersion == 50);
    return oem ? codepage::OemToUtf16(raw) : codepage::AnsiToUtf16(raw);
}

bool HasFilePart(const std::u16string& name) { return !name.empty() && name.back() != u'/' && name.back() != u'\\'; }

} // namespace kolvarin::ziplib
