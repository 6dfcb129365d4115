#pragma once

// Little-endian fields of outside bytes, read and written byte by byte.
// Every parser of a file, a socket or a tag reads through ByteReader, so a
// length, count or offset taken from the data is checked against what is
// there before anything is read or allocated for it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kolvarin {

// Fields at fixed offsets of a buffer the caller has checked to hold them.
inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t Le64(const uint8_t* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }
inline void PutLe16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t value)
{
    PutLe16(p, static_cast<uint16_t>(value));
    PutLe16(p + 2, static_cast<uint16_t>(value >> 16));
}

// A cursor over bytes it does not own; they must outlive it. Each read
// checks what remains: one that does not fit returns false and leaves the
// position and the output unchanged. Cheap to copy; one thread at a time.
class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    explicit ByteReader(std::string_view bytes) : ByteReader(bytes.data(), bytes.size()) {}
    explicit ByteReader(std::span<const uint8_t> bytes) : ByteReader(bytes.data(), bytes.size()) {}

    size_t Size() const { return size_; }
    size_t Position() const { return position_; }
    size_t Remaining() const { return size_ - position_; }
    bool AtEnd() const { return position_ == size_; }

    // False (and no move) beyond the end; the end itself is a position.
    bool Seek(size_t position);
    bool Skip(size_t count);

    bool U8(uint8_t& value);
    bool U16(uint16_t& value);
    bool U32(uint32_t& value);
    bool U64(uint64_t& value);
    bool I16(int16_t& value);
    bool I32(int32_t& value);
    bool I64(int64_t& value);

    // Copies count bytes out.
    bool Bytes(void* out, size_t count);
    // The next count bytes as a view into the data.
    bool View(size_t count, std::string_view& out);
    bool View(size_t count, std::span<const uint8_t>& out);
    // The text up to the next zero byte, which is read too; false when there
    // is no zero byte.
    bool CString(std::string_view& out);

private:
    bool Take(size_t count, const uint8_t*& at);
    const uint8_t* Here() const { return data_ + position_; }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t position_ = 0;
};

// Appends little-endian fields to a std::string or std::vector<uint8_t> it
// does not own; reserve beforehand where the size is known.
template <typename Container>
class ByteWriter {
public:
    explicit ByteWriter(Container& out) : out_(out) {}

    void U8(uint8_t value) { out_.push_back(static_cast<typename Container::value_type>(value)); }
    void U16(uint16_t value)
    {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value)
    {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }
    void U64(uint64_t value)
    {
        U32(static_cast<uint32_t>(value));
        U32(static_cast<uint32_t>(value >> 32));
    }
    void Bytes(const void* data, size_t count)
    {
        const auto* p = static_cast<const typename Container::value_type*>(data);
        out_.insert(out_.end(), p, p + count);
    }
    void Bytes(std::string_view data) { Bytes(data.data(), data.size()); }

private:
    Container& out_;
};

} // namespace kolvarin
