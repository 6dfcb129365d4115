#include "forms/videostreams.h"

#include <gtest/gtest.h>

#include "forms/videomenus.h"
#include "media/graphif.h"
#include "media/uuids.h"
#include "media_fixtures.h"

using namespace kolvarin;
using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

// The clip's splitter (two audio streams, one subtitle stream) beside a
// subtitle filter holding two subtitle files.
struct StreamGraph {
    ComPtr<IGraphBuilder> graph = CreateInstance<IGraphBuilder>(CLSID_FilterGraph);
    ComPtr<IBaseFilter> source, subtitles = CreateInstance<IBaseFilter>(CLSID_SubtitleFilter);
    TKGraphFilters filters;

    StreamGraph()
    {
        EXPECT_EQ(graph->AddSourceFilter(fx::FileName(fx::MkvFixture()), u"Source", source.put()), S_OK);
        graph->AddFilter(subtitles.get(), u"DirectVobSub");
        auto vobsub = subtitles.as<IDirectVobSub>();
        vobsub->put_FileName(fx::FileName(fx::WriteFile("one.srt", "1\n00:00:00,000 --> 00:00:01,000\nOne\n\n")));
        vobsub->put_FileName(fx::FileName(fx::WriteFile("two.srt", "1\n00:00:00,000 --> 00:00:01,000\nTwo\n\n")));
        filters = FindGraphFilters(graph.get());
    }
    uint32_t Flags(int stream)
    {
        uint32_t flags = 0;
        filters.Splitter->Info(stream, nullptr, &flags, nullptr, nullptr, nullptr, nullptr, nullptr);
        return flags;
    }
};

std::vector<std::u16string> Captions(const QMenu& menu)
{
    std::vector<std::u16string> captions;
    for (QAction* a : menu.actions())
        captions.push_back(a->isSeparator() ? u"-" : a->text().toStdU16String());
    return captions;
}

} // namespace

TEST(VideoStreams, MenusHoldTheSplittersStreamsAndTheSubtitleLanguages)
{
    StreamGraph g;
    ASSERT_TRUE(g.filters.Splitter);
    ASSERT_TRUE(g.filters.Subtitles);
    EXPECT_FALSE(g.filters.DvdControl);
    QMenu audio, subtitles;
    FillAudioStreamMenu(audio, GetAudioStreamEntries(g.filters.Splitter.get()));
    FillSubtitleStreamMenu(subtitles, GetSubtitleStreamEntries(g.filters.Splitter.get(), g.filters.Subtitles.get()),
                           u"Off");
    EXPECT_EQ(Captions(audio), (std::vector<std::u16string>{u"English - Main", u"German - Kommentar"}));
    EXPECT_EQ(Captions(subtitles), (std::vector<std::u16string>{u"Off", u"-", u"English", u"one.srt", u"two.srt"}));
    // Without a subtitle filter there is no subtitle menu at all.
    EXPECT_TRUE(GetSubtitleStreamEntries(g.filters.Splitter.get(), nullptr).empty());
    const TKStreamEntry second = EntryOf(MenuItems(subtitles)[2]); // one.srt
    EXPECT_EQ(second.StreamIndex, -1);
    EXPECT_EQ(second.LanguageIndex, 0);
}

TEST(VideoStreams, DefaultsChooseByCaptionOrFallBack)
{
    StreamGraph g;
    QMenu audio, subtitles;
    FillAudioStreamMenu(audio, GetAudioStreamEntries(g.filters.Splitter.get()));
    FillSubtitleStreamMenu(subtitles, GetSubtitleStreamEntries(g.filters.Splitter.get(), g.filters.Subtitles.get()),
                           u"Off");
    const auto a = MenuItems(audio);
    const auto s = MenuItems(subtitles);
    EXPECT_EQ(DefaultAudioItem(audio, u"GERMAN"), a[1]);
    EXPECT_EQ(DefaultAudioItem(audio, u"French"), a[0]);
    EXPECT_EQ(DefaultAudioItem(audio, u""), a[0]);
    EXPECT_EQ(DefaultSubtitleItem(subtitles, u"two", false), s[3]);
    EXPECT_EQ(DefaultSubtitleItem(subtitles, u"-", false), s[0]) << "off";
    EXPECT_EQ(DefaultSubtitleItem(subtitles, u"", true), s[1]) << "the first subtitle when the default failed";
    QMenu empty;
    EXPECT_EQ(DefaultAudioItem(empty, u"x"), nullptr);
    EXPECT_EQ(DefaultSubtitleItem(empty, u"", true), nullptr);
}

TEST(VideoStreams, ClicksSelectTheStreamAndTickIt)
{
    StreamGraph g;
    QMenu audio, subtitles;
    FillAudioStreamMenu(audio, GetAudioStreamEntries(g.filters.Splitter.get()));
    FillSubtitleStreamMenu(subtitles, GetSubtitleStreamEntries(g.filters.Splitter.get(), g.filters.Subtitles.get()),
                           u"Off");
    EXPECT_TRUE(SelectAudioStream(audio, MenuItems(audio)[1], g.filters));
    EXPECT_EQ(g.Flags(2), AMSTREAMSELECTINFO_ENABLED);
    EXPECT_EQ(g.Flags(1), 0u);
    EXPECT_TRUE(MenuItems(audio)[1]->isChecked());
    EXPECT_FALSE(MenuItems(audio)[0]->isChecked());

    auto vobsub = g.filters.Subtitles;
    ASSERT_TRUE(SelectSubtitleStream(subtitles, MenuItems(subtitles)[3], g.filters)); // two.srt
    int32_t selected = -1;
    bool hidden = true;
    vobsub->get_SelectedLanguage(&selected);
    vobsub->get_HideSubtitles(&hidden);
    EXPECT_EQ(selected, 1);
    EXPECT_FALSE(hidden);
    ASSERT_TRUE(SelectSubtitleStream(subtitles, MenuItems(subtitles)[0], g.filters)); // off
    vobsub->get_HideSubtitles(&hidden);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(MenuItems(subtitles)[0]->isChecked());
    EXPECT_FALSE(MenuItems(subtitles)[3]->isChecked());

    EXPECT_FALSE(SelectAudioStream(audio, MenuItems(audio)[0], TKGraphFilters{})) << "no splitter: nothing";
    EXPECT_TRUE(MenuItems(audio)[1]->isChecked());
}

TEST(VideoStreams, NextItemWrapsAndStepsOverSeparators)
{
    QMenu menu;
    for (const char* caption : {"Off", "-", "A", "B"}) {
        if (caption[0] == '-')
            menu.addSeparator();
        else
            menu.addAction(caption)->setCheckable(true);
    }
    const auto items = MenuItems(menu);
    EXPECT_EQ(NextChecked(menu), nullptr) << "nothing ticked: nothing happens";
    items[0]->setChecked(true);
    EXPECT_EQ(NextChecked(menu), items[1]);
    CheckOnly(items, items[2]);
    EXPECT_EQ(NextChecked(menu), items[0]);
}
