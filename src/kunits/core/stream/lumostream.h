#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kolvarin {

// A growable memory stream; the base of every stream the XML model reads
// and writes. Positions and sizes are signed 32-bit. Operations report
// failure by their result (0 bytes, position 0) and never throw: a failed
// allocation leaves the stream as it was. Not thread safe.
//
// Invariants: 0 <= Position <= Size <= Capacity; Capacity is a multiple of
// 65,536 (0 for an empty stream); bytes beyond Size read as zero once the
// stream grows over them.
class TLumoStream {
public:
    static constexpr int32_t kCapacityStep = 65536;
    static constexpr int32_t kCopyBlock = 4096;

    TLumoStream() = default;
    virtual ~TLumoStream() = default;
    TLumoStream(const TLumoStream&) = delete;
    TLumoStream& operator=(const TLumoStream&) = delete;

    // Frees the buffer; Position = Size = Capacity = 0.
    virtual void Clear();
    // Copies min(Count, Size - Position) bytes and advances; 0 when Count < 1.
    virtual int32_t Read(void* buffer, int32_t count);
    // Read at Pos; 0 when Pos lies outside 0 .. Size (the stream never grows).
    virtual int32_t ReadAt(int32_t pos, void* buffer, int32_t count);
    // Writes Count bytes at Position, growing Size; returns Count, or 0 when
    // Count < 1 or the stream can't grow that far (nothing is written then).
    virtual int32_t Write(const void* buffer, int32_t count);
    // Position := Pos (0 when negative); a position beyond Size grows the
    // stream to it, zero-filled. Returns the new Position.
    virtual int32_t Seek(int32_t pos);
    virtual int32_t GetPosition() const;
    virtual int32_t GetSize() const;

    // Origin 0 from the start, 1 from the current position, 2 from the end
    // (Size - Offset); any other origin as 0.
    int32_t Seek(int64_t offset, int origin);
    // Memory streams only: Size := N (zero-filled when growing), Position
    // cut to N, Capacity follows. False when N < 0 or memory runs out.
    bool SetSize(int32_t size);
    int32_t Capacity() const { return static_cast<int32_t>(data_.size()); }
    // The memory buffer (Size bytes are meaningful); invalidated by growth.
    const uint8_t* Data() const { return data_.data(); }

    // Clears this stream and copies Other whole; the bytes copied (0 when
    // either stream can't be positioned at 0).
    int32_t Assign(TLumoStream& other);
    // Copies Other whole (from its start) at this stream's position.
    int32_t Append(TLumoStream& other);
    // Copies Count bytes from Other's current position; the bytes copied.
    int32_t CopyFrom(TLumoStream& other, int32_t count);

    // Little-endian readers; missing bytes read as 0.
    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDWord();
    // Bytes up to LF or CR (not included); CR LF and LF CR count as one end.
    std::string ReadLine();
    // A 32-bit length, then that many bytes. False, with Position unchanged,
    // when the length is negative or runs past the end.
    bool ReadString(std::string& text);
    // Text, then CR LF. False when the stream took fewer bytes.
    bool WriteLine(std::string_view text);
    bool WriteText(std::string_view text);
    // The whole content (Position ends at Size); SetText clears and writes.
    std::string GetText();
    void SetText(std::string_view text);
    // One byte at Pos; Position is restored. PeekByte beyond Size gives 0.
    uint8_t PeekByte(int32_t pos);
    void PokeByte(int32_t pos, uint8_t value);

private:
    bool grow(int64_t size);

    std::vector<uint8_t> data_; // size() is the Capacity
    int32_t position_ = 0;
    int32_t size_ = 0;
};

enum class TLumoFileMode {
    Open, // open for reading; a missing file is created empty
    CreateNew, // create or truncate for reading and writing
};

// A stream on a file. The memory buffer of the base is not used. The file
// stays open until Close or destruction. Positions beyond 2 GiB are not
// reachable (sizes are clamped to the 32-bit range).
class TLumoFileStream : public TLumoStream {
public:
    // Open never truncates: a file that exists but can't be read leaves the
    // stream closed (IsOpen false) and the file untouched.
    explicit TLumoFileStream(const std::string& fileName, TLumoFileMode mode = TLumoFileMode::Open);
    ~TLumoFileStream() override;

    bool IsOpen() const { return file_ != nullptr; }
    // Flushes and closes; false when buffered data could not be written.
    bool Close();

    // The memory operations of the base do not apply; Clear empties the file
    // when it is open for writing.
    void Clear() override;
    // The bytes moved, 0 on an I/O error.
    int32_t Read(void* buffer, int32_t count) override;
    int32_t ReadAt(int32_t pos, void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    // Moves only when 0 <= Pos <= file size; returns the file position.
    int32_t Seek(int32_t pos) override;
    using TLumoStream::Seek; // with origin
    int32_t GetPosition() const override;
    int32_t GetSize() const override;

private:
    void switchTo(bool writing);

    std::FILE* file_ = nullptr;
    bool writable_ = false;
    bool lastWasWrite_ = false;
    bool lastWasRead_ = false;
};

} // namespace kolvarin
