// The ICY body parser on arbitrary bytes: the first two bytes pick the
// metadata interval and the block size the body is fed in.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/icy_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::int64_t interval = data[0] % 64;
    const std::size_t block = 1 + data[1];
    data += 2;
    size -= 2;
    kolvarin::audio::IcyParser parser(interval);
    std::string audio;
    std::vector<std::string> metadata;
    for (std::size_t at = 0; at < size; at += block)
        parser.feed(data + at, std::min(block, size - at), audio, metadata);
    std::size_t metaBytes = 0;
    for (const std::string& m : metadata) {
        if (m.empty() || m.size() > 255 * 16 || m.find('\0') != std::string::npos)
            __builtin_trap();
        metaBytes += m.size();
    }
    if (audio.size() + metaBytes > size)
        __builtin_trap();
    if (interval == 0 && audio.size() != size)
        __builtin_trap();
    kolvarin::audio::parseMetaInterval(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
