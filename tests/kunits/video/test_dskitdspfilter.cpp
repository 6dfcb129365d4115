#include "video/dskitdspfilter.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "media/graphif.h"
#include "media/uuids.h"

using namespace kolvarin::video;
using namespace kolvarin::media;

namespace {

AMMediaType Wave(int rate, int channels, int bits, uint16_t tag = WAVE_FORMAT_PCM, size_t cut = 0)
{
    AMMediaType mt;
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = FourCCGuid(tag);
    mt.formattype = FORMAT_WaveFormatEx;
    WAVEFORMATEX w;
    w.wFormatTag = tag;
    w.nChannels = static_cast<uint16_t>(channels);
    w.nSamplesPerSec = static_cast<uint32_t>(rate);
    w.wBitsPerSample = static_cast<uint16_t>(bits);
    w.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
    mt.format = WriteWaveFormat(w);
    mt.format.resize(mt.format.size() - cut);
    return mt;
}

// One output pin offering one type.
class Source final : public BaseFilter {
public:
    explicit Source(AMMediaType type)
        : BaseFilter(GUID{11}, u"Source"), type_(std::move(type)), out_(AddOutputPin(u"Out"))
    {}
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_OK; }
    HRESULT GetMediaType(BasePin&, int position, AMMediaType* type) override
    {
        if (position > 0)
            return VFW_S_NO_MORE_ITEMS;
        *type = type_;
        return S_OK;
    }
    OutputPin& Out() { return out_; }

private:
    AMMediaType type_;
    OutputPin& out_;
};

// Keeps what it receives.
class Sink final : public BaseFilter {
public:
    Sink() : BaseFilter(GUID{12}, u"Sink") { AddInputPin(u"In"); }
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_OK; }
    HRESULT Receive(InputPin&, IMediaSample* s) override
    {
        REFERENCE_TIME a = 0, b = 0;
        s->GetTime(&a, &b);
        got.push_back({s->GetActualDataLength(), a, b});
        return S_OK;
    }
    struct Got {
        int32_t length;
        REFERENCE_TIME start, stop;
    };
    std::vector<Got> got;
};

class ManualClock final : public ComObject<ManualClock, IReferenceClock> {
public:
    HRESULT GetTime(REFERENCE_TIME* t) override { return *t = now, S_OK; }
    REFERENCE_TIME now = 0;
};

struct Chain {
    ComPtr<IFilterGraph> graph = CreateInstance<IFilterGraph>(CLSID_FilterGraph);
    ComPtr<Source> source;
    ComPtr<IBaseFilter> dsp = MakeDSPFilter();
    ComPtr<Sink> sink = MakeCom<Sink>();
    ComPtr<ManualClock> clock = MakeCom<ManualClock>();

    AMMediaType type;

    explicit Chain(const AMMediaType& t) : source(MakeCom<Source>(t)), type(t)
    {
        graph->AddFilter(source.get(), u"Source");
        graph->AddFilter(dsp.get(), u"DSP");
        graph->AddFilter(sink.get(), u"Sink");
    }
    HRESULT Connect()
    {
        HRESULT hr = graph->ConnectDirect(&source->Out(), PinsOf(dsp.get(), PINDIR_INPUT)[0].get(), &type);
        if (Failed(hr))
            return hr;
        return graph->ConnectDirect(PinsOf(dsp.get(), PINDIR_OUTPUT)[0].get(), PinsOf(sink.get())[0].get(), nullptr);
    }
    void Run()
    {
        for (IBaseFilter* f : {static_cast<IBaseFilter*>(sink.get()), dsp.get()}) {
            f->SetSyncSource(clock.get());
            f->Run(0);
        }
    }
    // A sample of n bytes at start (100 ns) with each byte its index + seed.
    HRESULT Push(int n, REFERENCE_TIME start, REFERENCE_TIME stop, uint8_t seed = 0)
    {
        auto s = MakeCom<MediaSample>(n);
        uint8_t* p = nullptr;
        s->GetPointer(&p);
        for (int i = 0; i < n; ++i)
            p[i] = static_cast<uint8_t>(i + seed);
        s->SetActualDataLength(n);
        s->SetTime(&start, &stop);
        return QueryAs<IMemInputPin>(PinsOf(dsp.get(), PINDIR_INPUT)[0].get())->Receive(s.get());
    }
};

