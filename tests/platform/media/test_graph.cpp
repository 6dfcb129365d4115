#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "audio/output.h"
#include "media/clock.h"
#include "media/controlif.h"
#include "media/devenum.h"
#include "media/graphif.h"
#include "media/locale.h"
#include "media/renderer.h"
#include "media/uuids.h"
#include "media_fixtures.h"
#include "temphome.h"

using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

std::vector<ComPtr<IBaseFilter>> Filters(IFilterGraph* g)
{
    std::vector<ComPtr<IBaseFilter>> list;
    ComPtr<IEnumFilters> e;
    g->EnumFilters(e.put());
    ComPtr<IBaseFilter> f;
    while (e->Next(1, f.put(), nullptr) == S_OK)
        list.push_back(f);
    return list;
}

ComPtr<IBaseFilter> Add(IFilterGraph* g, const CLSID& clsid, const std::u16string& name)
{
    auto f = CreateInstance<IBaseFilter>(clsid);
    EXPECT_TRUE(f);
    EXPECT_TRUE(Succeeded(g->AddFilter(f.get(), name)));
    return f;
}

// Waits for one of the codes; false after the time-out.
bool WaitForEvent(IMediaEvent* events, int32_t wanted, int ms, std::vector<int32_t>* seen = nullptr)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        int32_t code;
        intptr_t a, b;
        if (events->GetEvent(&code, &a, &b, 50) == S_OK) {
            events->FreeEventParams(code, a, b);
            if (seen)
                seen->push_back(code);
            if (code == wanted)
                return true;
        }
    }
    return false;
}

// Takes samples of one major type as they come and keeps the end of the
// last one.
class TimesSink final : public Renderer {
public:
    explicit TimesSink(const GUID& major) : Renderer(GUID_NULL, u"Times"), major_(major) {}
    HRESULT CheckInputType(const AMMediaType& type) override
    {
        return type.majortype == major_ ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    bool Scheduled() const override { return false; }
    void Render(IMediaSample* sample) override
    {
        REFERENCE_TIME start = 0, stop = 0;
        if (Succeeded(sample->GetTime(&start, &stop)))
            last_ = std::max(last_.load(), stop);
    }
    REFERENCE_TIME Last() const { return last_; }

private:
    GUID major_;
    std::atomic<REFERENCE_TIME> last_{0};
};

// Takes samples when they are due; counts what it rendered.
class DueSink final : public Renderer {
public:
    DueSink() : Renderer(GUID_NULL, u"Due") {}
    HRESULT CheckInputType(const AMMediaType&) override { return S_OK; }
    void Render(IMediaSample*) override { ++rendered_; }
    int Rendered() const { return rendered_; }

private:
    std::atomic<int> rendered_{0};
};

// Offers one pin of each major type and never sends anything.
class SilentSource final : public BaseFilter {
public:
    SilentSource() : BaseFilter(GUID_NULL, u"Silent")
    {
        AddOutputPin(u"Video");
        AddOutputPin(u"Audio");
    }
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_OK; }
    HRESULT GetMediaType(BasePin& pin, int position, AMMediaType* type) override
    {
        if (position > 0)
            return VFW_S_NO_MORE_ITEMS;
        type->majortype = &pin == Pins()[0].get() ? MEDIATYPE_Video : MEDIATYPE_Audio;
        type->subtype = MEDIASUBTYPE_PCM;
        type->formattype = FORMAT_None;
        return S_OK;
    }
};

} // namespace

