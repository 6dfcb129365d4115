#include "core/stream/lumostream.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/bytereader.h"

namespace kolvarin {

namespace {

int64_t roundToStep(int64_t size)
{
    const int64_t step = TLumoStream::kCapacityStep;
    return (size + step - 1) / step * step;
}

} // namespace

// ---- memory stream ------------------------------------------------------

bool TLumoStream::grow(int64_t size)
{
    if (size > INT32_MAX)
        return false;
    if (size <= size_)
        return true;
    try {
        if (size > Capacity()) {
            // Growing by whole steps only would make a long write quadratic.
            const int64_t wanted = std::max(roundToStep(size), roundToStep(int64_t(Capacity()) * 3 / 2));
            data_.resize(static_cast<size_t>(std::min<int64_t>(wanted, roundToStep(INT32_MAX) - kCapacityStep)));
            if (int64_t(data_.size()) < size)
                data_.resize(static_cast<size_t>(size));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Bytes left behind by an earlier shrink must read as zero again.
    std::fill(data_.begin() + size_, data_.begin() + static_cast<ptrdiff_t>(size), uint8_t(0));
    size_ = static_cast<int32_t>(size);
    return true;
}

void TLumoStream::Clear()
{
    std::vector<uint8_t>().swap(data_);
    position_ = 0;
    size_ = 0;
}

int32_t TLumoStream::Read(void* buffer, int32_t count)
{
    if (position_ < 0 || count < 1)
        return 0;
    const int32_t n = std::min(count, size_ - position_);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int32_t TLumoStream::ReadAt(int32_t pos, void* buffer, int32_t count)
{
    if (pos < 0 || pos > GetSize() || Seek(pos) != pos)
        return 0;
    return Read(buffer, count);
}

int32_t TLumoStream::Write(const void* buffer, int32_t count)
{
    if (position_ < 0 || count < 1)
        return 0;
    const int64_t end = int64_t(position_) + count;
    if (!grow(end))
        return 0;
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = static_cast<int32_t>(end);
    return count;
}

int32_t TLumoStream::Seek(int32_t pos)
{
    pos = std::max(pos, 0);
    if (pos > size_ && !grow(pos))
        return position_;
    position_ = pos;
    return position_;
}

int32_t TLumoStream::GetPosition() const { return position_; }

int32_t TLumoStream::GetSize() const { return size_; }

int32_t TLumoStream::Seek(int64_t offset, int origin)
{
    int64_t target = offset;
    if (origin == 1)
        target = int64_t(GetPosition()) + offset;
    else if (origin == 2)
        target = int64_t(GetSize()) - offset;
    return Seek(static_cast<int32_t>(std::clamp<int64_t>(target, 0, INT32_MAX)));
}

bool TLumoStream::SetSize(int32_t size)
{
    if (size < 0)
        return false;
    if (size > size_)
        return grow(size) && SetSize(size); // then fit the capacity exactly
    try {
        std::vector<uint8_t> fitted(data_.begin(), data_.begin() + size);
        fitted.resize(static_cast<size_t>(roundToStep(size)));
        data_.swap(fitted);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_ = size;
    position_ = std::min(position_, size_);
    return true;
}

int32_t TLumoStream::CopyFrom(TLumoStream& other, int32_t count)
{
    uint8_t block[kCopyBlock];
    int32_t copied = 0;
    while (copied < count) {
        const int32_t got = other.Read(block, std::min(kCopyBlock, count - copied));
        if (got <= 0)
            break;
        const int32_t put = Write(block, got);
        copied += put;
        if (put != got)
            break;
    }
    return copied;
}

int32_t TLumoStream::Assign(TLumoStream& other)
{
    Clear();
    if (Seek(0) != 0 || other.Seek(0) != 0)
        return 0;
    return CopyFrom(other, other.GetSize());
}

int32_t TLumoStream::Append(TLumoStream& other)
{
    if (other.Seek(0) != 0)
        return 0;
    return CopyFrom(other, other.GetSize());
}

uint8_t TLumoStream::ReadByte()
{
    uint8_t b = 0;
    return Read(&b, 1) == 1 ? b : 0;
}

uint16_t TLumoStream::ReadWord()
{
    uint8_t b[2]{};
    Read(b, 2);
    return Le16(b);
}

uint32_t TLumoStream::ReadDWord()
{
    uint8_t b[4]{};
    Read(b, 4);
    return Le32(b);
}

std::string TLumoStream::ReadLine()
{
    std::string line;
    uint8_t b = 0;
    while (Read(&b, 1) == 1) {
        if (b == '\n' || b == '\r') {
            uint8_t next = 0;
            const int32_t at = GetPosition();
            if (Read(&next, 1) == 1 && !((next == '\n' || next == '\r') && next != b))
                Seek(at);
            return line;
        }
        line += static_cast<char>(b);
    }
    return line;
}

bool TLumoStream::ReadString(std::string& text)
{
    const int32_t start = GetPosition();
    if (int64_t(GetSize()) - start < 4)
        return false;
    const auto length = static_cast<int32_t>(ReadDWord());
    if (length < 0 || length > GetSize() - GetPosition()) {
        Seek(start);
        return false;
    }
    std::string out(static_cast<size_t>(length), '\0');
    if (length > 0 && Read(out.data(), length) != length) {
        Seek(start);
        return false;
    }
    text = std::move(out);
    return true;
}

bool TLumoStream::WriteText(std::string_view text)
{
    if (text.empty())
        return true;
    if (text.size() > size_t(INT32_MAX))
        return false;
    const auto n = static_cast<int32_t>(text.size());
    return Write(text.data(), n) == n;
}

bool TLumoStream::WriteLine(std::string_view text) { return WriteText(text) && WriteText("\r\n"); }

std::string TLumoStream::GetText()
{
    std::string text;
    if (Seek(0) != 0)
        return text;
    text.resize(static_cast<size_t>(GetSize()));
    text.resize(static_cast<size_t>(std::max(Read(text.data(), GetSize()), 0)));
    return text;
}

void TLumoStream::SetText(std::string_view text)
{
    Clear();
    WriteText(text);
}

uint8_t TLumoStream::PeekByte(int32_t pos)
{
    const int32_t at = GetPosition();
    uint8_t b = 0;
    if (ReadAt(pos, &b, 1) != 1)
        b = 0;
    Seek(at);
    return b;
}

void TLumoStream::PokeByte(int32_t pos, uint8_t value)
{
    const int32_t at = GetPosition();
    if (Seek(pos) == pos)
        Write(&value, 1);
    Seek(at);
}

// ---- file stream --------------------------------------------------------

TLumoFileStream::TLumoFileStream(const std::string& fileName, TLumoFileMode mode)
{
    if (mode == TLumoFileMode::CreateNew) {
        file_ = std::fopen(fileName.c_str(), "w+b");
        writable_ = file_ != nullptr;
        return;
    }
    file_ = std::fopen(fileName.c_str(), "rb");
    if (!file_ && errno == ENOENT) {
        // O_EXCL: never truncate a file that appeared meanwhile.
        const int fd = ::open(fileName.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            file_ = ::fdopen(fd, "rb");
            if (!file_)
                ::close(fd);
        }
    }
}

TLumoFileStream::~TLumoFileStream() { Close(); }

bool TLumoFileStream::Close()
{
    if (!file_)
        return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

void TLumoFileStream::Clear()
{
    if (!file_ || !writable_)
        return;
    std::fflush(file_);
    if (::ftruncate(::fileno(file_), 0) == 0)
        std::rewind(file_);
}

// stdio needs a positioning call between a read and a write on one file.
void TLumoFileStream::switchTo(bool writing)
{
    if ((writing && lastWasRead_) || (!writing && lastWasWrite_))
        std::fseek(file_, 0, SEEK_CUR);
    lastWasWrite_ = writing;
    lastWasRead_ = !writing;
}

int32_t TLumoFileStream::Read(void* buffer, int32_t count)
{
    if (!file_ || count < 1)
        return 0;
    switchTo(false);
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(count), file_);
    if (got == 0 && std::ferror(file_)) {
        std::clearerr(file_);
        return 0;
    }
    std::clearerr(file_);
    return static_cast<int32_t>(got);
}

int32_t TLumoFileStream::ReadAt(int32_t pos, void* buffer, int32_t count)
{
    if (Seek(pos) != pos)
        return 0;
    return Read(buffer, count);
}

int32_t TLumoFileStream::Write(const void* buffer, int32_t count)
{
    if (!file_ || !writable_ || count < 1)
        return 0;
    if (int64_t(GetPosition()) + count > INT32_MAX)
        return 0;
    switchTo(true);
    const size_t put = std::fwrite(buffer, 1, static_cast<size_t>(count), file_);
    if (put != static_cast<size_t>(count))
        std::clearerr(file_);
    return static_cast<int32_t>(put);
}

int32_t TLumoFileStream::Seek(int32_t pos)
{
    if (!file_)
        return 0;
    if (pos >= 0 && pos <= GetSize()) {
        lastWasRead_ = lastWasWrite_ = false;
        if (std::fseek(file_, pos, SEEK_SET) != 0)
            return 0;
    }
    return GetPosition();
}

int32_t TLumoFileStream::GetPosition() const
{
    if (!file_)
        return 0;
    const long pos = std::ftell(file_);
    return pos < 0 ? 0 : static_cast<int32_t>(std::min<long>(pos, INT32_MAX));
}

int32_t TLumoFileStream::GetSize() const
{
    if (!file_)
        return 0;
    if (lastWasWrite_)
        std::fflush(file_);
    struct stat st {};
    if (::fstat(::fileno(file_), &st) != 0)
        return 0;
    const int64_t size = st.st_size;
    return static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX));
}

} // namespace kolvarin
