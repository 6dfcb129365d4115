#include "ziplib/dzunzip.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unistd.h>
#include <vector>

#include <zlib.h>

#include "base/bytereader.h"
#include "codepage/codepage.h"
#include "ziplib/dzformat.h"

namespace kolvarin::ziplib {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

char16_t FoldCase(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : (c == u'\\' ? u'/' : c);
}

// Replaces the first "%s" of a library text with an argument.
std::u16string Format(const char16_t* text, const std::u16string& argument)
{
    std::u16string out = text;
    const std::size_t at = out.find(u"%s");
    if (at != std::u16string::npos) {
        out.replace(at, 2, argument);
    }
    return out;
}

// MS-DOS date and time (local time) as a file-system time.
fs::file_time_type DosTimeToFileTime(std::uint32_t dosTime)
{
    std::tm tm{};
    tm.tm_year = static_cast<int>((dosTime >> 25) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((dosTime >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((dosTime >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((dosTime >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((dosTime >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>(dosTime & 0x1F) * 2;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(t == -1 ? 0 : t));
}

// One member of the directory with the bytes its data may occupy.
struct Member {
    CentralHeader Header;
    std::u16string Name;
    std::int64_t LocalOffset = 0; // shifted by any prefix before the archive
    std::int64_t Limit = 0; // where the next member or the directory begins
};

class Unzipper {
public:
    Unzipper(const UnzCommand& command, const std::atomic<bool>& abort) : cmd_(command), abort_(abort) {}
    ~Unzipper()
    {
        if (inflating_) {
            inflateEnd(&stream_);
        }
    }

    int Run()
    {
        if (!archive_.Open(codepage::Utf16ToUtf8(cmd_.ZipFileName))) {
            Report(CallbackKind::Error, DZ_ERR_OPEN, Format(u"Cannot open archive %s", cmd_.ZipFileName), {});
            return -DZ_ERR_OPEN;
        }
        if (const int code = ReadDirectory(); code != DZ_OK) {
            return -code;
        }
        std::vector<const Member*> chosen;
        for (const Member& m : members_) {
            if (HasFilePart(m.Name) && Selected(m.Name)) {
                chosen.push_back(&m);
            }
        }
        if (Report(CallbackKind::TotalStart, 0, {}, {}, chosen.size()) != 0) {
            return 0;
        }
        in_.resize(kBufferSize);
        out_.resize(kBufferSize);
        int count = 0;
        for (const Member* m : chosen) {
            if (stop_ || abort_.load()) {
                break;
            }
            if (Process(*m)) {
                ++count;
            }
        }
        Report(CallbackKind::TotalEnd, 0, {}, {});
        return count;
    }

private:
    int Report(CallbackKind kind, int code, const std::u16string& text, const std::u16string& fileName,
               std::uint64_t size = 0)
    {
        if (cmd_.CallbackProc == nullptr) {
            return 0;
        }
        CallbackRecord record{kind, code, text, fileName, size};
        const int result = cmd_.CallbackProc(cmd_.Caller, record);
        if (result != 0) {
            stop_ = true;
        }
        return result;
    }

    void Fail(int code, const char16_t* text, const std::u16string& name)
    {
        Report(code == DZ_WARN_ENCRYPTED || code == DZ_WARN_NAME ? CallbackKind::Warning : CallbackKind::Error, code,
               Format(text, name), name);
    }

    int ReadDirectory()
    {
        const std::int64_t size = archive_.Size();
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(size, kEndSearchSize));
        std::vector<std::uint8_t> tail(n);
        const std::int64_t tailStart = size - static_cast<std::int64_t>(n);
        std::optional<std::size_t> at;
        if (n >= kEndRecordSize && archive_.ReadExactAt(tailStart, tail.data(), n)) {
            at = FindEndRecord(tail.data(), n, n - kEndRecordSize);
        }
        if (!at) {
            Report(CallbackKind::Error, DZ_ERR_INVALID, Format(u"Not a valid zip archive: %s", cmd_.ZipFileName), {});
            return DZ_ERR_INVALID;
        }
        const EndRecord end = ParseEndRecord(tail.data() + *at);
        const std::int64_t endPosition = tailStart + static_cast<std::int64_t>(*at);
        const std::int64_t centralStart = endPosition - end.CentralSize;
        if (centralStart < 0 || end.CentralDisk != end.ThisDisk || !archive_.Seek(centralStart)) {
            return DirectoryDamaged();
        }
        // A prefix before the archive (or a cut-off start) shifts every offset.
        const std::int64_t shift = centralStart - static_cast<std::int64_t>(end.CentralOffset);
        members_.reserve(std::min<std::size_t>(end.TotalEntries, end.CentralSize / kCentralHeaderSize + 1));
        for (unsigned i = 0; i < end.TotalEntries; ++i) {
            Member m;
            if (ReadCentralHeader(archive_, m.Header) != CentralRead::Ok) {
                return DirectoryDamaged();
            }
            m.Name = DecodeText(m.Header.Name, m.Header);
            m.LocalOffset = static_cast<std::int64_t>(m.Header.LocalHeaderOffset) + shift;
            if (m.Header.StartDisk != end.ThisDisk) {
                m.LocalOffset = -1;
            }
            members_.push_back(std::move(m));
        }
        // Member data may reach only up to the next member or the directory:
        // what a header claims beyond that is not in the archive.
        std::vector<std::int64_t> starts;
        starts.reserve(members_.size() + 1);
        for (const Member& m : members_) {
            starts.push_back(m.LocalOffset);
        }
        starts.push_back(centralStart);
        std::sort(starts.begin(), starts.end());
        for (Member& m : members_) {
            m.Limit = m.LocalOffset < centralStart ? *std::upper_bound(starts.begin(), starts.end(), m.LocalOffset)
                                                   : m.LocalOffset;
        }
        return DZ_OK;
    }

    int DirectoryDamaged()
    {
        Report(CallbackKind::Error, DZ_ERR_DIRECTORY, Format(u"Damaged central directory in %s", cmd_.ZipFileName), {});
        return DZ_ERR_DIRECTORY;
    }

    bool Selected(const std::u16string& name) const
    {
        if (cmd_.FSpecArgs.empty()) {
            return true;
        }
        std::size_t slash = name.size();
        while (slash > 0 && !IsSeparator(name[slash - 1])) {
            --slash;
        }
        const std::u16string fileName = name.substr(slash);
        return std::any_of(cmd_.FSpecArgs.begin(), cmd_.FSpecArgs.end(), [&](const std::u16string& spec) {
            const bool hasFolder = std::any_of(spec.begin(), spec.end(), IsSeparator);
            return MatchesSpec(spec, name) || (!hasFolder && MatchesSpec(spec, fileName));
        });
    }

    // Whether an existing target is to be replaced, by the command's options.
    bool Replaces(const fs::path& target, const Member& m)
    {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(target, ec);
        const bool exists = !ec && fs::exists(status);
        if (!exists) {
            return !cmd_.Freshen || cmd_.Update;
        }
        if (cmd_.Freshen || cmd_.Update) {
            const fs::file_time_type current = fs::last_write_time(target, ec);
            return !ec && current < DosTimeToFileTime(m.Header.DateTime);
        }
        if (!cmd_.OverWrite) {
            if (cmd_.Verbose) {
                Report(CallbackKind::Message, DZ_MSG_EXISTS, Format(u"%s exists, not overwritten", m.Name), m.Name);
            }
            return false;
        }
        return true;
    }

    bool Process(const Member& m)
    {
        const CentralHeader& h = m.Header;
        if (h.Encrypted()) {
            Fail(DZ_WARN_ENCRYPTED, u"Encrypted member %s skipped", m.Name);
            return false;
        }
        if (h.Method != 0 && h.Method != Z_DEFLATED) {
            Fail(DZ_ERR_METHOD, u"Unsupported compression method in %s", m.Name);
            return false;
        }
        const std::u16string safeName = SafeMemberName(m.Name, cmd_.DirNames);
        if (safeName.empty()) {
            Fail(DZ_WARN_NAME, u"Member name %s names no file; skipped", m.Name);
            return false;
        }
        const std::int64_t dataStart = DataStart(m);
        if (dataStart < 0 || dataStart + static_cast<std::int64_t>(h.CompressedSize) > m.Limit) {
            Fail(DZ_ERR_DATA, u"Damaged data in %s", m.Name);
            return false;
        }
        fs::path target;
        if (!cmd_.Test) {
            target = fs::path(codepage::Utf16ToUtf8(cmd_.BaseDir.empty() ? u"." : cmd_.BaseDir)) /
                     codepage::Utf16ToUtf8(safeName);
            if (!Replaces(target, m)) {
                return false;
            }
        }
        if (Report(CallbackKind::ItemStart, 0, {}, m.Name, h.UncompressedSize) != 0) {
            return false;
        }
        const bool ok = cmd_.Test ? Decode(m, dataStart, nullptr) : Write(m, dataStart, target);
        Report(CallbackKind::ItemEnd, 0, {}, m.Name);
        return ok;
    }

    // The member's data position from its local header, or -1.
    std::int64_t DataStart(const Member& m)
    {
        std::uint8_t b[kLocalHeaderSize];
        if (m.LocalOffset < 0 || !archive_.ReadExactAt(m.LocalOffset, b, sizeof b) || Le32(b) != kLocalSignature) {
            return -1;
        }
        return m.LocalOffset + static_cast<std::int64_t>(kLocalHeaderSize) + Le16(b + 26) + Le16(b + 28);
    }

    // Writes to a fresh file beside the target and renames it over the
    // target once the data checks out, so a failure leaves nothing partial.
    bool Write(const Member& m, std::int64_t dataStart, const fs::path& target)
    {
        std::error_code ec;
        if (cmd_.DirNames) {
            fs::create_directories(target.parent_path(), ec);
        }
        static std::atomic<unsigned> serial{0};
        const fs::path temporary = target.parent_path() / (".dz" + std::to_string(::getpid()) + "_" +
                                                           std::to_string(serial.fetch_add(1)) + ".tmp");
        std::FILE* out = std::fopen(temporary.c_str(), "wbx");
        if (out == nullptr) {
            Fail(DZ_ERR_WRITE, u"Cannot write %s", m.Name);
            return false;
        }
        bool ok = Decode(m, dataStart, out);
        ok = (std::fclose(out) == 0) && ok;
        if (ok) {
            fs::last_write_time(temporary, DosTimeToFileTime(m.Header.DateTime), ec);
            // Renaming over an existing file makes ext4 start writing the new
            // one back at once (a several-fold slowdown for many members);
            // removing the old one first does not.
            if (!fs::is_directory(fs::symlink_status(target, ec))) {
                fs::remove(target, ec);
            }
            fs::rename(temporary, target, ec);
            if (ec) {
                Fail(DZ_ERR_WRITE, u"Cannot write %s", m.Name);
                ok = false;
            }
        }
        if (!ok) {
            fs::remove(temporary, ec);
        }
        return ok;
    }

    // Decodes the member's data, checking size and CRC; writes to out unless
    // it is null. Reports its own failure.
    bool Decode(const Member& m, std::int64_t dataStart, std::FILE* out)
    {
        const CentralHeader& h = m.Header;
        if (!archive_.Seek(dataStart)) {
            Fail(DZ_ERR_DATA, u"Damaged data in %s", m.Name);
            return false;
        }
        if (h.Method == Z_DEFLATED && !inflating_) {
            stream_ = z_stream{};
            if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) {
                Fail(DZ_ERR_DATA, u"Damaged data in %s", m.Name);
                return false;
            }
            inflating_ = true;
        } else if (h.Method == Z_DEFLATED) {
            inflateReset(&stream_);
        }
        std::uint64_t remaining = h.CompressedSize;
        std::uint64_t produced = 0;
        uLong crc = crc32(0, nullptr, 0);
        bool finished = false;
        stream_.avail_in = 0;
        while (!finished) {
            if (abort_.load()) {
                return false;
            }
            if (stream_.avail_in == 0 && remaining > 0) {
                const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, in_.size()));
                if (!archive_.ReadExact(in_.data(), want)) {
                    break;
                }
                remaining -= want;
                stream_.next_in = in_.data();
                stream_.avail_in = static_cast<uInt>(want);
            }
            std::size_t got = 0;
            const std::uint8_t* data = out_.data();
            if (h.Method == 0) {
                data = stream_.next_in;
                got = stream_.avail_in;
                stream_.avail_in = 0;
                finished = remaining == 0;
            } else {
                const uInt inBefore = stream_.avail_in;
                stream_.next_out = out_.data();
                stream_.avail_out = static_cast<uInt>(out_.size());
                const int rc = inflate(&stream_, Z_NO_FLUSH);
                got = out_.size() - stream_.avail_out;
                finished = rc == Z_STREAM_END;
                const bool progress = got > 0 || stream_.avail_in != inBefore;
                if ((rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) || (!finished && !progress)) {
                    break;
                }
            }
            produced += got;
            if (produced > h.UncompressedSize) {
                break;
            }
            crc = crc32(crc, data, static_cast<uInt>(got));
            if (out != nullptr && got > 0 && std::fwrite(data, 1, got, out) != got) {
                Fail(DZ_ERR_WRITE, u"Cannot write %s", m.Name);
                return false;
            }
        }
        if (!finished || produced != h.UncompressedSize) {
            Fail(DZ_ERR_DATA, u"Damaged data in %s", m.Name);
            return false;
        }
        if (crc != h.Crc32) {
            Fail(DZ_ERR_CRC, u"CRC error in %s", m.Name);
            return false;
        }
        return true;
    }

    const UnzCommand& cmd_;
    const std::atomic<bool>& abort_;
    ArchiveFile archive_;
    std::vector<Member> members_;
    std::vector<std::uint8_t> in_;
    std::vector<std::uint8_t> out_;
    z_stream stream_{};
    bool inflating_ = false;
    bool stop_ = false;
};

} // namespace

int RunUnzip(const UnzCommand& command, const std::atomic<bool>& abort) { return Unzipper(command, abort).Run(); }

std::u16string SafeMemberName(const std::u16string& name, bool dirNames)
{
    std::u16string rest = name;
    if (rest.size() >= 2 && rest[1] == u':' &&
        ((rest[0] >= u'A' && rest[0] <= u'Z') || (rest[0] >= u'a' && rest[0] <= u'z'))) {
        rest.erase(0, 2);
    }
    if (rest.find(u'\0') != std::u16string::npos) {
        return {};
    }
    std::vector<std::u16string> parts;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || IsSeparator(rest[i])) {
            parts.push_back(rest.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    const std::u16string& file = parts.back();
    if (file.empty() || file == u"." || file == u"..") {
        return {};
    }
    if (!dirNames) {
        return file;
    }
    std::u16string out;
    for (const std::u16string& part : parts) {
        if (!part.empty() && part != u"." && part != u"..") {
            out += (out.empty() ? u"" : u"/") + part;
        }
    }
    return out;
}

bool MatchesSpec(const std::u16string& spec, const std::u16string& name)
{
    std::size_t s = 0, n = 0;
    std::size_t starAt = std::u16string::npos, resumeAt = 0;
    while (n < name.size()) {
        if (s < spec.size() && spec[s] == u'*') {
            starAt = s++;
            resumeAt = n;
        } else if (s < spec.size() && (spec[s] == u'?' || FoldCase(spec[s]) == FoldCase(name[n]))) {
            ++s, ++n;
        } else if (starAt != std::u16string::npos) {
            s = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (s < spec.size() && spec[s] == u'*') {
        ++s;
    }
    return s == spec.size();
}

} // namespace kolvarin::ziplib
