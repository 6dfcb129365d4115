// Every format decodes a fixture made by ffmpeg; each create call opens only
// its own format; broken files fail with the library's error.

#include <cmath>
#include <fstream>

#include "audio/offline.h"
#include "audio_fixtures.h"

namespace {

using namespace kolvarin;
using namespace kolvarin::audio;
using namespace ktest::audio;
using Creator = HSTREAM (*)(bool, const void*, QWORD, QWORD, DWORD);

struct FormatCase {
    const char* file;
    const char* args;
    Creator create;
    DWORD ctype;
    bool lossless;
};

const FormatCase kFormats[] = {
    {"wav16.wav", "-c:a pcm_s16le", BASS_StreamCreateFile, bass::kCtypeWavPcm, true},
    {"float.wav", "-c:a pcm_f32le", BASS_StreamCreateFile, bass::kCtypeWavFloat, true},
    {"tone.aiff", "", BASS_StreamCreateFile, bass::kCtypeAiff, true},
    {"tone.mp3", "-c:a libmp3lame -b:a 192k", BASS_StreamCreateFile, bass::kCtypeMp3, false},
    {"tone.mp2", "-c:a mp2 -b:a 192k", BASS_StreamCreateFile, bass::kCtypeMp2, false},
    {"tone.ogg", "-c:a libvorbis -q:a 5", BASS_StreamCreateFile, bass::kCtypeOgg, false},
    {"tone.aac", "-c:a aac -aac_pns 0 -b:a 160k", BASS_AAC_StreamCreateFile, bass::kCtypeAac, false},
    {"tone.m4a", "-c:a aac -b:a 160k", BASS_MP4_StreamCreateFile, bass::kCtypeMp4, false},
    {"tone.ac3", "-c:a ac3 -b:a 192k", BASS_AC3_StreamCreateFile, bass::kCtypeAc3, false},
    {"tone.flac", "-c:a flac", BASS_FLAC_StreamCreateFile, bass::kCtypeFlac, true},
    {"tone.oga", "-c:a flac -f ogg", BASS_FLAC_StreamCreateFile, bass::kCtypeFlacOgg, true},
    {"tone.wv", "-c:a wavpack", BASS_WV_StreamCreateFile, bass::kCtypeWv, true},
    {"tone.tta", "-c:a tta", BASS_TTA_StreamCreateFile, bass::kCtypeTta, true},
};

// Every add-on call, to check that the others refuse a file.
const Creator kAllCreators[] = {BASS_StreamCreateFile,     BASS_MPC_StreamCreateFile,  BASS_APE_StreamCreateFile,
                                BASS_AAC_StreamCreateFile, BASS_MP4_StreamCreateFile,  BASS_WV_StreamCreateFile,
                                BASS_AC3_StreamCreateFile, BASS_FLAC_StreamCreateFile, BASS_OFR_StreamCreateFile,
                                BASS_TTA_StreamCreateFile};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.file; }

class FormatTest : public OfflineAudioTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatTest, DecodesTheFixtureWithItsOwnCallOnly)
{
    const FormatCase& f = GetParam();
    const std::filesystem::path file = encodedReference(f.file, f.args);
    ASSERT_FALSE(file.empty()) << "ffmpeg could not make " << f.file;
    for (const Creator other : kAllCreators) {
        if (other == f.create)
            continue;
        EXPECT_EQ(other(false, file.c_str(), 0, 0, 0), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorFileForm);
    }
    const HSTREAM stream = f.create(false, file.c_str(), 0, 0, 0);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BassChannelInfo info;
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.ctype, f.ctype);
    EXPECT_EQ(info.freq, 44100u);
    EXPECT_EQ(info.chans, 2u);

    const QWORD length = BASS_ChannelGetLength(stream, bass::kPosByte);
    const QWORD expected = static_cast<QWORD>(kRefFrames) * 4;
    if (f.lossless)
        EXPECT_EQ(length, expected);
    else
        EXPECT_NEAR(static_cast<double>(length), static_cast<double>(expected), 4096.0 * 4);

    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    const std::vector<float> out = pull(kRefFrames + 4096);
    const auto& ref = referenceSamples();
    if (f.lossless) {
        for (int i = 0; i < kRefFrames * 2; ++i)
            ASSERT_FLOAT_EQ(out[i], ref[i] / 32768.0f) << "sample " << i;
    } else {
        // Both tones come through on their own side.
        EXPECT_NEAR(toneLevel(out.data() + 8192, 32768, 2, 440, 44100), 0.4, 0.05);
        EXPECT_NEAR(toneLevel(out.data() + 8193, 32768, 2, 1000, 44100), 0.4, 0.05);
        EXPECT_LT(toneLevel(out.data() + 8192, 32768, 2, 1000, 44100), 0.02);
    }
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), BASS_ChannelGetLength(stream, bass::kPosByte));
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatTest, ::testing::ValuesIn(kFormats), [](const auto& format) {
    std::string name = format.param.file;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
});

