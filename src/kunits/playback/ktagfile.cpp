#include "playback/ktagfile_p.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/text/kstrings.h"
#include "playback/ktagtext_p.h"

namespace kolvarin::tagfile {

namespace {

std::string NativeName(const std::u16string& fileName) { return Utf16ToUtf8(fileName); }

bool WriteAll(int fd, const char* data, size_t count)
{
    while (count > 0) {
        ssize_t done = ::write(fd, data, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        count -= static_cast<size_t>(done);
    }
    return true;
}

// Appends the bytes of src from offset to its end to dst.
bool CopyTail(int src, int64_t offset, int dst)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t got = ::pread(src, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!WriteAll(dst, buffer.data(), static_cast<size_t>(got)))
            return false;
        offset += got;
    }
}

} // namespace

TagFile::TagFile(const std::u16string& fileName, bool writable)
{
    fd_ = ::open(NativeName(fileName).c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd_ < 0)
        return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    size_ = st.st_size;
}

TagFile::~TagFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::string TagFile::ReadAt(int64_t offset, size_t count) const
{
    if (fd_ < 0 || offset < 0 || offset >= size_)
        return {};
    if (static_cast<uint64_t>(count) > static_cast<uint64_t>(size_ - offset))
        count = static_cast<size_t>(size_ - offset);
    std::string bytes(count, '\0');
    size_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(fd_, bytes.data() + done, count - done, offset + static_cast<int64_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool TagFile::WriteAt(int64_t offset, std::string_view bytes) const
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, offset + static_cast<int64_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

bool TagFile::Truncate(int64_t size) const { return ::ftruncate(fd_, size) == 0; }

bool MakeWritable(const std::u16string& fileName)
{
    std::string name = NativeName(fileName);
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (st.st_mode & S_IWUSR)
        return true;
    return ::chmod(name.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

namespace {

// A new file beside name, created with the umask's default mode.
int CreateTemporary(const std::string& name, std::string& temp)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The file a name stands for, so that a link keeps pointing at the new
// content; the name itself when it does not resolve (a new file).
std::string Resolved(const std::string& name)
{
    char* real = ::realpath(name.c_str(), nullptr);
    if (!real)
        return name;
    std::string resolved(real);
    ::free(real);
    return resolved;
}

// The temporary-file replacement behind both public forms. src < 0: no old
// content is kept. old: the replaced file, whose owner and mode (with
// extraBits) the new one takes; none for a new file.
bool WriteReplacement(const std::string& name, std::string_view head, int src, int64_t keepFrom, const struct stat* old,
                      mode_t extraBits)
{
    std::string temp;
    int dst = CreateTemporary(name, temp);
    if (dst < 0)
        return false;
    if (old && ::fchown(dst, old->st_uid, old->st_gid) != 0) {
        // Only a privileged user may hand the file to another owner; the
        // content matters more than its owner.
    }
    bool ok = WriteAll(dst, head.data(), head.size()) && (src < 0 || CopyTail(src, keepFrom, dst)) &&
              (!old || ::fchmod(dst, (old->st_mode & 07777) | extraBits) == 0) && ::fsync(dst) == 0;
    ok = ::close(dst) == 0 && ok;
    if (ok)
        ok = ::rename(temp.c_str(), name.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace

bool ReplaceFile(const std::u16string& fileName, std::string_view head, int64_t keepFrom)
{
    std::string name = Resolved(NativeName(fileName));
    int src = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (src < 0)
        return false;
    struct stat st {};
    bool ok =
        ::fstat(src, &st) == 0 && S_ISREG(st.st_mode) && WriteReplacement(name, head, src, keepFrom, &st, S_IWUSR);
    ::close(src);
    return ok;
}

bool WriteFileAtomically(const std::u16string& fileName, std::string_view bytes)
{
    std::string name = Resolved(NativeName(fileName));
    struct stat st {};
    bool exists = ::stat(name.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return false;
    return WriteReplacement(name, bytes, -1, 0, exists ? &st : nullptr, 0);
}

} // namespace kolvarin::tagfile
