#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "gdi/canvas.h"
#include "htmllist/gifframes.h"
#include "htmllist/htmlpicture.h"
#include "htmllist/htmlpicturecache.h"
#include "htmllist/picturecontainer.h"
#include "loopback_server.h"
#include "markupfixtures.h"
#include "temphome.h"

using namespace kolvarin;
using namespace ktest::markup;

namespace {

// Red, then green at (2, 1), then blue at (0, 3): delays 10, 20 and 0.
std::string threeFrames() { return MakeGif(6, 6, {{0, 0, 6, 6, 0, 10}, {2, 1, 3, 2, 1, 20}, {0, 3, 2, 2, 2, 0}}); }

std::string loadError(const std::string& bytes)
{
    THTMLPicture picture;
    try {
        picture.LoadFromBytes(bytes);
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(picture.Empty());
        return e.what();
    }
    return {};
}

} // namespace

TEST(HTMLPicture, DecodesTheFormatsOfTheDesign)
{
    const QImage source = SolidImage(7, 5, QColor(10, 200, 30));
    struct Case {
        const char* format;
        bool exact;
    };
    for (const Case c : {Case{"PNG", true}, Case{"BMP", true}, Case{"ICO", true}, Case{"JPG", false}}) {
        THTMLPicture picture;
        picture.LoadFromBytes(Encode(source, c.format));
        ASSERT_FALSE(picture.Empty()) << c.format;
        EXPECT_EQ(picture.Width(), 7) << c.format;
        EXPECT_EQ(picture.Height(), 5) << c.format;
        Surface s(20, 20);
        picture.Draw(s.canvas, {3, 4, 3, 4});
        EXPECT_EQ(InkBox(s.bitmap, {0, 0, 20, 20}), (gdi::Rect{3, 4, 10, 9})) << c.format;
        if (c.exact) {
            EXPECT_EQ(s.bitmap.pixel(3, 4), gdi::RGB(10, 200, 30)) << c.format;
        }
    }
}

TEST(HTMLPicture, RefusesWhatDoesNotDecode)
{
    const std::string png = Encode(SolidImage(20, 20, Qt::red), "PNG");
    // A GIF whose logical screen and frame claim 65535 x 65535 pixels.
    std::string huge = MakeGif(2, 2, {{0, 0, 2, 2, 0, 0}});
    huge[6] = huge[7] = huge[8] = huge[9] = char(0xFF);
    const std::pair<std::string, const char*> cases[] = {
        {"", "Empty image stream created"},
        {"not a picture at all", "Could not load image. Invalid format"},
        {"\xD7\xCD\xC6\x9A metafile", "Could not load image. Invalid format"},
        {png.substr(0, png.size() / 2), "Could not load image"},
        {std::string("GIF89a\x01"), "Could not load image"},
    };
    for (const auto& [bytes, message] : cases)
        EXPECT_EQ(loadError(bytes), message) << bytes.substr(0, 8);
    // A picture that lies about its size never gets what it claims: a GIF
    // whose logical screen is too large is refused, one whose frame is
    // larger than its screen is cut to the screen.
    EXPECT_EQ(loadError(huge), "Could not load image");
    std::string hugeFrame = MakeGif(2, 2, {{0, 0, 2, 2, 0, 0}});
    const size_t frame = hugeFrame.find('\x2C');
    ASSERT_NE(frame, std::string::npos);
    for (size_t i = frame + 5; i < frame + 9; ++i)
        hugeFrame[i] = char(0xFF);
    THTMLPicture cut;
    cut.LoadFromBytes(hugeFrame);
    EXPECT_EQ(cut.Width(), 2);
    EXPECT_EQ(cut.Height(), 2);
}

