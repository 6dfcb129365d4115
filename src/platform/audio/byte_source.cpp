#include "audio/byte_source.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolvarin::audio {
namespace {

// A source of known size: position and seeking within it.
class SizedSource : public ByteSource {
public:
    explicit SizedSource(std::int64_t size) : size_(size) {}
    bool seek(std::int64_t position) override
    {
        if (position < 0 || position > size_)
            return false;
        pos_ = position;
        return true;
    }
    std::int64_t position() const override { return pos_; }
    std::int64_t size() const override { return size_; }

protected:
    std::int64_t size_;
    std::int64_t pos_ = 0;
};

class FileSource final : public SizedSource {
public:
    FileSource(int fd, std::int64_t begin, std::int64_t size) : SizedSource(size), fd_(fd), begin_(begin) {}
    ~FileSource() override { ::close(fd_); }

    int read(std::uint8_t* buffer, int size) override
    {
        const std::int64_t left = size_ - pos_;
        if (left <= 0 || size <= 0)
            return 0;
        const std::int64_t want = std::min<std::int64_t>(left, size);
        const ssize_t got = ::pread(fd_, buffer, static_cast<std::size_t>(want), begin_ + pos_);
        if (got < 0)
            return -1;
        pos_ += got;
        return static_cast<int>(got);
    }

private:
    int fd_;
    std::int64_t begin_;
};

class MemorySource final : public SizedSource {
public:
    MemorySource(const std::uint8_t* data, std::int64_t size) : SizedSource(size), data_(data) {}
    int read(std::uint8_t* buffer, int size) override
    {
        const std::int64_t n = std::min<std::int64_t>(size_ - pos_, size < 0 ? 0 : size);
        if (n <= 0)
            return 0;
        std::memcpy(buffer, data_ + pos_, static_cast<std::size_t>(n));
        pos_ += n;
        return static_cast<int>(n);
    }

private:
    const std::uint8_t* data_;
};

} // namespace

std::unique_ptr<ByteSource> openFileSource(const std::string& path, std::int64_t offset, std::int64_t length)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || offset < 0 || length < 0 || offset > st.st_size) {
        ::close(fd);
        return nullptr;
    }
    const std::int64_t available = st.st_size - offset;
    if (length > available) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileSource>(fd, offset, length == 0 ? available : length);
}

std::unique_ptr<ByteSource> openMemorySource(const void* data, std::int64_t size)
{
    if (!data || size <= 0)
        return nullptr;
    return std::make_unique<MemorySource>(static_cast<const std::uint8_t*>(data), size);
}

} // namespace kolvarin::audio
