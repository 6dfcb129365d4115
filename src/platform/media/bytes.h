#pragma once

// Little-endian fields of format blocks, read and written byte by byte.
// Reads fail without moving when fewer bytes remain than asked for.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kolvarin::media {

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t position() const { return pos_; }
    size_t remaining() const { return bytes_.size() - pos_; }
    bool skip(size_t n)
    {
        if (n > remaining())
            return false;
        pos_ += n;
        return true;
    }
    bool u8(uint8_t& v) { return read(v, 1); }
    bool u16(uint16_t& v) { return read(v, 2); }
    bool u32(uint32_t& v) { return read(v, 4); }
    bool u64(uint64_t& v) { return read(v, 8); }
    bool i32(int32_t& v)
    {
        uint32_t u;
        if (!u32(u))
            return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool i64(int64_t& v)
    {
        uint64_t u;
        if (!u64(u))
            return false;
        v = static_cast<int64_t>(u);
        return true;
    }
    bool bytes(uint8_t* out, size_t n)
    {
        if (n > remaining())
            return false;
        for (size_t i = 0; i < n; ++i)
            out[i] = bytes_[pos_ + i];
        pos_ += n;
        return true;
    }

private:
    template <class T>
    bool read(T& v, size_t n)
    {
        if (n > remaining())
            return false;
        uint64_t x = 0;
        for (size_t i = 0; i < n; ++i)
            x |= uint64_t(bytes_[pos_ + i]) << (8 * i);
        v = static_cast<T>(x);
        pos_ += n;
        return true;
    }
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

class ByteWriter {
public:
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) { put(v, 2); }
    void u32(uint32_t v) { put(v, 4); }
    void u64(uint64_t v) { put(v, 8); }
    void i32(int32_t v) { put(static_cast<uint32_t>(v), 4); }
    void i64(int64_t v) { put(static_cast<uint64_t>(v), 8); }
    void bytes(const uint8_t* p, size_t n) { out_.insert(out_.end(), p, p + n); }
    void zeros(size_t n) { out_.insert(out_.end(), n, 0); }
    std::vector<uint8_t>& data() { return out_; }

private:
    void put(uint64_t v, size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> out_;
};

} // namespace kolvarin::media
