#include "video/dskitfiltergraph.h"

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include "media/filterbase.h"
#include "media/notify.h"
#include "media/uuids.h"
#include "media_fixtures.h"
#include "tracefile.h"
#include "video/dskitdspfilter.h"
#include "video/dskitfilter.h"
#include "video/dskitvideowindow.h"

using namespace kolvarin::video;
using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

// Records what IBasicAudio receives.
class FakeAudio final : public Extend<BaseFilter, IBasicAudio> {
public:
    FakeAudio() : Extend(GUID{7}, u"Fake") {}
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_FALSE; }
    HRESULT put_Volume(int32_t v) override
    {
        volume = v;
        return S_OK;
    }
    HRESULT get_Volume(int32_t* v) override { return *v = volume, S_OK; }
    HRESULT put_Balance(int32_t b) override
    {
        balance = b;
        return S_OK;
    }
    HRESULT get_Balance(int32_t* b) override { return *b = balance, S_OK; }
    int32_t volume = 1, balance = 1;
};

class Owned final : public IFilter, public IGraphEventSink {
public:
    explicit Owned(ComPtr<IBaseFilter> f) : filter(std::move(f)) {}
    ComPtr<IBaseFilter> GetFilter() override { return filter; }
    std::u16string GetName() override { return u"Owned"; }
    void NotifyFilter(Operation op, int) override { log.push_back("filter " + std::to_string(op)); }
    void GraphDestroyed() override { log.push_back("graph destroyed"); }
    void GraphEvent(int32_t event, intptr_t, intptr_t) override { log.push_back("event " + std::to_string(event)); }
    void ControlEvent(Control event, int param) override
    {
        log.push_back("control " + std::to_string(event) + "/" + std::to_string(param));
    }
    ComPtr<IBaseFilter> filter;
    std::vector<std::string> log;
};

void Notify(TFilterGraph& g, int32_t code, intptr_t p1, intptr_t p2)
{
    g.Query<IMediaEventSink>()->Notify(code, p1, p2);
}

} // namespace

TEST(TFilterGraph, VolumeAndBalanceScales)
{
    TFilterGraph g;
    g.SetActive(true);
    auto fake = MakeCom<FakeAudio>();
    g.Query<IFilterGraph>()->AddFilter(fake.get(), u"Fake");
    struct Case {
        int value;
        int stored, sent;
    } volumes[] = {{-5, 0, -10000},
                   {10000, 10000, 0},
                   {20000, 10000, 0},
                   {1, 1, static_cast<int>(std::lround(std::log(2) * 1085.73)) - 10000}};
    for (const auto& c : volumes) {
        g.SetVolume(c.value);
        EXPECT_EQ(g.Volume(), c.stored);
        EXPECT_EQ(fake->volume, c.sent) << c.value;
    }
    struct BalanceCase {
        int value, sent;
    } balances[] = {{10000, -10000}, {-10000, 10000}, {0, 0}};
    for (const auto& c : balances) {
        g.SetBalance(c.value);
        EXPECT_EQ(fake->balance, c.sent) << c.value;
    }
    g.SetLinearVolume(false);
    EXPECT_EQ(fake->balance, 0);
    g.SetVolume(2500);
    EXPECT_EQ(fake->volume, -7500);
}

TEST(TFilterGraph, RenderFileWithoutAGraphFailsAndSendsNothing)
{
    TFilterGraph g;
    Owned sink(nullptr);
    g.AddEventSink(&sink);
    EXPECT_TRUE(Failed(g.RenderFile(fx::FileName(fx::AudioFixture()))));
    EXPECT_TRUE(sink.log.empty());
    g.SetActive(true);
    sink.log.clear();
    EXPECT_TRUE(Succeeded(g.RenderFile(fx::FileName(fx::AudioFixture()))));
    EXPECT_EQ(sink.log, (std::vector<std::string>{"control 3/0", "control 4/0"}));
    g.RemoveEventSink(&sink);
}

TEST(TFilterGraph, ActivationAddsOwnedFiltersAndClearGraphKeepsThem)
{
    TFilterGraph g;
    Owned owned(CreateInstance<IBaseFilter>(CLSID_NullRenderer));
    g.InsertFilter(&owned);
    g.AddEventSink(&owned);
    g.SetActive(true);
    EXPECT_EQ(owned.log, (std::vector<std::string>{"filter 0", "filter 1", "control 7/1"}));
    ASSERT_TRUE(Succeeded(g.RenderFile(fx::FileName(fx::AudioFixture()))));
    g.ClearGraph();
    ComPtr<IEnumFilters> e;
    g.Query<IFilterGraph>()->EnumFilters(e.put());
    ComPtr<IBaseFilter> f;
    std::vector<CLSID> left;
    while (e->Next(1, f.put(), nullptr) == S_OK)
        left.push_back(ClassIdOf(f.get()));
    EXPECT_EQ(left, std::vector<CLSID>{CLSID_NullRenderer});
    // A new mode rebuilds the graph (here it cannot be built: no capture builder) and the list stays.
    owned.log.clear();
    EXPECT_THROW(g.SetMode(TGraphMode::gmCapture), EDirectShowException);
    EXPECT_FALSE(g.Active());
    g.RemoveEventSink(&owned);
    g.RemoveFilter(&owned);
}