using BadInputTest = OfflineAudioTest;

TEST_F(BadInputTest, BrokenFilesFailWithTheLibraryError)
{
    const std::filesystem::path flac = encodedReference("tone.flac", "-c:a flac");
    const std::filesystem::path mp3 = encodedReference("tone.mp3", "-c:a libmp3lame -b:a 192k");
    const std::string flacBytes = [&] {
        std::ifstream in(flac, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const std::filesystem::path dir = mediaDir();
    std::ofstream(dir / "empty.mp3").flush();
    std::ofstream(dir / "garbage.mp3", std::ios::binary) << std::string(5000, '\x5a');
    std::ofstream(dir / "header-only.flac", std::ios::binary) << flacBytes.substr(0, 60);
    std::filesystem::copy_file(flac, dir / "flac-named.mp3", std::filesystem::copy_options::overwrite_existing);

    struct Case {
        std::filesystem::path file;
        Creator create;
        int error;
    } cases[] = {
        {dir / "missing.mp3", BASS_StreamCreateFile, bass::kErrorFileOpen},
        {dir, BASS_StreamCreateFile, bass::kErrorFileOpen},
        {dir / "empty.mp3", BASS_StreamCreateFile, bass::kErrorFileForm},
        {dir / "garbage.mp3", BASS_StreamCreateFile, bass::kErrorFileForm},
        {dir / "header-only.flac", BASS_FLAC_StreamCreateFile, bass::kErrorFileForm},
        {dir / "flac-named.mp3", BASS_StreamCreateFile, bass::kErrorFileForm},
        {mp3, BASS_OFR_StreamCreateFile, bass::kErrorFileForm},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.create(false, c.file.c_str(), 0, 0, 0), 0u) << c.file;
        EXPECT_EQ(BASS_ErrorGetCode(), c.error) << c.file;
    }
}

TEST_F(BadInputTest, TruncatedFileEndsEarlyAndReportsTheRealLength)
{
    const std::string wav = [] {
        std::ifstream in(referenceWav(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const std::filesystem::path cut = mediaDir() / "cut.wav";
    std::ofstream(cut, std::ios::binary) << wav.substr(0, 44 + 4 * 1000 + 2); // half a frame at the end
    const HSTREAM stream = open(cut);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, false));
    pull(4000);
    EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
    EXPECT_EQ(BASS_ChannelGetPosition(stream, bass::kPosByte), 4000u);
    EXPECT_EQ(BASS_ChannelGetLength(stream, bass::kPosByte), 4000u);
}

TEST_F(BadInputTest, MemoryAndUtf16NamesOpenLikeFiles)
{
    std::ifstream in(referenceWav(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    const HSTREAM fromMemory = BASS_StreamCreateFile(true, bytes.data(), 0, bytes.size(), 0);
    ASSERT_NE(fromMemory, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(fromMemory, bass::kPosByte), static_cast<QWORD>(kRefFrames) * 4);

    const std::filesystem::path named = mediaDir() / "Grüße ✓.wav";
    std::filesystem::copy_file(referenceWav(), named, std::filesystem::copy_options::overwrite_existing);
    const std::u16string wide = named.u16string();
    EXPECT_NE(BASS_StreamCreateFile(false, wide.c_str(), 0, 0, bass::kUnicode), 0u);
}

} // namespace
