#pragma once
// The script archive reader: one container file of named entries (libraries,
// scripts), each scrambled with two keys and AP32-packed.
//
// Layout: a 21-byte header starting with "LumoScriptArchive", then entries: an
// 11-byte header scrambled with the first key (flag byte, 1 = stored file;
// data size, 32-bit LE; CRC-32 of the second key, 32-bit LE; name length,
// 16-bit LE), the name scrambled with the first key, and the data: the packed
// content scrambled with the second key, then with the first.
//
// The reader owns its stream and never writes. Every size read from the file
// is checked against what is left of it before anything is allocated.
// Thread: one thread at a time.

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvarin::script {

inline constexpr char kArchiveSignature[] = "LumoScriptArchive";
inline constexpr size_t kArchiveHeaderSize = 21;
inline constexpr size_t kArchiveEntryHeaderSize = 11;

enum class TArchiveError : int {
    None = 0,
    NotValid = 1, // no stream or a wrong signature
    NotFound = 2, // no stored entry of that name
    KeyMismatch = 3, // the second key is not the one the entry was written with
    Truncated = 4, // an entry reaches past the end of the file
    Unpack = 5, // the unscrambled data do not unpack
};

struct TLumoArchiveFileParam {
    std::string name;
    uint8_t flag = 0;
    uint32_t dataSize = 0;
    uint32_t keyCrc = 0;
    uint16_t nameLength = 0;
};

// The keyed scrambling of entries. Scramble and Unscramble are inverses for
// the same key; the feedback runs on the scrambled bytes, so both directions
// share one routine.
void Scramble(std::span<uint8_t> data, std::span<const uint8_t> key);
void Unscramble(std::span<uint8_t> data, std::span<const uint8_t> key);

class TLumoArchiveReader {
public:
    // Tests the signature once; a mismatch drops the stream.
    TLumoArchiveReader(std::unique_ptr<std::istream> stream, std::string firstKey, std::vector<uint8_t> secondKey);

    bool IsOpen() const { return open_; }
    bool IsValid() const { return valid_; }

    // The next entry from the current position; nothing at the end, on a
    // damaged header or when the archive is not valid.
    std::optional<TLumoArchiveFileParam> ReadEntry();
    // Extracts the first stored entry called NAME into DESTINATION (emptied
    // first). False with the reason in LastError().
    bool ExtractFile(std::string_view name, std::vector<uint8_t>& destination);
    TArchiveError LastError() const { return lastError_; }

private:
    bool ReadAt(uint64_t position, uint8_t* out, uint64_t count);

    std::unique_ptr<std::istream> stream_;
    std::string firstKey_;
    std::vector<uint8_t> secondKey_;
    uint64_t size_ = 0;
    uint64_t position_ = kArchiveHeaderSize;
    bool open_ = false;
    bool valid_ = false;
    TArchiveError lastError_ = TArchiveError::None;
};

} // namespace kolvarin::script
