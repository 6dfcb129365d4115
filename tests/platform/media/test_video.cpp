#include <atomic>
#include <functional>
#include <thread>

#include <QApplication>
#include <QColor>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include "media/controlif.h"
#include "media/filterbase.h"
#include "media/formatblocks.h"
#include "media/graphif.h"
#include "media/pictureconvert.h"
#include "media/uuids.h"
#include "media/videorenderer.h"
#include "media/videoview.h"
#include "media_fixtures.h"

using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

ComPtr<IBaseFilter> FindByClass(IFilterGraph* g, const CLSID& clsid)
{
    ComPtr<IEnumFilters> e;
    g->EnumFilters(e.put());
    ComPtr<IBaseFilter> f;
    while (e->Next(1, f.put(), nullptr) == S_OK)
        if (ClassIdOf(f.get()) == clsid)
            return f;
    return {};
}

// Each channel within tolerance of the expected colour.
void ExpectColour(const QImage& image, QPoint at, unsigned rgb, int tolerance = 12)
{
    const QColor c = image.pixelColor(at);
    EXPECT_NEAR(c.red(), int(rgb >> 16 & 0xFF), tolerance) << at.x() << "," << at.y();
    EXPECT_NEAR(c.green(), int(rgb >> 8 & 0xFF), tolerance) << at.x() << "," << at.y();
    EXPECT_NEAR(c.blue(), int(rgb & 0xFF), tolerance) << at.x() << "," << at.y();
}

// An I420 picture type of width x 3/4 width.
AMMediaType PictureType(int32_t width)
{
    VIDEOINFOHEADER2 v;
    v.bmiHeader.biWidth = width;
    v.bmiHeader.biHeight = width * 3 / 4;
    AMMediaType type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_I420;
    type.formattype = FORMAT_VideoInfo2;
    type.format = WriteVideoInfo2(v);
    return type;
}

// One output pin that offers a 64-pixel picture type; the test sends through it.
class PictureTypeSource final : public BaseFilter {
public:
    PictureTypeSource() : BaseFilter(GUID_NULL, u"Picture types") { AddOutputPin(u"Out"); }
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_OK; }
    HRESULT GetMediaType(BasePin&, int position, AMMediaType* type) override
    {
        if (position > 0)
            return VFW_S_NO_MORE_ITEMS;
        *type = PictureType(64);
        return S_OK;
    }
    OutputPin& Out() { return static_cast<OutputPin&>(*Pins()[0]); }
};

} // namespace

TEST(VideoRenderer, EveryFixtureRendersAutomaticallyWithItsColours)
{
    struct Case {
        std::filesystem::path file;
        HRESULT result;
    } cases[] = {
        {fx::MkvFixture(), VFW_S_PARTIAL_RENDER}, // nothing renders the subtitle stream by itself
        {fx::AviFixture(), S_OK},
        {fx::MjpegFixture(), S_OK}, // full-range YUV
        {fx::Mp4Fixture(), S_OK},
    };
    for (const auto& c : cases) {
        auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
        ASSERT_EQ(graph->RenderFile(fx::FileName(c.file), {}), c.result) << c.file;
        auto renderer = FindByClass(graph.get(), CLSID_VideoRenderer);
        ASSERT_TRUE(renderer) << c.file;
        ASSERT_TRUE(FindByClass(graph.get(), CLSID_DSoundRender)) << c.file;
        auto control = graph.as<IMediaControl>();
        control->Pause();
        OAFilterState state = 0;
        EXPECT_EQ(control->GetState(3000, &state), S_OK);
        const QImage image = CurrentVideoImage(renderer.get());
        ASSERT_EQ(image.size(), QSize(fx::kWidth, fx::kHeight)) << c.file;
        ExpectColour(image, {20, 60}, fx::kLeftColour);
        ExpectColour(image, {140, 60}, fx::kRightColour);
        auto video = graph.as<IBasicVideo>();
        int32_t w = 0, h = 0;
        ASSERT_TRUE(video);
        video->GetVideoSize(&w, &h);
        EXPECT_EQ(w, fx::kWidth);
        EXPECT_EQ(h, fx::kHeight);
        control->Stop();
    }
}

