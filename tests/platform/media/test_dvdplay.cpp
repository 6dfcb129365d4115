#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include <QColor>
#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

#include "dvd_fixture.h"
#include "media/dvdif.h"
#include "media/filterbase.h"
#include "media/graphif.h"
#include "media/renderer.h"
#include "media/uuids.h"
#include "media/videorenderer.h"
#include "media_fixtures.h"

using namespace kolvarin::media;
namespace fx = ktest::media;
using Clock = std::chrono::steady_clock;

namespace {

// Takes decoded audio and keeps, per buffer, its start time and the tone's
// frequency estimated from the zero crossings of the first channel.
class ToneMeter final : public Renderer {
public:
    ToneMeter() : Renderer(GUID_NULL, u"Tone meter") {}
    HRESULT CheckInputType(const AMMediaType& type) override
    {
        return type.majortype == MEDIATYPE_Audio && type.subtype == MEDIASUBTYPE_IEEE_FLOAT ? S_OK : S_FALSE;
    }
    void SetInputType(const AMMediaType& type) override { Take(type); }
    HRESULT CompleteConnect(BasePin& pin, IPin* peer) override
    {
        Take(Input().CurrentMediaType());
        return Renderer::CompleteConnect(pin, peer);
    }
    void Render(IMediaSample* sample) override
    {
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        const auto* f = reinterpret_cast<const float*>(data);
        const size_t frames = static_cast<size_t>(sample->GetActualDataLength()) / sizeof(float) / channels_;
        int crossings = 0;
        double energy = 0;
        for (size_t i = 1; i < frames; ++i) {
            crossings += (f[(i - 1) * channels_] < 0) != (f[i * channels_] < 0);
            energy += f[i * channels_] * f[i * channels_];
        }
        if (frames < 256 || rate_ == 0 || energy / static_cast<double>(frames) < 0.001)
            return; // the menu's silence
        std::lock_guard lock(lock_);
        tones_.push_back(crossings * rate_ / 2.0 / static_cast<double>(frames));
    }
    std::vector<double> Tones()
    {
        std::lock_guard lock(lock_);
        return tones_;
    }

private:
    void Take(const AMMediaType& type)
    {
        if (auto w = ReadWaveFormat(type.formatBytes())) {
            channels_ = std::max<size_t>(1, w->nChannels);
            rate_ = w->nSamplesPerSec;
        }
    }
    size_t channels_ = 1;
    uint32_t rate_ = 0;
    std::mutex lock_;
    std::vector<double> tones_;
};

// Counts the samples a pin delivers.
class Counter final : public Renderer {
public:
    Counter() : Renderer(GUID_NULL, u"Counter") {}
    HRESULT CheckInputType(const AMMediaType&) override { return S_OK; }
    void Render(IMediaSample*) override { ++count; }
    bool Scheduled() const override { return false; }
    std::atomic<int> count{0};
};

// Keeps, per picture that reaches it, the brightness at a few points and
// whether the picture came with a time (a redraw comes without).
class PictureProbe final : public Renderer {
public:
    struct Picture {
        bool timed = false;
        REFERENCE_TIME start = 0;
        std::vector<int> luma;
    };
    explicit PictureProbe(std::vector<POINT> points) : Renderer(GUID_NULL, u"Picture probe"), points_(std::move(points))
    {}
    HRESULT CheckInputType(const AMMediaType& type) override
    {
        return type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_I420 ? S_OK : S_FALSE;
    }
    void Render(IMediaSample* sample) override
    {
        const AVFrame* frame = FrameOf(sample);
        if (!frame)
            return;
        REFERENCE_TIME start = 0, stop = 0;
        Picture p;
        p.timed = Succeeded(sample->GetTime(&start, &stop));
        p.start = start;
        for (const POINT& at : points_)
            p.luma.push_back(at.x < frame->width && at.y < frame->height
                                 ? frame->data[0][size_t(at.y) * frame->linesize[0] + at.x]
                                 : -1);
        std::lock_guard lock(lock_);
        pictures_.push_back(std::move(p));
    }
    std::vector<Picture> Pictures()
    {
        std::lock_guard lock(lock_);
        return pictures_;
    }

private:
    std::vector<POINT> points_;
    std::mutex lock_;
    std::vector<Picture> pictures_;
};

// The video-range luma of a colour (RGB).
int Luma(unsigned rgb)
{
    return 16 + (66 * int(rgb >> 16 & 0xFF) + 129 * int(rgb >> 8 & 0xFF) + 25 * int(rgb & 0xFF) + 128) / 256;
}

// Whether a luma is nearer that of colour than that of other (RGB).
bool Nearer(int luma, unsigned colour, unsigned other)
{
    return std::abs(luma - Luma(colour)) < std::abs(luma - Luma(other));
}

bool Near(const QColor& c, unsigned rgb, int tolerance = 16)
{
    return std::abs(c.red() - int(rgb >> 16 & 0xFF)) <= tolerance &&
           std::abs(c.green() - int(rgb >> 8 & 0xFF)) <= tolerance && std::abs(c.blue() - int(rgb & 0xFF)) <= tolerance;
}

struct Event {
    int32_t code;
    intptr_t param1, param2;
};

// A running graph with the navigator's video on the video renderer and its
// audio on the given sink (the audio renderer when none).
class DvdGraph {
public:
    // pictureSink: the pictures go there through the decoder and the
    // subpicture mixer, which draws the subpictures.
    explicit DvdGraph(IBaseFilter* audioSink = nullptr, IBaseFilter* subpictureSink = nullptr,
                      IBaseFilter* pictureSink = nullptr)
    {
        graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
        nav = CreateInstance<IBaseFilter>(CLSID_DVDNavigator);
        EXPECT_EQ(graph->AddFilter(nav.get(), u"DVD Navigator"), S_OK);
        control = nav.as<IDvdControl2>();
        info = nav.as<IDvdInfo2>();
        EXPECT_EQ(control->SetDVDDirectory(fx::DvdFixture().u16string()), S_OK);
        const auto pins = PinsOf(nav.get(), PINDIR_OUTPUT);
        if (pictureSink) {
            auto decoder = CreateInstance<IBaseFilter>(CLSID_FFVideoDecoder);
            auto mixer = CreateInstance<IBaseFilter>(CLSID_DvdSubpictureMixer);
            graph->AddFilter(decoder.get(), u"Video Decoder");
            graph->AddFilter(mixer.get(), u"DVD Subpicture Mixer");
            graph->AddFilter(pictureSink, u"Picture sink");
            const auto mixerIn = PinsOf(mixer.get(), PINDIR_INPUT);
            EXPECT_EQ(graph->ConnectDirect(pins[0].get(), PinsOf(decoder.get(), PINDIR_INPUT)[0].get(), nullptr), S_OK);
            EXPECT_EQ(graph->ConnectDirect(PinsOf(decoder.get(), PINDIR_OUTPUT)[0].get(), mixerIn[0].get(), nullptr),
                      S_OK);
            EXPECT_EQ(graph->ConnectDirect(pins[2].get(), mixerIn[1].get(), nullptr), S_OK);
            EXPECT_EQ(graph->ConnectDirect(PinsOf(mixer.get(), PINDIR_OUTPUT)[0].get(),
                                           PinsOf(pictureSink, PINDIR_INPUT)[0].get(), nullptr),
                      S_OK);
        } else {
            EXPECT_EQ(graph->Render(pins[0].get()), S_OK);
        }
        if (audioSink) {
            graph->AddFilter(audioSink, u"Audio sink");
            EXPECT_EQ(graph->Connect(pins[1].get(), PinsOf(audioSink, PINDIR_INPUT)[0].get()), S_OK);
        } else {
            EXPECT_EQ(graph->Render(pins[1].get()), S_OK);
        }
        if (subpictureSink) {
            graph->AddFilter(subpictureSink, u"Subpicture sink");
            EXPECT_EQ(graph->ConnectDirect(pins[2].get(), PinsOf(subpictureSink, PINDIR_INPUT)[0].get(), nullptr),
                      S_OK);
        }
        control->SetOption(DVD_HMSF_TimeCodeEvents, true);
        events = graph.as<IMediaEvent>();
        EXPECT_TRUE(Succeeded(graph.as<IMediaControl>()->Run()));
    }
    ~DvdGraph() { graph.as<IMediaControl>()->Stop(); }

