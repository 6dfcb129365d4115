// Adding media: captions and tracks from tags, music CD track files, the
// length probe, playlist files; and the tags read again when a file plays.
#include <fstream>

#include "audio_fixtures.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/text/kstrings.h"
#include "playsystem_fixture.h"

namespace {

using namespace kolvarin;
namespace ka = ktest::audio;

class AddMediaTest : public ktest::PlaySystemTest {
protected:
    static std::filesystem::path taggedMp3()
    {
        return ka::encodedReference("tagged.mp3", "-id3v2_version 3 -metadata artist=Nobody -metadata title=Song "
                                                  "-metadata track=7");
    }
    std::u16string name(const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); }
};

TEST_F(AddMediaTest, CaptionTrackAndTimeFollowTheSettings)
{
    const auto mp3 = taggedMp3();
    ASSERT_FALSE(mp3.empty());
    Config->OFAReadID3Tag = false;
    Config->OFAReadTime = false;
    EXPECT_TRUE(system->AddFileToPlaylist(name(mp3)));
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"tagged");
    EXPECT_EQ(PlaylistGetItem(0)->Track, "00");
    EXPECT_EQ(PlaylistGetItem(0)->Time, "00:00:00");

    Config->OFAReadID3Tag = true;
    Config->OFAReadTime = true;
    EXPECT_TRUE(system->AddFileToPlaylist(name(mp3)));
    EXPECT_EQ(PlaylistGetItem(1)->Caption, u"Nobody - Song");
    EXPECT_EQ(PlaylistGetItem(1)->Track, "7");
    EXPECT_EQ(PlaylistGetItem(1)->Time, "00:00:01");
}

TEST_F(AddMediaTest, MusicCDTrackFilesAndRefusedNames)
{
    EXPECT_TRUE(system->AddFileToPlaylist(u"/dev/sr0/Track07.cda"));
    EXPECT_EQ(PlaylistGetItem(0)->Track, "07");
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"Track07");
    Config->AcceptAllFiles = false;
    EXPECT_FALSE(system->AddFileToPlaylist(u"/m/a.xyz"));
    EXPECT_EQ(PlaylistCount(), 1);
    // A playlist file is read as one when the settings say so, else added itself.
    const auto m3u = home() / "list.m3u";
    std::ofstream(m3u) << taggedMp3().string() << "\n" << taggedMp3().string() << "\n";
    Config->AcceptAllFiles = true;
    Config->OFAReadPlaylistFiles = true;
    EXPECT_TRUE(system->AddFileToPlaylist(name(m3u)));
    EXPECT_EQ(PlaylistCount(), 3);
    Config->OFAReadPlaylistFiles = false;
    EXPECT_TRUE(system->AddFileToPlaylist(name(m3u)));
    EXPECT_EQ(PlaylistGetItem(3)->FileName, name(m3u));
}

TEST_F(AddMediaTest, LengthProbeByTheAudioLibraryOrFFmpeg)
{
    EXPECT_EQ(GetMediaLengthText(name(ka::encodedReference("ref.flac", ""))), "00:00:01");
    // Not an audio-library extension: FFmpeg's demuxer measures it.
    const auto mkv = ka::encodedReference("ref.mka", "-c:a pcm_s16le");
    EXPECT_EQ(GetMediaLengthText(name(mkv)), "00:00:01");
    const auto junk = home() / "junk.ogg";
    std::ofstream(junk) << "no audio here";
    EXPECT_EQ(GetMediaLengthText(name(junk)), "00:00:00");
    EXPECT_EQ(GetMediaLengthText(name(home() / "missing.avi")), "00:00:00");
    EXPECT_EQ(TimeTextOfMilliseconds(3723000), "01:02:03");
}

TEST_F(AddMediaTest, PlayingRereadsTagAndLength)
{
    Config->OFPReadID3Tag = true;
    Config->OFPReadTime = true;
    add(taggedMp3(), "00");
    system->Play(0);
    ASSERT_TRUE(system->CurrentItem());
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"Nobody - Song");
    EXPECT_EQ(PlaylistGetItem(0)->Track, "7");
    EXPECT_EQ(PlaylistGetItem(0)->Time, "00:00:01");
    EXPECT_EQ(view.Status, u"[ Nobody - Song is playing ]");
}

TEST_F(AddMediaTest, FoldersPlaylistFilesAndTagRereads)
{
    const auto folder = home() / "music";
    std::filesystem::create_directories(folder / "inner");
    std::filesystem::copy_file(taggedMp3(), folder / "inner" / "b.mp3");
    std::ofstream(folder / "a.xyz") << "x";
    Config->AcceptAllFiles = false;
    system->AddFilesToPlaylist({name(folder), name(home() / "nothing")}, false);
    ASSERT_EQ(PlaylistCount(), 1);
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"b");
    system->ReadPlaylistItemTag(0);
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"Nobody - Song");
    EXPECT_EQ(PlaylistGetItem(0)->Track, "7");
}

TEST(AudioSettings, BufferAndUpdatePeriodByPriority)
{
    const int buffers[] = {5, 5, 100, 250, 1000, 5000, 5};
    const int periods[] = {5, 5, 25, 50, 75, 100, 5};
    for (int p = -1; p <= 5; ++p) {
        EXPECT_EQ(GetBassBufferLength(p), buffers[p + 1]);
        EXPECT_EQ(GetBassUpdatePeriod(p), periods[p + 1]);
    }
}

} // namespace