TEST(VideoRenderer, SourceRectangleShowsPartOfThePictureScaledToTheWindow)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ASSERT_TRUE(Succeeded(graph->RenderFile(fx::FileName(fx::Mp4Fixture()), {})));
    auto video = graph.as<IBasicVideo>();
    auto window = graph.as<IVideoWindow>();
    ASSERT_TRUE(video && window);
    EXPECT_EQ(video->put_SourceWidth(fx::kWidth + 1), E_INVALIDARG);
    // The right half only, stretched over a 200 x 100 window.
    ASSERT_EQ(video->put_SourceWidth(fx::kWidth / 2), S_OK);
    ASSERT_EQ(video->put_SourceLeft(fx::kWidth / 2), S_OK);
    window->SetWindowPosition(0, 0, 200, 100);
    graph.as<IMediaControl>()->Pause();
    OAFilterState state;
    graph.as<IMediaControl>()->GetState(3000, &state);
    const QImage shown = GrabVideoWindow(FindByClass(graph.get(), CLSID_VideoRenderer).get());
    ASSERT_EQ(shown.size(), QSize(200, 100));
    ExpectColour(shown, {10, 50}, fx::kRightColour);
    ExpectColour(shown, {190, 50}, fx::kRightColour);
    graph.as<IMediaControl>()->Stop();
}

TEST(OverlayMixer, ColourControlsChangeTheReadBackPixels)
{
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    auto mixer = CreateInstance<IBaseFilter>(CLSID_OverlayMixer);
    auto renderer = CreateInstance<IBaseFilter>(CLSID_VideoRenderer);
    graph->AddFilter(renderer.get(), u"Video Renderer");
    graph->AddFilter(mixer.get(), u"Overlay Mixer");
    // The mixer's output needs its input first.
    EXPECT_TRUE(Failed(
        graph->ConnectDirect(PinsOf(mixer.get(), PINDIR_OUTPUT)[0].get(), PinsOf(renderer.get())[0].get(), nullptr)));
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(fx::FileName(fx::Mp4Fixture()), u"Source", source.put()), S_OK);
    auto decoder = CreateInstance<IBaseFilter>(CLSID_FFVideoDecoder);
    graph->AddFilter(decoder.get(), u"Decoder");
    ComPtr<IPin> video;
    source->FindPin(u"Video", video.put());
    ASSERT_EQ(graph->ConnectDirect(video.get(), PinsOf(decoder.get(), PINDIR_INPUT)[0].get(), nullptr), S_OK);
    ASSERT_EQ(graph->ConnectDirect(PinsOf(decoder.get(), PINDIR_OUTPUT)[0].get(),
                                   PinsOf(mixer.get(), PINDIR_INPUT)[0].get(), nullptr),
              S_OK);
    ASSERT_EQ(
        graph->ConnectDirect(PinsOf(mixer.get(), PINDIR_OUTPUT)[0].get(), PinsOf(renderer.get())[0].get(), nullptr),
        S_OK);
    auto config = QueryAs<IMixerPinConfig2>(PinsOf(mixer.get(), PINDIR_INPUT)[0].get());
    ASSERT_TRUE(config);
    DDCOLORCONTROL c;
    ASSERT_EQ(config->GetOverlaySurfaceColorControls(&c), S_OK);
    EXPECT_EQ(c.lBrightness, 750);
    EXPECT_EQ(c.lContrast, 10000);

    struct Case {
        const char* what;
        void (*set)(DDCOLORCONTROL&);
        unsigned left; // expected colour of the left half
    } cases[] = {
        {"neutral", [](DDCOLORCONTROL&) {}, fx::kLeftColour},
        {"colour off", [](DDCOLORCONTROL& k) { k.lColorEnable = 0; }, 0x474747},
        {"full brightness", [](DDCOLORCONTROL& k) { k.lBrightness = 10000; }, 0xFFFFFF},
        {"no contrast, no colour",
         [](DDCOLORCONTROL& k) {
             k.lContrast = 0;
             k.lColorEnable = 0;
         },
         0x828282}, // mid grey
    };
    auto control = graph.as<IMediaControl>();
    for (const auto& k : cases) {
        DDCOLORCONTROL set = c;
        set.dwFlags = 0x7F;
        k.set(set);
        ASSERT_EQ(config->SetOverlaySurfaceColorControls(&set), S_OK) << k.what;
        control->Pause();
        OAFilterState state;
        control->GetState(3000, &state);
        const QImage image = CurrentVideoImage(renderer.get());
        ASSERT_FALSE(image.isNull()) << k.what;
        SCOPED_TRACE(k.what);
        ExpectColour(image, {20, 60}, k.left, 20);
        control->Stop();
    }
}

