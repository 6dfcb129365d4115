#include "audio/icy_parser.h"

#include <algorithm>

namespace kolvarin::audio {

std::int64_t parseMetaInterval(std::string_view value)
{
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
        value.remove_suffix(1);
    if (value.empty() || value.size() > 9)
        return -1;
    std::int64_t n = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= (1 << 24) ? n : -1;
}

void IcyParser::feed(const std::uint8_t* data, std::size_t size, std::string& audio, std::vector<std::string>& metadata)
{
    if (interval_ <= 0) {
        audio.append(reinterpret_cast<const char*>(data), size);
        return;
    }
    while (size > 0) {
        if (metaLeft_ > 0) {
            const std::size_t n = std::min(metaLeft_, size);
            meta_.append(reinterpret_cast<const char*>(data), n);
            data += n;
            size -= n;
            metaLeft_ -= n;
            if (metaLeft_ == 0) {
                meta_.resize(std::min(meta_.size(), meta_.find('\0')));
                if (!meta_.empty())
                    metadata.push_back(meta_);
                meta_.clear();
                untilMeta_ = interval_;
            }
        } else if (inLength_) {
            metaLeft_ = static_cast<std::size_t>(*data) * 16;
            ++data;
            --size;
            inLength_ = false;
            if (metaLeft_ == 0)
                untilMeta_ = interval_;
        } else {
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::int64_t>(untilMeta_, static_cast<std::int64_t>(size)));
            audio.append(reinterpret_cast<const char*>(data), n);
            data += n;
            size -= n;
            untilMeta_ -= static_cast<std::int64_t>(n);
            if (untilMeta_ == 0)
                inLength_ = true;
        }
    }
}

} // namespace kolvarin::audio