// A sample waits on the streaming thread for its time, reading the state and
// the run's start, while the main thread pauses and runs again from new
// starts; a stop ends the wait. (ThreadSanitizer builds see the reads.)
TEST(Graph, ARendererWaitsForItsTimeThroughPausesAndNewRuns)
{
    auto sink = MakeCom<DueSink>();
    ASSERT_EQ(sink->SetSyncSource(MakeSystemClock().get()), S_OK);
    ASSERT_EQ(sink->Pause(), S_OK);
    ASSERT_EQ(sink->Run(0), S_OK);
    auto sample = MakeCom<MediaSample>(0);
    const REFERENCE_TIME start = REFERENCE_TIME(1000) * 3600 * 10'000'000, stop = start + 1; // hours ahead
    sample->SetTime(&start, &stop);
    std::atomic<bool> receiving{false};
    std::atomic<HRESULT> received{S_OK};
    std::thread streaming([&] {
        receiving = true;
        received = sink->Receive(sink->Input(), sample.get());
    });
    while (!receiving)
        std::this_thread::yield();
    for (REFERENCE_TIME run = 1; run <= 5000; ++run) {
        sink->Pause();
        sink->Run(run);
    }
    sink->Stop();
    streaming.join();
    EXPECT_EQ(received, S_FALSE);
    EXPECT_EQ(sink->Rendered(), 0);
}

// Renderers report their end on their streaming threads while the main
// thread changes the graph's state, which counts the renderers anew.
TEST(Graph, OneOfTwoRenderersEndingNeverCompletesTheGraph)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    auto source = MakeCom<SilentSource>();
    auto pictures = MakeCom<TimesSink>(MEDIATYPE_Video), sound = MakeCom<TimesSink>(MEDIATYPE_Audio);
    ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(pictures.get(), u"Pictures"), S_OK);
    ASSERT_EQ(graph->AddFilter(sound.get(), u"Sound"), S_OK);
    ASSERT_EQ(graph->ConnectDirect(source->Pins()[0].get(), PinsOf(pictures.get())[0].get(), nullptr), S_OK);
    ASSERT_EQ(graph->ConnectDirect(source->Pins()[1].get(), PinsOf(sound.get())[0].get(), nullptr), S_OK);

    auto control = graph.as<IMediaControl>();
    ASSERT_EQ(control->Pause(), S_OK);
    auto sink = graph.as<IMediaEventSink>();
    std::atomic<bool> started{false}, stop{false};
    std::thread ending([&] {
        const auto renderer = reinterpret_cast<intptr_t>(static_cast<IBaseFilter*>(pictures.get()));
        while (!stop) {
            sink->Notify(EC_COMPLETE, S_OK, renderer);
            started = true;
        }
    });
    while (!started)
        std::this_thread::yield();
    for (int i = 0; i < 5000; ++i) {
        control->Stop();
        control->Pause();
    }
    stop = true;
    ending.join();
    auto events = graph.as<IMediaEvent>();
    int completions = 0;
    int32_t code;
    intptr_t a, b;
    while (events->GetEvent(&code, &a, &b, 0) == S_OK) {
        completions += code == EC_COMPLETE;
        events->FreeEventParams(code, a, b);
    }
    EXPECT_EQ(completions, 0);
}

TEST(Graph, AtTwiceTheRateAClipsSamplesTakeHalfItsTime)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(fx::FileName(fx::Mp4Fixture()), u"Source", source.put()), S_OK);
    auto pictures = MakeCom<TimesSink>(MEDIATYPE_Video), sound = MakeCom<TimesSink>(MEDIATYPE_Audio);
    ASSERT_EQ(graph->AddFilter(pictures.get(), u"Pictures"), S_OK);
    ASSERT_EQ(graph->AddFilter(sound.get(), u"Sound"), S_OK);
    for (const auto& [pin, decoder, sink] : {std::tuple{u"Video", CLSID_FFVideoDecoder, pictures.get()},
                                             std::tuple{u"Audio", CLSID_FFAudioDecoder, sound.get()}}) {
        ComPtr<IPin> out;
        ASSERT_EQ(source->FindPin(pin, out.put()), S_OK);
        auto d = Add(graph.get(), decoder, u"Decoder");
        ASSERT_EQ(graph->ConnectDirect(out.get(), PinsOf(d.get(), PINDIR_INPUT)[0].get(), nullptr), S_OK);
        ASSERT_EQ(graph->ConnectDirect(PinsOf(d.get(), PINDIR_OUTPUT)[0].get(), PinsOf(sink)[0].get(), nullptr), S_OK);
    }
    auto seeking = graph.as<IMediaSeeking>();
    EXPECT_EQ(seeking->SetRate(0), E_INVALIDARG);
    ASSERT_EQ(seeking->SetRate(2.0), S_OK);
    double rate = 0;
    seeking->GetRate(&rate);
    EXPECT_EQ(rate, 2.0);
    ASSERT_EQ(graph.as<IMediaControl>()->Run(), S_OK);
    EXPECT_TRUE(WaitForEvent(graph.as<IMediaEvent>().get(), EC_COMPLETE, 5000));
    graph.as<IMediaControl>()->Stop();
    // The two-second clip, pictures and sound alike, in one second.
    EXPECT_NEAR(pictures->Last(), 10000000, 1000000);
    EXPECT_NEAR(sound->Last(), 10000000, 1000000);
}

