#include <gtest/gtest.h>

// Tags written by outside tools: FFmpeg's ID3v2 muxer makes fixtures at
// test time, and TagLib serves as an oracle both ways.

#include <cstdlib>
#include <filesystem>

#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include "playback/kapetag.h"
#include "playback/kid3v1.h"
#include "playback/kid3v2.h"
#include "tagbytes.h"
#include "temphome.h"

using namespace kolvarin;

namespace {

const char kTitle[] = "Привет, мир";
const char kArtist[] = "Ünïcödé 日本語";
const char16_t kTitle16[] = u"Привет, мир";
const char16_t kArtist16[] = u"Ünïcödé 日本語";

std::string Utf8(const TagLib::String& text) { return text.to8Bit(true); }

class TagOracleTest : public ::testing::Test {
protected:
    // A short silent MP3 without tags, made once per test program.
    static void SetUpTestSuite()
    {
        base_ = new ktest::TempDir();
        std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i anullsrc=r=44100:cl=mono -t 0.1 "
                          "-c:a libmp3lame -id3v2_version 0 -write_xing 0 -y '" +
                          (base_->path() / "base.mp3").string() + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    static void TearDownTestSuite()
    {
        delete base_;
        base_ = nullptr;
    }

    std::filesystem::path copyBase(const std::string& name)
    {
        auto path = dir_.path() / name;
        std::filesystem::copy_file(base_->path() / "base.mp3", path);
        return path;
    }

    std::filesystem::path ffmpegTagged(int version)
    {
        auto path = dir_.path() / ("ffmpeg" + std::to_string(version) + ".mp3");
        std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel error -i '" + (base_->path() / "base.mp3").string() +
                          "' -c copy -id3v2_version " + std::to_string(version) + " -metadata 'title=" + kTitle +
                          "' -metadata 'artist=" + kArtist +
                          "' -metadata album=Album -metadata track=3/9 "
                          "-metadata date=2004 -metadata genre=Rock -y '" +
                          path.string() + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
        return path;
    }

    static ktest::TempDir* base_;
    ktest::TempDir dir_;
};

ktest::TempDir* TagOracleTest::base_ = nullptr;

} // namespace

TEST_F(TagOracleTest, ReadsFfmpegTagsOfVersions3And4)
{
    for (int version : {3, 4}) {
        auto path = ffmpegTagged(version);
        TID3v2 tag;
        ASSERT_TRUE(tag.ReadFromFile(path.u16string()));
        EXPECT_TRUE(tag.Exists());
        EXPECT_EQ(tag.VersionID(), version);
        EXPECT_EQ(tag.Title(), kTitle16) << version;
        EXPECT_EQ(tag.Artist(), kArtist16) << version;
        EXPECT_EQ(tag.Album(), u"Album");
        EXPECT_EQ(tag.Track(), 3);
        EXPECT_EQ(tag.TrackString(), u"3/9");
        EXPECT_EQ(tag.Year(), u"2004") << version;
        EXPECT_EQ(tag.Genre(), u"Rock");
    }
}

TEST_F(TagOracleTest, TagLibReadsWhatWeWrite)
{
    auto path = copyBase("ours.mp3");
    TID3v2 tag;
    tag.SetTitle(kTitle16);
    tag.SetArtist(kArtist16);
    tag.SetAlbum(u"Album ½");
    tag.SetComment(u"Комментарий");
    tag.SetGenre(u"Rock");
    tag.SetYear(u"2004");
    tag.SetTrack(7);
    ASSERT_TRUE(tag.SaveToFile(path.u16string()));
    TID3v1 v1;
    v1.SetTitle("Title");
    v1.SetArtist("Artist");
    v1.SetTrack(7);
    v1.SetGenreID(13);
    ASSERT_TRUE(v1.SaveToFile(path.u16string()));

    TagLib::MPEG::File file(path.c_str(), false);
    ASSERT_TRUE(file.isValid());
    ASSERT_TRUE(file.hasID3v2Tag());
    TagLib::ID3v2::Tag* v2 = file.ID3v2Tag();
    EXPECT_EQ(v2->header()->majorVersion(), 3u);
    EXPECT_EQ(Utf8(v2->title()), kTitle);
    EXPECT_EQ(Utf8(v2->artist()), kArtist);
    EXPECT_EQ(Utf8(v2->album()), "Album ½");
    EXPECT_EQ(Utf8(v2->comment()), "Комментарий");
    EXPECT_EQ(Utf8(v2->genre()), "Rock");
    EXPECT_EQ(v2->year(), 2004u);
    EXPECT_EQ(v2->track(), 7u);
    ASSERT_TRUE(file.hasID3v1Tag());
    EXPECT_EQ(Utf8(file.ID3v1Tag()->title()), "Title");
    EXPECT_EQ(Utf8(file.ID3v1Tag()->artist()), "Artist");
    EXPECT_EQ(file.ID3v1Tag()->track(), 7u);
    EXPECT_EQ(Utf8(file.ID3v1Tag()->genre()), "Pop");
}

TEST_F(TagOracleTest, WeReadWhatTagLibWritesInEveryEncoding)
{
    struct Case {
        TagLib::ID3v2::Version version;
        TagLib::String::Type encoding;
    } cases[] = {
        {TagLib::ID3v2::v3, TagLib::String::Latin1}, // upgraded to UTF-16 for this text
        {TagLib::ID3v2::v3, TagLib::String::UTF16},
        {TagLib::ID3v2::v4, TagLib::String::UTF8},
        {TagLib::ID3v2::v4, TagLib::String::UTF16BE},
    };
    auto* factory = TagLib::ID3v2::FrameFactory::instance();
    for (const Case& c : cases) {
        auto path = copyBase("taglib" + std::to_string(int(c.version)) + std::to_string(int(c.encoding)) + ".mp3");
        factory->setDefaultTextEncoding(c.encoding);
        {
            TagLib::MPEG::File file(path.c_str(), false);
            TagLib::ID3v2::Tag* v2 = file.ID3v2Tag(true);
            v2->setTitle(TagLib::String(kTitle, TagLib::String::UTF8));
            v2->setArtist(TagLib::String(kArtist, TagLib::String::UTF8));
            v2->setAlbum("Album");
            v2->setComment(TagLib::String("Ком", TagLib::String::UTF8));
            v2->setGenre("Jazz");
            v2->setYear(1999);
            v2->setTrack(11);
            ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, c.version));
        }
        TID3v2 tag;
        ASSERT_TRUE(tag.ReadFromFile(path.u16string()));
        EXPECT_EQ(tag.VersionID(), int(c.version));
        EXPECT_EQ(tag.Title(), kTitle16) << int(c.encoding);
        EXPECT_EQ(tag.Artist(), kArtist16) << int(c.encoding);
        EXPECT_EQ(tag.Album(), u"Album");
        EXPECT_EQ(tag.Comment(), u"Ком") << int(c.encoding);
        EXPECT_EQ(tag.Genre(), u"Jazz");
        EXPECT_EQ(tag.Year(), u"1999");
        EXPECT_EQ(tag.Track(), 11);
    }
    factory->setDefaultTextEncoding(TagLib::String::Latin1);
}

