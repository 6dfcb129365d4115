#include "dialogs/splashform.h"

#include <QEvent>
#include <QImage>
#include <QLabel>

#include <stdexcept>

#include <gtest/gtest.h>

#include "gdi/bmpcodec.h"
#include "temphome.h"

using namespace kolvarin;

namespace {

gdi::Bitmap picture(int w, int h, gdi::Color mark)
{
    gdi::Bitmap bmp(w, h);
    if (w > 5 && h > 5)
        bmp.setPixel(5, 5, mark);
    return bmp;
}

std::string bmpBytes(const gdi::Bitmap& bmp)
{
    auto bytes = gdi::EncodeBmp24(bmp);
    return std::string(bytes.begin(), bytes.end());
}

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

} // namespace

TEST(Splash, LooksLikeTheStartUpWindow)
{
    TfrmSplash splash;
    EXPECT_EQ(splash.windowTitle(), "Kolvarin_Splash");
    EXPECT_EQ(splash.size(), QSize(400, 300));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.lblStatus()->text(), "Loading");
    EXPECT_EQ(splash.lblStatus()->geometry(), QRect(10, 276, 383, 16));
    EXPECT_TRUE(splash.lblStatus()->font().bold());
    EXPECT_EQ(splash.picture().width(), 400);
    EXPECT_EQ(splash.picture().height(), 300);
}

TEST(Splash, RefusesToCloseUntilAllowed)
{
    TfrmSplash splash;
    splash.show();
    EXPECT_FALSE(splash.CanClose());
    EXPECT_FALSE(splash.close());
    EXPECT_TRUE(splash.isVisible());
    splash.SetCanClose(true);
    EXPECT_TRUE(splash.close());
    EXPECT_FALSE(splash.isVisible());
}

TEST(Splash, StatusTextIsPaintedWithoutAnEventLoop)
{
    TfrmSplash splash;
    splash.show();
    PaintCounter counter;
    splash.lblStatus()->installEventFilter(&counter);
    splash.SetStatusText("Loading configuration");
    EXPECT_EQ(splash.lblStatus()->text(), "Loading configuration");
    splash.SetStatusText("Caf\xe9 \x80"); // 8-bit texts are Windows-1252
    EXPECT_EQ(splash.lblStatus()->text(), QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac"));
    EXPECT_GE(counter.paints, 1);
}

TEST(Splash, OnlyA400By300BitmapReplacesThePicture)
{
    ktest::TempDir dir;
    const gdi::Color mark = gdi::RGB(250, 10, 20);
    const std::string good = bmpBytes(picture(400, 300, mark));
    struct Case {
        const char* name;
        std::string bytes;
        bool replaces;
    };
    const Case cases[] = {
        {"splashscreen.bmp", good, true},
        {"UPPER.BMP", good, true},
        {"wide.bmp", bmpBytes(picture(401, 300, mark)), false},
        {"short.bmp", bmpBytes(picture(400, 299, mark)), false},
        {"picture.png", good, false},
    };
    for (const Case& c : cases) {
        TfrmSplash splash;
        splash.LoadSplashImage(dir.write(c.name, c.bytes).string());
        EXPECT_EQ(splash.picture().pixel(5, 5) == mark, c.replaces) << c.name;
    }
    TfrmSplash splash;
    splash.LoadSplashImage((dir.path() / "missing.bmp").string());
    EXPECT_NE(splash.picture().pixel(5, 5), mark);
}

TEST(Splash, UnreadableBitmapReachesTheCallerAndKeepsThePicture)
{
    ktest::TempDir dir;
    TfrmSplash splash;
    const gdi::Bitmap before = splash.picture();
    EXPECT_THROW(splash.LoadSplashImage(dir.write("broken.bmp", "BM not really").string()), std::runtime_error);
    EXPECT_TRUE(splash.picture() == before);
}

TEST(Splash, ShowsTheLoadedPicture)
{
    ktest::TempDir dir;
    const gdi::Color mark = gdi::RGB(250, 10, 20);
    TfrmSplash splash;
    splash.LoadSplashImage(dir.write("s.bmp", bmpBytes(picture(400, 300, mark))).string());
    const QImage shown = splash.grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(250, 10, 20));
    EXPECT_EQ(shown.pixelColor(6, 5), QColor(0, 0, 0));
}
