#include "video/kstreaminfo.h"

#include <gtest/gtest.h>

#include "core/settings/kcodecnames.h"
#include "media/controlif.h"
#include "media/filterbase.h"
#include "media/graphif.h"
#include "media/uuids.h"
#include "media_fixtures.h"

using namespace kolvarin;
using namespace kolvarin::video;
using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

class StreamInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultAudioFormats(audio_);
        SetDefaultVideoFormats(video_);
        AudioFormatDB = &audio_;
        VideoFormatDB = &video_;
    }
    void TearDown() override
    {
        AudioFormatDB = nullptr;
        VideoFormatDB = nullptr;
    }
    TKFormatDatabase audio_, video_;
};

AMMediaType Type(const GUID& major, const GUID& sub, const GUID& format, std::vector<uint8_t> block)
{
    AMMediaType mt;
    mt.majortype = major;
    mt.subtype = sub;
    mt.formattype = format;
    mt.format = std::move(block);
    return mt;
}

TKStreamInfos InfosOf(const std::filesystem::path& file)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    const std::string s = file.string();
    EXPECT_EQ(graph->AddSourceFilter({s.begin(), s.end()}, u"Source", source.put()), S_OK);
    EXPECT_TRUE(IsMediaSourceFilter(source.get()));
    TKStreamInfos infos;
    GetPinStreamInfos(source.get(), infos);
    return infos;
}

// A filter without pins, with or without the file-source interface (a
// source that makes its pins only once it has loaded a file).
class Pinless : public BaseFilter {
public:
    Pinless() : BaseFilter(GUID_NULL, u"Pinless") {}
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_OK; }
};
class PinlessFileSource : public FilterWith<IFileSourceFilter> {
public:
    PinlessFileSource() : Extend(GUID_NULL, u"Pinless source") {}
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_OK; }
    HRESULT Load(const std::u16string&, const AMMediaType*) override { return S_OK; }
    HRESULT GetCurFile(std::u16string*, AMMediaType*) override { return S_OK; }
};

} // namespace

TEST_F(StreamInfoTest, AFilterWithoutPinsIsASourceOnlyThroughTheSourceInterfaces)
{
    EXPECT_TRUE(IsMediaSourceFilter(MakeCom<PinlessFileSource>().get()));
    EXPECT_FALSE(IsMediaSourceFilter(MakeCom<Pinless>().get()));
}

TEST_F(StreamInfoTest, AVorbisTypeWithoutItsBlockIsNamedByItsSubtypeAlone)
{
    for (const GUID& format : {FORMAT_VorbisFormat, FORMAT_VorbisFormat2}) {
        const auto f = MediaTypeToStreamInfo(Type(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Audio, format, {}));
        EXPECT_EQ(f.Codec,
                  MediaTypeToStreamInfo(Type(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Audio, FORMAT_WaveFormatEx, {})).Codec);
        EXPECT_EQ(f.Codec.find("Ogg Vorbis"), std::string::npos) << f.Codec;
    }
}

TEST_F(StreamInfoTest, FormatBlocksGiveTheFiguresThatMatter)
{
    VIDEOINFOHEADER v;
    v.AvgTimePerFrame = 400000;
    v.bmiHeader.biWidth = 720;
    v.bmiHeader.biHeight = 576;
    v.bmiHeader.biBitCount = 24;
    v.bmiHeader.biCompression = MakeFourCC('X', 'V', 'I', 'D');
    auto video = MediaTypeToStreamInfo(Type(MEDIATYPE_Video, GUID_NULL, FORMAT_VideoInfo, WriteVideoInfo(v)));
    EXPECT_DOUBLE_EQ(video.FrameRate, 25);
    EXPECT_EQ(video.Codec, "XviD MPEG-4 codec");
    EXPECT_EQ(video.Width, 720);
    EXPECT_EQ(video.BitCount, 24);

    WAVEFORMATEX w;
    w.wFormatTag = 85;
    w.nChannels = 2;
    w.nSamplesPerSec = 48000;
    w.nAvgBytesPerSec = 192000;
    auto audio = MediaTypeToStreamInfo(Type(MEDIATYPE_Audio, GUID_NULL, FORMAT_WaveFormatEx, WriteWaveFormat(w)));
    EXPECT_DOUBLE_EQ(audio.SampleRate, 48);
    EXPECT_EQ(audio.Channels, 2);
    EXPECT_DOUBLE_EQ(audio.BitRate, 1536);
    EXPECT_EQ(audio.Codec, "MPEG1 Layer-3");

    SUBTITLEINFO s;
    s.IsoLang = {'g', 'e', 'r', 0};
    s.TrackName = u"Forced";
    auto sub =
        MediaTypeToStreamInfo(Type(MEDIATYPE_Subtitle, MEDIASUBTYPE_ASS, FORMAT_SubtitleInfo, WriteSubtitleInfo(s)));
    EXPECT_EQ(sub.Codec, "ASS v1");
    EXPECT_EQ(sub.LanguageCode, "ger");
    EXPECT_EQ(sub.TrackName, u"Forced");

    VORBISFORMAT vf;
    vf.nChannels = 2;
    vf.nSamplesPerSec = 44100;
    vf.nAvgBitsPerSec = 128000;
    auto vorbis = MediaTypeToStreamInfo(Type(MEDIATYPE_Audio, GUID_NULL, FORMAT_VorbisFormat, WriteVorbisFormat(vf)));
    EXPECT_EQ(vorbis.Codec, "Ogg Vorbis v1");
    EXPECT_DOUBLE_EQ(vorbis.SampleRate, 44.1);
    EXPECT_DOUBLE_EQ(vorbis.BitRate, 128);
}