// The component in an active graph, its filter between a source of 8 kHz
// mono PCM and a sink; stopped and taken out of the graph at the end.
struct ComponentChain {
    TFilterGraph graph;
    TDSKitQxDSPFilter component;
    AMMediaType type = Wave(8000, 1, 16);
    ComPtr<Source> source = MakeCom<Source>(type);
    ComPtr<Sink> sink = MakeCom<Sink>();

    ComponentChain()
    {
        component.SetFilterGraph(&graph);
        graph.SetActive(true);
    }
    ~ComponentChain()
    {
        component.GetFilter()->Stop();
        sink->Stop();
        graph.SetActive(false);
        component.SetFilterGraph(nullptr);
    }
    HRESULT Connect()
    {
        auto filters = graph.Query<IFilterGraph>();
        auto filter = component.GetFilter();
        filters->AddFilter(source.get(), u"Source");
        filters->AddFilter(sink.get(), u"Sink");
        const HRESULT hr = filters->ConnectDirect(&source->Out(), PinsOf(filter.get(), PINDIR_INPUT)[0].get(), &type);
        if (Failed(hr))
            return hr;
        return filters->ConnectDirect(PinsOf(filter.get(), PINDIR_OUTPUT)[0].get(), PinsOf(sink.get())[0].get(),
                                      nullptr);
    }
    void Run()
    {
        sink->Run(0);
        component.GetFilter()->Run(0);
    }
    // One sample of 1600 bytes, delivered on the calling thread.
    void Push()
    {
        auto sample = MakeCom<MediaSample>(1600);
        sample->SetActualDataLength(1600);
        QueryAs<IMemInputPin>(PinsOf(component.GetFilter().get(), PINDIR_INPUT)[0].get())->Receive(sample.get());
    }
};

} // namespace

TEST(DSPFilter, RefusesBadFormatsWithTheirCodes)
{
    struct Case {
        AMMediaType type;
        HRESULT expected;
    } cases[] = {
        {Wave(44100, 2, 16), S_OK},
        {Wave(0, 2, 16), VFW_E_TYPE_NOT_ACCEPTED},
        {Wave(44100, 0, 16), VFW_E_TYPE_NOT_ACCEPTED},
        {Wave(44100, 2, 12), VFW_E_TYPE_NOT_ACCEPTED},
        {Wave(44100, 2, 16, WAVE_FORMAT_PCM, 3), VFW_E_TYPE_NOT_ACCEPTED}, // 15 bytes
        {Wave(44100, 12, 16), S_OK}, // channels beyond ten pass through
        // What the ring would be sized from is bounded before it is allocated.
        {Wave(384000, 8, 32), S_OK},
        {Wave(384001, 2, 16), VFW_E_TYPE_NOT_ACCEPTED},
        {Wave(100000000, 2, 16), VFW_E_TYPE_NOT_ACCEPTED},
        {Wave(48000, 64, 16), S_OK},
        {Wave(48000, 65, 16), VFW_E_TYPE_NOT_ACCEPTED},
        {Wave(96000, 64, 16), VFW_E_TYPE_NOT_ACCEPTED}, // too many samples a second
    };
    for (auto& c : cases) {
        Chain chain(c.type);
        EXPECT_EQ(chain.Connect(), c.expected);
    }
    AMMediaType video = Wave(44100, 2, 16);
    video.majortype = MEDIATYPE_Video;
    EXPECT_EQ(Chain(video).Connect(), VFW_E_INVALIDMEDIATYPE);
    AMMediaType mp3 = Wave(44100, 2, 16, 0x55);
    EXPECT_EQ(Chain(mp3).Connect(), VFW_E_INVALIDSUBTYPE);
    AMMediaType noFormat = Wave(44100, 2, 16);
    noFormat.formattype = FORMAT_VideoInfo;
    EXPECT_EQ(Chain(noFormat).Connect(), VFW_E_TYPE_NOT_ACCEPTED);
}

