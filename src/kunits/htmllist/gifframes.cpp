#include "htmllist/gifframes.h"

#include <cstdint>

#include "base/bytereader.h"

namespace kolvarin::gif {

namespace {

constexpr std::size_t ScreenEnd = 13; // header and logical screen descriptor
constexpr std::size_t ControlSize = 8; // 0x21 0xF9 0x04, four data bytes, terminator

// The bytes of one frame, by offset into the data.
struct FrameBlocks {
    std::size_t control = 0; // the graphic control extension
    std::size_t descriptor = 0; // the image descriptor
    std::size_t end = 0; // just after the image data's terminator
    Frame frame;
};

std::uint8_t byteAt(std::string_view data, std::size_t offset) { return std::uint8_t(data[offset]); }

bool isFrameMarker(std::string_view data, std::size_t i)
{
    return i + ControlSize < data.size() && byteAt(data, i) == 0x21 && byteAt(data, i + 1) == 0xF9 &&
           byteAt(data, i + 2) == 0x04 && byteAt(data, i + ControlSize) == 0x2C;
}

// Bytes of a colour table announced by a packed field.
std::size_t colorTableSize(std::uint8_t packed) { return (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0; }

// The n-th marker, read from there on: the control extension's fields, the
// image descriptor, the local colour table, the LZW code size and the data
// sub-blocks up to an empty one.
std::optional<FrameBlocks> findFrame(std::string_view data, int n)
{
    if (n < 1 || !IsGif(data))
        return std::nullopt;
    std::size_t at = 0;
    for (int seen = 0;; ++at) {
        if (at + ControlSize >= data.size())
            return std::nullopt;
        if (isFrameMarker(data, at) && ++seen == n)
            break;
    }
    FrameBlocks blocks;
    blocks.control = at;
    blocks.descriptor = at + ControlSize;
    ByteReader reader(data);
    std::uint8_t packed = 0;
    std::uint16_t delay = 0;
    std::uint16_t left = 0, top = 0, width = 0, height = 0;
    std::uint8_t imagePacked = 0;
    if (!reader.Seek(at + 3) || !reader.U8(packed) || !reader.U16(delay) || !reader.Seek(blocks.descriptor + 1) ||
        !reader.U16(left) || !reader.U16(top) || !reader.U16(width) || !reader.U16(height) || !reader.U8(imagePacked) ||
        !reader.Skip(colorTableSize(imagePacked) + 1))
        return std::nullopt;
    for (std::uint8_t length = 1; length != 0;)
        if (!reader.U8(length) || !reader.Skip(length))
            return std::nullopt;
    blocks.frame = {delay, (packed >> 2) & 7, left, top, width, height};
    blocks.end = reader.Position();
    return blocks;
}

} // namespace

bool IsGif(std::string_view data) { return data.substr(0, 4) == "GIF8"; }

std::optional<LogicalScreen> ReadLogicalScreen(std::string_view data)
{
    ByteReader reader(data);
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    if (!reader.Seek(6) || !reader.U16(width) || !reader.U16(height))
        return std::nullopt;
    return LogicalScreen{width, height};
}

int CountFrames(std::string_view data)
{
    int frames = 0;
    for (std::size_t i = 0; i + ControlSize < data.size(); ++i)
        if (isFrameMarker(data, i))
            ++frames;
    return frames;
}

std::optional<Frame> ReadFrame(std::string_view data, int n)
{
    const std::optional<FrameBlocks> blocks = findFrame(data, n);
    if (!blocks)
        return std::nullopt;
    return blocks->frame;
}

std::string SingleFrameImage(std::string_view data, int n)
{
    const std::optional<FrameBlocks> blocks = findFrame(data, n);
    if (!blocks || data.size() < ScreenEnd)
        return {};
    const std::size_t globalTableEnd = ScreenEnd + colorTableSize(byteAt(data, 10));
    if (globalTableEnd > blocks->control)
        return {};
    const Frame& frame = blocks->frame;
    std::string out;
    out.reserve(globalTableEnd + (blocks->end - blocks->control) + 1);
    ByteWriter writer(out);
    writer.Bytes("GIF89a");
    writer.U16(std::uint16_t(frame.width));
    writer.U16(std::uint16_t(frame.height));
    writer.Bytes(data.substr(10, 3)); // packed fields, background index, aspect
    writer.Bytes(data.substr(ScreenEnd, globalTableEnd - ScreenEnd));
    writer.Bytes(data.substr(blocks->control, ControlSize));
    writer.U8(0x2C);
    writer.U16(0); // the frame at the image's top-left corner
    writer.U16(0);
    writer.Bytes(data.substr(blocks->descriptor + 5, blocks->end - (blocks->descriptor + 5)));
    writer.U8(0x3B);
    return out;
}

} // namespace kolvarin::gif
