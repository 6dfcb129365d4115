#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dvd_fixture.h"
#include "media/com.h"
#include "media/dvdif.h"
#include "media/graphif.h"
#include "media/locale.h"
#include "media/uuids.h"
#include "video/dvdevents.h"
#include "video/kstreaminfo.h"

using namespace kolvarin::video;
using namespace kolvarin::media;
namespace fx = ktest::media;

namespace {

// A navigator that answers from a few fields and records the commands.
class FakeDvd final : public ComObject<FakeDvd, IDvdControl2, IDvdInfo2> {
public:
    uint32_t audioStreams = 2, currentAudio = 0, subpictureStreams = 2, currentSubpicture = 0;
    uint32_t audioEnabled = ~0u, subpictureEnabled = ~0u; // by the titles' program chains
    std::vector<uint32_t> chapters{3, 1};
    DVD_HMSF_TIMECODE total{};
    bool totalKnown = true;
    std::vector<std::string> calls;

    HRESULT SetDVDDirectory(const std::u16string&) override { return S_OK; }
    HRESULT SetOption(DVD_OPTION_FLAG, bool) override { return S_OK; }
    HRESULT PlayTitle(uint32_t, uint32_t) override { return S_OK; }
    HRESULT PlayChapterInTitle(uint32_t t, uint32_t c, uint32_t) override
    {
        return Call("PlayChapterInTitle " + std::to_string(t) + " " + std::to_string(c));
    }
    HRESULT PlayAtTime(const DVD_HMSF_TIMECODE*, uint32_t) override { return S_OK; }
    HRESULT PlayPrevChapter(uint32_t) override { return Call("PlayPrevChapter"); }
    HRESULT PlayNextChapter(uint32_t) override { return Call("PlayNextChapter"); }
    HRESULT PlayForwards(double, uint32_t) override { return S_OK; }
    HRESULT PlayBackwards(double, uint32_t) override { return S_OK; }
    HRESULT ShowMenu(DVD_MENU_ID m, uint32_t) override { return Call("ShowMenu " + std::to_string(m)); }
    HRESULT Resume(uint32_t) override { return S_OK; }
    HRESULT ReturnFromSubmenu(uint32_t) override { return S_OK; }
    HRESULT SelectRelativeButton(DVD_RELATIVE_BUTTON) override { return S_OK; }
    HRESULT SelectButton(uint32_t) override { return S_OK; }
    HRESULT ActivateButton() override { return S_OK; }
    HRESULT SelectAtPosition(POINT p) override { return Call("Select " + Point(p)); }
    HRESULT ActivateAtPosition(POINT p) override { return Call("Activate " + Point(p)); }
    HRESULT SelectAudioStream(uint32_t s, uint32_t) override
    {
        currentAudio = s;
        return Call("Audio " + std::to_string(s));
    }
    HRESULT SelectSubpictureStream(uint32_t s, uint32_t) override
    {
        currentSubpicture = s;
        return Call("Subpicture " + std::to_string(s));
    }
    HRESULT SetSubpictureState(bool show, uint32_t) override { return Call(show ? "Show" : "Hide"); }
    HRESULT SelectAngle(uint32_t, uint32_t) override { return S_OK; }

