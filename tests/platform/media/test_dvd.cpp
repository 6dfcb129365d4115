#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "dvd_fixture.h"
#include "media/dvdif.h"
#include "media/ffmediatypes.h"
#include "media/graphif.h"
#include "media/locale.h"
#include "media/uuids.h"
#include "media_fixtures.h"

using namespace kolvarin::media;
namespace fx = ktest::media;
namespace fs = std::filesystem;

namespace {

ComPtr<IBaseFilter> Navigator()
{
    auto f = CreateInstance<IBaseFilter>(CLSID_DVDNavigator);
    EXPECT_TRUE(f);
    return f;
}

HRESULT Open(IBaseFilter* navigator, const fs::path& path)
{
    auto control = ComPtr<IBaseFilter>(navigator).as<IDvdControl2>();
    return control->SetDVDDirectory(path.u16string());
}

// Cuts a file down to its first bytes.
void Truncate(const fs::path& file, size_t bytes) { fs::resize_file(file, bytes); }

// Overwrites bytes of a file from an offset.
void Patch(const fs::path& file, std::streamoff at, const std::string& bytes)
{
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Sets the last-byte field of a manager file's title search table.
void PatchTitleTableEnd(const fs::path& file, const std::string& bigEndian)
{
    std::ifstream in(file, std::ios::binary);
    unsigned char sector[4] = {};
    in.seekg(0xC4);
    in.read(reinterpret_cast<char*>(sector), 4);
    const std::streamoff table = std::streamoff(sector[0] << 24 | sector[1] << 16 | sector[2] << 8 | sector[3]) * 2048;
    Patch(file, table + 4, bigEndian);
}

// Points the command table of a title set's first title chain past the
// chain, so the disc library cannot read the chain table.
void BreakFirstTitleChain(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    auto read32 = [&in](std::streamoff at) {
        unsigned char b[4] = {};
        in.seekg(at);
        in.read(reinterpret_cast<char*>(b), 4);
        return std::streamoff(b[0]) << 24 | std::streamoff(b[1]) << 16 | std::streamoff(b[2]) << 8 | b[3];
    };
    const std::streamoff table = read32(0xCC) * 2048;
    const std::streamoff chain = table + read32(table + 8 + 4);
    in.close();
    Patch(file, chain + 0xE4, "\xFF\x13");
}

} // namespace

TEST(DvdNavigator, OpensTheDiscByAnyOfItsPathsAndDescribesTitlesAndStreams)
{
    const fs::path disc = fx::DvdFixture();
    for (const fs::path& path :
         {disc, disc / "VIDEO_TS", disc / "VIDEO_TS" / "VIDEO_TS.IFO", fs::path(disc.string() + "/VIDEO_TS/")}) {
        auto nav = Navigator();
        ASSERT_EQ(Open(nav.get(), path), S_OK) << path;
        auto info = nav.as<IDvdInfo2>();
        uint32_t titles = 0;
        ASSERT_EQ(info->GetDVDVolumeInfo(nullptr, nullptr, nullptr, &titles), S_OK);
        EXPECT_EQ(titles, 2u);
        uint32_t chapters = 0;
        EXPECT_EQ(info->GetNumberOfChapters(1, &chapters), S_OK);
        EXPECT_EQ(chapters, 3u);
        EXPECT_EQ(info->GetNumberOfChapters(2, &chapters), S_OK);
        EXPECT_EQ(chapters, 1u);
        EXPECT_EQ(info->GetNumberOfChapters(3, &chapters), E_INVALIDARG);
        std::u16string folder;
        EXPECT_EQ(info->GetDVDDirectory(&folder), S_OK);
        EXPECT_EQ(folder, path.u16string());
    }
}

TEST(DvdNavigator, TitleAttributesNameTheLanguagesAndTheVideo)
{
    auto nav = Navigator();
    ASSERT_EQ(Open(nav.get(), fx::DvdFixture()), S_OK);
    auto info = nav.as<IDvdInfo2>();
    DVD_TITLE_ATTRIBUTES a;
    ASSERT_EQ(info->GetTitleAttributes(2, &a), S_OK);
    ASSERT_EQ(a.ulNumberOfAudioStreams, 2u);
    EXPECT_EQ(a.AudioAttributes[0].Language, LcidFromLanguageCode("en"));
    EXPECT_EQ(a.AudioAttributes[1].Language, LcidFromLanguageCode("de"));
    EXPECT_EQ(a.AudioAttributes[0].AudioFormat, DVD_AudioFormat_AC3);
    EXPECT_EQ(a.AudioAttributes[0].dwFrequency, 48000u);
    ASSERT_EQ(a.ulNumberOfSubpictureStreams, 2u);
    EXPECT_EQ(a.SubpictureAttributes[1].Language, LcidFromLanguageCode("fr"));
    EXPECT_EQ(a.ulAudioStreamsEnabled, 0x3u) << "the title's program chain enables both";
    EXPECT_EQ(a.ulSubpictureStreamsEnabled, 0x3u);
    EXPECT_EQ(a.VideoAttributes.ulFrameRate, 25u);
    EXPECT_EQ(a.VideoAttributes.ulSourceResolutionX, 352u);
    EXPECT_FALSE(a.VideoAttributes.fIsMPEG1);
    EXPECT_EQ(info->GetTitleAttributes(3, &a), E_INVALIDARG);

    // Before playing, the stream questions answer for the first title.
    uint32_t available = 0, current = 9;
    ASSERT_EQ(info->GetCurrentAudio(&available, &current), S_OK);
    EXPECT_EQ(available, 2u);
    EXPECT_EQ(current, 0u);
    LCID lcid = 0;
    EXPECT_EQ(info->GetAudioLanguage(1, &lcid), S_OK);
    EXPECT_EQ(EnglishLanguageName(lcid), u"German");
    EXPECT_EQ(info->GetAudioLanguage(2, &lcid), E_INVALIDARG);
    bool enabled = false;
    EXPECT_EQ(info->IsSubpictureStreamEnabled(1, &enabled), S_OK);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(info->IsSubpictureStreamEnabled(2, &enabled), S_OK);
    EXPECT_FALSE(enabled);
}

TEST(DvdNavigator, PinsOfferTheDiscsTypesOnlyOnceADiscIsOpen)
{
    auto nav = Navigator();
    const auto pins = PinsOf(nav.get(), PINDIR_OUTPUT);
    ASSERT_EQ(pins.size(), 3u);
    EXPECT_EQ(PinName(pins[0].get()), u"Video");
    EXPECT_EQ(PinName(pins[1].get()), u"Audio");
    EXPECT_EQ(PinName(pins[2].get()), u"SubPicture");
    for (const auto& pin : pins)
        EXPECT_TRUE(MediaTypesOf(pin.get()).empty());
    ASSERT_EQ(Open(nav.get(), fx::DvdFixture()), S_OK);
    const GUID expected[3][2] = {{MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO},
                                 {MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3},
                                 {MEDIATYPE_Subtitle, MEDIASUBTYPE_VOBSUB}};
    for (size_t i = 0; i < pins.size(); ++i) {
        const auto types = MediaTypesOf(pins[i].get());
        ASSERT_EQ(types.size(), 1u) << i;
        EXPECT_EQ(types[0].majortype, expected[i][0]) << i;
        EXPECT_EQ(types[0].subtype, expected[i][1]) << i;
    }
}

TEST(DvdNavigator, TheVideoPinsTypeShowsTheTitlesShape)
{
    const struct {
        const fs::path& disc;
        int x, y;
    } cases[] = {{fx::DvdFixture(), 4, 3}, {fx::WideDvdFixture(), 16, 9}};
    for (const auto& c : cases) {
        auto nav = Navigator();
        ASSERT_EQ(Open(nav.get(), c.disc), S_OK);
        const auto types = MediaTypesOf(PinsOf(nav.get(), PINDIR_OUTPUT)[0].get());
        ASSERT_EQ(types.size(), 1u);
        const CodecParametersPtr p = CodecParametersOfType(types[0]);
        ASSERT_TRUE(p);
        EXPECT_EQ(int64_t(p->width) * p->sample_aspect_ratio.num * c.y,
                  int64_t(p->height) * p->sample_aspect_ratio.den * c.x)
            << c.x << ":" << c.y;
    }
}

TEST(DvdNavigator, WhatIsNoDiscIsRefusedAndLeavesNoDiscOpen)
{
    const fs::path empty = fx::MediaFolder() / "empty-folder";
    fs::create_directories(empty);
    for (const fs::path& path : {fx::MediaFolder() / "no-such-folder", empty, fx::WriteFile("not.ifo", "DVDVIDEO")}) {
        auto nav = Navigator();
        EXPECT_EQ(Open(nav.get(), path), VFW_E_DVD_INVALID_DISC) << path;
        auto info = nav.as<IDvdInfo2>();
        uint32_t titles = 0;
        EXPECT_EQ(info->GetDVDVolumeInfo(nullptr, nullptr, nullptr, &titles), VFW_E_DVD_INVALIDDOMAIN);
        for (const auto& pin : PinsOf(nav.get(), PINDIR_OUTPUT))
            EXPECT_TRUE(MediaTypesOf(pin.get()).empty());
    }
}

TEST(DvdNavigator, BrokenInformationFilesAreReadFromTheirBackupsOrRefused)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> damage;
        HRESULT result;
    } cases[] = {
        {"manager-ifo-cut", [](const fs::path& ts) { Truncate(ts / "VIDEO_TS.IFO", 100); }, S_OK},
        {"manager-both-cut",
         [](const fs::path& ts) {
             Truncate(ts / "VIDEO_TS.IFO", 100);
             Truncate(ts / "VIDEO_TS.BUP", 100);
         },
         VFW_E_DVD_INVALID_DISC},
        {"manager-both-empty",
         [](const fs::path& ts) {
             Truncate(ts / "VIDEO_TS.IFO", 0);
             Truncate(ts / "VIDEO_TS.BUP", 0);
         },
         VFW_E_DVD_INVALID_DISC},
        {"titleset-both-cut",
         [](const fs::path& ts) {
             Truncate(ts / "VTS_01_0.IFO", 300);
             Truncate(ts / "VTS_01_0.BUP", 300);
         },
         VFW_E_DVD_INVALID_DISC},
        {"titleset-missing",
         [](const fs::path& ts) {
             fs::remove(ts / "VTS_01_0.IFO");
             fs::remove(ts / "VTS_01_0.BUP");
         },
         VFW_E_DVD_INVALID_DISC},
        // A title table whose size lies would make the disc library free it
        // twice; such a manager file is refused before the library reads it.
        {"manager-title-table-wraps",
         [](const fs::path& ts) {
             PatchTitleTableEnd(ts / "VIDEO_TS.IFO", std::string(4, '\0'));
             PatchTitleTableEnd(ts / "VIDEO_TS.BUP", std::string(4, '\0'));
         },
         VFW_E_DVD_INVALID_DISC},
        {"manager-cut-inside-the-title-table", [](const fs::path& ts) { Truncate(ts / "VIDEO_TS.IFO", 3000); },
         VFW_E_DVD_INVALID_DISC},
        {"manager-title-table-past-the-end",
         [](const fs::path& ts) { PatchTitleTableEnd(ts / "VIDEO_TS.IFO", "\xFF\xFF\xFF\xF0"); },
         VFW_E_DVD_INVALID_DISC},
        // The disc library leaves out a table it cannot read, and the disc's
        // machine then follows the information file's pointer into nothing.
        {"titleset-chain-table-unreadable",
         [](const fs::path& ts) {
             BreakFirstTitleChain(ts / "VTS_01_0.IFO");
             BreakFirstTitleChain(ts / "VTS_01_0.BUP");
         },
         VFW_E_DVD_INVALID_DISC},
        {"manager-bad-magic",
         [](const fs::path& ts) {
             Patch(ts / "VIDEO_TS.IFO", 0, "XXXXXXXXXXXX");
             Patch(ts / "VIDEO_TS.BUP", 0, "XXXXXXXXXXXX");
         },
         VFW_E_DVD_INVALID_DISC},
    };
    for (const auto& c : cases) {
        const fs::path disc = fx::DvdCopy(c.name);
        c.damage(disc / "VIDEO_TS");
        auto nav = Navigator();
        EXPECT_EQ(Open(nav.get(), disc), c.result) << c.name;
    }
}
