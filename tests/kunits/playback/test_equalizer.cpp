#include <gtest/gtest.h>

#include "playback/kequalizer.h"

#include "tagbytes.h"
#include "temphome.h"

using namespace kolvarin;

TEST(EqualizerTest, BandNamesAndGainTexts)
{
    EXPECT_EQ(GetEqualizerBandName(0), u"60 Hz");
    EXPECT_EQ(GetEqualizerBandName(4), u"1 KHz");
    EXPECT_EQ(GetEqualizerBandName(9), u"16 KHz");
    EXPECT_EQ(GetEqualizerBandName(10), u"");
    EXPECT_EQ(GetEqualizerBandName(-1), u"");
    EXPECT_EQ(GetEqualizerBandGainText(12), u"+0 db");
    EXPECT_EQ(GetEqualizerBandGainText(0), u"-12 db");
    EXPECT_EQ(GetEqualizerBandGainText(24), u"+12 db");
    EXPECT_EQ(GetEqualizerBandGainText(11), u"-1 db");
    struct {
        int value, video;
        float db;
    } gains[] = {{0, -100, -12}, {1, -92, -11}, {12, 0, 0}, {13, 8, 1}, {24, 100, 12}};
    for (auto g : gains) {
        EXPECT_EQ(VideoEqualizerGain(g.value), g.video) << g.value;
        EXPECT_EQ(EqualizerGainDb(g.value), g.db) << g.value;
    }
}

TEST(EqualizerTest, PresetFileRoundTrip)
{
    ktest::TempDir dir;
    auto name = tagbytes::Name(dir.path() / "flat.keqp");
    ASSERT_TRUE(SaveEqualizerPreset(name, TEqualizerValues{}));
    std::string expected = "///////////////////////////////////\r\n// Kolvarin Equalizer Preset File\r\n"
                           "///////////////////////////////////\r\n";
    for (int band = 0; band < 10; ++band)
        expected += "EQBand" + std::to_string(band) + " [ 0 ]\r\n";
    EXPECT_EQ(ktest::readFile(dir.path() / "flat.keqp"), expected);

    TEqualizerValues values;
    values.Band = {0, 24, 10, 3, 12, 13, 14, 15, 16, 17};
    ASSERT_TRUE(SaveEqualizerPreset(name, values));
    EXPECT_NE(ktest::readFile(dir.path() / "flat.keqp").find("EQBand3 [ -9 ]\r\n"), std::string::npos);
    TEqualizerValues back;
    ASSERT_TRUE(LoadEqualizerPreset(name, back));
    EXPECT_EQ(back.Band, values.Band);
}

TEST(EqualizerTest, PresetReaderSkipsCommentsClampsAndKeepsBandsItCannotRead)
{
    ktest::TempDir dir;
    std::string text = "// comment\r\n\r\nEQBand0 [ -2 ]\r\n/ also a comment\r\nEQBand1 [ +40 ]\r\nEQBand2 [ -99 ]\n"
                       "EQBand3[5]\r\nEQBand5 [ 1 ]\r\nEQBand5   [   3   ]   trailing\r\nEQBand6 [ x ]\r\n// end\r\n";
    auto name = tagbytes::Name(dir.write("p.keqp", text));
    TEqualizerValues values;
    values.Band = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_TRUE(LoadEqualizerPreset(name, values));
    // Band 4 meets the EQBand5 line and keeps its value; band 5 reads the next line.
    std::array<int, 10> expected = {10, 24, 0, 17, 5, 15, 7, 8, 9, 10};
    EXPECT_EQ(values.Band, expected);

    TEqualizerValues untouched;
    EXPECT_FALSE(LoadEqualizerPreset(tagbytes::Name(dir.path() / "missing.keqp"), untouched));
    EXPECT_EQ(untouched.Band, TEqualizerValues{}.Band);
    EXPECT_FALSE(SaveEqualizerPreset(tagbytes::Name(dir.path() / "no" / "folder.keqp"), untouched));
}