    // Waits for an event with that code (and first parameter, when given);
    // every event on the way is kept in seen.
    bool WaitFor(int32_t code, intptr_t param1 = -1, int ms = 5000)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            QCoreApplication::processEvents();
            Event e{};
            if (events->GetEvent(&e.code, &e.param1, &e.param2, 20) != S_OK)
                continue;
            events->FreeEventParams(e.code, e.param1, e.param2);
            seen.push_back(e);
            if (e.code == code && (param1 < 0 || e.param1 == param1))
                return true;
        }
        return false;
    }
    // Waits until the picture's centre shows the colour; false after ms.
    bool Shows(unsigned rgb, int ms = 2000)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (!Near(Centre(), rgb)) {
            if (Clock::now() > end)
                return false;
            WaitFor(0, -1, 50);
        }
        return true;
    }
    QColor Centre()
    {
        const QImage image = CurrentVideoImage(VideoRenderer().get());
        return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> nav;
    ComPtr<IDvdControl2> control;
    ComPtr<IDvdInfo2> info;
    ComPtr<IMediaEvent> events;
    std::vector<Event> seen;

private:
    ComPtr<IBaseFilter> VideoRenderer()
    {
        ComPtr<IBaseFilter> found;
        graph->FindFilterByName(u"Video Renderer", found.put());
        return found;
    }
};

