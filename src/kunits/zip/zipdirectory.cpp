// The directory side of the zip component: end record search and
// central-directory walk.

#include <algorithm>
#include <cctype>
#include <vector>

#include "base/bytereader.h"
#include "codepage/codepage.h"
#include "zip/ziphandler.h"
#include "zip/zmmessages.h"

namespace kolvarin {

namespace {

constexpr std::int64_t k4GB = std::int64_t{1} << 32;

std::u16string Decimal(long long value)
{
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

// The part number of a split set from a name like "skin.z03"; 0 for any
// other name. Digits elsewhere in a name say nothing about a set.
int DiskNumber(const std::u16string& name)
{
    const std::size_t dot = name.find_last_of(u'.');
    const std::size_t slash = name.find_last_of(u'/');
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash) || dot + 2 >= name.size() ||
        (name[dot + 1] != u'z' && name[dot + 1] != u'Z') || name.size() - dot - 2 > 4) {
        return 0;
    }
    int number = 0;
    for (std::size_t i = dot + 2; i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9') {
            return 0;
        }
        number = number * 10 + (name[i] - u'0');
    }
    return number;
}

} // namespace

void TZipHandler::OpenEOC(ziplib::ArchiveFile& file)
{
    comment_.clear();
    spanned_ = false;
    if (!file.Open(codepage::Utf16ToUtf8(zipFileName_))) {
        ShowZipMessage(TZMMessage::CannotOpen);
        throw EZipHandler(TZMMessage::InputMissing);
    }
    std::uint8_t head[8];
    spanned_ = file.ReadExact(head, sizeof head) && Le32(head) == ziplib::kSpanSignature &&
               Le32(head + 4) == ziplib::kLocalSignature;

    const std::int64_t size = file.Size();
    if (size < static_cast<std::int64_t>(ziplib::kEndRecordSize) || size >= k4GB) {
        file.Close();
        if (Trace) {
            ReportText(u"Opening EOC seek/size error " + Decimal(size >> 20) + u"Mb");
        }
        throw EZipHandler(size >= k4GB ? TZMMessage::LargerThan4GB : TZMMessage::NotZipArchive);
    }
    fileSize_ = size;

    // The usual case: an end record without comment closes the file. One
    // whose comment would run past the file is no end record.
    std::uint8_t record[ziplib::kEndRecordSize];
    if (file.ReadExactAt(size - ziplib::kEndRecordSize, record, sizeof record) &&
        ziplib::FindEndRecord(record, sizeof record, 0)) {
        end_ = ziplib::ParseEndRecord(record);
        return;
    }

    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(size, ziplib::kEndSearchSize));
    std::vector<std::uint8_t> buffer(n);
    if (!file.Seek(size - static_cast<std::int64_t>(n))) {
        throw EZipHandler(TZMMessage::InputSeekError);
    }
    if (!file.ReadExact(buffer.data(), n)) {
        throw EZipHandler(TZMMessage::EndRecordRead);
    }
    const auto at = n > ziplib::kEndRecordSize ? ziplib::FindEndRecord(buffer.data(), n, n - ziplib::kEndRecordSize - 1)
                                               : std::nullopt;
    if (!at) {
        file.Close();
        RaiseNoEndRecord();
    }
    end_ = ziplib::ParseEndRecord(buffer.data() + *at);
    const std::size_t commentStart = *at + ziplib::kEndRecordSize;
    const std::string comment(buffer.begin() + commentStart, buffer.begin() + commentStart + end_.CommentLength);
    comment_ = ziplib::DecodeText(comment, ziplib::CentralHeader{});
    const std::size_t trailing = n - commentStart - end_.CommentLength;
    if (trailing > 0) {
        fileSize_ -= static_cast<std::int64_t>(trailing);
        const bool padding = trailing < 512 && std::all_of(buffer.end() - static_cast<std::ptrdiff_t>(trailing),
                                                           buffer.end(), [](std::uint8_t b) { return b < 0x2F; });
        if (!padding) {
            ShowZipMessage(TZMMessage::GarbageAtEnd);
        }
    }
}

void TZipHandler::RaiseNoEndRecord()
{
    const int disk = DiskNumber(zipFileName_);
    if (!spanned_) {
        if (disk >= 1) {
            throw EZipHandler(TZMMessage::NthDiskOfSet, Decimal(disk));
        }
        throw EZipHandler(TZMMessage::NotZipArchive);
    }
    throw EZipHandler(disk == 1 ? TZMMessage::FirstDiskOfSet : TZMMessage::FirstFileOfSet);
}

void TZipHandler::List()
{
    entries_.clear();
    comment_.clear();
    ziplib::ArchiveFile file;
    OpenEOC(file);
    // A set split over several files keeps its directory in another part.
    if (end_.CentralDisk != end_.ThisDisk) {
        throw EZipHandler(TZMMessage::CentralHeaderRead);
    }
    // Bytes before the archive (a self-extractor stub) shift every offset.
    const std::int64_t start = fileSize_ - static_cast<std::int64_t>(ziplib::kEndRecordSize) - end_.CommentLength -
                               static_cast<std::int64_t>(end_.CentralSize);
    if (start != end_.CentralOffset) {
        ShowZipMessage(TZMMessage::StructureWarning);
    }
    if (!file.Seek(start)) {
        throw EZipHandler(TZMMessage::SeekError);
    }
    Progress(TZMProgressKind::Start, ZipMessageText(TZMMessage::LoadingDirectory), end_.TotalEntries);
    entries_.reserve(std::min<std::size_t>(end_.TotalEntries, end_.CentralSize / ziplib::kCentralHeaderSize + 1));
    for (unsigned i = 0; i < end_.TotalEntries; ++i) {
        TZMDirEntry entry;
        switch (ziplib::ReadCentralHeader(file, entry)) {
        case ziplib::CentralRead::Ok: break;
        case ziplib::CentralRead::ShortHeader: throw EZipHandler(TZMMessage::CentralHeaderRead);
        case ziplib::CentralRead::BadSignature: throw EZipHandler(TZMMessage::CentralSignature);
        case ziplib::CentralRead::ShortName: throw EZipHandler(TZMMessage::CentralNameRead);
        case ziplib::CentralRead::ShortExtra: throw EZipHandler(TZMMessage::SeekError);
        case ziplib::CentralRead::ShortComment: throw EZipHandler(TZMMessage::CommentRead);
        }
        entry.FileName = ziplib::DecodeText(entry.Name, entry);
        entry.FileComment = ziplib::DecodeText(entry.Comment, entry);
        // Folder entries are not listed.
        if (ziplib::HasFilePart(entry.FileName)) {
            entries_.push_back(std::move(entry));
        }
        Progress(TZMProgressKind::Advance, {}, 1);
        if (Cancel) {
            throw EZipHandler(TZMMessage::Cancelled);
        }
    }
    Progress(TZMProgressKind::End, {}, 0);
    file.Close();
    if (OnDirUpdate) {
        OnDirUpdate();
    }
}

} // namespace kolvarin
