#pragma once

// Media files for the video side, made once per test program by the ffmpeg
// command in a temporary folder: small clips whose left half is one colour
// and right half another, so a test can check the picture it reads back.

#include <filesystem>
#include <string>

namespace ktest::media {

// The two colours of every clip's picture (RGB).
constexpr unsigned kLeftColour = 0x2040C0;
constexpr unsigned kRightColour = 0xC08020;
constexpr int kWidth = 160, kHeight = 120;

// H.264 video, two audio streams ("eng" and "ger", titled) and an SRT
// subtitle stream ("eng"), 2 s.
const std::filesystem::path& MkvFixture();
// MPEG-4 part 2 video with FourCC XVID and MP3 audio, 2 s.
const std::filesystem::path& AviFixture();
// Motion JPEG (full-range YUV) and PCM audio in AVI, 1 s.
const std::filesystem::path& MjpegFixture();
// H.264 and AAC, 2 s.
const std::filesystem::path& Mp4Fixture();
// As Mp4Fixture in Matroska, its pixels 4:3 wide: the picture shows 16:9.
const std::filesystem::path& AnamorphicFixture();
// FLAC audio only, 1 s, 44.1 kHz stereo.
const std::filesystem::path& AudioFixture();
// 16-bit PCM audio only in Matroska, 3 s, 44.1 kHz stereo; the rate is an
// 8-byte float element (0xB5 0x88), so a test can make the header lie.
const std::filesystem::path& PcmMkvFixture();
// A larger clip for timing (seconds, size), H.264 in MP4, cached by name.
std::filesystem::path TimedClip(const std::string& name, int seconds, int width, int height, int rate);
// The UTF-16 file name the framework takes for a path.
std::u16string FileName(const std::filesystem::path& path);
// The temporary folder the fixtures are made in (removed at exit).
const std::filesystem::path& MediaFolder();
// A file with the given bytes in the media folder.
std::filesystem::path WriteFile(const std::string& name, const std::string& bytes);

} // namespace ktest::media