POINT Centre(const int (&r)[4]) { return {(r[0] + r[2]) / 2, (r[1] + r[3]) / 2}; }

// The disc is in its menu, with the two buttons, on the screen.
void ExpectTheMenu(DvdGraph& g)
{
    DVD_DOMAIN domain{};
    g.info->GetCurrentDomain(&domain);
    EXPECT_EQ(domain, DVD_DOMAIN_VideoManagerMenu);
    uint32_t available = 0, current = 0;
    g.info->GetCurrentButton(&available, &current);
    EXPECT_EQ(available, 2u);
    EXPECT_TRUE(g.Shows(fx::kDvdMenuColour)) << g.Centre().name().toStdString();
}

} // namespace

TEST(DvdPlay, TheMenuWaitsOnItsButtonsWhichLeadToTheirTitlesAndBack)
{
    DvdGraph g;
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    ExpectTheMenu(g);
    uint32_t available = 0, current = 0;
    g.info->GetCurrentButton(&available, &current);
    EXPECT_EQ(current, 1u);

    // The still holds: nothing moves on until a button is used.
    EXPECT_FALSE(g.WaitFor(EC_DVD_TITLE_CHANGE, -1, 600));
    EXPECT_EQ(g.control->PlayNextChapter(0), VFW_E_DVD_INVALIDDOMAIN);
    EXPECT_EQ(g.control->SelectRelativeButton(DVD_Relative_Lower), S_OK);
    g.info->GetCurrentButton(&available, &current);
    EXPECT_EQ(current, 2u);
    EXPECT_EQ(g.control->SelectButton(3), VFW_E_DVD_NO_BUTTON);
    ASSERT_EQ(g.control->ActivateButton(), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_TITLE_CHANGE));
    EXPECT_EQ(g.seen.back().param1, 2);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 1));
    ASSERT_TRUE(g.WaitFor(EC_DVD_CURRENT_HMSF_TIME));
    EXPECT_TRUE(g.Shows(fx::kDvdTitle2Colour)) << g.Centre().name().toStdString();
    DVD_HMSF_TIMECODE total;
    ASSERT_EQ(g.info->GetTotalTitleTime(&total, nullptr), S_OK);
    EXPECT_EQ(total.bSeconds, 1);

    // The title's post command calls the menu again.
    const auto left = Clock::now();
    ASSERT_TRUE(g.WaitFor(EC_DVD_DOMAIN_CHANGE, DVD_DOMAIN_VideoManagerMenu, 4000));
    EXPECT_GT(Clock::now() - left, std::chrono::milliseconds(500)); // after the title was shown
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    EXPECT_TRUE(g.Shows(fx::kDvdMenuColour)) << g.Centre().name().toStdString();
}