TEST_F(TagOracleTest, OurSaveKeepsTagLibsPictureAndLyrics)
{
    for (auto version : {TagLib::ID3v2::v3, TagLib::ID3v2::v4}) {
        auto path = copyBase("picture" + std::to_string(int(version)) + ".mp3");
        TagLib::ByteVector picture(20000, '\x42');
        {
            TagLib::MPEG::File file(path.c_str(), false);
            TagLib::ID3v2::Tag* v2 = file.ID3v2Tag(true);
            v2->setTitle("Old");
            auto* apic = new TagLib::ID3v2::AttachedPictureFrame;
            apic->setMimeType("image/jpeg");
            apic->setPicture(picture);
            v2->addFrame(apic);
            auto* lyrics = new TagLib::ID3v2::UnsynchronizedLyricsFrame(TagLib::String::UTF16);
            lyrics->setText(TagLib::String("Слова", TagLib::String::UTF8));
            v2->addFrame(lyrics);
            ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, version));
        }
        TID3v2 tag;
        ASSERT_TRUE(tag.ReadFromFile(path.u16string()));
        tag.SetTitle(kTitle16);
        ASSERT_TRUE(tag.SaveToFile(path.u16string()));

        TagLib::MPEG::File file(path.c_str(), false);
        TagLib::ID3v2::Tag* v2 = file.ID3v2Tag();
        ASSERT_NE(v2, nullptr);
        EXPECT_EQ(v2->header()->majorVersion(), unsigned(version));
        EXPECT_EQ(Utf8(v2->title()), kTitle);
        const auto& pictures = v2->frameListMap()["APIC"];
        ASSERT_EQ(pictures.size(), 1u);
        EXPECT_EQ(static_cast<TagLib::ID3v2::AttachedPictureFrame*>(pictures.front())->picture(), picture);
        const auto& lyrics = v2->frameListMap()["USLT"];
        ASSERT_EQ(lyrics.size(), 1u);
        EXPECT_EQ(Utf8(lyrics.front()->toString()), "Слова");
    }
}

TEST_F(TagOracleTest, WeReadTagLibsAPEAndID3v1Tags)
{
    auto path = copyBase("ape.mp3");
    {
        TagLib::MPEG::File file(path.c_str(), false);
        TagLib::APE::Tag* ape = file.APETag(true);
        ape->setTitle(TagLib::String(kTitle, TagLib::String::UTF8));
        ape->setArtist(TagLib::String(kArtist, TagLib::String::UTF8));
        ape->setTrack(4);
        ape->setYear(2001);
        TagLib::ID3v1::Tag* v1 = file.ID3v1Tag(true);
        v1->setTitle("One");
        v1->setTrack(4);
        v1->setYear(2001);
        ASSERT_TRUE(file.save(TagLib::MPEG::File::APE | TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers));
    }
    TAPEtag ape;
    ASSERT_TRUE(ape.ReadFromFile(path.u16string()));
    ASSERT_TRUE(ape.Exists());
    EXPECT_EQ(ape.Version(), 2000);
    EXPECT_EQ(ape.Title(), kTitle16);
    EXPECT_EQ(ape.Artist(), kArtist16);
    EXPECT_EQ(ape.Track(), 4);
    EXPECT_EQ(ape.Year(), u"2001");

    TID3v1 v1;
    ASSERT_TRUE(v1.ReadFromFile(path.u16string()));
    ASSERT_TRUE(v1.Exists());
    EXPECT_EQ(v1.Title(), "One");
    EXPECT_EQ(v1.Track(), 4);
    EXPECT_EQ(v1.Year(), "2001");
}