    HRESULT GetCurrentDomain(DVD_DOMAIN* d) override
    {
        *d = DVD_DOMAIN_Title;
        return S_OK;
    }
    HRESULT GetCurrentLocation(DVD_PLAYBACK_LOCATION2* l) override
    {
        *l = {};
        return S_OK;
    }
    HRESULT GetTotalTitleTime(DVD_HMSF_TIMECODE* t, uint32_t*) override
    {
        *t = total;
        return totalKnown ? S_OK : VFW_E_DVD_INVALIDDOMAIN;
    }
    HRESULT GetCurrentButton(uint32_t* a, uint32_t* c) override
    {
        *a = *c = 0;
        return S_OK;
    }
    HRESULT GetCurrentAngle(uint32_t* a, uint32_t* c) override
    {
        *a = *c = 1;
        return S_OK;
    }
    HRESULT GetCurrentAudio(uint32_t* a, uint32_t* c) override
    {
        *a = audioStreams;
        *c = currentAudio;
        return S_OK;
    }
    HRESULT GetCurrentSubpicture(uint32_t* a, uint32_t* c, bool* disabled) override
    {
        *a = subpictureStreams;
        *c = currentSubpicture;
        *disabled = false;
        return S_OK;
    }
    HRESULT IsAudioStreamEnabled(uint32_t s, bool* e) override
    {
        *e = s < audioStreams;
        return S_OK;
    }
    HRESULT IsSubpictureStreamEnabled(uint32_t s, bool* e) override
    {
        *e = s < subpictureStreams;
        return S_OK;
    }
    HRESULT GetAudioLanguage(uint32_t s, LCID* l) override
    {
        *l = LcidFromLanguageCode(s % 2 ? "de" : "en");
        return S_OK;
    }
    HRESULT GetSubpictureLanguage(uint32_t s, LCID* l) override
    {
        *l = LcidFromLanguageCode(s % 2 ? "fr" : "en");
        return S_OK;
    }
    HRESULT GetDVDVolumeInfo(uint32_t*, uint32_t*, DVD_DISC_SIDE*, uint32_t* titles) override
    {
        *titles = static_cast<uint32_t>(chapters.size());
        return S_OK;
    }
    HRESULT GetNumberOfChapters(uint32_t t, uint32_t* c) override
    {
        *c = chapters.at(t - 1);
        return S_OK;
    }
    HRESULT GetTitleAttributes(uint32_t t, DVD_TITLE_ATTRIBUTES* a) override
    {
        if (t == 0 || t > chapters.size())
            return E_INVALIDARG;
        *a = {};
        a->ulNumberOfAudioStreams = audioStreams;
        for (uint32_t i = 0; i < std::min(audioStreams, 8u); ++i)
            GetAudioLanguage(i, &a->AudioAttributes[i].Language);
        a->ulNumberOfSubpictureStreams = subpictureStreams;
        for (uint32_t i = 0; i < std::min(subpictureStreams, 32u); ++i)
            GetSubpictureLanguage(i, &a->SubpictureAttributes[i].Language);
        a->ulAudioStreamsEnabled = audioEnabled & static_cast<uint32_t>((uint64_t(1) << audioStreams) - 1);
        a->ulSubpictureStreamsEnabled =
            subpictureEnabled & static_cast<uint32_t>((uint64_t(1) << subpictureStreams) - 1);
        return S_OK;
    }
    HRESULT GetDVDDirectory(std::u16string*) override { return S_OK; }

private:
    HRESULT Call(std::string text)
    {
        calls.push_back(std::move(text));
        return S_OK;
    }
    static std::string Point(POINT p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
};

struct Fixture {
    ComPtr<FakeDvd> fake = MakeCom<FakeDvd>();
    TDvdState state;
    TDvdPlaySystem dvd{fake.get(), fake.get(), &state};
    TDvdTexts texts;
};

std::vector<std::u16string> Captions(const TDvdMenu& menu)
{
    std::vector<std::u16string> out;
    for (const auto& item : menu)
        out.push_back(item.Caption);
    return out;
}

} // namespace

TEST(DvdEvents, StreamMenusListAtMostEightStreamsAndCheckTheCurrentOne)
{
    Fixture f;
    f.state.DvdCurrentTitle = 1;
    f.fake->audioStreams = 10;
    f.fake->currentAudio = 1;
    f.fake->subpictureStreams = 12;
    f.fake->currentSubpicture = 7;
    f.state.DvdSubtitlesVisible = -1;
    const TDvdMenu audio = BuildDvdAudioMenu(f.dvd);
    ASSERT_EQ(audio.size(), 8u);
    EXPECT_EQ(audio[1].Caption, u"German");
    EXPECT_TRUE(audio[1].Checked);
    EXPECT_FALSE(audio[0].Checked);
    EXPECT_EQ(audio[7].Tag, 7);
    EXPECT_EQ(f.state.DvdAudioIndex, 1);
    EXPECT_EQ(f.state.DvdAudioName, u"German");

    const TDvdMenu subtitles = BuildDvdSubtitleMenu(f.dvd, f.texts);
    ASSERT_EQ(subtitles.size(), 10u); // "Show subtitles", "-", streams 0..7
    EXPECT_EQ(subtitles[0].kind, TDvdMenuItem::Kind::ShowSubtitles);
    EXPECT_TRUE(subtitles[0].Checked);
    EXPECT_EQ(subtitles[1].kind, TDvdMenuItem::Kind::Separator);
    EXPECT_EQ(subtitles[9].Tag, 7);
    EXPECT_TRUE(subtitles[9].Checked);
    EXPECT_EQ(f.state.DvdSubpictureName, u"French");

    // Streams the title's program chain disables get no item.
    f.fake->audioEnabled = ~0x2u;
    EXPECT_EQ(Captions(BuildDvdAudioMenu(f.dvd)).size(), 7u);
    EXPECT_EQ(BuildDvdAudioMenu(f.dvd)[1].Tag, 2);

    f.fake->subpictureStreams = 0;
    EXPECT_TRUE(BuildDvdSubtitleMenu(f.dvd, f.texts).empty());
    EXPECT_TRUE(BuildDvdAudioMenu(TDvdPlaySystem{nullptr, nullptr, &f.state}).empty());
    f.state.DvdCurrentTitle = 0;
    EXPECT_TRUE(BuildDvdAudioMenu(f.dvd).empty()) << "no title has started";
}

TEST(DvdEvents, JumpTreeGivesChaptersOnlyToTitlesWithSeveral)
{
    Fixture f;
    TDvdMenu jump = BuildDvdJumpMenu(f.dvd, f.texts);
    ASSERT_EQ(Captions(jump), (std::vector<std::u16string>{u"Title 1", u"Title 2"}));
    ASSERT_EQ(jump[0].Items.size(), 3u);
    EXPECT_EQ(jump[0].Items[2].Caption, u"Chapter 3");
    EXPECT_EQ(jump[0].Items[2].Tag, 3);
    EXPECT_EQ(jump[0].Items[2].GroupIndex, 1);
    EXPECT_EQ(jump[0].Tag, -1);
    EXPECT_TRUE(jump[1].Items.empty()); // one chapter: the title itself jumps to chapter 1
    EXPECT_EQ(jump[1].Tag, 1);
    EXPECT_EQ(jump[1].GroupIndex, 2);

    CheckDvdJumpMenu(jump, 1, 2);
    EXPECT_TRUE(jump[0].Checked);
    EXPECT_FALSE(jump[1].Checked);
    EXPECT_TRUE(jump[0].Items[1].Checked);
    EXPECT_FALSE(jump[0].Items[0].Checked);

    // A jump re-selects the remembered streams and names where it went.
    f.state.DvdAudioIndex = 1;
    f.state.DvdAudioName = u"German";
    f.state.DvdSubpictureIndex = 0;
    f.state.DvdSubpictureName = u"English";
    const TDvdMessage m = DvdJumpTo(f.dvd, f.texts, jump, jump[1]);
    EXPECT_EQ(m.Text, u"Chapter 1, title 2");
    EXPECT_EQ(m.Milliseconds, 2000);
    EXPECT_EQ(f.fake->calls, (std::vector<std::string>{"PlayChapterInTitle 2 1", "Audio 1", "Subpicture 0"}));
    EXPECT_TRUE(jump[1].Checked);
    EXPECT_FALSE(jump[0].Checked);
    EXPECT_TRUE(DvdJumpTo(f.dvd, f.texts, jump, jump[0]).Text.empty()); // a title header jumps nowhere
}

TEST(DvdEvents, TimeEventsDriveDigitsAndProgress)
{
    struct Case {
        DVD_HMSF_TIMECODE total, now;
        int timeMode;
        int h, m, s;
        bool remaining;
        int tag;
        int64_t max, position;
    } cases[] = {
        {{1, 0, 10, 0}, {0, 59, 20, 5}, 1, 0, 0, 50, true, 1, 3610000, 3560000},
        {{1, 0, 10, 0}, {0, 59, 20, 5}, 0, 0, 59, 20, false, 1, 3610000, 3560000},
        {{0, 0, 0, 12}, {0, 0, 3, 0}, 0, 0, 0, 3, false, -1, 100, 0}, // length unknown: frames only
    };
    for (const auto& c : cases) {
        TDvdState state;
        state.DvdTotalTime = c.total;
        const TDvdTimeDisplay d = DvdCurrentTime(state, c.now, c.timeMode);
        EXPECT_EQ(d.Hours, c.h);
        EXPECT_EQ(d.Minutes, c.m);
        EXPECT_EQ(d.Seconds, c.s);
        EXPECT_EQ(d.Remaining, c.remaining);
        EXPECT_EQ(d.ProgressTag, c.tag);
        EXPECT_EQ(d.ProgressEnabled, c.tag == 1);
        EXPECT_EQ(d.ProgressMax, c.max);
        EXPECT_EQ(d.ProgressPosition, c.position);
        EXPECT_EQ(UnpackTimeCode(state.DvdCurrentTime).bSeconds, c.now.bSeconds);
    }
}

TEST(DvdEvents, ChapterStartRestoresStreamsAndRebuildsMenus)
{
    Fixture f;
    f.fake->total = {0, 0, 3, 0};
    DvdTitleChange(f.dvd, 1);
    EXPECT_EQ(f.state.DvdCurrentTitle, 1);
    EXPECT_EQ(f.state.DvdTotalTime.bSeconds, 3);
    f.fake->totalKnown = false;
    DvdTitleChange(f.dvd, 2);
    EXPECT_EQ(f.state.DvdTotalTime.bSeconds, 0);
    DvdTitleChange(f.dvd, 1);

    TDvdMenus menus;
    DvdChapterStart(f.dvd, f.texts, menus, 2);
    // Nothing remembered yet: no stream is selected (a stream needs its name).
    EXPECT_TRUE(f.fake->calls.empty());
    ASSERT_EQ(menus.Audio.size(), 2u);
    ASSERT_EQ(menus.Subtitles.size(), 4u);
    ASSERT_EQ(menus.JumpTo.size(), 2u);
    EXPECT_TRUE(menus.JumpTo[0].Items[1].Checked);

    // The user picks "German" and subtitles; the next chapter keeps them.
    const TDvdMessage m = DvdAudioClick(f.dvd, f.texts, menus.Audio, menus.Audio[1]);
    EXPECT_EQ(m.Text, u"DVD language 'German'");
    EXPECT_TRUE(menus.Audio[1].Checked);
    EXPECT_FALSE(menus.Audio[0].Checked);
    DvdToggleSubtitles(f.dvd, menus.Subtitles);
    EXPECT_TRUE(menus.Subtitles[0].Checked);
    EXPECT_EQ(DvdSubtitleClick(f.dvd, f.texts, menus.Subtitles, menus.Subtitles[3]).Text, u"DVD subtitle 'French'");
    EXPECT_TRUE(menus.Subtitles[3].Checked);
    EXPECT_TRUE(menus.Subtitles[0].Checked);
    f.fake->calls.clear();
    f.fake->currentAudio = 0; // the disc went back to its own default
    DvdChapterStart(f.dvd, f.texts, menus, 3);
    EXPECT_EQ(f.fake->calls, (std::vector<std::string>{"Audio 1", "Subpicture 1"}));
    EXPECT_TRUE(menus.Audio[1].Checked);
    EXPECT_TRUE(menus.JumpTo[0].Items[2].Checked);
    EXPECT_TRUE(DvdAudioClick(f.dvd, f.texts, menus.Audio, TDvdMenuItem{}).Text.empty()); // Tag -1
}

TEST(DvdEvents, CommandsActOnlyWhileTheGraphRunsWithANavigator)
{
    Fixture f;
    DvdPlayChapter(f.dvd, false, true);
    DvdShowMenu(f.dvd, false, DVD_MENU_Root);
    DvdMouse(f.dvd, false, {10, 20}, true);
    DvdPlayChapter(TDvdPlaySystem{nullptr, nullptr, &f.state}, true, true);
    EXPECT_TRUE(f.fake->calls.empty());
    DvdPlayChapter(f.dvd, true, true);
    DvdPlayChapter(f.dvd, true, false);
    DvdShowMenu(f.dvd, true, DVD_MENU_Chapter);
    DvdMouse(f.dvd, true, {10, 20}, false);
    DvdMouse(f.dvd, true, {10, 20}, true);
    EXPECT_EQ(f.fake->calls, (std::vector<std::string>{"PlayNextChapter", "PlayPrevChapter", "ShowMenu 7",
                                                       "Select 10,20", "Activate 10,20"}));
}

TEST(DvdEvents, MenusOfTheAuthoredDisc)
{
    auto nav = CreateInstance<IBaseFilter>(CLSID_DVDNavigator);
    ASSERT_EQ(nav.as<IDvdControl2>()->SetDVDDirectory(fx::DvdFixture().u16string()), S_OK);
    TDvdState state;
    state.DvdCurrentTitle = 2;
    auto control = nav.as<IDvdControl2>();
    auto info = nav.as<IDvdInfo2>();
    const TDvdPlaySystem dvd{control.get(), info.get(), &state};
    EXPECT_TRUE(dvd.HasAudioStreams());
    EXPECT_TRUE(dvd.HasSubpictureStreams());
    EXPECT_EQ(Captions(BuildDvdAudioMenu(dvd)), (std::vector<std::u16string>{u"English", u"German"}));
    EXPECT_EQ(Captions(BuildDvdSubtitleMenu(dvd, TDvdTexts{})),
              (std::vector<std::u16string>{u"Show subtitles", u"-", u"English", u"French"}));
    const TDvdMenu jump = BuildDvdJumpMenu(dvd, TDvdTexts{});
    ASSERT_EQ(jump.size(), 2u);
    EXPECT_EQ(jump[0].Items.size(), 3u);
    EXPECT_TRUE(jump[1].Items.empty());
}

TEST(DvdEvents, TheNavigatorIsASourceOfStreamInformation)
{
    auto nav = CreateInstance<IBaseFilter>(CLSID_DVDNavigator);
    EXPECT_TRUE(IsMediaSourceFilter(nav.get()));
    ASSERT_EQ(nav.as<IDvdControl2>()->SetDVDDirectory(fx::DvdFixture().u16string()), S_OK);
    TKStreamInfos infos;
    GetPinStreamInfos(nav.get(), infos);
    ASSERT_EQ(infos.size(), 3u);
    const TKStreamKind kinds[] = {TKStreamKind::Video, TKStreamKind::Audio, TKStreamKind::Subtitle};
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(infos[i].Formats.size(), 1u) << i;
        EXPECT_EQ(infos[i].Formats[0].Kind, kinds[i]) << i;
        EXPECT_FALSE(infos[i].Connected);
    }
}