TEST(DvdPlay, MouseAndJumpsReachTitlesAndChapters)
{
    DvdGraph g;
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    EXPECT_EQ(g.control->ActivateAtPosition({5, 5}), VFW_E_DVD_NO_BUTTON); // beside the buttons
    EXPECT_EQ(g.control->SelectAtPosition(Centre(fx::kDvdButton2)), S_OK);
    uint32_t available = 0, current = 0;
    g.info->GetCurrentButton(&available, &current);
    EXPECT_EQ(current, 2u);
    ASSERT_EQ(g.control->ActivateAtPosition(Centre(fx::kDvdButton1)), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_TITLE_CHANGE, 1));
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 1));

    ASSERT_EQ(g.control->PlayChapterInTitle(1, 3, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 3));
    DVD_PLAYBACK_LOCATION2 where;
    ASSERT_EQ(g.info->GetCurrentLocation(&where), S_OK);
    EXPECT_EQ(where.TitleNum, 1u);
    EXPECT_EQ(where.ChapterNum, 3u);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CURRENT_HMSF_TIME));
    const DVD_HMSF_TIMECODE at = UnpackTimeCode(static_cast<uint32_t>(g.seen.back().param1));
    EXPECT_GE(at.bSeconds, 1); // the third chapter starts at about two seconds
    EXPECT_LE(at.bSeconds, 2);
    // The second parameter: the same time as the packed decimal record, from
    // the lowest bits, with the frame-rate code 1 (25 frames) on top.
    const auto bcd = static_cast<uint32_t>(g.seen.back().param2);
    EXPECT_EQ((bcd >> 16 & 15) + 10 * (bcd >> 20 & 15), at.bSeconds);
    EXPECT_EQ((bcd >> 24 & 15) + 10 * (bcd >> 28 & 3), at.bFrames);
    EXPECT_EQ(bcd >> 30, 1u);
    EXPECT_TRUE(g.Shows(fx::kDvdTitle1Colour)) << g.Centre().name().toStdString();

    ASSERT_EQ(g.control->PlayPrevChapter(0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 2));
    EXPECT_EQ(g.control->PlayChapterInTitle(1, 4, 0), E_INVALIDARG);
    EXPECT_EQ(g.control->PlayChapterInTitle(3, 1, 0), E_INVALIDARG);

    ASSERT_EQ(g.control->PlayTitle(2, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_TITLE_CHANGE, 2));
    ASSERT_EQ(g.control->ShowMenu(DVD_MENU_Title, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_DOMAIN_CHANGE, DVD_DOMAIN_VideoManagerMenu));
}

TEST(DvdPlay, TheTitleMenuCalledInTheMenuOrInATitleWaitsOnItsButtons)
{
    DvdGraph g;
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    const auto waitsOnItsButtons = [&] {
        ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
        EXPECT_FALSE(g.WaitFor(EC_DVD_PLAYBACK_STOPPED, -1, 800)) << "the menu ran through its still";
        EXPECT_TRUE(std::none_of(g.seen.begin(), g.seen.end(),
                                 [](const Event& e) { return e.code == EC_DVD_PLAYBACK_STOPPED; }));
        ExpectTheMenu(g);
    };

    // In the menu's own still.
    ASSERT_EQ(g.control->ShowMenu(DVD_MENU_Title, 0), S_OK);
    waitsOnItsButtons();
    ASSERT_EQ(g.control->SelectButton(1), S_OK);
    ASSERT_EQ(g.control->ActivateButton(), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_TITLE_CHANGE, 1));

    // From inside a title; the button chosen there leads to its title.
    ASSERT_EQ(g.control->ShowMenu(DVD_MENU_Title, 0), S_OK);
    waitsOnItsButtons();
    ASSERT_EQ(g.control->SelectButton(2), S_OK);
    ASSERT_EQ(g.control->ActivateButton(), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_TITLE_CHANGE, 2));
    EXPECT_TRUE(g.Shows(fx::kDvdTitle2Colour)) << g.Centre().name().toStdString();
}

