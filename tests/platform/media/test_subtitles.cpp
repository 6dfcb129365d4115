#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QColor>

#include <gtest/gtest.h>

#include "gdi/bmpcodec.h"
#include "media/controlif.h"
#include "media/filterbase.h"
#include "media/graphif.h"
#include "media/mediadet.h"
#include "media/subtitlefilter.h"
#include "media/uuids.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"
#include "temphome.h"

using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

// Pixels of the rows from top to bottom that differ clearly between two pictures.
int Differences(const QImage& a, const QImage& b, int top, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor c = a.pixelColor(x, y), d = b.pixelColor(x, y);
            count += std::abs(c.red() - d.red()) + std::abs(c.green() - d.green()) + std::abs(c.blue() - d.blue()) > 60;
        }
    return count;
}

struct SubtitleGraph {
    ComPtr<IGraphBuilder> graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source, decoder, subtitles, renderer;

    explicit SubtitleGraph(const std::filesystem::path& file = fx::MkvFixture())
    {
        EXPECT_EQ(graph->AddSourceFilter(fx::FileName(file), u"Source", source.put()), S_OK);
        decoder = CreateInstance<IBaseFilter>(CLSID_FFVideoDecoder);
        subtitles = CreateInstance<IBaseFilter>(CLSID_SubtitleFilter);
        renderer = CreateInstance<IBaseFilter>(CLSID_VideoRenderer);
        for (auto& f : {decoder, subtitles, renderer})
            graph->AddFilter(f.get(), {});
        ComPtr<IPin> video, text, in, sub, out;
        source->FindPin(u"Video", video.put());
        source->FindPin(u"Subtitle", text.put());
        subtitles->FindPin(u"Input", in.put());
        subtitles->FindPin(u"Subtitle", sub.put());
        subtitles->FindPin(u"Output", out.put());
        EXPECT_EQ(graph->ConnectDirect(video.get(), PinsOf(decoder.get(), PINDIR_INPUT)[0].get(), nullptr), S_OK);
        EXPECT_EQ(graph->ConnectDirect(PinsOf(decoder.get(), PINDIR_OUTPUT)[0].get(), in.get(), nullptr), S_OK);
        EXPECT_EQ(graph->ConnectDirect(text.get(), sub.get(), nullptr), S_OK);
        EXPECT_EQ(graph->ConnectDirect(out.get(), PinsOf(renderer.get())[0].get(), nullptr), S_OK);
    }
    QImage FirstPicture()
    {
        auto control = graph.as<IMediaControl>();
        control->Stop();
        int64_t at = 5000000; // 0.5 s, inside the subtitle's time
        graph.as<IMediaSeeking>()->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, 0);
        control->Pause();
        OAFilterState state;
        EXPECT_EQ(control->GetState(30000, &state), S_OK) << "no picture in time";
        return CurrentVideoImage(renderer.get());
    }
};

// The samples two sinks took, in the order they took them.
struct Arrivals {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::pair<GUID, REFERENCE_TIME>> samples; // major type, start
    int ended = 0;
};

