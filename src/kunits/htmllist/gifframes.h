#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kolvarin::gif {

// The frame walker of animated GIF pictures. Every offset is checked against
// the data before it is read; nothing here throws or reads past the end.

// Data starting with "GIF8".
bool IsGif(std::string_view data);

struct LogicalScreen {
    int width = 0;
    int height = 0;
};
// The 16-bit logical screen size at offsets 6 and 8; nullopt when the data
// is shorter than that.
std::optional<LogicalScreen> ReadLogicalScreen(std::string_view data);

// The frames counted over the whole data, byte by byte: each 0x21 0xF9 0x04
// (a graphic control extension of four bytes) with the image separator 0x2C
// eight bytes after the 0x21 is one frame.
int CountFrames(std::string_view data);

struct Frame {
    int delay = 0; // hundredths of a second
    int disposal = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
// Frame n (1-based) as CountFrames counts them; nullopt when there is no
// such frame or its image blocks run past the data.
std::optional<Frame> ReadFrame(std::string_view data, int n);

// A GIF that holds frame n alone: the header, a logical screen of the
// frame's size with the global colour table, the frame's control extension,
// its image at (0, 0) with its local colour table and data, and the trailer.
// Empty when ReadFrame fails.
std::string SingleFrameImage(std::string_view data, int n);

} // namespace kolvarin::gif