TEST(DvdPlay, OnlyTheChosenAudioStreamIsHeard)
{
    auto meter = MakeCom<ToneMeter>();
    DvdGraph g(meter.get());
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    // In the menu the choice is among the titles' streams, kept for them.
    EXPECT_EQ(g.control->SelectAudioStream(2, 0), VFW_E_DVD_STREAM_DISABLED);
    ASSERT_EQ(g.control->SelectAudioStream(1, 0), S_OK);
    ASSERT_EQ(g.control->PlayTitle(1, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_TITLE_CHANGE, 1));
    ASSERT_EQ(g.control->SelectAudioStream(0, 0), S_OK);
    uint32_t available = 0, current = 9;
    g.info->GetCurrentAudio(&available, &current);
    EXPECT_EQ(available, 2u);
    EXPECT_EQ(current, 0u);
    EXPECT_EQ(g.control->SelectAudioStream(2, 0), VFW_E_DVD_STREAM_DISABLED);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 3));
    const auto tones = meter->Tones();
    // "de" from the title's start, then "en" only; a buffer at the onset or
    // at the change may hold a mixture.
    const auto is = [](double tone, double hz) { return std::abs(tone - hz) < 40; };
    const auto en = std::find_if(tones.begin(), tones.end(), [&](double t) { return is(t, 440); });
    ASSERT_NE(en, tones.end());
    EXPECT_GT(std::count_if(tones.begin(), en, [&](double t) { return is(t, 880); }), 3);
    EXPECT_LE(std::count_if(tones.begin(), en, [&](double t) { return !is(t, 880); }), 2);
    EXPECT_GT(std::count_if(en, tones.end(), [&](double t) { return is(t, 440); }), 3);
    EXPECT_EQ(std::count_if(en, tones.end(), [&](double t) { return !is(t, 440); }), 0);
}

TEST(DvdPlay, SubpicturesPassOnlyWhileShown)
{
    auto counter = MakeCom<Counter>();
    DvdGraph g(nullptr, counter.get());
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    EXPECT_GT(counter->count, 0); // the menu's buttons
    ASSERT_EQ(g.control->PlayTitle(1, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 2));
    const int hidden = counter->count;
    EXPECT_EQ(g.control->SelectSubpictureStream(2, 0), VFW_E_DVD_STREAM_DISABLED);
    ASSERT_EQ(g.control->SelectSubpictureStream(1, 0), S_OK);
    ASSERT_EQ(g.control->SetSubpictureState(true, 0), S_OK);
    uint32_t available = 0, current = 0;
    bool disabled = true;
    g.info->GetCurrentSubpicture(&available, &current, &disabled);
    EXPECT_EQ(available, 2u);
    EXPECT_EQ(current, 1u);
    EXPECT_FALSE(disabled);
    ASSERT_EQ(g.control->PlayChapterInTitle(1, 1, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 2));
    EXPECT_GT(counter->count, hidden);
}