TEST(HTMLPicture, StepsThroughTheFramesOfAnAnimatedGif)
{
    THTMLPicture picture;
    picture.LoadFromBytes(threeFrames());
    EXPECT_EQ(picture.FrameCount(), 3);
    EXPECT_EQ(picture.LogicalWidth(), 6);
    EXPECT_EQ(picture.LogicalHeight(), 6);
    int changes = 0;
    picture.OnFrameChange = [&] { ++changes; };
    struct Expect {
        int frame;
        int width;
        int height;
        int x;
        int y;
        gdi::Color color;
    };
    const Expect frames[] = {
        {2, 3, 2, 2, 1, gdi::RGB(0, 255, 0)},
        {3, 2, 2, 0, 3, gdi::RGB(0, 0, 255)},
        {1, 6, 6, 0, 0, gdi::RGB(255, 0, 0)},
    };
    for (const Expect& e : frames) {
        picture.SetFrame(e.frame);
        EXPECT_EQ(picture.Frame(), e.frame);
        EXPECT_EQ(picture.Width(), e.width);
        EXPECT_EQ(picture.Height(), e.height);
        EXPECT_EQ(picture.FrameXOffset(), e.x);
        EXPECT_EQ(picture.FrameYOffset(), e.y);
        Surface s(10, 10);
        picture.Draw(s.canvas, {0, 0, 10, 10});
        EXPECT_EQ(s.bitmap.pixel(0, 0), e.color) << e.frame;
    }
    EXPECT_EQ(changes, 3);
    picture.SetFrame(4); // no such frame
    EXPECT_EQ(picture.Frame(), 1);
    EXPECT_EQ(changes, 3);
}

TEST(HTMLPicture, AnimationFollowsTheFrameDelays)
{
    // One tick is 100 ms; the delays are 10, 20 and 0 hundredths.
    THTMLPicture picture;
    picture.LoadFromBytes(threeFrames());
    std::vector<int> shown;
    for (int tick = 0; tick < 8; ++tick) {
        picture.Step();
        shown.push_back(picture.Frame());
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 2, 3, 1, 2, 3, 1}));

    THTMLPicture zero;
    zero.LoadFromBytes(MakeGif(2, 2, {{0, 0, 2, 2, 0, 0}, {0, 0, 2, 2, 1, 0}}));
    zero.Step();
    for (int tick = 0; tick < 4; ++tick)
        EXPECT_TRUE(zero.Step()) << "delay 0 changes on every tick";

    THTMLPicture single;
    single.LoadFromBytes(MakeGif(2, 2, {{0, 0, 2, 2, 0, 50}}));
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_FALSE(single.Step());
    EXPECT_EQ(single.FrameCount(), 1);
}

TEST(GifFrames, EveryCutOfTheDataIsReadSafely)
{
    const std::string gif = threeFrames();
    ASSERT_EQ(gif::CountFrames(gif), 3);
    for (std::size_t size = 0; size <= gif.size(); ++size) {
        const std::string_view cut(gif.data(), size);
        const int frames = gif::CountFrames(cut);
        EXPECT_LE(frames, 3);
        for (int n = 0; n <= 4; ++n) {
            const auto frame = gif::ReadFrame(cut, n);
            const std::string single = gif::SingleFrameImage(cut, n);
            EXPECT_EQ(frame.has_value(), !single.empty());
            if (n == 0 || n > frames) {
                EXPECT_FALSE(frame.has_value());
            }
        }
    }
    // A single-frame image decodes to that frame alone.
    const std::string second = gif::SingleFrameImage(gif, 2);
    const QImage image = QImage::fromData(QByteArray::fromStdString(second), "GIF");
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 255, 0));
    EXPECT_EQ(gif::ReadLogicalScreen("GIF89a\x06"), std::nullopt);
    EXPECT_EQ(gif::ReadFrame(gif, 2)->delay, 20);
}