// Runs where the display offers OpenGL (e.g. under Xvfb with
// QT_QPA_PLATFORM=xcb); the offscreen platform has only the software path.
TEST(VideoRenderer, OpenGLWindowShowsWhatTheSoftwarePathShows)
{
    if (!OpenGLVideoAvailable())
        GTEST_SKIP() << "no OpenGL on this display";
    SetVideoOutput(VideoOutput::OpenGL); // a software rasteriser (Xvfb's) would get the software path
    struct Restore {
        ~Restore() { SetVideoOutput(VideoOutput::Automatic); }
    } restore;
    auto graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    auto mixer = CreateInstance<IBaseFilter>(CLSID_OverlayMixer);
    graph->AddFilter(mixer.get(), u"Overlay Mixer");
    ASSERT_TRUE(Succeeded(graph->RenderFile(fx::FileName(fx::AviFixture()), {})));
    auto renderer = FindByClass(graph.get(), CLSID_VideoRenderer);
    ASSERT_TRUE(VideoWindowUsesOpenGL(renderer.get()));
    auto config = QueryAs<IMixerPinConfig2>(PinsOf(mixer.get(), PINDIR_INPUT)[0].get());
    ComPtr<IPin> feed;
    ASSERT_TRUE(config && PinsOf(mixer.get(), PINDIR_INPUT)[0]->ConnectedTo(feed.put()) == S_OK);
    QWidget owner;
    owner.resize(400, 300);
    auto window = graph.as<IVideoWindow>();
    window->put_Owner(&owner);
    window->SetWindowPosition(10, 10, 240, 180);
    owner.show();
    auto control = graph.as<IMediaControl>();
    const std::function<void(DDCOLORCONTROL&)> settings[] = {
        [](DDCOLORCONTROL&) {},
        [](DDCOLORCONTROL& k) {
            k.lHue = 60;
            k.lSaturation = 15000;
        },
        [](DDCOLORCONTROL& k) {
            k.lBrightness = 2000;
            k.lContrast = 14000;
            k.lGamma = 200;
            k.lSharpness = 10;
        },
    };
    for (const auto& set : settings) {
        DDCOLORCONTROL c = DefaultColorControls();
        set(c);
        ASSERT_EQ(config->SetOverlaySurfaceColorControls(&c), S_OK);
        control->Pause();
        OAFilterState state;
        control->GetState(3000, &state);
        QApplication::processEvents();
        const QImage shown = GrabVideoWindow(renderer.get());
        const QImage reference = CurrentVideoImage(renderer.get()).scaled(shown.size());
        ASSERT_EQ(shown.size(), QSize(240, 180));
        for (QPoint at : {QPoint(30, 90), QPoint(90, 40), QPoint(150, 140), QPoint(210, 90)}) {
            const QColor expected = reference.pixelColor(at);
            ExpectColour(shown, at, unsigned(expected.red()) << 16 | expected.green() << 8 | expected.blue(), 6);
        }
        control->Stop();
    }
}

