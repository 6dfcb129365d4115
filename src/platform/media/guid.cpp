#include "media/guid.h"

#include <algorithm>
#include <cstdio>

#include "base/bytereader.h"
#include "base/hexdigit.h"

namespace kolvarin::media {

std::string GuidToString(const GUID& id)
{
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1, id.Data2, id.Data3,
                  id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6],
                  id.Data4[7]);
    return text;
}

std::optional<GUID> GuidFromString(std::string_view text)
{
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return std::nullopt;
    uint8_t nibbles[32];
    int n = 0;
    for (size_t i = 1; i < 37; ++i) {
        if (i == 9 || i == 14 || i == 19 || i == 24)
            continue;
        const int v = HexDigitValue(text[i]);
        if (v < 0)
            return std::nullopt;
        nibbles[n++] = static_cast<uint8_t>(v);
    }
    auto field = [&](int first, int count) {
        uint32_t v = 0;
        for (int i = 0; i < count; ++i)
            v = v << 4 | nibbles[first + i];
        return v;
    };
    GUID id;
    id.Data1 = field(0, 8);
    id.Data2 = static_cast<uint16_t>(field(8, 4));
    id.Data3 = static_cast<uint16_t>(field(12, 4));
    for (int i = 0; i < 8; ++i)
        id.Data4[i] = static_cast<uint8_t>(field(16 + 2 * i, 2));
    return id;
}

std::array<uint8_t, 16> GuidBytes(const GUID& id)
{
    std::array<uint8_t, 16> b{};
    PutLe32(b.data(), id.Data1);
    PutLe16(b.data() + 4, id.Data2);
    PutLe16(b.data() + 6, id.Data3);
    std::copy(id.Data4.begin(), id.Data4.end(), b.begin() + 8);
    return b;
}

bool GetGuid(ByteReader& reader, GUID& id)
{
    std::span<const uint8_t> b;
    if (!reader.View(16, b))
        return false;
    id.Data1 = Le32(b.data());
    id.Data2 = Le16(b.data() + 4);
    id.Data3 = Le16(b.data() + 6);
    std::copy_n(b.begin() + 8, 8, id.Data4.begin());
    return true;
}

} // namespace kolvarin::media
