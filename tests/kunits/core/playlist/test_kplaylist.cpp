#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/playlist/kplaylist.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"

namespace kolvarin {
namespace {

std::vector<std::u16string> captions(const TKPlaylist& list)
{
    std::vector<std::u16string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.GetItem(i)->Caption);
    return out;
}

class PlaylistTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Playlist = &list;
        PlaylistClear();
        PlaylistTopLine = 0;
    }
    void TearDown() override { Playlist = nullptr; }

    void add(const char16_t* caption, const char16_t* file = u"/m/a.mp3", const char* time = "00:00:00",
             const char* track = "00")
    {
        list.Add(caption, file, false, track, time);
    }

    TKPlaylist list;
};

TEST_F(PlaylistTest, AddGetAndMove)
{
    EXPECT_EQ(list.Add(u"a", u"/a.mp3", true, "123", "001:02:03.5"), 0);
    const TKPlaylistEntry* entry = list.GetItem(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Time, "001:02:0");
    EXPECT_EQ(entry->Track, "12");
    EXPECT_TRUE(entry->Selected);
    EXPECT_FALSE(entry->PlayState);
    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_EQ(list.GetItem(1), nullptr);

    add(u"b");
    add(u"c");
    auto moved = list.Delete(0);
    EXPECT_EQ(list.IndexOf(moved.get()), -1);
    list.Insert(2, std::move(moved));
    EXPECT_EQ(captions(list), (std::vector<std::u16string>{u"b", u"c", u"a"}));
    EXPECT_EQ(list.Delete(3), nullptr);
}

TEST_F(PlaylistTest, SortModes)
{
    struct Case {
        int mode;
        std::vector<std::u16string> expected;
    } cases[] = {
        {psmCaption, {u"B", u"C", u"b", u"ba", u"d"}},    {psmFileName, {u"b", u"B", u"C", u"d", u"ba"}},
        {psmTime, {u"d", u"C", u"b", u"ba", u"B"}},       {psmTrack, {u"C", u"ba", u"d", u"B", u"b"}},
        {psmVideoFirst, {u"b", u"B", u"d", u"ba", u"C"}}, {psmAudioFirst, {u"ba", u"C", u"b", u"B", u"d"}},
        {psmReverse, {u"C", u"ba", u"d", u"B", u"b"}},
    };
    for (const auto& c : cases) {
        list.Clear();
        add(u"b", u"/a/1.avi", "00:03:00", "7");
        add(u"B", u"/a/2.vob", "00:09:00", "5");
        add(u"d", u"/a/5.mkv", "00:01:00", "x");
        add(u"ba", u"http://radio/live", "00:04:00", "");
        add(u"C", u"/a/3.mp3", "00:02:00", "-1");
        list.Sort(c.mode);
        EXPECT_EQ(PlaylistSortMode, c.mode);
        if (c.mode == psmTrack) {
            // Entries that compare equal ("x", "" and "0") may come in any order.
            auto got = captions(list);
            EXPECT_EQ(got.front(), u"C");
            EXPECT_EQ(std::vector<std::u16string>(got.end() - 2, got.end()), (std::vector<std::u16string>{u"B", u"b"}));
        } else {
            EXPECT_EQ(captions(list), c.expected) << "mode " << c.mode;
        }
    }
}

TEST_F(PlaylistTest, ShuffleAndReverseKeepEveryEntry)
{
    for (int i = 0; i < 200; ++i)
        add(std::u16string(1, static_cast<char16_t>(u'A' + i)).c_str());
    const auto before = captions(list);
    list.Sort(psmShuffle);
    auto shuffled = captions(list);
    EXPECT_NE(shuffled, before);
    std::sort(shuffled.begin(), shuffled.end());
    EXPECT_EQ(shuffled, before);
    list.Sort(psmReverse);
    list.Sort(psmReverse);
    list.Sort(psmCaption);
    EXPECT_EQ(captions(list), before);

    TKPlaylist empty;
    for (int mode = 0; mode < 8; ++mode)
        empty.Sort(mode);
    EXPECT_EQ(empty.Count(), 0);
}

TEST_F(PlaylistTest, VideoFirstFollowsTheAcceptedExtensions)
{
    TKConfig config;
    config.SetDefaults();
    TKConfig::FillKnownExtensions(config.AcceptedExtensions);
    Config = &config;
    add(u"song", u"/a/x.mp3");
    add(u"odd", u"/a/x.xyz");
    list.Sort(psmVideoFirst);
    EXPECT_EQ(captions(list), (std::vector<std::u16string>{u"song", u"odd"})) << "an unlisted extension has no type";
    config.AcceptAllFiles = true;
    list.Sort(psmVideoFirst);
    EXPECT_EQ(captions(list), (std::vector<std::u16string>{u"odd", u"song"}))
        << "unknown extensions fall back to video";
    Config = nullptr;
}

