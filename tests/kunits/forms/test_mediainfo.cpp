// The media information of a medium: the stream lines shown after Play
// (video, audio, subtitle, missing decoders) and the edit dialog's file
// information.
#include <clocale>
#include <string>

#include <QStringList>

#include <gtest/gtest.h>

#include "forms/appstates.h"
#include "forms/edititemform.h"
#include "media_fixtures.h"
#include "temphome.h"

using namespace kolvarin;
namespace fx = ktest::media;

namespace {

TEST(StreamInfoText, EachUsedStreamHasItsLineAndAnUnusedOneNamesTheMissingDecoder)
{
    std::vector<TKStreamInfo> infos(6);
    infos[0].Valid = true;
    infos[0].Kind = 1;
    infos[0].Codec = "H264";
    infos[0].Width = 640;
    infos[0].Height = 480;
    infos[0].BitDepth = 24;
    infos[1].Valid = true;
    infos[1].Kind = 2;
    infos[1].Codec = "AAC";
    infos[1].SampleRateKHz = 44.1;
    infos[1].Channels = 2;
    infos[1].BitrateKbps = 128;
    infos[2].Valid = true;
    infos[2].Kind = 3;
    infos[2].Codec = "SRT";
    infos[2].Language = "eng";
    infos[2].TrackName = u"Kommentar \u00FC";
    infos[3].Kind = 2;
    infos[3].Codec = "DTS";
    infos[3].MissingDecoders = {{2, "DTS"}, {1, "other"}};
    infos[4].Kind = 1; // unused, nothing known missing: no line
    infos[5].Valid = true; // a stream of no known kind: no line
    // The numbers keep their point under a locale that writes a comma.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    ASSERT_TRUE(ktest::SetTestLocale(LC_NUMERIC, "de_DE.UTF-8"));
    const std::u16string text = BuildStreamInfoText(infos);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, u"Video stream: H264, 640x480 24 bits\r\n"
                    u"Audio stream: AAC, 2 channels, 128 kbits, 44.100 khz\r\n"
                    u"Subtitle stream: SRT, eng - Kommentar \u00FC\r\n"
                    u"No audio decoder for format 'DTS' found!\r\n");
}

TEST(EditItemMediaInfo, AVideoFileListsItsLengthAndEveryStream)
{
    // MPEG-4 part 2 at 25 frames a second and MP3 at 128 kbit/s; the codec
    // names come from the format databases.
    const QStringList lines = QString::fromStdU16String(MediaInformationText(fx::FileName(fx::AviFixture())))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Media length: 2.040 sec."));
    EXPECT_TRUE(lines[1].startsWith(u"Video format: 160 x 120, 24 Bits, 51 Frames, 25 Frames/Sec, "))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(u"Audio format: ") && lines[2].endsWith(u", 128 kBit/s, 44.100 kHz, Mono"))
        << lines[2].toStdString();
}

} // namespace
