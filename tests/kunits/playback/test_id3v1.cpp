#include <gtest/gtest.h>

#include "playback/kid3v1.h"

#include <filesystem>
#include <sys/stat.h>

#include "tagbytes.h"
#include "temphome.h"

using namespace kolvarin;
using namespace tagbytes;

namespace {

class ID3v1Test : public ::testing::Test {
protected:
    std::u16string write(const std::string& bytes) { return Name(dir_.write("song.mp3", bytes)); }
    std::string read() const { return ktest::readFile(dir_.path() / "song.mp3"); }
    ktest::TempDir dir_;
};

} // namespace

TEST_F(ID3v1Test, ReadsVersionTrackAndCommentWidthFromTheRecord)
{
    struct Case {
        uint8_t byte125, byte126;
        int version, track;
        std::string comment;
    } cases[] = {
        {0, 5, 2, 5, "twenty-eight bytes of commen"}, // ID3v1.1
        {' ', 'x', 2, 'x', "twenty-eight bytes of commen"}, // space-marked ID3v1.1
        {'A', 'B', 1, 0, "twenty-eight bytes of commenAB"}, // full 30-byte comment
        {0, 0, 1, 0, "twenty-eight bytes of commen"}, // zero padding of a v1.0 comment
    };
    for (const Case& c : cases) {
        auto name =
            write(Audio() + ID3v1Record("Title  ", "Artist", "twenty-eight bytes of commen", c.byte125, c.byte126, 17));
        TID3v1 tag;
        ASSERT_TRUE(tag.ReadFromFile(name));
        EXPECT_TRUE(tag.Exists());
        EXPECT_EQ(tag.VersionID(), c.version) << int(c.byte125);
        EXPECT_EQ(tag.Track(), c.track) << int(c.byte125);
        EXPECT_EQ(tag.Comment(), c.comment) << int(c.byte125);
        EXPECT_EQ(tag.Title(), "Title");
        EXPECT_EQ(tag.Artist(), "Artist");
        EXPECT_EQ(tag.GenreID(), 17);
    }
}

TEST_F(ID3v1Test, FilesShorterThanATagHaveNone)
{
    for (std::string bytes : {std::string(), std::string("TAG") + std::string(100, 'x'), std::string(127, 'T')}) {
        auto name = write(bytes);
        TID3v1 tag;
        EXPECT_FALSE(tag.ReadFromFile(name));
        EXPECT_FALSE(tag.Exists());
        EXPECT_TRUE(tag.RemoveFromFile(name));
        EXPECT_EQ(read(), bytes);
    }
    TID3v1 tag;
    EXPECT_FALSE(tag.ReadFromFile(Name(dir_.path() / "missing.mp3")));
    EXPECT_FALSE(tag.SaveToFile(Name(dir_.path() / "missing.mp3")));
    EXPECT_FALSE(tag.RemoveFromFile(Name(dir_.path())));
}

TEST_F(ID3v1Test, SaveWritesOneRecordAndReadsBack)
{
    const std::string audio = Audio();
    auto name = write(audio);
    TID3v1 tag;
    tag.SetTitle("A title of forty characters, far too long");
    tag.SetArtist("Artist   ");
    tag.SetYear("20041");
    tag.SetComment("thirty bytes of comment text!!");
    tag.SetGenreID(13);
    ASSERT_TRUE(tag.SaveToFile(name));
    ASSERT_TRUE(tag.SaveToFile(name));
    std::string bytes = read();
    ASSERT_EQ(bytes.size(), audio.size() + 128);
    EXPECT_EQ(bytes.substr(0, audio.size()), audio);

    TID3v1 back;
    ASSERT_TRUE(back.ReadFromFile(name));
    EXPECT_EQ(back.VersionID(), 1);
    EXPECT_EQ(back.Title(), "A title of forty characters, f");
    EXPECT_EQ(back.Artist(), "Artist");
    EXPECT_EQ(back.Year(), "2004");
    EXPECT_EQ(back.Comment(), "thirty bytes of comment text!!");
    EXPECT_EQ(back.GenreID(), 13);

    back.SetTrack(9);
    ASSERT_TRUE(back.SaveToFile(name));
    TID3v1 withTrack;
    ASSERT_TRUE(withTrack.ReadFromFile(name));
    EXPECT_EQ(withTrack.VersionID(), 2);
    EXPECT_EQ(withTrack.Track(), 9);
    EXPECT_EQ(withTrack.Comment(), "thirty bytes of comment text");

    ASSERT_TRUE(withTrack.RemoveFromFile(name));
    EXPECT_EQ(read(), audio);
}

TEST_F(ID3v1Test, SaveAndRemoveClearReadOnly)
{
    auto name = write(Audio());
    auto path = dir_.path() / "song.mp3";
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    TID3v1 tag;
    tag.SetTitle("x");
    ASSERT_TRUE(tag.SaveToFile(name));
    EXPECT_TRUE(std::filesystem::status(path).permissions() == std::filesystem::perms(0644));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_TRUE(tag.RemoveFromFile(name));
    EXPECT_TRUE(std::filesystem::status(path).permissions() == std::filesystem::perms(0644));
}

TEST(ID3v1GenresTest, TableKeepsItsSpellings)
{
    ASSERT_EQ(ID3v1Genres.size(), 148u);
    EXPECT_STREQ(ID3v1Genres[0], "Blues");
    EXPECT_STREQ(ID3v1Genres[67], "Psychadelic");
    EXPECT_STREQ(ID3v1Genres[79], "Hard Rock");
    EXPECT_STREQ(ID3v1Genres[85], "Bebob");
    EXPECT_STREQ(ID3v1Genres[92], "Progessive Rock");
    EXPECT_STREQ(ID3v1Genres[100], "Humour");
    EXPECT_STREQ(ID3v1Genres[123], "A capella");
    EXPECT_STREQ(ID3v1Genres[144], "Trash Metal");
    EXPECT_STREQ(ID3v1Genres[146], "JPop");
    EXPECT_STREQ(ID3v1Genres[147], "Synthpop");
}
