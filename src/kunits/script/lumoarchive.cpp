#include "script/lumoarchive.h"

#include <array>
#include <cstring>

#include "script/lumoap32.h"
#include "script/lumobytes.h"
#include "script/lumosupport.h"

namespace kolvarin::script {

namespace {

constexpr std::array<uint32_t, 256> MakeMixTable()
{
    std::array<uint32_t, 256> t{};
    uint32_t x = 0x6C8E9CF5u;
    for (auto& v : t) {
        x += 0x9E3779B9u;
        uint32_t z = x;
        z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
        z = (z ^ (z >> 13)) * 0xC2B2AE35u;
        v = (z ^ (z >> 16)) | 1u; // odd, so the state never collapses to 0
    }
    return t;
}
constexpr auto kMix = MakeMixTable();

uint32_t KeyCrc(std::span<const uint8_t> key)
{
    return Crc32(std::string_view(reinterpret_cast<const char*>(key.data()), key.size()));
}

std::span<const uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

void Transform(std::span<uint8_t> data, std::span<const uint8_t> key, bool scrambling)
{
    const uint32_t length = uint32_t(data.size());
    const uint32_t keyLength = uint32_t(key.size());
    uint32_t first = 0;
    for (uint32_t k = 0; k < 4 && k < keyLength; ++k)
        first |= uint32_t(key[k]) << (8 * k);
    const uint32_t seed0 = length ^ first ^ 0x5A17C3E1u;
    const uint32_t seed1 = keyLength * 0x9E3779B1u ^ KeyCrc(key);
    uint32_t a = seed0, b = seed1;
    for (uint8_t k : key) {
        a = (a ^ kMix[(a ^ k) & 0xFF]) * 0x01000193u;
        b = ((b << 5) | (b >> 27)) + kMix[k] + a;
    }
    uint32_t state = (a ^ b) & 0xFFFFFF;
    uint8_t feedback = uint8_t(b);
    for (uint32_t i = 0; i < length; ++i) {
        uint8_t stream = uint8_t(state >> 8) ^ uint8_t(seed0 >> (8 * (i & 3))) ^ uint8_t(seed1 >> (8 * ((i + 1) & 3))) ^
                         (keyLength ? key[i % keyLength] : 0) ^ feedback;
        uint8_t in = data[i];
        data[i] = in ^ stream;
        uint8_t scrambled = scrambling ? data[i] : in;
        uint8_t previous = feedback;
        feedback = uint8_t(scrambled ^ (0xEDB88320u >> (previous & 7)));
        state = (state * kMix[feedback] + kMix[previous]) & 0xFFFFFF;
    }
}

} // namespace

void Scramble(std::span<uint8_t> data, std::span<const uint8_t> key) { Transform(data, key, true); }
void Unscramble(std::span<uint8_t> data, std::span<const uint8_t> key) { Transform(data, key, false); }

TLumoArchiveReader::TLumoArchiveReader(std::unique_ptr<std::istream> stream, std::string firstKey,
                                       std::vector<uint8_t> secondKey)
    : stream_(std::move(stream)), firstKey_(std::move(firstKey)), secondKey_(std::move(secondKey))
{
    if (!stream_) {
        lastError_ = TArchiveError::NotValid;
        return;
    }
    stream_->seekg(0, std::ios::end);
    std::streamoff end = stream_->tellg();
    size_ = end > 0 ? uint64_t(end) : 0;
    uint8_t header[kArchiveHeaderSize];
    if (ReadAt(0, header, sizeof header) && std::memcmp(header, kArchiveSignature, 17) == 0) {
        open_ = valid_ = true;
    } else {
        stream_.reset();
        lastError_ = TArchiveError::NotValid;
    }
}

bool TLumoArchiveReader::ReadAt(uint64_t position, uint8_t* out, uint64_t count)
{
    if (!stream_ || position > size_ || count > size_ - position)
        return false;
    stream_->clear();
    stream_->seekg(std::streamoff(position));
    stream_->read(reinterpret_cast<char*>(out), std::streamsize(count));
    return uint64_t(stream_->gcount()) == count;
}

std::optional<TLumoArchiveFileParam> TLumoArchiveReader::ReadEntry()
{
    if (!valid_)
        return std::nullopt;
    uint8_t h[kArchiveEntryHeaderSize];
    if (!ReadAt(position_, h, sizeof h))
        return std::nullopt;
    Unscramble(h, Bytes(firstKey_));
    TLumoArchiveFileParam entry;
    entry.flag = h[0];
    entry.dataSize = Le32(h + 1);
    entry.keyCrc = Le32(h + 5);
    entry.nameLength = Le16(h + 9);
    entry.name.resize(entry.nameLength);
    if (!ReadAt(position_ + sizeof h, reinterpret_cast<uint8_t*>(entry.name.data()), entry.nameLength))
        return std::nullopt;
    Unscramble({reinterpret_cast<uint8_t*>(entry.name.data()), entry.name.size()}, Bytes(firstKey_));
    position_ += sizeof h + entry.nameLength;
    return entry;
}

bool TLumoArchiveReader::ExtractFile(std::string_view name, std::vector<uint8_t>& destination)
{
    destination.clear();
    if (!valid_) {
        lastError_ = TArchiveError::NotValid;
        return false;
    }
    position_ = kArchiveHeaderSize;
    for (;;) {
        auto entry = ReadEntry();
        if (!entry) {
            lastError_ = TArchiveError::NotFound;
            return false;
        }
        uint64_t dataStart = position_;
        if (entry->dataSize > size_ - dataStart) {
            lastError_ = TArchiveError::Truncated;
            return false;
        }
        position_ = dataStart + entry->dataSize;
        if (entry->flag != 1 || entry->name != name)
            continue;
        if (KeyCrc(secondKey_) != entry->keyCrc) {
            lastError_ = TArchiveError::KeyMismatch;
            return false;
        }
        std::vector<uint8_t> data(entry->dataSize);
        constexpr uint64_t kBlock = 8192;
        for (uint64_t done = 0; done < data.size(); done += kBlock) {
            uint64_t count = std::min<uint64_t>(kBlock, data.size() - done);
            if (!ReadAt(dataStart + done, data.data() + done, count)) {
                lastError_ = TArchiveError::Truncated;
                return false;
            }
        }
        Unscramble(data, Bytes(firstKey_));
        Unscramble(data, secondKey_);
        if (ap32::Unpack(data, destination) != ap32::Ap32Error::None) {
            destination.clear();
            lastError_ = TArchiveError::Unpack;
            return false;
        }
        lastError_ = TArchiveError::None;
        return true;
    }
}

} // namespace kolvarin::script
