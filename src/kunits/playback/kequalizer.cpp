#include "playback/kequalizer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

#include "core/stream/kreadln.h"
#include "core/text/kstrings.h"
#include "playback/ktagfile_p.h"
#include "playback/ktagtext_p.h"

namespace kolvarin {

namespace {

constexpr std::array<const char16_t*, EqualizerBandCount> kBandNames = {
    u"60 Hz", u"170 Hz", u"310 Hz", u"600 Hz", u"1 KHz", u"3 KHz", u"6 KHz", u"12 KHz", u"14 KHz", u"16 KHz"};

const char kRule[] = "///////////////////////////////////";

void SkipSpaces(std::string_view text, size_t& pos)
{
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
}

// Matches "EQBand<band> [ %d ]" the way scanf does: blanks in the pattern
// match any run of white space, and what follows the number is not looked at.
bool ParseBandLine(std::string_view line, int band, long long& gain)
{
    std::string prefix = "EQBand" + std::to_string(band);
    if (line.substr(0, prefix.size()) != prefix)
        return false;
    size_t pos = prefix.size();
    SkipSpaces(line, pos);
    if (pos >= line.size() || line[pos] != '[')
        return false;
    ++pos;
    SkipSpaces(line, pos);
    size_t end = pos;
    if (end < line.size() && (line[end] == '+' || line[end] == '-'))
        ++end;
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])) && end - pos < 12)
        ++end;
    return tagtext::ParseInteger(line.substr(pos, end - pos), -(1LL << 40), 1LL << 40, gain);
}

} // namespace

std::u16string GetEqualizerBandName(int band)
{
    if (band < 0 || band >= EqualizerBandCount)
        return {};
    return kBandNames[band];
}

std::u16string GetEqualizerBandGainText(int value)
{
    int gain = value - EqualizerNeutralValue;
    std::string text = std::string(gain >= 0 ? "+" : "").append(std::to_string(gain)).append(" db");
    return AnsiToUtf16(text);
}

float EqualizerGainDb(int value) { return static_cast<float>(value - EqualizerNeutralValue); }

int VideoEqualizerGain(int value)
{
    return static_cast<int>(std::lround(static_cast<float>(value) * 200.0f / 24.0f - 100.0f));
}

bool LoadEqualizerPreset(const std::u16string& fileName, TEqualizerValues& values)
{
    std::ifstream file(Utf16ToUtf8(fileName), std::ios::binary);
    if (!file)
        return false;
    std::string line;
    for (int band = 0; band < EqualizerBandCount; ++band) {
        ReadLnSkipComments(file, line);
        long long gain = 0;
        if (ParseBandLine(line, band, gain))
            values.Band[band] =
                static_cast<int>(std::clamp<long long>(gain + EqualizerNeutralValue, 0, EqualizerMaxValue));
    }
    return true;
}

bool SaveEqualizerPreset(const std::u16string& fileName, const TEqualizerValues& values)
{
    std::string text = std::string(kRule) + "\r\n// Kolvarin Equalizer Preset File\r\n" + kRule + "\r\n";
    for (int band = 0; band < EqualizerBandCount; ++band)
        text += "EQBand" + std::to_string(band) + " [ " + std::to_string(values.Band[band] - EqualizerNeutralValue) +
                " ]\r\n";
    return tagfile::WriteFileAtomically(fileName, text);
}

} // namespace kolvarin
