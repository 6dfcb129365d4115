#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/system/kfiles.h"
#include "core/system/kpaths.h"
#include "dialogs/aboutform.h"
#include "dialogs/textscroller.h"

using namespace kolvarin;

namespace {

// Rows of the bitmap with any lit pixel, as [first, last] runs.
std::vector<std::pair<int, int>> litRows(const gdi::Bitmap& bitmap)
{
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < bitmap.height(); ++y) {
        bool lit = false;
        for (int x = 0; x < bitmap.width() && !lit; ++x)
            lit = bitmap.pixel(x, y) != 0;
        if (!lit)
            continue;
        if (!runs.empty() && runs.back().second == y - 1)
            runs.back().second = y;
        else
            runs.emplace_back(y, y);
    }
    return runs;
}

// The first and last columns with any lit pixel; (-1, -1) for none.
std::pair<int, int> litColumns(const gdi::Bitmap& bitmap)
{
    std::pair<int, int> columns{-1, -1};
    for (int x = 0; x < bitmap.width(); ++x)
        for (int y = 0; y < bitmap.height(); ++y)
            if (bitmap.pixel(x, y) != 0) {
                if (columns.first < 0)
                    columns.first = x;
                columns.second = x;
                break;
            }
    return columns;
}

int brightest(const gdi::Bitmap& bitmap)
{
    int level = 0;
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            level = std::max<int>(level, gdi::GetRValue(bitmap.pixel(x, y)));
    return level;
}

int lineHeight(const gdi::Font& font)
{
    gdi::Bitmap b(1, 1);
    gdi::Canvas c(b);
    c.font = font;
    return c.textHeight(u"Kolvarin");
}

} // namespace

TEST(TextScroller, FadeLevelsAtTheEdges)
{
    // A 100-pixel box with lines 10 high: 20-pixel bands at both edges.
    const std::pair<int, int> cases[] = {
        {-5, 0},   {0, 0},    {5, 64},   {10, 128}, {19, 242},  {20, 255},
        {80, 255}, {81, 242}, {90, 127}, {99, 13},  {100, 255}, {150, 255},
    };
    for (const auto& [y, level] : cases)
        EXPECT_EQ(FadeLevel(y, 100, 10), level) << y;
}

TEST(TextScroller, LinesRiseOnePixelAStepAndStartAgain)
{
    gdi::Bitmap bitmap(120, 80);
    TTextScroller scroller(bitmap, 0);
    scroller.Font = gdi::Font{.name = u"Tahoma", .size = 10, .color = gdi::RGB(255, 255, 255)};
    scroller.Lines = {u"Kolvarin", u"", u"<b>Credits"};
    const int h = lineHeight(scroller.Font);
    EXPECT_EQ(scroller.Y, 80);
    scroller.TextScrollerPaint(bitmap);
    EXPECT_TRUE(litRows(bitmap).empty()); // still below the box
    EXPECT_EQ(scroller.Y, 79);
    for (int step = 0; step < 40; ++step)
        scroller.TextScrollerPaint(bitmap);
    // The first line's top stands at 40: two lines of ink with an empty line between.
    const auto rows = litRows(bitmap);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_GE(rows[0].first, 40);
    EXPECT_LT(rows[0].second, 40 + h);
    EXPECT_GE(rows[1].first, 40 + 2 * h);
    EXPECT_EQ(scroller.FrameCount, 41u);
    // The step that finds the last line's bottom above the top edge starts
    // the text again from the bottom: the one that began with Y = -3h - 1.
    int steps = 41;
    while (scroller.FrameCount != 0 && steps < 1000) {
        scroller.TextScrollerPaint(bitmap);
        ++steps;
    }
    EXPECT_EQ(steps, 80 + 3 * h + 2);
    EXPECT_EQ(scroller.Y, 79);
}

