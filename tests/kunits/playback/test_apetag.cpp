#include <gtest/gtest.h>

#include "playback/kapetag.h"

#include "tagbytes.h"
#include "temphome.h"

using namespace kolvarin;
using namespace tagbytes;

namespace {

class APEtagTest : public ::testing::Test {
protected:
    TAPEtag readTag(const std::string& bytes, bool expectRead = true)
    {
        TAPEtag tag;
        EXPECT_EQ(tag.ReadFromFile(Name(dir_.write("song.mpc", bytes))), expectRead);
        return tag;
    }
    ktest::TempDir dir_;
};

} // namespace

TEST_F(APEtagTest, ReadsVersion2BeforeAnID3v1Record)
{
    std::string items = ApeItem("TITLE", "Ti\xC3\xADtulo") + ApeItem("artist", "  Artist ") +
                        ApeItem("Album", "Album") + ApeItem("Track", "3/10") + ApeItem("Year", "2004") +
                        ApeItem("Genre", "Rock") + ApeItem("Comment", "Note") + ApeItem("Copyright", "(c)") +
                        ApeItem("Unknown", "x") + ApeItem("Title", "Tí\xE2\x82\xAC");
    std::string tag = ApeTag(2000, items, 10);
    TAPEtag ape = readTag(Audio() + tag + ID3v1Record("v1", "v1", "", 0, 0, 0));
    EXPECT_TRUE(ape.Exists());
    EXPECT_EQ(ape.Version(), 2000);
    EXPECT_EQ(ape.Size(), static_cast<int64_t>(tag.size()));
    EXPECT_EQ(ape.Title(), u"Tí€") << "a later item wins";
    EXPECT_EQ(ape.Artist(), u"Artist");
    EXPECT_EQ(ape.Album(), u"Album");
    EXPECT_EQ(ape.Track(), 3);
    EXPECT_EQ(ape.Year(), u"2004");
    EXPECT_EQ(ape.Genre(), u"Rock");
    EXPECT_EQ(ape.Comment(), u"Note");
    EXPECT_EQ(ape.Copyright(), u"(c)");
}

TEST_F(APEtagTest, Version1IsWindows1252AndLongValuesAreCut)
{
    std::string items = ApeItem("Title", std::string(300, 'v')) + ApeItem("Artist", "Caf\xE9") + ApeItem("Track", "x1");
    TAPEtag ape = readTag(Audio() + ApeTag(1000, items, 3));
    EXPECT_EQ(ape.Title(), std::u16string(250, u'v'));
    EXPECT_EQ(ape.Artist(), u"Café");
    EXPECT_EQ(ape.Track(), 0);
}

TEST_F(APEtagTest, LyingSizesAndCountsStayInsideTheTag)
{
    std::string items = ApeItem("Title", "T") + ApeItem("Artist", "A");
    // Item count far beyond the items: the two real ones are read.
    TAPEtag many = readTag(Audio() + ApeTag(2000, items, 0xFFFFFFFF));
    EXPECT_EQ(many.Title(), u"T");
    EXPECT_EQ(many.Artist(), u"A");

    // A value size past the tag ends the items.
    std::string lying = ApeItem("Title", "T") + LE32(0x7FFFFFFF) + LE32(0) + "Artist" + '\0' + "A";
    TAPEtag cut = readTag(Audio() + ApeTag(2000, lying, 2));
    EXPECT_EQ(cut.Title(), u"T");
    EXPECT_EQ(cut.Artist(), u"");

    // A key without its terminator.
    TAPEtag keyless = readTag(Audio() + ApeTag(2000, LE32(1) + LE32(0) + "Title", 1));
    EXPECT_TRUE(keyless.Exists());
    EXPECT_EQ(keyless.Title(), u"");

    // A footer whose tag size exceeds the file is no tag.
    std::string footer = "APETAGEX" + LE32(2000) + LE32(1u << 30) + LE32(1) + LE32(0) + std::string(8, '\0');
    EXPECT_FALSE(readTag(Audio(100) + footer).Exists());
    EXPECT_FALSE(readTag(Audio(100) + footer.substr(0, 12) + LE32(8) + footer.substr(16)).Exists());

    // Files shorter than a footer or an ID3v1 record.
    EXPECT_FALSE(readTag("APETAGEX", false).Exists());
    EXPECT_TRUE(readTag(ApeTag(2000, ApeItem("Title", "Small"), 1)).Exists());
    TAPEtag missing;
    EXPECT_FALSE(missing.ReadFromFile(Name(dir_.path() / "missing.mpc")));
}
