#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kolvarin::ipc {

// The one record of the single-instance channel, 8108 bytes, little-endian:
// Size (4, bytes sent = Length + 12), Kind (1: 1 data, 0 shutdown), 3 bytes
// padding, Length (4, significant text bytes), Text (8096, zero-terminated).
struct TPipeMessage {
    static constexpr size_t kRecordSize = 8108;
    static constexpr size_t kHeaderSize = 12;
    static constexpr size_t kTextSize = 8096;

    uint8_t Kind = 1;
    std::string Text; // the text up to its zero byte, at most kTextSize - 1 bytes
    std::string Bytes; // after Decode: the Length text bytes as received (clamped)

    // The first Length + 12 bytes of the record, Length counting the zero byte.
    std::string Encode() const;

    // Reads a received record. Neither Size nor Length is trusted: the text is
    // cut at what was received, at 8096 bytes and at its first zero byte. None
    // when fewer than 12 bytes arrived.
    static std::optional<TPipeMessage> Decode(const std::string& received);

    // The server's answer to a received data record: the record with its
    // first Length text bytes reversed (Length clamped as in Decode).
    static std::string Reply(const std::string& received);
};

} // namespace kolvarin::ipc