TEST(DSPFilter, ShortenedSamplesGetTimesOfTheirNewLength)
{
    Chain chain(Wave(8000, 2, 16));
    ASSERT_EQ(chain.Connect(), S_OK);
    struct Halve final : ComObject<Halve, IDSKitQxDSPFilterCallBack> {
        HRESULT PCMData(void*, int32_t size, int32_t* newSize, PDSStream s) override
        {
            stream = *s;
            *newSize = size / 2;
            return S_OK;
        }
        HRESULT MediaTypeChanged(PDSStream) override { return S_OK; }
        HRESULT Flush() override { return ++flushes, S_OK; }
        TDSStream stream;
        int flushes = 0;
    };
    auto halve = MakeCom<Halve>();
    QueryAs<IDSKitQxDSPFilterInterface>(chain.dsp.get())->SetCallBack(halve.get());
    chain.Run();
    ASSERT_EQ(chain.Push(3200, 0, 1000000), S_OK); // 0.1 s of 8 kHz stereo 16-bit
    ASSERT_EQ(chain.sink->got.size(), 1u);
    EXPECT_EQ(chain.sink->got[0].length, 1600);
    EXPECT_EQ(chain.sink->got[0].stop, 500000);
    EXPECT_EQ(halve->stream.SampleRate, 8000);
    EXPECT_EQ(halve->stream.Channels, 2);
    EXPECT_EQ(halve->stream.Bits, 16);
    EXPECT_EQ(halve->stream.Size, 3200);
}

TEST(DSPFilter, PassThroughStreamsReachNeitherHandlerNorRing)
{
    AMMediaType ac3 = Wave(48000, 2, 16, 0x2000);
    ac3.subtype = MEDIASUBTYPE_DOLBY_AC3;
    Chain real(ac3);
    ASSERT_EQ(real.Connect(), S_OK);
    struct Count final : ComObject<Count, IDSKitQxDSPFilterCallBack> {
        HRESULT PCMData(void*, int32_t size, int32_t* newSize, PDSStream) override
        {
            ++calls;
            *newSize = size;
            return S_OK;
        }
        HRESULT MediaTypeChanged(PDSStream) override { return S_OK; }
        HRESULT Flush() override { return S_OK; }
        int calls = 0;
    };
    auto count = MakeCom<Count>();
    QueryAs<IDSKitQxDSPFilterInterface>(real.dsp.get())->SetCallBack(count.get());
    real.Run();
    ASSERT_EQ(real.Push(1536, 0, 320000), S_OK);
    EXPECT_EQ(count->calls, 0);
    EXPECT_EQ(real.sink->got.at(0).length, 1536);
    std::vector<uint8_t> data;
    TDSStream s;
    EXPECT_EQ(QueryAs<IDSKitQxDSPFilterVisualInterface>(real.dsp.get())->GetVisualData(&data, &s), S_FALSE);
    EXPECT_NE(s.AC3, 0);
}

