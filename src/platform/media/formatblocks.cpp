#include "media/formatblocks.h"

#include "media/bytes.h"

namespace kolvarin::media {
namespace {

void PutRect(ByteWriter& w, const RECT& r)
{
    w.i32(r.left);
    w.i32(r.top);
    w.i32(r.right);
    w.i32(r.bottom);
}

bool GetRect(ByteReader& r, RECT& out)
{
    return r.i32(out.left) && r.i32(out.top) && r.i32(out.right) && r.i32(out.bottom);
}

void PutBitmapInfo(ByteWriter& w, const BITMAPINFOHEADER& b)
{
    w.u32(static_cast<uint32_t>(BITMAPINFOHEADER::size));
    w.i32(b.biWidth);
    w.i32(b.biHeight);
    w.u16(b.biPlanes);
    w.u16(b.biBitCount);
    w.u32(b.biCompression);
    w.u32(b.biSizeImage);
    w.i32(b.biXPelsPerMeter);
    w.i32(b.biYPelsPerMeter);
    w.u32(b.biClrUsed);
    w.u32(b.biClrImportant);
}

bool GetBitmapInfo(ByteReader& r, BITMAPINFOHEADER& b)
{
    return r.u32(b.biSize) && r.i32(b.biWidth) && r.i32(b.biHeight) && r.u16(b.biPlanes) && r.u16(b.biBitCount) &&
           r.u32(b.biCompression) && r.u32(b.biSizeImage) && r.i32(b.biXPelsPerMeter) && r.i32(b.biYPelsPerMeter) &&
           r.u32(b.biClrUsed) && r.u32(b.biClrImportant);
}

template <class Header>
void PutVideoStart(ByteWriter& w, const Header& v)
{
    PutRect(w, v.rcSource);
    PutRect(w, v.rcTarget);
    w.u32(v.dwBitRate);
    w.u32(v.dwBitErrorRate);
    w.i64(v.AvgTimePerFrame);
}

template <class Header>
bool GetVideoStart(ByteReader& r, Header& v)
{
    return GetRect(r, v.rcSource) && GetRect(r, v.rcTarget) && r.u32(v.dwBitRate) && r.u32(v.dwBitErrorRate) &&
           r.i64(v.AvgTimePerFrame);
}

void PutVideoInfo2(ByteWriter& w, const VIDEOINFOHEADER2& v)
{
    PutVideoStart(w, v);
    w.u32(v.dwInterlaceFlags);
    w.u32(v.dwCopyProtectFlags);
    w.u32(v.dwPictAspectRatioX);
    w.u32(v.dwPictAspectRatioY);
    w.u32(v.dwControlFlags);
    w.u32(v.dwReserved2);
    PutBitmapInfo(w, v.bmiHeader);
}

} // namespace

std::optional<GUID> ExtensibleSubFormat(const WAVEFORMATEX& wf)
{
    if (wf.wFormatTag != WAVE_FORMAT_EXTENSIBLE || wf.extra.size() < 22)
        return std::nullopt;
    return GuidFromBytes(wf.extra.data() + 6);
}

std::vector<uint8_t> WriteVideoInfo(const VIDEOINFOHEADER& v, std::span<const uint8_t> trailing)
{
    ByteWriter w;
    PutVideoStart(w, v);
    PutBitmapInfo(w, v.bmiHeader);
    w.bytes(trailing.data(), trailing.size());
    return std::move(w.data());
}

std::vector<uint8_t> WriteVideoInfo2(const VIDEOINFOHEADER2& v, std::span<const uint8_t> trailing)
{
    ByteWriter w;
    PutVideoInfo2(w, v);
    w.bytes(trailing.data(), trailing.size());
    return std::move(w.data());
}

std::vector<uint8_t> WriteMpeg2VideoInfo(const MPEG2VIDEOINFO& v)
{
    ByteWriter w;
    PutVideoInfo2(w, v.hdr);
    w.u32(v.dwStartTimeCode);
    w.u32(static_cast<uint32_t>(v.sequenceHeader.size()));
    w.u32(v.dwProfile);
    w.u32(v.dwLevel);
    w.u32(v.dwFlags);
    w.bytes(v.sequenceHeader.data(), v.sequenceHeader.size());
    if (v.sequenceHeader.size() < 4) // dwSequenceHeader[1] is part of the structure
        w.zeros(4 - v.sequenceHeader.size());
    return std::move(w.data());
}

std::vector<uint8_t> WriteWaveFormat(const WAVEFORMATEX& f)
{
    ByteWriter w;
    w.u16(f.wFormatTag);
    w.u16(f.nChannels);
    w.u32(f.nSamplesPerSec);
    w.u32(f.nAvgBytesPerSec);
    w.u16(f.nBlockAlign);
    w.u16(f.wBitsPerSample);
    w.u16(static_cast<uint16_t>(f.extra.size()));
    w.bytes(f.extra.data(), f.extra.size());
    return std::move(w.data());
}

std::vector<uint8_t> WriteSubtitleInfo(const SUBTITLEINFO& s, std::span<const uint8_t> trailing)
{
    ByteWriter w;
    w.u32(trailing.empty() ? s.dwOffset : static_cast<uint32_t>(SUBTITLEINFO::size));
    for (char c : s.IsoLang)
        w.u8(static_cast<uint8_t>(c));
    for (size_t i = 0; i < 256; ++i)
        w.u16(i < s.TrackName.size() && i < 255 ? s.TrackName[i] : 0);
    w.bytes(trailing.data(), trailing.size());
    return std::move(w.data());
}

std::vector<uint8_t> WriteVorbisFormat(const VORBISFORMAT& v)
{
    ByteWriter w;
    w.u16(v.nChannels);
    w.u16(0);
    w.u32(v.nSamplesPerSec);
    w.u32(v.nMinBitsPerSec);
    w.u32(v.nAvgBitsPerSec);
    w.u32(v.nMaxBitsPerSec);
    w.u32(0);
    return std::move(w.data());
}

std::vector<uint8_t> WriteVorbisFormat2(const VORBISFORMAT2& v)
{
    ByteWriter w;
    w.u32(v.Channels);
    w.u32(v.SamplesPerSec);
    w.u32(v.BitsPerSample);
    w.zeros(12);
    return std::move(w.data());
}

std::optional<BITMAPINFOHEADER> ReadBitmapInfoHeader(std::span<const uint8_t> block)
{
    ByteReader r(block);
    BITMAPINFOHEADER b;
    if (block.size() < BITMAPINFOHEADER::size || !GetBitmapInfo(r, b))
        return std::nullopt;
    return b;
}

std::optional<VIDEOINFOHEADER> ReadVideoInfo(std::span<const uint8_t> block)
{
    if (block.size() < VIDEOINFOHEADER::size)
        return std::nullopt;
    ByteReader r(block);
    VIDEOINFOHEADER v;
    if (!GetVideoStart(r, v) || !GetBitmapInfo(r, v.bmiHeader))
        return std::nullopt;
    return v;
}

std::optional<VIDEOINFOHEADER2> ReadVideoInfo2(std::span<const uint8_t> block)
{
    if (block.size() < VIDEOINFOHEADER2::size)
        return std::nullopt;
    ByteReader r(block);
    VIDEOINFOHEADER2 v;
    if (!GetVideoStart(r, v) || !r.u32(v.dwInterlaceFlags) || !r.u32(v.dwCopyProtectFlags) ||
        !r.u32(v.dwPictAspectRatioX) || !r.u32(v.dwPictAspectRatioY) || !r.u32(v.dwControlFlags) ||
        !r.u32(v.dwReserved2) || !GetBitmapInfo(r, v.bmiHeader))
        return std::nullopt;
    return v;
}

std::optional<WAVEFORMATEX> ReadWaveFormat(std::span<const uint8_t> block)
{
    if (block.size() < WAVEFORMATEX::minimumSize)
        return std::nullopt;
    ByteReader r(block);
    WAVEFORMATEX f;
    r.u16(f.wFormatTag);
    r.u16(f.nChannels);
    r.u32(f.nSamplesPerSec);
    r.u32(f.nAvgBytesPerSec);
    r.u16(f.nBlockAlign);
    r.u16(f.wBitsPerSample);
    uint16_t extra = 0;
    if (r.u16(extra)) {
        if (extra > r.remaining())
            return std::nullopt;
        f.extra.resize(extra);
        r.bytes(f.extra.data(), extra);
    }
    return f;
}

std::optional<SUBTITLEINFO> ReadSubtitleInfo(std::span<const uint8_t> block)
{
    if (block.size() < SUBTITLEINFO::size)
        return std::nullopt;
    ByteReader r(block);
    SUBTITLEINFO s;
    r.u32(s.dwOffset);
    for (char& c : s.IsoLang) {
        uint8_t b = 0;
        r.u8(b);
        c = static_cast<char>(b);
    }
    for (int i = 0; i < 256; ++i) {
        uint16_t ch = 0;
        r.u16(ch);
        if (ch == 0)
            break;
        s.TrackName.push_back(static_cast<char16_t>(ch));
    }
    return s;
}

std::optional<VORBISFORMAT> ReadVorbisFormat(std::span<const uint8_t> block)
{
    if (block.size() < VORBISFORMAT::size)
        return std::nullopt;
    ByteReader r(block);
    VORBISFORMAT v;
    r.u16(v.nChannels);
    r.skip(2);
    r.u32(v.nSamplesPerSec);
    r.u32(v.nMinBitsPerSec);
    r.u32(v.nAvgBitsPerSec);
    r.u32(v.nMaxBitsPerSec);
    return v;
}

std::optional<VORBISFORMAT2> ReadVorbisFormat2(std::span<const uint8_t> block)
{
    if (block.size() < VORBISFORMAT2::size)
        return std::nullopt;
    ByteReader r(block);
    VORBISFORMAT2 v;
    r.u32(v.Channels);
    r.u32(v.SamplesPerSec);
    r.u32(v.BitsPerSample);
    return v;
}

} // namespace kolvarin::media
