#pragma once

// The platform's format-block structures, as bytes. Each structure has a
// fixed size; a reader refuses a block shorter than that size and reads
// nothing from it, so a block that lies about its layout cannot be read past
// its end.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "media/guid.h"

namespace kolvarin::media {

using REFERENCE_TIME = int64_t; // 100 ns units

struct RECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct BITMAPINFOHEADER {
    static constexpr size_t size = 40;
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

struct VIDEOINFOHEADER {
    static constexpr size_t size = 88;
    RECT rcSource, rcTarget;
    uint32_t dwBitRate = 0;
    uint32_t dwBitErrorRate = 0;
    REFERENCE_TIME AvgTimePerFrame = 0;
    BITMAPINFOHEADER bmiHeader;
};

struct VIDEOINFOHEADER2 {
    static constexpr size_t size = 112;
    RECT rcSource, rcTarget;
    uint32_t dwBitRate = 0;
    uint32_t dwBitErrorRate = 0;
    REFERENCE_TIME AvgTimePerFrame = 0;
    uint32_t dwInterlaceFlags = 0;
    uint32_t dwCopyProtectFlags = 0;
    uint32_t dwPictAspectRatioX = 0;
    uint32_t dwPictAspectRatioY = 0;
    uint32_t dwControlFlags = 0;
    uint32_t dwReserved2 = 0;
    BITMAPINFOHEADER bmiHeader;
};

// MPEG-2 video: the second video header, then start time code, sequence
// header length, profile, level, flags and the sequence header.
struct MPEG2VIDEOINFO {
    static constexpr size_t minimumSize = VIDEOINFOHEADER2::size + 20;
    VIDEOINFOHEADER2 hdr;
    uint32_t dwStartTimeCode = 0;
    uint32_t dwProfile = 0;
    uint32_t dwLevel = 0;
    uint32_t dwFlags = 0;
    std::vector<uint8_t> sequenceHeader;
};

// WAVEFORMATEX; `extra` holds the cbSize bytes that follow.
struct WAVEFORMATEX {
    static constexpr size_t minimumSize = 16; // the fields before cbSize
    static constexpr size_t size = 18;
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    std::vector<uint8_t> extra;
};
inline constexpr uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr uint16_t WAVE_FORMAT_IEEE_FLOAT = 3;
inline constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;
// The sub-format of WAVE_FORMAT_EXTENSIBLE (at offset 24, when cbSize >= 22).
std::optional<GUID> ExtensibleSubFormat(const WAVEFORMATEX& wf);

// What an audio type may claim before a filter sizes anything from it: a
// rate of 1 Hz to 384 kHz, 1 to 64 channels, at most 3,072,000 samples a
// second over all channels (eight channels at 384 kHz, 64 at 48 kHz) and at
// most 64 bits a sample. A filter refuses a type beyond these with
// VFW_E_TYPE_NOT_ACCEPTED.
inline constexpr uint32_t kMaxAudioRate = 384000;
inline constexpr uint32_t kMaxAudioChannels = 64;
inline constexpr uint64_t kMaxAudioSamplesPerSecond = 8 * kMaxAudioRate;
inline constexpr uint32_t kMaxAudioBits = 64;
bool AudioInBounds(uint32_t rate, uint32_t channels, uint32_t bits);

// SUBTITLEINFO: offset of the extra data, a 4-character language code and a
// 256-character UTF-16 track name.
struct SUBTITLEINFO {
    static constexpr size_t size = 520;
    uint32_t dwOffset = 0;
    std::array<char, 4> IsoLang{};
    std::u16string TrackName; // up to 255 characters
};

// The Ogg Vorbis blocks: the first starts with a 16-bit channel count (its
// word padded to 32 bits), then rate, minimum, average and maximum bit rates
// and the quality; the second holds channels, rate, bits per sample and three
// header sizes.
struct VORBISFORMAT {
    static constexpr size_t size = 24;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0, nMinBitsPerSec = 0, nAvgBitsPerSec = 0, nMaxBitsPerSec = 0;
};
struct VORBISFORMAT2 {
    static constexpr size_t size = 24;
    uint32_t Channels = 0, SamplesPerSec = 0, BitsPerSample = 0;
};

std::vector<uint8_t> WriteVideoInfo(const VIDEOINFOHEADER& v, std::span<const uint8_t> trailing = {});
std::vector<uint8_t> WriteVideoInfo2(const VIDEOINFOHEADER2& v, std::span<const uint8_t> trailing = {});
std::vector<uint8_t> WriteMpeg2VideoInfo(const MPEG2VIDEOINFO& v);
std::vector<uint8_t> WriteWaveFormat(const WAVEFORMATEX& w);
std::vector<uint8_t> WriteSubtitleInfo(const SUBTITLEINFO& s, std::span<const uint8_t> trailing = {});
std::vector<uint8_t> WriteVorbisFormat(const VORBISFORMAT& v);
std::vector<uint8_t> WriteVorbisFormat2(const VORBISFORMAT2& v);

// Each reader returns nothing when the block is shorter than the structure
// (WAVEFORMATEX: shorter than 16 bytes, or cbSize reaching past the block).
std::optional<BITMAPINFOHEADER> ReadBitmapInfoHeader(std::span<const uint8_t> block);
std::optional<VIDEOINFOHEADER> ReadVideoInfo(std::span<const uint8_t> block);
std::optional<VIDEOINFOHEADER2> ReadVideoInfo2(std::span<const uint8_t> block);
std::optional<WAVEFORMATEX> ReadWaveFormat(std::span<const uint8_t> block);
std::optional<SUBTITLEINFO> ReadSubtitleInfo(std::span<const uint8_t> block);
std::optional<VORBISFORMAT> ReadVorbisFormat(std::span<const uint8_t> block);
std::optional<VORBISFORMAT2> ReadVorbisFormat2(std::span<const uint8_t> block);

} // namespace kolvarin::media