// Takes the samples of one major type into the arrivals, taking its time
// over each before it notes one.
class ArrivalSink final : public BaseFilter {
public:
    ArrivalSink(const GUID& major, std::chrono::milliseconds delay, Arrivals& arrivals)
        : BaseFilter(GUID_NULL, u"Arrivals"), major_(major), delay_(delay), arrivals_(arrivals)
    {
        AddInputPin(u"In");
    }
    HRESULT CheckMediaType(BasePin&, const AMMediaType& type) override
    {
        return type.majortype == major_ ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT Receive(InputPin&, IMediaSample* sample) override
    {
        std::this_thread::sleep_for(delay_);
        REFERENCE_TIME start = 0, stop = 0;
        sample->GetTime(&start, &stop);
        std::lock_guard lock(arrivals_.lock);
        arrivals_.samples.emplace_back(major_, start);
        return S_OK;
    }
    HRESULT EndOfStream(InputPin&) override
    {
        {
            std::lock_guard lock(arrivals_.lock);
            ++arrivals_.ended;
        }
        arrivals_.changed.notify_all();
        return S_OK;
    }

private:
    GUID major_;
    std::chrono::milliseconds delay_;
    Arrivals& arrivals_;
};

// The mkv fixture with a second subtitle stream ("ger") of another text at
// the same time.
std::filesystem::path TwoSubtitleClip()
{
    const auto out = fx::MediaFolder() / "two-subtitles.mkv";
    const auto srt = fx::WriteFile("other.srt", "1\n00:00:00,000 --> 00:00:01,500\nWWWW WWWW\n\n");
    const std::string command = "ffmpeg -nostdin -loglevel error -y -i \"" + fx::MkvFixture().string() + "\" -i \"" +
                                srt.string() + "\" -map 0 -map 1 -c copy -metadata:s:s:1 language=ger \"" +
                                out.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return out;
}

// Waits until the embedded language bears the name.
bool EmbeddedNameBecomes(IDirectVobSub& vobsub, const std::u16string& wanted)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::u16string name;
    while (std::chrono::steady_clock::now() < end) {
        vobsub.get_LanguageName(0, &name);
        if (name == wanted)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

// However late the subtitle's receiver gets to it, no picture that follows
// the subtitle in the file reaches its own receiver first: a subtitle filter
// then always knows the text of the picture it draws.
TEST(SubtitleFilter, NoPictureOvertakesTheSubtitleBeforeIt)
{
    Arrivals arrivals; // outlives the graph and its threads
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(fx::FileName(fx::MkvFixture()), u"Source", source.put()), S_OK);
    auto pictures = MakeCom<ArrivalSink>(MEDIATYPE_Video, std::chrono::milliseconds(0), arrivals);
    auto texts = MakeCom<ArrivalSink>(MEDIATYPE_Subtitle, std::chrono::milliseconds(500), arrivals);
    for (const auto& [name, sink] : {std::pair{u"Video", pictures.get()}, std::pair{u"Subtitle", texts.get()}}) {
        ASSERT_EQ(graph->AddFilter(sink, name), S_OK);
        ComPtr<IPin> out;
        ASSERT_EQ(source->FindPin(name, out.put()), S_OK);
        ASSERT_EQ(graph->ConnectDirect(out.get(), PinsOf(sink)[0].get(), nullptr), S_OK);
    }
    graph.as<IMediaControl>()->Pause();
    {
        std::unique_lock lock(arrivals.lock);
        ASSERT_TRUE(arrivals.changed.wait_for(lock, std::chrono::seconds(60), [&] { return arrivals.ended == 2; }));
    }
    graph.as<IMediaControl>()->Stop();
    const auto& samples = arrivals.samples;
    const auto text =
        std::find_if(samples.begin(), samples.end(), [](const auto& s) { return s.first == MEDIATYPE_Subtitle; });
    ASSERT_NE(text, samples.end());
    const auto early = std::find_if(samples.begin(), text, [&](const auto& s) { return s.second > text->second; });
    EXPECT_EQ(early, text) << "a picture of " << early->second << " came before the subtitle of " << text->second;
    EXPECT_NE(std::find_if(text, samples.end(), [](const auto& s) { return s.first == MEDIATYPE_Video; }),
              samples.end())
        << "the pictures came too";
}

TEST(SubtitleFilter, EmbeddedTextIsDrawnUnlessHidden)
{
    SubtitleGraph g;
    auto vobsub = g.subtitles.as<IDirectVobSub>();
    ASSERT_TRUE(vobsub);
    int32_t count = 0;
    vobsub->get_LanguageCount(&count);
    EXPECT_EQ(count, 1);
    std::u16string name;
    vobsub->get_LanguageName(0, &name);
    EXPECT_EQ(name, u"eng");
    const QImage shown = g.FirstPicture();
    ASSERT_FALSE(shown.isNull());
    vobsub->put_HideSubtitles(true);
    const QImage hidden = g.FirstPicture();
    ASSERT_EQ(hidden.size(), shown.size());
    const int h = shown.height();
    EXPECT_GT(Differences(shown, hidden, h * 2 / 3, h), 20); // the text, at the bottom
    EXPECT_EQ(Differences(shown, hidden, 0, h / 2), 0);
    g.graph.as<IMediaControl>()->Stop();
}

TEST(SubtitleFilter, FilesBecomeLanguages)
{
    auto filter = CreateInstance<IBaseFilter>(CLSID_SubtitleFilter);
    auto vobsub = filter.as<IDirectVobSub>();
    const auto srt = fx::WriteFile("extra.srt", "1\n00:00:01,000 --> 00:00:02,000\nSecond\n\n");
    const auto ass = fx::WriteFile("extra.ass", "[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\n"
                                                "Format: Name, Fontname, Fontsize, PrimaryColour\n"
                                                "Style: Default,Sans,20,&H00FFFFFF\n\n[Events]\n"
                                                "Format: Layer, Start, End, Style, Text\n"
                                                "Dialogue: 0,0:00:00.00,0:00:01.00,Default,Hi\n");
    EXPECT_EQ(vobsub->put_FileName(fx::FileName(srt)), S_OK);
    EXPECT_EQ(vobsub->put_FileName(fx::FileName(ass)), S_OK);
    EXPECT_EQ(vobsub->put_FileName(fx::FileName(fx::WriteFile("junk.srt", std::string(300, '\x01')))), E_FAIL);
    EXPECT_EQ(vobsub->put_FileName(u"/nonexistent.srt"), E_FAIL);
    int32_t count = 0, selected = -1;
    vobsub->get_LanguageCount(&count);
    vobsub->get_SelectedLanguage(&selected);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(selected, 1);
    std::u16string name;
    vobsub->get_LanguageName(0, &name);
    EXPECT_EQ(name, u"extra.srt");
    EXPECT_EQ(vobsub->put_SelectedLanguage(2), E_INVALIDARG);
}

TEST(MediaDet, DescribesStreamsAndWritesThePictureAsABitmap)
{
    auto det = CreateInstance<IMediaDet>(CLSID_MediaDet);
    ASSERT_TRUE(det);
    EXPECT_EQ(det->put_Filename(u"/nonexistent.mp4"), E_FILE_NOT_FOUND);
    ASSERT_EQ(det->put_Filename(fx::FileName(fx::Mp4Fixture())), S_OK);
    int32_t streams = 0;
    det->get_OutputStreams(&streams);
    ASSERT_EQ(streams, 2);
    EXPECT_EQ(det->put_CurrentStream(2), E_INVALIDARG);
    ASSERT_EQ(det->put_CurrentStream(0), S_OK);
    AMMediaType mt;
    det->get_StreamMediaType(&mt);
    EXPECT_EQ(mt.formattype, FORMAT_VideoInfo);
    double length = 0;
    det->get_StreamLength(&length);
    EXPECT_NEAR(length, 2.0, 0.1);
    ktest::TempDir dir;
    const auto file = dir.path() / "shot.bmp";
    ASSERT_EQ(det->WriteBitmapBits(1.0, 80, 60, fx::FileName(file)), S_OK);
    kolvarin::gdi::Bitmap bmp;
    ASSERT_TRUE(kolvarin::gdi::LoadBmpFile(file.string(), bmp));
    ASSERT_EQ(bmp.width(), 80);
    const uint8_t* left = bmp.scanLine(30) + 10 * 3; // B, G, R
    EXPECT_NEAR(left[2], int(fx::kLeftColour >> 16), 14);
    EXPECT_NEAR(left[0], int(fx::kLeftColour & 0xFF), 14);
    const uint8_t* right = bmp.scanLine(30) + 70 * 3;
    EXPECT_NEAR(right[2], int(fx::kRightColour >> 16), 14);
    det->put_CurrentStream(1);
    EXPECT_EQ(det->WriteBitmapBits(1.0, 80, 60, fx::FileName(dir.path() / "audio.bmp")), E_FAIL);
}

TEST(SubtitleFilter, AnotherStreamOfTheSourceTakesThePlaceOfTheShownOne)
{
    SubtitleGraph g(TwoSubtitleClip());
    auto vobsub = g.subtitles.as<IDirectVobSub>();
    auto select = g.source.as<IAMStreamSelect>();
    ASSERT_TRUE(vobsub && select);
    std::vector<int32_t> streams;
    uint32_t count = 0;
    select->Count(&count);
    for (int32_t i = 0; i < static_cast<int32_t>(count); ++i) {
        AMMediaType type;
        select->Info(i, &type, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        if (type.majortype == MEDIATYPE_Subtitle || type.majortype == MEDIATYPE_Text)
            streams.push_back(i);
    }
    ASSERT_EQ(streams.size(), 2u);
    auto control = g.graph.as<IMediaControl>();
    control->Pause();
    OAFilterState state;
    control->GetState(3000, &state);
    const QImage first = g.FirstPicture();
    ASSERT_FALSE(first.isNull());
    // Switched while the graph stands: the new stream is read from there,
    // not after what was read ahead.
    ASSERT_EQ(select->Enable(streams[1], AMSTREAMSELECTENABLE_ENABLE), S_OK);
    ASSERT_TRUE(EmbeddedNameBecomes(*vobsub, u"ger"));
    const QImage other = g.FirstPicture();
    ASSERT_EQ(select->Enable(streams[0], AMSTREAMSELECTENABLE_ENABLE), S_OK);
    ASSERT_TRUE(EmbeddedNameBecomes(*vobsub, u"eng"));
    const QImage back = g.FirstPicture();
    ASSERT_EQ(other.size(), first.size());
    ASSERT_EQ(back.size(), first.size());
    const int h = first.height();
    EXPECT_GT(Differences(first, other, h * 2 / 3, h), 20);
    EXPECT_EQ(Differences(first, back, 0, h), 0) << "nothing of the other stream is left, nothing drawn twice";
    control->Stop();
}
