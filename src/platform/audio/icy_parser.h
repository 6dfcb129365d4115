#pragma once

// The ICY (SHOUTcast) body: every `metaint` bytes of audio a length byte L
// and L * 16 bytes of metadata text such as StreamTitle='...';. The parser
// takes the body in blocks of any size and separates the two.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvarin::audio {

// The value of an icy-metaint header: a decimal count from 1 to 16777216;
// -1 for anything else.
std::int64_t parseMetaInterval(std::string_view value);

class IcyParser {
public:
    // interval 0: no metadata in the body, everything is audio.
    explicit IcyParser(std::int64_t interval) : interval_(interval), untilMeta_(interval) {}
    // Appends the audio bytes of the block to audio and each completed,
    // non-empty metadata text (cut at its first NUL) to metadata.
    void feed(const std::uint8_t* data, std::size_t size, std::string& audio, std::vector<std::string>& metadata);

private:
    std::int64_t interval_;
    std::int64_t untilMeta_;
    bool inLength_ = false;
    std::size_t metaLeft_ = 0;
    std::string meta_;
};

} // namespace kolvarin::audio