TEST(DvdPlay, DamagedDiscsPlayWhatTheyCanAndNeverHang)
{
    // Bytes overwritten across the title set's information (file and backup
    // alike, so the backup does not mend it), the video manager's, or the
    // title's video objects.
    struct Case {
        const char* file;
        std::streamoff from, step;
    } cases[] = {
        {"VTS_01_0", 0x20, 0x1D3}, {"VTS_01_0", 0x100, 0x97}, {"VTS_01_0", 0x800, 0x61},
        {"VIDEO_TS", 0x40, 0x1F1}, {"VIDEO_TS", 0x400, 0x83}, {"VTS_01_1.VOB", 0x800, 0x1234},
    };
    uint32_t seed = 12345;
    int n = 0;
    for (const auto& c : cases) {
        const auto disc = fx::DvdCopy("damaged-" + std::to_string(n++));
        const auto ts = disc / "VIDEO_TS";
        const std::string name = c.file;
        const bool vob = name.ends_with(".VOB");
        const std::vector<std::filesystem::path> files =
            vob ? std::vector{ts / name} : std::vector{ts / (name + ".IFO"), ts / (name + ".BUP")};
        for (const auto& file : files) {
            std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
            const auto size = static_cast<std::streamoff>(std::filesystem::file_size(file));
            uint32_t s = seed;
            for (std::streamoff at = c.from; at < size; at += c.step) {
                s = s * 1664525 + 1013904223;
                f.seekp(at);
                f.put(static_cast<char>(s >> 24));
            }
        }
        seed += 77;
        auto nav = CreateInstance<IBaseFilter>(CLSID_DVDNavigator);
        const HRESULT opened = nav.as<IDvdControl2>()->SetDVDDirectory(disc.u16string());
        if (Failed(opened)) {
            EXPECT_EQ(opened, VFW_E_DVD_INVALID_DISC) << c.file;
            continue;
        }
        auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
        graph->AddFilter(nav.get(), u"DVD Navigator");
        for (const auto& pin : PinsOf(nav.get(), PINDIR_OUTPUT))
            graph->Render(pin.get());
        const auto started = Clock::now();
        graph.as<IMediaControl>()->Run();
        auto events = graph.as<IMediaEvent>();
        while (Clock::now() - started < std::chrono::milliseconds(1500)) {
            int32_t code;
            intptr_t a, b;
            if (events->GetEvent(&code, &a, &b, 20) == S_OK)
                events->FreeEventParams(code, a, b);
            QCoreApplication::processEvents();
        }
        const auto stopping = Clock::now();
        graph.as<IMediaControl>()->Stop();
        EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(2)) << c.file;
    }
}

TEST(DvdPlay, TheMenusHighlightAndTheShownSubpicturesAreDrawnIntoThePicture)
{
    // The middle of each button, of the subpicture's line, and the background.
    auto probe = MakeCom<PictureProbe>(
        std::vector<POINT>{Centre(fx::kDvdButton1), Centre(fx::kDvdButton2), {175, 250}, {300, 20}});
    DvdGraph g(nullptr, nullptr, probe.get());
    const auto lit = [](int luma) { return luma > 180; };
    const auto dark = [](int luma) { return luma >= 0 && luma < 130; };
    // Waits for a picture after the first `from` whose points pass test.
    const auto shows = [&](size_t from, auto test) {
        const auto end = Clock::now() + std::chrono::seconds(8);
        while (Clock::now() < end) {
            const auto pictures = probe->Pictures();
            for (size_t i = from; i < pictures.size(); ++i)
                if (test(pictures[i].luma))
                    return true;
            g.WaitFor(0, -1, 20);
        }
        return false;
    };
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    EXPECT_TRUE(shows(0, [&](const std::vector<int>& l) { return lit(l[0]) && dark(l[1]) && dark(l[3]); }))
        << "the first button is highlighted, the second and the rest show the menu";

    // In the still, a new highlight shows without a new picture of the disc.
    size_t from = probe->Pictures().size();
    ASSERT_EQ(g.control->SelectButton(2), S_OK);
    EXPECT_TRUE(shows(from, [&](const std::vector<int>& l) { return dark(l[0]) && lit(l[1]); }));
    from = probe->Pictures().size();
    ASSERT_EQ(g.control->SelectButton(1), S_OK);
    EXPECT_TRUE(shows(from, [&](const std::vector<int>& l) { return lit(l[0]) && dark(l[1]); }));

    // A title's subpicture shows only once subpictures are shown.
    ASSERT_EQ(g.control->ActivateButton(), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 1));
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 2));
    const auto pictures = probe->Pictures();
    EXPECT_TRUE(std::none_of(pictures.begin() + from, pictures.end(),
                             [&](const PictureProbe::Picture& p) { return p.timed && lit(p.luma[2]); }));
    EXPECT_TRUE(std::any_of(pictures.begin() + from, pictures.end(),
                            [&](const PictureProbe::Picture& p) { return p.timed && dark(p.luma[2]); }));
    ASSERT_EQ(g.control->SetSubpictureState(true, 0), S_OK);
    from = probe->Pictures().size();
    ASSERT_EQ(g.control->PlayChapterInTitle(1, 1, 0), S_OK);
    EXPECT_TRUE(shows(from, [&](const std::vector<int>& l) { return lit(l[2]) && dark(l[0]); }));
}

