#pragma once

// The ID3v2 frame layer shared by the reader and the writer: the tag header,
// the tag body (undoing whole-tag unsynchronisation), the frame walk and the
// text encodings of frame contents. Every size read from the file is
// checked against the tag and the file before it is used.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "playback/ktagfile_p.h"

namespace kolvarin::id3v2 {

constexpr size_t kHeaderSize = 10;

struct Header {
    bool exists = false; // "ID3" with a well-formed size
    uint8_t version = 0;
    uint8_t flags = 0;
    int64_t bodyEnd = 0; // end of the frames area (header + size field)
    int64_t tagSize = 0; // whole tag with a footer; 0 when it overruns the file
};

// The header of a file that starts with head (at least 10 bytes). Sizes
// whose 7-bit bytes have the high bit set are not a tag.
Header ParseHeader(std::string_view head, int64_t fileSize);

// True when frames of this tag can be walked (known version, not a whole-tag
// compressed 2.2 tag, and a size that fits the file).
bool HasFrames(const Header& header);

// The bytes of a tag's frames area at file offsets. Offsets are those of the
// file, unless the tag is unsynchronised as a whole, when they are those of
// the resynchronised bytes (the frame sizes count those).
class TagBody {
public:
    // head: the first bytes of the file, already read.
    TagBody(const tagfile::TagFile& file, const Header& header, std::string head);
    int64_t Start() const { return start_; }
    int64_t End() const { return end_; }
    // Up to count bytes at offset; shorter at End(). Valid until the next call.
    std::string_view Get(int64_t offset, size_t count);

private:
    const tagfile::TagFile& file_;
    std::string cache_;
    int64_t cacheStart_ = 0;
    int64_t start_ = 0;
    int64_t end_ = 0;
    bool whole_ = false;
};

struct Frame {
    std::string id; // 3 characters for version 2.2, else 4
    uint8_t formatFlags = 0; // second flag byte (2.3 and 2.4)
    int64_t offset = 0; // of the frame header
    int64_t headerSize = 0;
    int64_t dataSize = 0;
};

// Calls visit(const Frame&) for each frame in order. Stops at padding or
// anything else that is not a frame ID, at a frame that overruns the tag and at
// a 2.4 size that is neither syncsafe nor a plain size ending at a frame
// boundary. Every step moves forward by at least a frame header.
template <class Visit>
void WalkFrames(TagBody& body, const Header& header, Visit&& visit);

// The content of a frame for reading: at most limit bytes, grouping and
// data-length bytes removed, unsynchronisation undone. Nothing for
// compressed or encrypted frames.
std::optional<std::string> FrameContent(TagBody& body, const Header& header, const Frame& frame, size_t limit);

// Removes the 00 that follows each FF.
std::string Resync(std::string_view bytes);

// Text of a frame body in its encoding (0 Windows-1252, 1 UTF-16 with an
// optional byte-order mark, 2 UTF-16 big-endian, 3 UTF-8), up to its
// terminator; empty for unknown encodings.
std::u16string DecodeText(uint8_t encoding, std::string_view bytes);

// Splits bytes at the first terminator of the encoding (a 00 byte, or for
// UTF-16 a 00 00 pair at an even offset) into what comes before and after.
// Without a terminator everything is before it.
void SplitTerminated(uint8_t encoding, std::string_view bytes, std::string_view& before, std::string_view& after);

// True when a description (the bytes before a terminator) holds no
// character, a byte-order mark alone included.
bool IsEmptyDescription(uint8_t encoding, std::string_view description);

// Big-endian numbers.
uint32_t ReadBE(std::string_view bytes, size_t count);
// A syncsafe number of four 7-bit bytes; false when a high bit is set.
bool ReadSyncsafe(std::string_view bytes, uint32_t& value);

// An ID of upper-case letters and digits that starts with a letter.
bool IsFrameId(std::string_view id);

// True when offset is the tag's end, the start of its padding or of a
// frame with a well-formed 4-character ID.
bool EndsAtFrameBoundary(TagBody& body, int64_t offset);

template <class Visit>
void WalkFrames(TagBody& body, const Header& header, Visit&& visit)
{
    const int64_t headerSize = header.version == 2 ? 6 : 10;
    int64_t pos = body.Start();
    while (body.End() - pos >= headerSize) {
        std::string_view bytes = body.Get(pos, static_cast<size_t>(headerSize));
        if (static_cast<int64_t>(bytes.size()) < headerSize || !IsFrameId(bytes.substr(0, header.version == 2 ? 3 : 4)))
            return;
        Frame frame;
        frame.offset = pos;
        frame.headerSize = headerSize;
        uint32_t size = 0;
        if (header.version == 2) {
            frame.id.assign(bytes.substr(0, 3));
            size = ReadBE(bytes.substr(3), 3);
        } else {
            frame.id.assign(bytes.substr(0, 4));
            frame.formatFlags = static_cast<uint8_t>(bytes[9]);
            if (header.version == 4) {
                const uint32_t plain = ReadBE(bytes.substr(4), 4);
                const bool syncsafe = ReadSyncsafe(bytes.substr(4), size);
                // Some writers put 2.3-style sizes into 2.4 tags: a size
                // above 127 is taken plainly when only that reading ends
                // where the next frame, the padding or the tag end begins.
                if (plain > 127 && !(syncsafe && EndsAtFrameBoundary(body, pos + headerSize + size)) &&
                    EndsAtFrameBoundary(body, pos + headerSize + plain))
                    size = plain;
                else if (!syncsafe)
                    return;
            } else {
                size = ReadBE(bytes.substr(4), 4);
            }
        }
        if (size > body.End() - pos - headerSize)
            return;
        frame.dataSize = size;
        visit(frame);
        pos += headerSize + size;
    }
}

} // namespace kolvarin::id3v2