TEST_F(PlaylistTest, DeleteSelectedSendsFilesToTheTrashLastFirst)
{
    std::vector<std::u16string> trashed;
    auto saved = TKPlaylist::Hooks().RecycleFile;
    TKPlaylist::Hooks().RecycleFile = [&](const std::u16string& f) {
        trashed.push_back(f);
        return false;
    };
    for (const char16_t* c : {u"a", u"b", u"c", u"d", u"e"})
        list.Add(c, std::u16string(u"/m/") + c, false, "00", "00:00:00");
    list.DeleteSelected(true);
    EXPECT_EQ(list.Count(), 5) << "nothing selected, nothing removed";
    list.GetItem(1)->Selected = true;
    list.GetItem(3)->Selected = true;
    list.DeleteSelected(false);
    EXPECT_TRUE(trashed.empty());
    EXPECT_EQ(captions(list), (std::vector<std::u16string>{u"a", u"c", u"e"}));
    list.GetItem(0)->Selected = true;
    list.GetItem(2)->Selected = true;
    list.DeleteSelected(true);
    EXPECT_EQ(trashed, (std::vector<std::u16string>{u"/m/e", u"/m/a"}));
    EXPECT_EQ(captions(list), (std::vector<std::u16string>{u"c"})) << "removed even when the file stayed";
    TKPlaylist::Hooks().RecycleFile = saved;
}

TEST_F(PlaylistTest, Procedures)
{
    for (int i = 0; i < 8; ++i)
        PlaylistAdd(std::u16string(1, static_cast<char16_t>(u'a' + i)), u"/f", "01:02:03", false, "00");
    PlaylistGetItem(7)->Time = "garbage";
    PlaylistGetItem(6)->Time = "1:2";
    EXPECT_EQ(PlaylistTotalTime(), 6 * (3600'000 + 2 * 60'000 + 3'000));

    PlaylistAnchorFirst = 5;
    PlaylistAnchorSecond = 2;
    PlaylistSelectRange();
    EXPECT_EQ(PlaylistSelectedCount(), 4);
    EXPECT_TRUE(PlaylistIsSelected(2) && PlaylistIsSelected(5) && !PlaylistIsSelected(6));
    PlaylistDeselectAll();
    PlaylistAnchorFirst = -1;
    PlaylistAnchorSecond = 100;
    PlaylistSelectRange();
    EXPECT_EQ(PlaylistSelectedCount(), 8) << "only indexes inside the list are touched";
    PlaylistInvertSelection();
    EXPECT_EQ(PlaylistSelectedCount(), 0);
    EXPECT_FALSE(PlaylistIsSelected(-1));

    EXPECT_EQ(PlaylistPlayingIndex(), -1);
    PlaylistGetItem(4)->PlayState = true;
    EXPECT_EQ(PlaylistPlayingIndex(), 4);
    PlaylistClearPlayed();
    EXPECT_EQ(PlaylistPlayingIndex(), -1);

    EXPECT_EQ(PlaylistIndexOfCaption(u"c"), 2);
    EXPECT_EQ(PlaylistIndexOfCaption(u"C"), -1);

    for (int index : {-5, -1, 8, 1000}) {
        LastPlayedIndex = index;
        EXPECT_EQ(PlaylistLastPlayedIndex(), -1) << index;
    }
    LastPlayedIndex = 7;
    EXPECT_EQ(PlaylistLastPlayedIndex(), 7);
    LastPlayedIndex = -1;
}

TEST_F(PlaylistTest, DeleteSelectedKeepsTheWindowConsistent)
{
    std::vector<std::string> calls;
    auto& hooks = PlaylistHooks();
    const auto saved = hooks;
    hooks.BeginDeleteStatus = [&] { calls.push_back("begin"); };
    hooks.RefreshPlaylist = [&] { calls.push_back("refresh"); };
    hooks.EndDeleteStatus = [&] { calls.push_back("end"); };
    for (int i = 0; i < 10; ++i)
        PlaylistAdd(u"x", u"/f", "", i >= 4, "");
    PlaylistTopLine = 8;
    PlaylistAnchorFirst = 2;
    PlaylistAnchorSecond = 9;
    PlaylistDeleteSelected(false);
    EXPECT_EQ(PlaylistCount(), 4);
    EXPECT_EQ(PlaylistTopLine, 2);
    EXPECT_EQ(PlaylistAnchorFirst, -1);
    EXPECT_EQ(PlaylistAnchorSecond, -1);
    PlaylistSelectAll();
    PlaylistDeleteSelected(false);
    EXPECT_EQ(PlaylistTopLine, 0) << "never below the start";
    EXPECT_EQ(calls, (std::vector<std::string>{"begin", "refresh", "end", "begin", "refresh", "end"}));
    hooks = saved;
}

} // namespace
} // namespace kolvarin
