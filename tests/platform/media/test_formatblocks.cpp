#include "media/formatblocks.h"

#include <gtest/gtest.h>

#include "base/bytereader.h"
#include "media/guid.h"

using namespace kolvarin::media;

TEST(Guid, TextRoundTripAndRefusals)
{
    const GUID id{0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
    EXPECT_EQ(GuidToString(id), "{05589F80-C356-11CE-BF01-00AA0055595A}");
    EXPECT_EQ(GuidFromString("{05589f80-c356-11ce-bf01-00aa0055595a}"), id);
    for (const char* bad : {"", "{05589F80-C356-11CE-BF01-00AA0055595}", "{05589F80-C356-11CE-BF01-00AA0055595G}",
                            "05589F80-C356-11CE-BF01-00AA0055595A12", "{05589F80+C356-11CE-BF01-00AA0055595A}"})
        EXPECT_FALSE(GuidFromString(bad)) << bad;
    const auto bytes = GuidBytes(id);
    EXPECT_EQ(bytes[0], 0x80); // Data1 little-endian
    GUID back;
    kolvarin::ByteReader whole(bytes.data(), bytes.size());
    ASSERT_TRUE(GetGuid(whole, back));
    EXPECT_EQ(back, id);
    kolvarin::ByteReader cut(bytes.data(), 15);
    EXPECT_FALSE(GetGuid(cut, back));
    EXPECT_EQ(cut.Position(), 0u);
}

TEST(FormatBlocks, StructuresHaveThePlatformSizesAndRoundTrip)
{
    VIDEOINFOHEADER v;
    v.AvgTimePerFrame = 400000;
    v.bmiHeader.biWidth = 720;
    v.bmiHeader.biHeight = -576;
    v.bmiHeader.biCompression = MakeFourCC('X', 'V', 'I', 'D');
    const auto bytes = WriteVideoInfo(v);
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(bytes[48], 40); // biSize right after the 48-byte head
    const auto back = ReadVideoInfo(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->AvgTimePerFrame, 400000);
    EXPECT_EQ(back->bmiHeader.biHeight, -576);
    EXPECT_EQ(back->bmiHeader.biCompression, MakeFourCC('X', 'V', 'I', 'D'));

    VIDEOINFOHEADER2 v2;
    v2.dwPictAspectRatioX = 16;
    EXPECT_EQ(WriteVideoInfo2(v2).size(), 112u);
    EXPECT_EQ(ReadVideoInfo2(WriteVideoInfo2(v2))->dwPictAspectRatioX, 16u);

    WAVEFORMATEX w;
    w.wFormatTag = 0x55;
    w.nChannels = 2;
    w.nSamplesPerSec = 48000;
    w.extra = {1, 2, 3};
    const auto wb = WriteWaveFormat(w);
    ASSERT_EQ(wb.size(), 21u);
    EXPECT_EQ(ReadWaveFormat(wb)->extra, w.extra);

    SUBTITLEINFO s;
    s.IsoLang = {'e', 'n', 'g', 0};
    s.TrackName = u"Director";
    const auto sb = WriteSubtitleInfo(s);
    ASSERT_EQ(sb.size(), 520u);
    EXPECT_EQ(ReadSubtitleInfo(sb)->TrackName, u"Director");
}

TEST(FormatBlocks, ShortOrLyingBlocksAreRefused)
{
    const std::vector<uint8_t> zeros(200);
    struct Case {
        size_t size;
        bool video, video2, wave, subtitle;
    } cases[] = {
        {0, false, false, false, false}, {15, false, false, false, false}, {16, false, false, true, false},
        {87, false, false, true, false}, {88, true, false, true, false},   {111, true, false, true, false},
        {112, true, true, true, false},  {200, true, true, true, false},
    };
    for (const auto& c : cases) {
        std::span<const uint8_t> block(zeros.data(), c.size);
        EXPECT_EQ(ReadVideoInfo(block).has_value(), c.video) << c.size;
        EXPECT_EQ(ReadVideoInfo2(block).has_value(), c.video2) << c.size;
        EXPECT_EQ(ReadWaveFormat(block).has_value(), c.wave) << c.size;
        EXPECT_EQ(ReadSubtitleInfo(block).has_value(), c.subtitle) << c.size;
    }
    // cbSize claims more bytes than the block has.
    std::vector<uint8_t> wave(18, 0);
    wave[16] = 10;
    EXPECT_FALSE(ReadWaveFormat(wave));

    WAVEFORMATEX extensible;
    extensible.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    const GUID pcm = FourCCGuid(WAVE_FORMAT_PCM);
    const auto pcmBytes = GuidBytes(pcm);
    extensible.extra.assign(6, 0);
    extensible.extra.insert(extensible.extra.end(), pcmBytes.begin(), pcmBytes.end());
    EXPECT_EQ(ExtensibleSubFormat(extensible), pcm);
    extensible.extra.pop_back();
    EXPECT_FALSE(ExtensibleSubFormat(extensible));
}
