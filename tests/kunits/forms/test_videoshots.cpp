#include "forms/videoshots.h"

#include <fstream>

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include "core/text/kstrings.h"
#include "media/graphif.h"
#include "media/uuids.h"
#include "media_fixtures.h"
#include "temphome.h"

using namespace kolvarin;
namespace fx = ktest::media;

namespace {

void Touch(const std::filesystem::path& file) { std::ofstream(file) << "x"; }

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST(VideoShots, NamesCountOnPastTheTakenOnes)
{
    ktest::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    EXPECT_EQ(NextScreenshotName(folder, u"/films/holiday.avi"), folder + "holiday.avi.001.bmp");
    Touch(folder + "holiday.avi.001.bmp");
    EXPECT_EQ(NextScreenshotName(folder, u"/films/holiday.avi"), folder + "holiday.avi.002.bmp");
    for (int n = 2; n <= 999; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "holiday.avi.%03d.bmp", n);
        Touch(folder + name);
    }
    EXPECT_EQ(NextScreenshotName(folder, u"/films/holiday.avi"), folder + "holiday.avi.1000.bmp");
}

TEST(VideoShots, ThePictureAtThePositionIsWrittenAtTheChosenSize)
{
    ktest::TempDir dir;
    TKScreenshotSource source;
    source.MediaFile = fx::FileName(fx::Mp4Fixture());
    source.Position = 10000000; // 1 s of 2 s, in 100 ns units
    source.Duration = 20000000;
    source.DisplaySize = QSize(80, 60);
    source.Folder = dir.path().string() + "/images/"; // created when missing
    std::u16string name;
    ASSERT_EQ(WriteScreenshot(source, smOriginal, name), TKScreenshotResult::Written);
    const std::string base = fx::Mp4Fixture().filename().string();
    EXPECT_EQ(name, Utf8ToUtf16(base + ".001.bmp"));
    QImage shot(QString::fromStdString(source.Folder + base + ".001.bmp"));
    ASSERT_EQ(shot.size(), QSize(fx::kWidth, fx::kHeight));
    EXPECT_NEAR(QColor(shot.pixel(20, 60)).red(), int(fx::kLeftColour >> 16), 16);
    EXPECT_NEAR(QColor(shot.pixel(140, 60)).red(), int(fx::kRightColour >> 16), 16);

    // A URL stream has no length: no division by it, the position is the time.
    source.Duration = 0;
    ASSERT_EQ(WriteScreenshot(source, smFitted, name), TKScreenshotResult::Written);
    EXPECT_EQ(QImage(QString::fromStdString(source.Folder + base + ".002.bmp")).size(), QSize(80, 60));
}

TEST(VideoShots, NoVideoStreamGivesNoPictureAndNoFile)
{
    ktest::TempDir dir;
    TKScreenshotSource source;
    source.Folder = dir.path().string() + "/";
    std::u16string name;
    source.MediaFile = fx::FileName(fx::AudioFixture());
    EXPECT_EQ(WriteScreenshot(source, smOriginal, name), TKScreenshotResult::NoPicture);
    source.MediaFile = u"/nonexistent.mkv";
    EXPECT_EQ(WriteScreenshot(source, smOriginal, name), TKScreenshotResult::NoPicture);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(VideoShots, GraphLogFollowsEachChainFromItsHead)
{
    EXPECT_EQ(FilterGraphLogLines(nullptr), std::vector<std::string>{"Check if filtergraph active"});

    auto graph = media::CreateInstance<media::IGraphBuilder>(media::CLSID_FilterGraph);
    ASSERT_EQ(graph->RenderFile(fx::FileName(fx::Mp4Fixture()), u""), media::S_OK);
    auto lonely = media::CreateInstance<media::IBaseFilter>(media::CLSID_SubtitleFilter);
    graph->AddFilter(lonely.get(), u"Lonely");
    const std::vector<std::string> lines = FilterGraphLogLines(graph.get());
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[3], "Enumerate filters from graph ok");
    EXPECT_EQ(lines[6].rfind("Got ", 0), 0u);
    EXPECT_EQ(lines[8], "Find not connected filters ok, got: 2") << "the source and the lonely filter";
    int chains = 0, unconnected = 0;
    for (size_t i = 9; i < lines.size(); ++i) {
        if (lines[i].find(" > [") != std::string::npos) {
            ++chains;
            EXPECT_NE(lines[i].find("Codec: "), std::string::npos) << lines[i];
            EXPECT_NE(lines[i].find("Majortype: MEDIATYPE_"), std::string::npos) << lines[i];
        }
        if (EndsWith(lines[i], ": Not connected!"))
            ++unconnected;
    }
    EXPECT_EQ(chains, 2) << "video and audio from the source to their renderers";
    EXPECT_GE(unconnected, 1) << "the lonely filter's pins";
}