TEST(DvdPlay, TheMenusHighlightIsNeverDrawnOverTheTitlesLastPictures)
{
    // The middle of the first button and the background.
    auto probe = MakeCom<PictureProbe>(std::vector<POINT>{Centre(fx::kDvdButton1), {300, 20}});
    DvdGraph g(nullptr, nullptr, probe.get());
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    // The one-second second title, after which the menu comes back.
    ASSERT_EQ(g.control->PlayTitle(2, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_TITLE_CHANGE, 2));
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    const auto menuShown = [&] {
        const auto pictures = probe->Pictures();
        return !pictures.empty() && pictures.back().luma[0] > 180;
    };
    for (int i = 0; i < 100 && !menuShown(); ++i)
        g.WaitFor(0, -1, 50);
    ASSERT_TRUE(menuShown());
    // The title's background is far lighter than the menu's; the button lit
    // over it is the fault.
    const auto pictures = probe->Pictures();
    size_t titlePictures = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::vector<int>& l = pictures[i].luma;
        const bool title = Nearer(l[1], fx::kDvdTitle2Colour, fx::kDvdMenuColour);
        titlePictures += title;
        EXPECT_FALSE(title && l[0] > 180) << "picture " << i << " of " << pictures.size();
    }
    EXPECT_GT(titlePictures, 10u);
}

TEST(DvdPlay, AtTwiceTheSpeedATitlesPicturesTakeHalfItsTime)
{
    auto probe = MakeCom<PictureProbe>(std::vector<POINT>{{300, 20}}); // the background
    DvdGraph g(nullptr, nullptr, probe.get());
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    EXPECT_EQ(g.control->PlayForwards(0, 0), E_INVALIDARG);
    EXPECT_EQ(g.control->PlayBackwards(2.0, 0), E_NOTIMPL);
    ASSERT_EQ(g.control->PlayForwards(2.0, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_PLAYBACK_RATE_CHANGE, 20000));
    ASSERT_EQ(g.control->PlayTitle(1, 0), S_OK);
    ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 3));
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON)); // back in the menu
    // The three-second title's pictures, from the first to the last.
    std::vector<REFERENCE_TIME> times;
    for (const auto& p : probe->Pictures())
        if (p.timed && Nearer(p.luma[0], fx::kDvdTitle1Colour, fx::kDvdMenuColour))
            times.push_back(p.start);
    ASSERT_GT(times.size(), 50u);
    EXPECT_NEAR(double(times.back() - times.front()) / 1e7, 1.48, 0.15);
}

TEST(DvdPlay, InAPauseTheDiscIsReadOnlyALittleAheadOfThePicture)
{
    DvdGraph g;
    ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
    ASSERT_TRUE(Succeeded(g.graph.as<IMediaControl>()->Pause()));
    ASSERT_EQ(g.control->PlayTitle(1, 0), S_OK);
    // Read without a bound, the three-second title would be gone at once and
    // the menu after it reached, far ahead of what shows.
    g.WaitFor(0, -1, 1500);
    DVD_DOMAIN domain{};
    g.info->GetCurrentDomain(&domain);
    EXPECT_EQ(domain, DVD_DOMAIN_Title);
    ASSERT_TRUE(Succeeded(g.graph.as<IMediaControl>()->Run()));
    EXPECT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 2));
}