TEST(HTMLPicture, LoadsFromFileAndResourceURLsOnly)
{
    ktest::TempDir dir;
    const std::string file = dir.write("pic.png", Encode(SolidImage(3, 2, Qt::blue), "PNG")).string();
    THTMLPicture fromFile;
    fromFile.LoadFromURL("file://" + file);
    EXPECT_EQ(fromFile.Width(), 3);
    EXPECT_EQ(fromFile.ID, "file://" + file);

    for (const std::string url : {"res://NoSuchResource", "http://127.0.0.1:1/x.png", "ftp://host/x.gif"}) {
        THTMLPicture picture;
        picture.LoadFromURL(url);
        EXPECT_TRUE(picture.Empty()) << url;
    }
    THTMLPicture web;
    web.LoadFromURL("http://example/x.png");
    EXPECT_EQ(web.URL, "http://example/x.png");
    EXPECT_TRUE(web.DownloadStarted);

    THTMLPicture missing;
    EXPECT_THROW(missing.LoadFromURL("FILE://" + file + ".gone"), std::runtime_error);
}

TEST(PictureContainer, FindsNamesInAnyLetterCase)
{
    TPictureContainer container;
    container.Add()->Name = "Logo";
    container.Add()->Name = "logo"; // the first match wins
    container.Add()->Name = "\xC9t\xE9";
    EXPECT_EQ(container.FindPicture("LOGO"), &container.Item(0).Picture);
    EXPECT_EQ(container.FindPicture("\xE9T\xC9"), &container.Item(2).Picture);
    EXPECT_EQ(container.FindPicture("log"), nullptr);
    container.Delete(0);
    container.Delete(7);
    EXPECT_EQ(container.FindPicture("LOGO"), &container.Item(0).Picture);
    EXPECT_EQ(std::string(TPictureContainer::Version), "1.0.0.0");
}

TEST(HTMLPictureCache, FilePicturesAreLoadedOnce)
{
    // Pictures named "FILE://" keep the URL as their identifier only; the
    // cache must find them by it, or every repaint would add one more.
    ktest::TempDir dir;
    const std::string url = "FILE://" + dir.write("p.png", Encode(SolidImage(2, 2, Qt::red), "PNG")).string();
    THTMLPictureCache cache;
    THTMLPicture* first = cache.PictureForURL(url);
    EXPECT_EQ(first->Width(), 2);
    for (int repaint = 0; repaint < 5; ++repaint)
        EXPECT_EQ(cache.PictureForURL(url), first);
    EXPECT_EQ(cache.Count(), 1);
    cache.PictureForURL("FILE:///no/such/picture.png"); // fails to load: kept empty, also once
    cache.PictureForURL("FILE:///no/such/picture.png");
    EXPECT_EQ(cache.Count(), 2);
}

TEST(HTMLPictureCache, DownloadsWebPicturesOffTheMainThread)
{
    const std::string png = Encode(SolidImage(4, 4, Qt::red), "PNG");
    std::atomic<int> requests{0};
    ktest::LoopbackServer server([&](int fd, const std::string& request, const std::atomic<bool>& stopping) {
        ++requests;
        if (request.find("GET /slow") == 0) {
            while (!stopping)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return;
        }
        if (request.find("GET /pic.png") == 0)
            ktest::LoopbackServer::send(fd, "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(png.size()) +
                                                "\r\n\r\n" + png);
        else
            ktest::LoopbackServer::send(fd, "HTTP/1.0 404 Not Found\r\n\r\n");
    });
    THTMLPictureCache cache;
    int changes = 0;
    cache.OnChange = [&] { ++changes; };
    THTMLPicture* good = cache.PictureForURL(server.url("/pic.png"));
    THTMLPicture* gone = cache.PictureForURL(server.url("/gone.png"));
    cache.PictureForURL(server.url("/slow"));
    EXPECT_TRUE(good->Empty()); // nothing waits for the network
    EXPECT_EQ(cache.PictureForURL(server.url("/pic.png")), good); // found by its URL
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes >= 2; }, 5000));
    EXPECT_EQ(good->Width(), 4);
    EXPECT_TRUE(gone->Empty());
    EXPECT_EQ(cache.Count(), 3);
    cache.Clear(); // cancels the stalled download
    EXPECT_EQ(cache.Count(), 0);
}
