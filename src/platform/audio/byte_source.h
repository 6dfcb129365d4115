#pragma once

// Where a decoder's bytes come from: a file (or a part of one), memory, or an
// internet download. Read by one thread at a time.

#include <cstdint>
#include <memory>
#include <string>

namespace kolvarin::audio {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes; 0 at the end; -1 on an error (time-out included).
    virtual int read(std::uint8_t* buffer, int size) = 0;
    // Absolute position; false when not seekable or out of range.
    virtual bool seek(std::int64_t position) = 0;
    virtual std::int64_t position() const = 0;
    // Total size, -1 when not known.
    virtual std::int64_t size() const = 0;
};

// Opens bytes [offset, offset + length) of a file (length 0: to the end).
// Null when the file cannot be opened or the range lies outside it.
std::unique_ptr<ByteSource> openFileSource(const std::string& path, std::int64_t offset, std::int64_t length);
// The caller keeps the memory alive for the source's lifetime.
std::unique_ptr<ByteSource> openMemorySource(const void* data, std::int64_t size);

} // namespace kolvarin::audio