TEST(DvdPlay, NextChapterAfterAJumpFromTheMenuGoesToTheFollowingChapterAndPlaysOn)
{
    // When the next chapter is asked for: as soon as the title is reached
    // (before its first picture), when its first chapter starts, or after
    // some of its pictures.
    enum class When { TitleReached, ChapterStarted, AfterPictures };
    for (const When when : {When::TitleReached, When::ChapterStarted, When::AfterPictures}) {
        SCOPED_TRACE(static_cast<int>(when));
        auto probe = MakeCom<PictureProbe>(std::vector<POINT>{{300, 20}}); // the background
        DvdGraph g(nullptr, nullptr, probe.get());
        ASSERT_TRUE(g.WaitFor(EC_DVD_STILL_ON));
        ASSERT_EQ(g.control->PlayChapterInTitle(1, 1, 0), S_OK);
        const auto titlePictures = [&] {
            const auto pictures = probe->Pictures();
            return std::count_if(pictures.begin(), pictures.end(), [](const PictureProbe::Picture& p) {
                return p.timed && Nearer(p.luma[0], fx::kDvdTitle1Colour, fx::kDvdMenuColour);
            });
        };
        const auto end = Clock::now() + std::chrono::seconds(10);
        DVD_DOMAIN domain{};
        while (g.info->GetCurrentDomain(&domain), domain != DVD_DOMAIN_Title && Clock::now() < end)
            std::this_thread::yield();
        ASSERT_EQ(domain, DVD_DOMAIN_Title);
        if (when != When::TitleReached) {
            ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 1));
        }
        while (when == When::AfterPictures && titlePictures() < 8 && Clock::now() < end)
            g.WaitFor(0, -1, 20);
        const size_t before = g.seen.size();
        ASSERT_EQ(g.control->PlayNextChapter(0), S_OK);

        ASSERT_TRUE(g.WaitFor(EC_DVD_CHAPTER_START, 2, 8000));
        DVD_PLAYBACK_LOCATION2 where;
        ASSERT_EQ(g.info->GetCurrentLocation(&where), S_OK);
        EXPECT_EQ(where.TitleNum, 1u);
        EXPECT_GE(where.ChapterNum, 2u); // where the disc is read, ahead of the picture
        // The title plays on through its last chapter, to its last second,
        // before its post command calls the menu.
        ASSERT_TRUE(g.WaitFor(EC_DVD_DOMAIN_CHANGE, DVD_DOMAIN_VideoManagerMenu, 10000));
        std::vector<intptr_t> chapters;
        int lastSecond = -1;
        for (size_t i = before; i < g.seen.size(); ++i) {
            if (g.seen[i].code == EC_DVD_CHAPTER_START)
                chapters.push_back(g.seen[i].param1);
            if (g.seen[i].code == EC_DVD_CURRENT_HMSF_TIME)
                lastSecond = UnpackTimeCode(static_cast<uint32_t>(g.seen[i].param1)).bSeconds;
        }
        // The first chapter's start may still be on its way when the next is asked for.
        if (!chapters.empty() && chapters.front() == 1)
            chapters.erase(chapters.begin());
        EXPECT_EQ(chapters, (std::vector<intptr_t>{2, 3}));
        EXPECT_EQ(lastSecond, 2);
        // The title was announced before its second chapter started, even
        // when the jump dropped all of its first pictures.
        const auto second = std::find_if(g.seen.begin(), g.seen.end(), [](const Event& e) {
            return e.code == EC_DVD_CHAPTER_START && e.param1 == 2;
        });
        const auto announced = [&](int32_t code, intptr_t param) {
            const auto last = std::find_if(std::make_reverse_iterator(second), g.seen.rend(),
                                           [&](const Event& e) { return e.code == code; });
            return last != g.seen.rend() && last->param1 == param;
        };
        EXPECT_TRUE(announced(EC_DVD_DOMAIN_CHANGE, DVD_DOMAIN_Title));
        EXPECT_TRUE(announced(EC_DVD_TITLE_CHANGE, 1));
    }
}
