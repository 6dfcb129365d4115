#pragma once

// A small DVD authored at test time by dvdauthor from clips the ffmpeg
// command makes (PAL, 352x288): the video manager's menu (one green still
// picture with two buttons, "title 1" above "title 2") and one title set
// with two titles. Title 1 is three 1-second chapters, title 2 one second;
// both have two AC-3 audio streams, "en" (440 Hz) and "de" (880 Hz), and two
// subpicture streams, "en" and "fr". After a title the menu comes back.

#include <filesystem>

namespace ktest::media {

// Solid colours (RGB) of the menu and of the two titles.
constexpr unsigned kDvdMenuColour = 0x208020;
constexpr unsigned kDvdTitle1Colour = 0x2040C0;
constexpr unsigned kDvdTitle2Colour = 0xC08020;
// The buttons' rectangles in picture pixels (left, top, right, bottom).
constexpr int kDvdButton1[4] = {40, 40, 140, 80};
constexpr int kDvdButton2[4] = {40, 120, 140, 160};

// The folder that holds VIDEO_TS, made once per test program.
const std::filesystem::path& DvdFixture();
// A 16:9 PAL disc (720x576) that plays its first title at once: title 1
// of kWideDvdTitle1Seconds in the first title colour, title 2 of two
// seconds in the second; two AC-3 streams, no subpictures. Its title menu is
// a 4:3 still picture of the same size in the menu colour, without buttons.
constexpr int kWideDvdTitle1Seconds = 30;
const std::filesystem::path& WideDvdFixture();
// A copy of the fixture's folder under a new name, for tests that damage it.
std::filesystem::path DvdCopy(const std::string& name);

} // namespace ktest::media