TEST(TFilterGraph, EventsArriveInOrderThroughTheEventLoop)
{
    TFilterGraph g;
    g.SetActive(true);
    std::vector<int32_t> seen;
    std::vector<int> domains;
    g.OnDSEvent = [&](int32_t e, intptr_t, intptr_t) { seen.push_back(e); };
    g.OnDVDDomainTitle = [&] { domains.push_back(4); };
    uint16_t w = 0, h = 0;
    g.OnGraphVideoSizeChanged = [&](uint16_t width, uint16_t height) { w = width, h = height; };
    Notify(g, EC_PAUSED, 0, 0);
    Notify(g, EC_VIDEO_SIZE_CHANGED, (480 << 16) | 640, 0);
    Notify(g, EC_DVD_DOMAIN_CHANGE, 0, 0);
    Notify(g, EC_DVD_DOMAIN_CHANGE, 6, 0);
    Notify(g, EC_DVD_DOMAIN_CHANGE, 4, 0);
    EXPECT_TRUE(seen.empty()); // nothing before the event loop runs
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, (std::vector<int32_t>{EC_PAUSED, EC_VIDEO_SIZE_CHANGED, EC_DVD_DOMAIN_CHANGE, EC_DVD_DOMAIN_CHANGE,
                                          EC_DVD_DOMAIN_CHANGE}));
    EXPECT_EQ(domains, std::vector<int>{4});
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