TEST_F(StreamInfoTest, ShortFormatBlocksAreNotReadPastTheirEnd)
{
    // Each block one byte short of its structure: only the subtype name.
    struct Case {
        GUID major, sub, format;
        size_t size;
        std::string codec;
    } cases[] = {
        {MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload, FORMAT_VideoInfo, 87, "MPEG-1"},
        {MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEG2Video, 111, "MPEG-2"},
        {MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3, FORMAT_WaveFormatEx, 15, "Dolby Digital AC3"},
        {MEDIATYPE_Subtitle, MEDIASUBTYPE_UTF8, FORMAT_SubtitleInfo, 519, "UTF-8"},
        {MEDIATYPE_Audio, GUID_NULL, FORMAT_VorbisFormat, 23, "Ogg Vorbis v1"},
    };
    for (const auto& c : cases) {
        // Bytes that would give non-zero figures if they were read.
        auto f = MediaTypeToStreamInfo(Type(c.major, c.sub, c.format, std::vector<uint8_t>(c.size, 0x7F)));
        EXPECT_EQ(f.Codec, c.codec) << c.size;
        EXPECT_EQ(f.Width, 0);
        EXPECT_EQ(f.FrameRate, 0);
        EXPECT_EQ(f.Channels, 0);
        EXPECT_TRUE(f.LanguageCode.empty());
    }
}

TEST_F(StreamInfoTest, NamesAndFallbackTexts)
{
    EXPECT_EQ(
        MediaTypeToStreamInfo(Type(MEDIATYPE_Video, FourCCGuid(MakeFourCC('A', 'V', 'C', '1')), GUID{1}, {})).Codec,
        "Unknown: AVC1");
    EXPECT_EQ(MediaTypeToStreamInfo(Type(MEDIATYPE_Video, FourCCGuid(0x01FF0041), GUID{1}, {})).Codec, "Unknown: A   ");
    EXPECT_EQ(FormatTypeName(FORMAT_MPEG2Video), "FORMAT_MPEG2VIDEO");
    EXPECT_EQ(FormatTypeName(GUID{0x12345678}), "{12345678-0000-0000-0000-000000000000}");
    EXPECT_EQ(MediaTypeName(MEDIATYPE_Subtitle), "MEDIATYPE_Subtitle");
    EXPECT_EQ(GetStreamKind(GUID_NULL, MEDIASUBTYPE_DOLBY_AC3, GUID_NULL), TKStreamKind::Audio);
    EXPECT_EQ(GetStreamKind(GUID_NULL, GUID_NULL, FORMAT_MPEG2Video), TKStreamKind::Video);
    TKMediaFormat f;
    f.Codec = "x";
    f.MajorType = MEDIATYPE_Audio;
    f.FormatType = FORMAT_WaveFormatEx;
    EXPECT_EQ(MediaTypeText(f), "Codec: x, Majortype: MEDIATYPE_Audio, Format: FORMAT_WaveFormatEx");
}

TEST_F(StreamInfoTest, RecordsOfEveryFixture)
{
    const auto mkv = InfosOf(fx::MkvFixture());
    ASSERT_EQ(mkv.size(), 3u); // video, audio, subtitle pins
    EXPECT_EQ(mkv[0].Format.Kind, TKStreamKind::Unknown); // not connected: no connection type
    ASSERT_EQ(mkv[0].Formats.size(), 1u);
    EXPECT_EQ(mkv[0].Formats[0].Kind, TKStreamKind::Video);
    EXPECT_EQ(mkv[0].Formats[0].MediaFormat.Codec, "H.264/AVC1");
    EXPECT_EQ(mkv[0].Formats[0].MediaFormat.Width, fx::kWidth);
    EXPECT_DOUBLE_EQ(mkv[0].Formats[0].MediaFormat.FrameRate, 25);
    EXPECT_EQ(mkv[1].Formats[0].MediaFormat.Codec, "Free Advanced Audio Codec");
    EXPECT_DOUBLE_EQ(mkv[1].Formats[0].MediaFormat.SampleRate, 44.1);
    EXPECT_EQ(mkv[2].Formats[0].MediaFormat.Codec, "UTF-8");
    EXPECT_EQ(mkv[2].Formats[0].MediaFormat.LanguageCode, "eng");

    const auto avi = InfosOf(fx::AviFixture());
    ASSERT_EQ(avi.size(), 2u);
    EXPECT_EQ(avi[0].Formats[0].MediaFormat.Codec, "XviD MPEG-4 codec");
    EXPECT_EQ(avi[1].Formats[0].MediaFormat.Codec, "MPEG1 Layer-3");

    const auto mp4 = InfosOf(fx::Mp4Fixture());
    ASSERT_EQ(mp4.size(), 2u);
    EXPECT_EQ(mp4[0].Formats[0].MediaFormat.Height, fx::kHeight);
    EXPECT_EQ(mp4[1].Formats[0].MediaFormat.Channels, 1);

    const auto flac = InfosOf(fx::AudioFixture());
    ASSERT_EQ(flac.size(), 1u);
    EXPECT_EQ(flac[0].Formats[0].Kind, TKStreamKind::Audio);
    EXPECT_EQ(flac[0].Formats[0].MediaFormat.Channels, 2);
}
