#pragma once

// Internal to the XML model.
//
// The parser stores a tag's parameters packed in
// one UTF-16 buffer (one allocation per tag instead of several per
// parameter); they are unpacked into TLumoXMLParameter records on first use.
// Layout per parameter: name length (two units, low first), the name's bytes
// one per unit, value length (two units), the value.

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvarin {

// The block allocator behind the XML items and their packed parameters:
// cheap to fill while parsing, cheap to free; blocks are 16-byte aligned and
// may be released from any thread.
namespace xmlalloc {
void* Allocate(size_t size);
void Release(void* block);
} // namespace xmlalloc

// XMLEncodeText appending to Out.
void AppendXMLEncodedText(std::string& out, std::u16string_view text, int32_t indent);

namespace packed {

// Reserves a length field; returns its offset for Close.
inline size_t Open(std::u16string& buffer)
{
    buffer.append(2, u'\0');
    return buffer.size();
}

// Fills the length field opened at Start with what was appended since.
inline void Close(std::u16string& buffer, size_t start)
{
    const auto length = static_cast<uint32_t>(buffer.size() - start);
    buffer[start - 2] = static_cast<char16_t>(length & 0xFFFF);
    buffer[start - 1] = static_cast<char16_t>(length >> 16);
}

// Calls Visit(name, value) for each parameter in order; the name holds one
// byte per unit.
template <class Visit>
void ForEach(std::u16string_view buffer, Visit visit)
{
    size_t i = 0;
    auto field = [&]() {
        const uint32_t length = uint32_t(buffer[i]) | (uint32_t(buffer[i + 1]) << 16);
        i += 2;
        const std::u16string_view text = buffer.substr(i, length);
        i += length;
        return text;
    };
    while (i + 4 <= buffer.size()) {
        const std::u16string_view name = field();
        const std::u16string_view value = field();
        visit(name, value);
    }
}

inline std::string NarrowName(std::u16string_view name)
{
    std::string out(name.size(), '\0');
    for (size_t i = 0; i < name.size(); ++i)
        out[i] = static_cast<char>(name[i]);
    return out;
}

} // namespace packed
} // namespace kolvarin
