#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ktest {

// One member of a test archive. Unset overrides take the true values.
struct ZipMember {
    ZipMember(std::string name, std::string data, std::uint16_t method = 8)
        : Name(std::move(name)), Data(std::move(data)), Method(method)
    {}

    std::string Name;
    std::string Data;
    std::uint16_t Method = 8; // 0 stored, 8 deflated (any other: Data stored as is)
    std::uint16_t Flags = 0;
    std::uint8_t HostSystem = 3;
    std::uint8_t MadeByVersion = 30;
    std::uint32_t DateTime = 0x5A8C6000; // 2025-04-12 12:00:00
    std::string Extra;
    std::string Comment;
    std::optional<std::uint32_t> Crc;
    std::optional<std::uint32_t> CompressedSize;
    std::optional<std::uint32_t> UncompressedSize;
};

// A test archive built byte by byte, with knobs for damaged ones.
struct ZipArchive {
    std::vector<ZipMember> Members;
    std::string Comment;
    std::optional<std::uint16_t> CommentLength;
    std::string Prefix; // bytes before the archive, not counted in its offsets
    std::string Trailing; // bytes after the end record
    bool SpanMarker = false;
    std::uint16_t ThisDisk = 0;
    std::uint16_t CentralDisk = 0;
};

std::string WriteZip(const ZipArchive& archive);

// Reproducible noise.
std::string RandomBytes(std::size_t size, unsigned seed);

// Raw deflate of data.
std::string Deflate(const std::string& data);

} // namespace ktest