// The streaming thread changes the picture's format with a sample while the
// main thread reads it and narrows the source rectangle: every answer is of
// one format or the other. (ThreadSanitizer builds see the reads.)
TEST(VideoRenderer, FormatChangesOnTheStreamingThreadReachTheMainThreadWhole)
{
    auto renderer = CreateInstance<IBaseFilter>(CLSID_VideoRenderer);
    auto source = MakeCom<PictureTypeSource>();
    const AMMediaType first = PictureType(64);
    ASSERT_EQ(source->Out().Connect(PinsOf(renderer.get())[0].get(), &first), S_OK);
    ASSERT_EQ(renderer->Pause(), S_OK);
    ASSERT_EQ(renderer->Run(0), S_OK);
    auto video = QueryAs<IBasicVideo2>(renderer.get());
    ASSERT_TRUE(video);
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread streaming([&] {
        for (int i = 0; !stop; ++i) {
            auto sample = MakeCom<MediaSample>(0);
            const AMMediaType type = PictureType(i % 2 ? 64 : 128);
            sample->SetMediaType(&type);
            source->Out().Deliver(sample.get());
            ++sent;
        }
    });
    while (sent < 2000) {
        int32_t width = 0, height = 0, sourceWidth = 0;
        EXPECT_EQ(video->GetVideoSize(&width, &height), S_OK);
        EXPECT_TRUE((width == 64 && height == 48) || (width == 128 && height == 96)) << width << "x" << height;
        EXPECT_EQ(video->get_VideoWidth(&width), S_OK);
        EXPECT_TRUE(width == 64 || width == 128) << width;
        // Inside either format: the rest of the rectangle is read with it.
        EXPECT_EQ(video->put_SourceWidth(32), S_OK);
        EXPECT_EQ(video->get_SourceWidth(&sourceWidth), S_OK);
        EXPECT_TRUE(sourceWidth == 32 || sourceWidth == 64 || sourceWidth == 128) << sourceWidth;
    }
    stop = true;
    streaming.join();
    renderer->Stop();
}

TEST(VideoRenderer, AnOwnerDeletedFirstTakesTheWindowAlong)
{
    auto renderer = CreateInstance<IBaseFilter>(CLSID_VideoRenderer);
    auto window = QueryAs<IVideoWindow>(renderer.get());
    ASSERT_TRUE(window);
    {
        QWidget owner;
        ASSERT_EQ(window->put_Owner(&owner), S_OK);
        EXPECT_EQ(window->SetWindowPosition(0, 0, 32, 24), S_OK);
    }
    EXPECT_EQ(window->SetWindowPosition(0, 0, 32, 24), E_UNEXPECTED);
    EXPECT_EQ(window->HideCursor(true), E_UNEXPECTED);
    EXPECT_TRUE(GrabVideoWindow(renderer.get()).isNull());
}

TEST(VideoRenderer, ARightClickOnThePictureAsksTheDrainForItsMenu)
{
    // The drain sits beside the picture, not below it, so the event does
    // not reach it by passing up the parents.
    auto renderer = CreateInstance<IBaseFilter>(CLSID_VideoRenderer);
    auto window = QueryAs<IVideoWindow>(renderer.get());
    ASSERT_TRUE(window);
    QWidget owner;
    owner.resize(200, 150);
    auto* drain = new QWidget(&owner);
    drain->setGeometry(owner.rect());
    drain->setContextMenuPolicy(Qt::CustomContextMenu);
    QPoint asked(-1, -1);
    QObject::connect(drain, &QWidget::customContextMenuRequested, [&asked](const QPoint& at) { asked = at; });
    window->put_Owner(&owner);
    window->put_MessageDrain(drain);
    window->SetWindowPosition(20, 10, 100, 80);
    owner.show();
    QWidget* picture = owner.findChild<QWidget*>(QStringLiteral("VideoRenderer"));
    ASSERT_TRUE(picture);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 6), picture->mapToGlobal(QPoint(5, 6)));
    QCoreApplication::sendEvent(picture, &click);
    EXPECT_EQ(asked, QPoint(25, 16));
}
