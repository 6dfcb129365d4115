// System types of file names and URLs, with and without the accepted-extension list.
#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "playback/ksystem.h"

namespace {

using namespace kolvarin;

TEST(SystemType, EveryDetectionCase)
{
    TKConfig config;
    config.SetDefaults();
    TKConfig::FillKnownExtensions(config.AcceptedExtensions);
    Config = &config;
    TKSystem system;
    struct Case {
        std::u16string name;
        bool acceptAll;
        TSystemType type;
    };
    const Case cases[] = {
        {u"/m/a.mp3", true, TSystemType::BassFile},
        {u"/m/A.FLAC", false, TSystemType::BassFile},
        {u"/m/a.OfS", false, TSystemType::BassFile},
        {u"/m/a.wma", false, TSystemType::DirectXAudio},
        {u"/m/a.imf", false, TSystemType::DirectXAudio}, // first table wins
        {u"/m/a.MP4", false, TSystemType::DirectXVideo}, // video table before the m4a decoder
        {u"/m/a.avi", false, TSystemType::DirectXVideo},
        {u"/m/VIDEO_TS.IFO", false, TSystemType::DVD},
        {u"/m/a.dts", false, TSystemType::DVD},
        {u"/m/Track07.CDA", false, TSystemType::CDTrack},
        {u"/m/a.xyz", true, TSystemType::DirectXVideo}, // unknown: the fallback
        {u"/m/a.xyz", false, TSystemType::None}, // not accepted
        {u"/m/noextension", false, TSystemType::None},
        {u"http://radio.example/live", false, TSystemType::BassStream},
        {u"HTTPS://radio.example/a.mp3", false, TSystemType::BassStream},
        {u"http://v.example/clip.wmv", false, TSystemType::DirectXStream},
        {u"mms://v.example/list.asx", false, TSystemType::DirectXStream},
        {u"mms://v.example/a.mp3", false, TSystemType::None}, // unknown live stream
    };
    for (const auto& c : cases) {
        config.AcceptAllFiles = c.acceptAll;
        EXPECT_EQ(system.GetSystemTypFromFileName(c.name), c.type) << std::string(c.name.begin(), c.name.end());
    }
    Config = nullptr;
}

TEST(SystemType, DecoderByExtensionInAnyCase)
{
    EXPECT_EQ(DecoderOfFileName(u"/a/b.OFS"), &BASS_OFR_StreamCreateFile);
    EXPECT_EQ(DecoderOfFileName(u"/a/b.ofr"), &BASS_OFR_StreamCreateFile);
    EXPECT_EQ(DecoderOfFileName(u"/a/b.Mp+"), &BASS_MPC_StreamCreateFile);
    EXPECT_EQ(DecoderOfFileName(u"/a/b.m4a"), &BASS_MP4_StreamCreateFile);
    EXPECT_EQ(DecoderOfFileName(u"/a/b.fla"), &BASS_FLAC_StreamCreateFile);
    EXPECT_EQ(DecoderOfFileName(u"/a/b.mp3"), &BASS_StreamCreateFile);
    EXPECT_EQ(StreamTypeName(0x10005), "MPEG layer 3");
    EXPECT_EQ(StreamTypeName(0x10901), "Free Lossless Audio Codec");
    EXPECT_EQ(StreamTypeName(77), "Unknown type(77)");
}

} // namespace