TEST(TextScroller, PrefixesAlignmentAndFading)
{
    const gdi::Font font{.name = u"Tahoma", .size = 10, .color = gdi::RGB(255, 255, 255)};
    auto draw = [&](std::u16string line, std::uint8_t alignment, bool fade, int y) {
        gdi::Bitmap bitmap(200, 100);
        TTextScroller scroller(bitmap, alignment);
        scroller.Font = font;
        scroller.Fade = fade;
        scroller.Lines = {std::move(line)};
        scroller.Y = y;
        scroller.TextScrollerPaint(bitmap);
        return bitmap;
    };
    // Only one prefix is taken: "<b><u>" draws "<u>WWW" bold, from the left edge.
    gdi::Bitmap canvasBitmap(1, 1);
    gdi::Canvas canvas(canvasBitmap);
    canvas.font = font;
    canvas.font.bold = true;
    const int boldWidth = canvas.textWidth(u"<u>WWW");
    const auto both = litColumns(draw(u"<b><u>WWW", 1, false, 40));
    EXPECT_LE(both.first, 1);
    EXPECT_GT(both.second + 1, boldWidth - 4);
    EXPECT_LE(both.second + 1, boldWidth + 1);
    // "<u>" underlines: ink under the letters.
    const auto plainRows = litRows(draw(u"WWW", 1, false, 40));
    const auto underlinedRows = litRows(draw(u"<u>WWW", 1, false, 40));
    ASSERT_FALSE(plainRows.empty());
    ASSERT_FALSE(underlinedRows.empty());
    EXPECT_GT(underlinedRows.back().second, plainRows.back().second);
    // Alignment 0 centres the line, 1 puts it at the left edge, 2 draws nothing.
    const auto centred = litColumns(draw(u"WWW", 0, false, 40));
    const auto left = litColumns(draw(u"WWW", 1, false, 40));
    EXPECT_LE(left.first, 1);
    EXPECT_NEAR(centred.first + centred.second, 200, 3);
    EXPECT_EQ(centred.second - centred.first, left.second - left.first);
    EXPECT_EQ(litColumns(draw(u"WWW", 2, false, 40)), std::make_pair(-1, -1));
    // Fully lit in the middle, dimmed in the bottom band, black at the top edge.
    const int h = lineHeight(font);
    EXPECT_EQ(brightest(draw(u"WWW", 0, true, 50 - h / 2)), 255);
    EXPECT_LT(brightest(draw(u"WWW", 0, true, 100 - h)), 200);
    EXPECT_TRUE(litRows(draw(u"WWW", 0, true, 0)).empty());
}

TEST(AboutForm, ShowsVersionPathAndLegalNotice)
{
    ApplicationPath = "/opt/kolvarin/";
    TfrmAbout about;
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.size(), QSize(398, 376));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(about.lblVersion()->text().toStdString(),
              "Version: " + GetFileVersion("") + " Bugfix Release - Revision 411");
    EXPECT_EQ(about.lblPath()->text(), "Path: /opt/kolvarin/");
    EXPECT_FALSE(about.lblCopyright()->text().isEmpty());
    const auto& lines = about.Scroller().Lines;
    ASSERT_GE(lines.size(), 3u);
    const std::string version = GetFileVersion("");
    EXPECT_EQ(lines.front(),
              u"<u>Kolvarin Media Player " + std::u16string(version.begin(), version.end()) + u" Bugfix Release");
    EXPECT_EQ(lines.back(), u"All rights reserved.");
    EXPECT_TRUE(about.Scroller().Fade);
}

TEST(AboutForm, ScrollsWhileShown)
{
    TfrmAbout about;
    frmAbout = &about;
    QWidget main;
    main.setGeometry(300, 300, 300, 120);
    ShowAboutWindow(&main);
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.geometry().center(), main.frameGeometry().center());
    main.setGeometry(0, 0, 100, 50); // near the corner: the window stays on the screen
    ShowAboutWindow(&main);
    EXPECT_EQ(about.pos(), about.screen()->availableGeometry().topLeft());
    EXPECT_TRUE(about.ScrollTimer().isActive());
    EXPECT_EQ(about.ScrollTimer().interval(), 50);
    const int height = about.ScrollerBitmap().height();
    EXPECT_EQ(about.Scroller().Y, height);
    ASSERT_TRUE(QTest::qWaitFor([&] { return about.Scroller().Y < height - 40; }, 30000));
    // The credits have come up into the box and show on the paint box.
    EXPECT_FALSE(litRows(about.ScrollerBitmap()).empty());
    const QImage shown = about.kpbScroller()->grab().toImage();
    bool lit = false;
    for (int y = 0; y < shown.height() && !lit; ++y)
        for (int x = 0; x < shown.width() && !lit; ++x)
            lit = shown.pixelColor(x, y).lightness() > 100;
    EXPECT_TRUE(lit);
    about.btnOK()->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_FALSE(about.ScrollTimer().isActive());
    // Showing again starts from the bottom.
    about.show();
    EXPECT_EQ(about.Scroller().Y, height);
    frmAbout = nullptr;
    ShowAboutWindow(&main); // no window: nothing happens
}

TEST(AboutForm, RevisionText)
{
    EXPECT_EQ(RevisionText("[$Rev: 411 $]"), " - Revision 411");
    EXPECT_EQ(RevisionText("[$Rev:   12   $]"), " - Revision 12");
    EXPECT_EQ(RevisionText("[$Rev 411 $]"), "");
    EXPECT_EQ(RevisionText("[$Rev: 411"), "");
}