TEST(TFilterGraph, DomainWarningAndErrorEventsFireTheHandlerTheirNumberNames)
{
    TFilterGraph g;
    g.SetActive(true);
    std::vector<std::string> fired;
    auto record = [&](std::function<void()>& handler, const char* name) {
        handler = [&fired, name] { fired.push_back(name); };
    };
    record(g.OnDVDDomainFirstPlay, "FirstPlay");
    record(g.OnDVDDomainVideoManagerMenu, "VideoManagerMenu");
    record(g.OnDVDDomainStop, "Stop");
    record(g.OnDVDWarningInvalidDVD1_0Disc, "WarningInvalidDVD1_0Disc");
    record(g.OnDVDWarningRead, "WarningRead");
    record(g.OnDVDErrorUnexpected, "ErrorUnexpected");
    record(g.OnDVDErrorMacrovisionFail, "ErrorMacrovisionFail");
    record(g.OnDVDErrorIncompatibleDiscAndDecoderRegions, "ErrorIncompatibleDiscAndDecoderRegions");
    const struct {
        int32_t event;
        intptr_t number;
        const char* expected; // nullptr: nothing fires
    } cases[] = {
        {EC_DVD_DOMAIN_CHANGE, 1, "FirstPlay"},
        {EC_DVD_DOMAIN_CHANGE, 2, "VideoManagerMenu"},
        {EC_DVD_DOMAIN_CHANGE, 5, "Stop"},
        {EC_DVD_DOMAIN_CHANGE, 6, nullptr},
        {EC_DVD_WARNING, 1, "WarningInvalidDVD1_0Disc"},
        {EC_DVD_WARNING, 6, "WarningRead"},
        {EC_DVD_WARNING, 7, nullptr},
        {EC_DVD_ERROR, 0, nullptr},
        {EC_DVD_ERROR, 1, "ErrorUnexpected"},
        {EC_DVD_ERROR, 6, "ErrorMacrovisionFail"},
        {EC_DVD_ERROR, 8, "ErrorIncompatibleDiscAndDecoderRegions"},
        {EC_DVD_ERROR, 9, nullptr},
    };
    for (const auto& c : cases) {
        fired.clear();
        Notify(g, c.event, c.number, 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(fired, c.expected ? std::vector<std::string>{c.expected} : std::vector<std::string>{})
            << std::hex << c.event << " " << c.number;
    }
    // Without the DVD interfaces a stream change has no language to tell.
    bool streamChange = false;
    g.OnDVDAudioStreamChange = [&](int, int, const std::u16string&) { streamChange = true; };
    Notify(g, EC_DVD_AUDIO_STREAM_CHANGE, 1, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(streamChange);
}

TEST(TFilterGraph, ItsComponentsForgetAGraphThatIsDestroyedAndJoinTheNextAlone)
{
    TDSVideoWindowEx2 display;
    TDSKitQxDSPFilter dsp;
    TFilter filter(u"Filter");
    auto first = std::make_unique<TFilterGraph>();
    display.SetFilterGraph(first.get());
    dsp.SetFilterGraph(first.get());
    filter.SetFilterGraph(first.get());
    first->SetActive(true);
    first.reset();
    EXPECT_EQ(display.FilterGraph(), nullptr);
    EXPECT_EQ(dsp.FilterGraph(), nullptr);
    EXPECT_EQ(filter.FilterGraph(), nullptr);
    // The colour control asks the display for its graph: it stores the value
    // and reaches for no mixer.
    display.ColorControl().SetBrightness(5000);
    EXPECT_EQ(display.ColorControl().Brightness(), 5000);

    // Joining the next graph leaves nothing of the old one to touch.
    TFilterGraph next;
    display.SetFilterGraph(&next);
    dsp.SetFilterGraph(&next);
    next.SetActive(true);
    ComPtr<IEnumFilters> filters;
    next.Query<IFilterGraph>()->EnumFilters(filters.put());
    int count = 0;
    for (ComPtr<IBaseFilter> f; filters->Next(1, f.put(), nullptr) == S_OK;)
        ++count;
    EXPECT_EQ(count, 2);
    display.SetFilterGraph(nullptr);
    dsp.SetFilterGraph(nullptr);
}

TEST(TFilterGraph, AutoCreateActivatesTheGraphOnceItsOwnerIsSetUp)
{
    for (const bool autoCreate : {false, true}) {
        TFilterGraph g;
        g.SetAutoCreate(autoCreate);
        EXPECT_FALSE(g.Active());
        g.Loaded();
        EXPECT_EQ(g.Active(), autoCreate);
    }
}

TEST(TFilterGraph, EventParametersAreFreedEvenWhenAHandlerDeactivatesTheGraph)
{
    TFilterGraph g;
    g.SetActive(true);
    const int before = LiveEventParams();
    std::u16string got;
    g.OnGraphOleEvent = [&](const std::u16string& a, const std::u16string& b) {
        got = a + u"/" + b;
        g.SetActive(false);
    };
    Notify(g, EC_OLE_EVENT, AllocEventString(u"one"), AllocEventString(u"two"));
    Notify(g, EC_OLE_EVENT, AllocEventString(u"three"), AllocEventString(u"four"));
    QCoreApplication::processEvents();
    EXPECT_EQ(got, u"one/two");
    EXPECT_FALSE(g.Active());
    EXPECT_EQ(LiveEventParams(), before); // the handled event's and the queued one's
}

// A handler's exception used to vanish: it is logged with the handler's
// name, and the events after it are still handled.
TEST(TFilterGraph, AHandlersExceptionIsLoggedWithItsName)
{
    ktest::TempDir dir;
    const ktest::TraceFile trace(dir.path() / "trace.log");
    TFilterGraph g;
    g.SetActive(true);
    int paused = 0;
    g.OnGraphComplete = [](HRESULT, IBaseFilter*) { throw std::runtime_error("no medium to end"); };
    g.OnGraphPaused = [&](HRESULT) { ++paused; };
    Notify(g, EC_COMPLETE, S_OK, 0);
    Notify(g, EC_PAUSED, S_OK, 0);
    QCoreApplication::processEvents();
    g.HandleGraphNotify();
    EXPECT_NE(trace.Text().find("Exception in OnGraphComplete: no medium to end"), std::string::npos) << trace.Text();
    EXPECT_EQ(paused, 1);
}

TEST(TFilterGraph, DvdTimeCodesAreReadAsTheStructureLaysThemOut)
{
    // 01:23:45, frame 12 at 25 fps: units in the low nibble of each pair.
    const uint32_t code =
        0x1 | 0x0 << 4 | 0x3 << 8 | 0x2 << 12 | 0x5 << 16 | 0x4 << 20 | 0x2 << 24 | 0x1 << 28 | uint32_t(1) << 30;
    TFilterGraph g;
    g.SetActive(true);
    int hours = -1, minutes = -1, seconds = -1, frames = -1, rate = -1;
    g.OnDVDCurrentTime = [&](int h, int m, int s, int f, int r) {
        hours = h, minutes = m, seconds = s, frames = f, rate = r;
    };
    DVD_HMSF_TIMECODE hmsf{};
    g.OnDVDCurrentHMSFTime = [&](DVD_HMSF_TIMECODE t, TDVDTimeCode) { hmsf = t; };
    Notify(g, EC_DVD_CURRENT_TIME, code, 0);
    Notify(g, EC_DVD_CURRENT_HMSF_TIME, 0x0C2D1701, code);
    QCoreApplication::processEvents();
    EXPECT_EQ(hours, 1);
    EXPECT_EQ(minutes, 23);
    EXPECT_EQ(seconds, 45);
    EXPECT_EQ(frames, 12);
    EXPECT_EQ(rate, 25);
    EXPECT_EQ(hmsf.bHours, 1);
    EXPECT_EQ(hmsf.bMinutes, 23);
    EXPECT_EQ(hmsf.bFrames, 12);
}

TEST(TFilterGraph, PlayingToTheEndCompletesOnTheMainThread)
{
    TFilterGraph g;
    g.SetActive(true);
    ASSERT_TRUE(Succeeded(g.RenderFile(fx::FileName(fx::AudioFixture()))));
    bool complete = false;
    g.OnGraphComplete = [&](HRESULT, IBaseFilter*) { complete = true; };
    ASSERT_TRUE(g.Play());
    EXPECT_EQ(g.GetState(), 3);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!complete && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(complete);
    EXPECT_TRUE(g.Stop());
    EXPECT_EQ(g.GetState(), 1);
}
