#include <gtest/gtest.h>

#include "playback/ktagcaption.h"

#include "tagbytes.h"
#include "temphome.h"

using namespace kolvarin;
using namespace tagbytes;

TEST(TagCaptionTest, ID3CaptionPrefersVersion2ThenVersion1)
{
    ktest::TempDir dir;
    const std::string v1 = ID3v1Record("Title1", "Artist1", "", 0, 4, 0);
    const std::string v2 =
        Tag(3, TextFrame(3, "TIT2", "Title2") + TextFrame(3, "TPE1", "Artist2") + TextFrame(3, "TRCK", "12/14"));
    const std::string v2TitleOnly = Tag(3, TextFrame(3, "TIT2", "Title2"));
    struct Case {
        std::string bytes;
        std::u16string caption;
        std::string track;
    } cases[] = {
        {v2 + Audio() + v1, u"Artist2 - Title2", "12"},
        {v2TitleOnly + Audio() + v1, u"Artist1 - Title1", "00"}, // version 2 present: its track counts
        {Audio() + v1, u"Artist1 - Title1", "4"},
        {Audio() + ID3v1Record("Title1", "", "", 0, 0, 0), u"", "00"},
        {Audio(), u"", "00"},
    };
    for (const Case& c : cases) {
        auto name = Name(dir.write("song.mp3", c.bytes));
        EXPECT_EQ(GetID3TagCaption(name), c.caption);
        EXPECT_EQ(GetID3TagTrack(name), c.track);
    }
    EXPECT_EQ(GetID3TagCaption(Name(dir.path() / "missing.mp3")), u"");
    EXPECT_EQ(GetID3TagTrack(Name(dir.path() / "missing.mp3")), "00");
}

TEST(TagCaptionTest, APECaptionAndTrack)
{
    ktest::TempDir dir;
    auto tagged = Name(dir.write(
        "a.mpc",
        Audio() + ApeTag(2000, ApeItem("Artist", "Исполнитель") + ApeItem("Title", "T") + ApeItem("Track", "7"), 3)));
    EXPECT_EQ(GetAPETagCaption(tagged), u"Исполнитель - T");
    EXPECT_EQ(GetAPETagTrack(tagged), "7");
    auto titleOnly = Name(dir.write("b.mpc", Audio() + ApeTag(2000, ApeItem("Title", "T"), 1)));
    EXPECT_EQ(GetAPETagCaption(titleOnly), u"");
    EXPECT_EQ(GetAPETagTrack(titleOnly), "00");
}
