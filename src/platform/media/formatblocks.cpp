#include "media/formatblocks.h"

#include "base/bytereader.h"

namespace kolvarin::media {
namespace {

using Writer = ByteWriter<std::vector<uint8_t>>;

void PutRect(Writer& w, const RECT& r)
{
    w.U32(static_cast<uint32_t>(r.left));
    w.U32(static_cast<uint32_t>(r.top));
    w.U32(static_cast<uint32_t>(r.right));
    w.U32(static_cast<uint32_t>(r.bottom));
}

bool GetRect(ByteReader& r, RECT& out)
{
    return r.I32(out.left) && r.I32(out.top) && r.I32(out.right) && r.I32(out.bottom);
}

void PutBitmapInfo(Writer& w, const BITMAPINFOHEADER& b)
{
    w.U32(static_cast<uint32_t>(BITMAPINFOHEADER::size));
    w.U32(static_cast<uint32_t>(b.biWidth));
    w.U32(static_cast<uint32_t>(b.biHeight));
    w.U16(b.biPlanes);
    w.U16(b.biBitCount);
    w.U32(b.biCompression);
    w.U32(b.biSizeImage);
    w.U32(static_cast<uint32_t>(b.biXPelsPerMeter));
    w.U32(static_cast<uint32_t>(b.biYPelsPerMeter));
    w.U32(b.biClrUsed);
    w.U32(b.biClrImportant);
}

bool GetBitmapInfo(ByteReader& r, BITMAPINFOHEADER& b)
{
    return r.U32(b.biSize) && r.I32(b.biWidth) && r.I32(b.biHeight) && r.U16(b.biPlanes) && r.U16(b.biBitCount) &&
           r.U32(b.biCompression) && r.U32(b.biSizeImage) && r.I32(b.biXPelsPerMeter) && r.I32(b.biYPelsPerMeter) &&
           r.U32(b.biClrUsed) && r.U32(b.biClrImportant);
}

template <class Header>
void PutVideoStart(Writer& w, const Header& v)
{
    PutRect(w, v.rcSource);
    PutRect(w, v.rcTarget);
    w.U32(v.dwBitRate);
    w.U32(v.dwBitErrorRate);
    w.U64(static_cast<uint64_t>(v.AvgTimePerFrame));
}

template <class Header>
bool GetVideoStart(ByteReader& r, Header& v)
{
    return GetRect(r, v.rcSource) && GetRect(r, v.rcTarget) && r.U32(v.dwBitRate) && r.U32(v.dwBitErrorRate) &&
           r.I64(v.AvgTimePerFrame);
}

void PutVideoInfo2(Writer& w, const VIDEOINFOHEADER2& v)
{
    PutVideoStart(w, v);
    w.U32(v.dwInterlaceFlags);
    w.U32(v.dwCopyProtectFlags);
    w.U32(v.dwPictAspectRatioX);
    w.U32(v.dwPictAspectRatioY);
    w.U32(v.dwControlFlags);
    w.U32(v.dwReserved2);
    PutBitmapInfo(w, v.bmiHeader);
}

} // namespace

std::optional<GUID> ExtensibleSubFormat(const WAVEFORMATEX& wf)
{
    ByteReader r(wf.extra);
    GUID id;
    if (wf.wFormatTag != WAVE_FORMAT_EXTENSIBLE || !r.Skip(6) || !GetGuid(r, id))
        return std::nullopt;
    return id;
}

bool AudioInBounds(uint32_t rate, uint32_t channels, uint32_t bits)
{
    return rate >= 1 && rate <= kMaxAudioRate && channels >= 1 && channels <= kMaxAudioChannels &&
           uint64_t(rate) * channels <= kMaxAudioSamplesPerSecond && bits <= kMaxAudioBits;
}

std::vector<uint8_t> WriteVideoInfo(const VIDEOINFOHEADER& v, std::span<const uint8_t> trailing)
{
    std::vector<uint8_t> out;
    Writer w(out);
    PutVideoStart(w, v);
    PutBitmapInfo(w, v.bmiHeader);
    w.Bytes(trailing.data(), trailing.size());
    return out;
}

std::vector<uint8_t> WriteVideoInfo2(const VIDEOINFOHEADER2& v, std::span<const uint8_t> trailing)
{
    std::vector<uint8_t> out;
    Writer w(out);
    PutVideoInfo2(w, v);
    w.Bytes(trailing.data(), trailing.size());
    return out;
}

std::vector<uint8_t> WriteMpeg2VideoInfo(const MPEG2VIDEOINFO& v)
{
    std::vector<uint8_t> out;
    Writer w(out);
    PutVideoInfo2(w, v.hdr);
    w.U32(v.dwStartTimeCode);
    w.U32(static_cast<uint32_t>(v.sequenceHeader.size()));
    w.U32(v.dwProfile);
    w.U32(v.dwLevel);
    w.U32(v.dwFlags);
    w.Bytes(v.sequenceHeader.data(), v.sequenceHeader.size());
    if (v.sequenceHeader.size() < 4) // dwSequenceHeader[1] is part of the structure
        for (size_t i = v.sequenceHeader.size(); i < 4; ++i)
            w.U8(0);
    return out;
}

std::vector<uint8_t> WriteWaveFormat(const WAVEFORMATEX& f)
{
    std::vector<uint8_t> out;
    Writer w(out);
    w.U16(f.wFormatTag);
    w.U16(f.nChannels);
    w.U32(f.nSamplesPerSec);
    w.U32(f.nAvgBytesPerSec);
    w.U16(f.nBlockAlign);
    w.U16(f.wBitsPerSample);
    w.U16(static_cast<uint16_t>(f.extra.size()));
    w.Bytes(f.extra.data(), f.extra.size());
    return out;
}

std::vector<uint8_t> WriteSubtitleInfo(const SUBTITLEINFO& s, std::span<const uint8_t> trailing)
{
    std::vector<uint8_t> out;
    Writer w(out);
    w.U32(trailing.empty() ? s.dwOffset : static_cast<uint32_t>(SUBTITLEINFO::size));
    for (char c : s.IsoLang)
        w.U8(static_cast<uint8_t>(c));
    for (size_t i = 0; i < 256; ++i)
        w.U16(i < s.TrackName.size() && i < 255 ? s.TrackName[i] : 0);
    w.Bytes(trailing.data(), trailing.size());
    return out;
}

std::vector<uint8_t> WriteVorbisFormat(const VORBISFORMAT& v)
{
    std::vector<uint8_t> out;
    Writer w(out);
    w.U16(v.nChannels);
    w.U16(0);
    w.U32(v.nSamplesPerSec);
    w.U32(v.nMinBitsPerSec);
    w.U32(v.nAvgBitsPerSec);
    w.U32(v.nMaxBitsPerSec);
    w.U32(0);
    return out;
}

std::vector<uint8_t> WriteVorbisFormat2(const VORBISFORMAT2& v)
{
    std::vector<uint8_t> out;
    Writer w(out);
    w.U32(v.Channels);
    w.U32(v.SamplesPerSec);
    w.U32(v.BitsPerSample);
    for (int i = 0; i < 12; ++i)
        w.U8(0);
    return out;
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
    if (!GetVideoStart(r, v) || !r.U32(v.dwInterlaceFlags) || !r.U32(v.dwCopyProtectFlags) ||
        !r.U32(v.dwPictAspectRatioX) || !r.U32(v.dwPictAspectRatioY) || !r.U32(v.dwControlFlags) ||
        !r.U32(v.dwReserved2) || !GetBitmapInfo(r, v.bmiHeader))
        return std::nullopt;
    return v;
}

std::optional<WAVEFORMATEX> ReadWaveFormat(std::span<const uint8_t> block)
{
    if (block.size() < WAVEFORMATEX::minimumSize)
        return std::nullopt;
    ByteReader r(block);
    WAVEFORMATEX f;
    r.U16(f.wFormatTag);
    r.U16(f.nChannels);
    r.U32(f.nSamplesPerSec);
    r.U32(f.nAvgBytesPerSec);
    r.U16(f.nBlockAlign);
    r.U16(f.wBitsPerSample);
    uint16_t extra = 0;
    if (r.U16(extra)) {
        if (extra > r.Remaining())
            return std::nullopt;
        f.extra.resize(extra);
        r.Bytes(f.extra.data(), extra);
    }
    return f;
}

std::optional<SUBTITLEINFO> ReadSubtitleInfo(std::span<const uint8_t> block)
{
    if (block.size() < SUBTITLEINFO::size)
        return std::nullopt;
    ByteReader r(block);
    SUBTITLEINFO s;
    r.U32(s.dwOffset);
    for (char& c : s.IsoLang) {
        uint8_t b = 0;
        r.U8(b);
        c = static_cast<char>(b);
    }
    for (int i = 0; i < 256; ++i) {
        uint16_t ch = 0;
        r.U16(ch);
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
    r.U16(v.nChannels);
    r.Skip(2);
    r.U32(v.nSamplesPerSec);
    r.U32(v.nMinBitsPerSec);
    r.U32(v.nAvgBitsPerSec);
    r.U32(v.nMaxBitsPerSec);
    return v;
}

std::optional<VORBISFORMAT2> ReadVorbisFormat2(std::span<const uint8_t> block)
{
    if (block.size() < VORBISFORMAT2::size)
        return std::nullopt;
    ByteReader r(block);
    VORBISFORMAT2 v;
    r.U32(v.Channels);
    r.U32(v.SamplesPerSec);
    r.U32(v.BitsPerSample);
    return v;
}

} // namespace kolvarin::media