TEST(Graph, BadFilesFailAndLeaveNoFilterBehind)
{
    struct Case {
        std::filesystem::path file;
        HRESULT expected;
    } cases[] = {
        {"/nonexistent/clip.mkv", E_FILE_NOT_FOUND},
        {fx::WriteFile("empty.avi", ""), VFW_E_UNKNOWN_FILE_TYPE},
        {fx::WriteFile("garbage.mp4", std::string(4096, '\x5A')), VFW_E_UNKNOWN_FILE_TYPE},
    };
    for (const auto& c : cases) {
        auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
        ASSERT_TRUE(graph);
        EXPECT_EQ(graph->RenderFile(fx::FileName(c.file), {}), c.expected) << c.file;
        EXPECT_TRUE(Filters(graph.get()).empty()) << c.file;
    }
    // A truncated file: whatever opens must not crash or hang, and a failure leaves nothing.
    const std::string whole = ktest::readFile(fx::Mp4Fixture());
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    const HRESULT hr = graph->RenderFile(fx::FileName(fx::WriteFile("cut.mp4", whole.substr(0, whole.size() / 3))), {});
    if (Failed(hr)) {
        EXPECT_TRUE(Filters(graph.get()).empty());
    }
}

TEST(Graph, ByHandDecodesToTheEndAndCompletes)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(fx::FileName(fx::Mp4Fixture()), u"Source", source.put()), S_OK);
    auto decoder = Add(graph.get(), CLSID_FFVideoDecoder, u"Decoder");
    auto sink = Add(graph.get(), CLSID_NullRenderer, u"Sink");
    ComPtr<IPin> video;
    ASSERT_EQ(source->FindPin(u"Video", video.put()), S_OK);
    // A pin cannot go straight to a wrong-direction pin, and a connected pin is refused.
    auto decoderIn = PinsOf(decoder.get(), PINDIR_INPUT)[0];
    auto decoderOut = PinsOf(decoder.get(), PINDIR_OUTPUT)[0];
    EXPECT_TRUE(Failed(graph->ConnectDirect(video.get(), decoderOut.get(), nullptr)));
    ASSERT_EQ(graph->ConnectDirect(video.get(), decoderIn.get(), nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(video.get(), decoderIn.get(), nullptr), VFW_E_ALREADY_CONNECTED);
    ASSERT_EQ(graph->ConnectDirect(decoderOut.get(), PinsOf(sink.get())[0].get(), nullptr), S_OK);
    AMMediaType mt;
    ASSERT_EQ(decoderOut->ConnectionMediaType(&mt), S_OK);
    EXPECT_EQ(mt.subtype, MEDIASUBTYPE_I420);
    EXPECT_EQ(ReadVideoInfo2(mt.formatBytes())->bmiHeader.biWidth, fx::kWidth);

    auto control = graph.as<IMediaControl>();
    auto events = graph.as<IMediaEvent>();
    ASSERT_EQ(control->Run(), S_OK);
    EXPECT_TRUE(WaitForEvent(events.get(), EC_COMPLETE, 5000));
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST(Graph, AudioFilePlaysThroughTheAudioRendererInRealTime)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ASSERT_EQ(graph->RenderFile(fx::FileName(fx::AudioFixture()), {}), S_OK);
    const auto filters = Filters(graph.get());
    ASSERT_EQ(filters.size(), 3u); // source, decoder, renderer
    EXPECT_EQ(ClassIdOf(filters.back().get()), CLSID_DSoundRender);
    auto audio = graph.as<IBasicAudio>();
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(audio->put_Volume(-600), S_OK);
    int64_t duration = 0;
    ASSERT_EQ(graph.as<IMediaSeeking>()->GetDuration(&duration), S_OK);
    EXPECT_NEAR(duration, 10000000, 300000);
    const auto started = std::chrono::steady_clock::now();
    graph.as<IMediaControl>()->Run();
    EXPECT_TRUE(WaitForEvent(graph.as<IMediaEvent>().get(), EC_COMPLETE, 5000));
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GT(took, std::chrono::milliseconds(800)); // played at its own pace
    graph.as<IMediaControl>()->Stop();
}

