#include "base/bytereader.h"

#include <cstring>

namespace kolvarin {

bool ByteReader::Seek(size_t position)
{
    if (position > size_)
        return false;
    position_ = position;
    return true;
}

bool ByteReader::Skip(size_t count)
{
    const uint8_t* at;
    return Take(count, at);
}

bool ByteReader::Take(size_t count, const uint8_t*& at)
{
    if (count > Remaining())
        return false;
    at = data_ + position_;
    position_ += count;
    return true;
}

bool ByteReader::U8(uint8_t& value)
{
    const uint8_t* at;
    if (!Take(1, at))
        return false;
    value = *at;
    return true;
}

bool ByteReader::U16(uint16_t& value)
{
    const uint8_t* at;
    if (!Take(2, at))
        return false;
    value = Le16(at);
    return true;
}

bool ByteReader::U32(uint32_t& value)
{
    const uint8_t* at;
    if (!Take(4, at))
        return false;
    value = Le32(at);
    return true;
}

bool ByteReader::U64(uint64_t& value)
{
    const uint8_t* at;
    if (!Take(8, at))
        return false;
    value = Le64(at);
    return true;
}

bool ByteReader::I16(int16_t& value)
{
    uint16_t raw;
    if (!U16(raw))
        return false;
    value = static_cast<int16_t>(raw);
    return true;
}

bool ByteReader::I32(int32_t& value)
{
    uint32_t raw;
    if (!U32(raw))
        return false;
    value = static_cast<int32_t>(raw);
    return true;
}

bool ByteReader::I64(int64_t& value)
{
    uint64_t raw;
    if (!U64(raw))
        return false;
    value = static_cast<int64_t>(raw);
    return true;
}

bool ByteReader::Bytes(void* out, size_t count)
{
    const uint8_t* at;
    if (!Take(count, at))
        return false;
    if (count > 0)
        std::memcpy(out, at, count);
    return true;
}

bool ByteReader::View(size_t count, std::string_view& out)
{
    const uint8_t* at;
    if (!Take(count, at))
        return false;
    out = std::string_view(reinterpret_cast<const char*>(at), count);
    return true;
}

bool ByteReader::View(size_t count, std::span<const uint8_t>& out)
{
    const uint8_t* at;
    if (!Take(count, at))
        return false;
    out = std::span<const uint8_t>(at, count);
    return true;
}

bool ByteReader::CString(std::string_view& out)
{
    const void* zero = AtEnd() ? nullptr : std::memchr(Here(), 0, Remaining());
    if (zero == nullptr)
        return false;
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(zero) - Here());
    View(length, out);
    ++position_;
    return true;
}

} // namespace kolvarin