TEST(DSPFilter, TheRingServesTheSliceThatPlaysAndIsBoundedAndCleared)
{
    // 8 kHz mono 8-bit: 8000 bytes a second, a ring of 32000 bytes.
    AMMediaType type = Wave(8000, 1, 8);
    Chain chain(type);
    ASSERT_EQ(chain.Connect(), S_OK);
    auto visual = QueryAs<IDSKitQxDSPFilterVisualInterface>(chain.dsp.get());
    chain.Run();
    // Six seconds in one-second buffers, each byte (second * 50 + index) mod 256:
    // more than the ring holds.
    for (int s = 0; s < 6; ++s)
        ASSERT_EQ(chain.Push(8000, s * 10000000LL, (s + 1) * 10000000LL, static_cast<uint8_t>(s * 50)), S_OK);
    std::vector<uint8_t> data;
    TDSStream stream;
    chain.clock->now = 15000000; // 1.5 s: overwritten (the ring holds 2 s to 6 s)
    EXPECT_EQ(visual->GetVisualData(&data, &stream), S_FALSE);
    EXPECT_TRUE(data.empty());
    chain.clock->now = 45000000; // 4.5 s: in the ring
    ASSERT_EQ(visual->GetVisualData(&data, &stream), S_OK);
    ASSERT_EQ(data.size(), 16384u);
    EXPECT_EQ(data[0], static_cast<uint8_t>(4000 + 4 * 50)); // byte 4000 of second 4
    EXPECT_EQ(data[3999], static_cast<uint8_t>(7999 + 4 * 50));
    EXPECT_EQ(data[4000], static_cast<uint8_t>(0 + 5 * 50)); // second 5 follows
    EXPECT_EQ(data[12000], 0); // not written yet
    // A flush empties the ring.
    auto in = PinsOf(chain.dsp.get(), PINDIR_INPUT)[0];
    in->BeginFlush();
    in->EndFlush();
    EXPECT_EQ(visual->GetVisualData(&data, &stream), S_FALSE);
}

TEST(DSPFilter, ComponentInstallsItsCallbackInTheGraphAndTicksVisualData)
{
    ComponentChain chain;
    ComPtr<IBaseFilter> inGraph;
    EXPECT_EQ(chain.graph.Query<IFilterGraph>()->FindFilterByName(u"DSP Filter", inGraph.put()), S_OK);
    EXPECT_TRUE(SameObject(inGraph.get(), chain.component.GetFilter().get()));
    int ticks = 0;
    chain.component.OnVisualData = [&](const void*, int, PDSStream) { ++ticks; };
    chain.component.VisualTick(); // not running: nothing
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(chain.component.VisualInterval(), 40);
    // PCM reaches the handler only with DSP on.
    ASSERT_EQ(chain.Connect(), S_OK);
    int calls = 0;
    chain.component.OnPCMData = [&](void*, int size, int& newSize, PDSStream s) {
        ++calls;
        EXPECT_EQ(s->SampleRate, 8000);
        newSize = size - 2;
    };
    chain.Run();
    chain.Push();
    EXPECT_EQ(calls, 0);
    chain.component.SetDSPEnabled(true);
    chain.Push();
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(chain.sink->got.size(), 2u);
    EXPECT_EQ(chain.sink->got[0].length, 1600);
    EXPECT_EQ(chain.sink->got[1].length, 1598);
    chain.component.SetDelay(250);
    chain.component.SetDelayEnabled(true);
    EXPECT_EQ(chain.component.Delay(), 250);
    EXPECT_TRUE(chain.component.DelayEnabled());
}

// The window replaces the handlers on the main thread while the streaming
// thread calls them: once the replacement returns, the old handler (and what
// it refers to) is no longer running.
TEST(DSPFilter, AReplacedHandlerHasFinishedWhenTheReplacementReturns)
{
    ComponentChain chain;
    ASSERT_EQ(chain.Connect(), S_OK);
    chain.Run();
    chain.component.SetDSPEnabled(true);
    std::atomic<bool> entered = false, finished = false;
    chain.component.OnPCMData = [&](void*, int, int&, PDSStream) {
        entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        finished = true;
    };
    std::thread streaming([&] { chain.Push(); });
    while (!entered)
        std::this_thread::yield();
    chain.component.OnPCMData = nullptr;
    EXPECT_TRUE(finished);
    streaming.join();
}