// SDL's dummy driver opens one device at a time: with it taken, the audio
// renderer has none, and the file still plays to its end on system time.
TEST(Graph, AudioWithoutADeviceStillPlaysToTheEnd)
{
    auto taken = kolvarin::audio::makeSdlOutput("");
    int error = 0;
    const bool held = taken->open(
        44100, 2, 20, [](float* out, int frames, int channels) { std::fill(out, out + frames * channels, 0.0f); },
        error);
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ASSERT_EQ(graph->RenderFile(fx::FileName(fx::AudioFixture()), {}), S_OK);
    graph.as<IMediaControl>()->Run();
    EXPECT_TRUE(WaitForEvent(graph.as<IMediaEvent>().get(), EC_COMPLETE, 10000)) << "device held: " << held;
    graph.as<IMediaControl>()->Stop();
    taken->close();
}

TEST(Graph, SeekingMovesThePositionAndPlaysOn)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ASSERT_TRUE(Succeeded(graph->RenderFile(fx::FileName(fx::AudioFixture()), {})));
    auto seeking = graph.as<IMediaSeeking>();
    uint32_t caps = 0;
    seeking->GetCapabilities(&caps);
    EXPECT_TRUE(caps & AM_SEEKING_CanSeekAbsolute);
    constexpr uint32_t kNobodyHasIt = 0x40000000;
    uint32_t asked = AM_SEEKING_CanSeekAbsolute | kNobodyHasIt;
    EXPECT_EQ(seeking->CheckCapabilities(&asked), S_FALSE);
    EXPECT_EQ(asked, uint32_t{AM_SEEKING_CanSeekAbsolute});
    asked = kNobodyHasIt;
    EXPECT_EQ(seeking->CheckCapabilities(&asked), E_FAIL);
    EXPECT_EQ(seeking->CheckCapabilities(nullptr), E_POINTER);
    auto control = graph.as<IMediaControl>();
    control->Run();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // The rate it plays at already needs no seek.
    const auto logPath = fx::MediaFolder() / "seeking-graph.log";
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(log, 0);
    graph->SetLogFile(log);
    EXPECT_EQ(seeking->SetRate(1.0), S_OK);
    int64_t target = 7000000;
    ASSERT_EQ(seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
    int64_t now = 0;
    seeking->GetCurrentPosition(&now);
    EXPECT_GE(now, target - 500000);
    EXPECT_LE(now, target + 1000000);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(WaitForEvent(graph.as<IMediaEvent>().get(), EC_COMPLETE, 3000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(900)); // only the rest played
    control->Stop();
    graph->SetLogFile(0);
    ::close(log);
    const std::string logged = ktest::readFile(logPath);
    const size_t seek = logged.find("Seek to");
    EXPECT_TRUE(seek != std::string::npos && logged.find("Seek to", seek + 1) == std::string::npos)
        << "only the one seek asked for:\n"
        << logged;
}

TEST(Graph, SplitterSelectsStreamsWithLanguagesAndNames)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(fx::FileName(fx::MkvFixture()), u"Source", source.put()), S_OK);
    EXPECT_EQ(ClassIdOf(source.get()), CLSID_MediaSplitter);
    auto select = source.as<IAMStreamSelect>();
    ASSERT_TRUE(select);
    uint32_t count = 0;
    select->Count(&count);
    ASSERT_EQ(count, 4u);
    struct Expect {
        GUID major;
        LCID lcid;
        std::u16string name;
        bool enabled;
    } expected[] = {
        {MEDIATYPE_Video, 0, u"", true},
        {MEDIATYPE_Audio, 0x0409, u"Main", true},
        {MEDIATYPE_Audio, 0x0407, u"Kommentar", false},
        {MEDIATYPE_Subtitle, 0x0409, u"", true},
    };
    for (int i = 0; i < 4; ++i) {
        AMMediaType mt;
        uint32_t flags = 0;
        LCID lcid = 0;
        std::u16string name;
        ASSERT_EQ(select->Info(i, &mt, &flags, &lcid, nullptr, &name, nullptr, nullptr), S_OK);
        EXPECT_EQ(mt.majortype, expected[i].major) << i;
        EXPECT_EQ(lcid, expected[i].lcid) << i;
        EXPECT_EQ(name, expected[i].name) << i;
        EXPECT_EQ(flags == AMSTREAMSELECTINFO_ENABLED, expected[i].enabled) << i;
    }
    EXPECT_EQ(EnglishLanguageName(0x0407), u"German");
    ASSERT_EQ(select->Enable(2, AMSTREAMSELECTENABLE_ENABLE), S_OK);
    uint32_t flags = 0;
    select->Info(1, nullptr, &flags, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(flags, 0u);
    select->Info(2, nullptr, &flags, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(flags, AMSTREAMSELECTINFO_ENABLED);
    EXPECT_EQ(select->Enable(9, AMSTREAMSELECTENABLE_ENABLE), E_INVALIDARG);
}

TEST(Graph, DeviceEnumeratorListsCategoriesAndCreatesFilters)
{
    auto devices = CreateInstance<ICreateDevEnum>(CLSID_SystemDeviceEnum);
    ASSERT_TRUE(devices);
    ComPtr<IEnumMoniker> e;
    ASSERT_EQ(devices->CreateClassEnumerator(CLSID_AudioRendererCategory, e.put(), 0), S_OK);
    ComPtr<IMoniker> m;
    ASSERT_EQ(e->Next(1, m.put(), nullptr), S_OK);
    ComPtr<IPropertyBag> bag;
    ASSERT_EQ(m->BindToStorage(IPropertyBag::iid, bag.putVoid()), S_OK);
    std::u16string name, clsid;
    bag->Read(u"FriendlyName", &name);
    bag->Read(u"CLSID", &clsid);
    EXPECT_EQ(name, u"Default DirectSound Device");
    EXPECT_EQ(clsid, u"{79376820-07D0-11CF-A24D-0020AFD79767}");
    ComPtr<IBaseFilter> f;
    ASSERT_EQ(m->BindToObject(IBaseFilter::iid, f.putVoid()), S_OK);
    EXPECT_EQ(ClassIdOf(f.get()), CLSID_DSoundRender);
    std::vector<DmoEntry> dmos;
    EXPECT_EQ(DMOEnum(GUID_NULL, &dmos), S_OK);
    EXPECT_TRUE(dmos.empty());
    EXPECT_EQ(CoCreateInstance(GUID_NULL, IUnknown::iid, f.putVoid()), REGDB_E_CLASSNOTREG);
}
