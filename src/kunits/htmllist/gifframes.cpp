#include "htmllist/gifframes.h"

#include <cstdint>

namespace kolvarin::gif {

namespace {

constexpr std::size_t ScreenEnd = 13; // header and logical screen descriptor
constexpr std::size_t ControlSize = 8; // 0x21 0xF9 0x04, four data bytes, terminator
constexpr std::size_t DescriptorSize = 10;

// The bytes of one frame, by offset into the data.
struct FrameBlocks {
    std::size_t control = 0; // the graphic control extension
    std::size_t descriptor = 0; // the image descriptor
    std::size_t end = 0; // just after the image data's terminator
    Frame frame;
};

std::uint8_t byteAt(std::string_view data, std::size_t offset) { return std::uint8_t(data[offset]); }

int word(std::string_view data, std::size_t offset) { return byteAt(data, offset) | byteAt(data, offset + 1) << 8; }

bool isFrameMarker(std::string_view data, std::size_t i)
{
    return i + ControlSize < data.size() && byteAt(data, i) == 0x21 && byteAt(data, i + 1) == 0xF9 &&
           byteAt(data, i + 2) == 0x04 && byteAt(data, i + ControlSize) == 0x2C;
}

// Bytes of a colour table announced by a packed field.
std::size_t colorTableSize(std::uint8_t packed) { return (packed & 0x80) ? 3u << ((packed & 7) + 1) : 0; }

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
    const std::size_t d = blocks.descriptor;
    if (d + DescriptorSize + 1 > data.size())
        return std::nullopt;
    blocks.frame.disposal = (byteAt(data, at + 3) >> 2) & 7;
    blocks.frame.delay = word(data, at + 4);
    blocks.frame.left = word(data, d + 1);
    blocks.frame.top = word(data, d + 3);
    blocks.frame.width = word(data, d + 5);
    blocks.frame.height = word(data, d + 7);
    // The local colour table, the LZW code size, then data sub-blocks up to
    // an empty one.
    std::size_t pos = d + DescriptorSize + colorTableSize(byteAt(data, d + 9)) + 1;
    for (;;) {
        if (pos >= data.size())
            return std::nullopt;
        const std::size_t length = byteAt(data, pos);
        ++pos;
        if (length == 0)
            break;
        pos += length;
    }
    blocks.end = pos;
    return blocks;
}

void putWord(std::string& out, int value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

} // namespace

bool IsGif(std::string_view data) { return data.substr(0, 4) == "GIF8"; }

std::optional<LogicalScreen> ReadLogicalScreen(std::string_view data)
{
    if (data.size() < 10)
        return std::nullopt;
    return LogicalScreen{word(data, 6), word(data, 8)};
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
    const std::uint8_t screenPacked = byteAt(data, 10);
    const std::size_t globalTableEnd = ScreenEnd + colorTableSize(screenPacked);
    if (globalTableEnd > blocks->control)
        return {};
    const Frame& frame = blocks->frame;
    std::string out;
    out.reserve(globalTableEnd + (blocks->end - blocks->control) + 1);
    out += "GIF89a";
    putWord(out, frame.width);
    putWord(out, frame.height);
    out.append(data.substr(10, 3)); // packed fields, background index, aspect
    out.append(data.substr(ScreenEnd, globalTableEnd - ScreenEnd));
    out.append(data.substr(blocks->control, ControlSize));
    out += char(0x2C);
    putWord(out, 0);
    putWord(out, 0);
    out.append(data.substr(blocks->descriptor + 5, blocks->end - (blocks->descriptor + 5)));
    out += char(0x3B);
    return out;
}

} // namespace kolvarin::gif
