#include "core/settings/ksystemtypes.h"

#include <algorithm>
#include <array>

#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"

namespace kolvarin {

namespace {

constexpr const char* kBassAudio[] = {".KOLVARIN_BASS_STREAM",
                                      ".WAV",
                                      ".MP1",
                                      ".MP2",
                                      ".MP3",
                                      ".OGG",
                                      ".MPC",
                                      ".MPP",
                                      ".MP+",
                                      ".APE",
                                      ".MAC",
                                      ".AAC",
                                      ".M4A",
                                      ".AC3",
                                      ".FLAC",
                                      ".FLA",
                                      ".WV",
                                      ".TTA",
                                      ".OFR",
                                      ".OFS"};
constexpr const char* kDirectXAudio[] = {".KOLVARIN_DIRECTX_AUDIO",
                                         ".AIF",
                                         ".AIFC",
                                         ".AIFF",
                                         ".AU",
                                         ".SND",
                                         ".MID",
                                         ".MIDI",
                                         ".MPA",
                                         ".RMI",
                                         ".WAX",
                                         ".WMA",
                                         ".UMX",
                                         ".RA",
                                         ".MOD",
                                         ".S3M",
                                         ".XM",
                                         ".IT",
                                         ".IMF",
                                         ".MT2",
                                         ".BRT",
                                         ".669",
                                         ".STM",
                                         ".MTM",
                                         ".OKT",
                                         ".WOW"};
constexpr const char* kDirectXVideo[] = {".KOLVARIN_DIRECTX_VIDEO",
                                         ".ASF",
                                         ".AVI",
                                         ".DIVX",
                                         ".IMF",
                                         ".M1V",
                                         ".M2V",
                                         ".MP2V",
                                         ".MPE",
                                         ".MPEG",
                                         ".MPG",
                                         ".3GP",
                                         ".WM",
                                         ".WMF",
                                         ".WMV",
                                         ".WMP",
                                         ".WMX",
                                         ".WVX",
                                         ".MOV",
                                         ".QT",
                                         ".DAT",
                                         ".RM",
                                         ".RMVB",
                                         ".RV",
                                         ".OGM",
                                         ".MKV",
                                         ".XVID",
                                         ".VOB",
                                         ".VRO",
                                         ".MP4",
                                         ".TS",
                                         ".BIK",
                                         ".SMK",
                                         ".FLV"};
constexpr const char* kDVD[] = {".KOLVARIN_DVD", ".IFO", ".DTS"};
constexpr const char* kCDA[] = {".KOLVARIN_CDA", ".CDA"};

const std::array<TFormatTable, 5> kTables = {{
    {kBassAudio, TSystemType::BassFile},
    {kDirectXAudio, TSystemType::DirectXAudio},
    {kDirectXVideo, TSystemType::DirectXVideo},
    {kDVD, TSystemType::DVD},
    {kCDA, TSystemType::CDTrack},
}};

char16_t lowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool startsWithNoCase(std::u16string_view text, std::u16string_view lowerPrefix)
{
    if (text.size() < lowerPrefix.size())
        return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i)
        if (lowerAscii(text[i]) != lowerPrefix[i])
            return false;
    return true;
}

// Case-insensitive (ASCII) equality of a UTF-16 extension with a table text.
bool sameExtension(std::u16string_view ext, std::string_view tableExt)
{
    if (ext.size() != tableExt.size())
        return false;
    for (size_t i = 0; i < ext.size(); ++i)
        if (lowerAscii(ext[i]) != lowerAscii(static_cast<unsigned char>(tableExt[i])))
            return false;
    return true;
}

} // namespace

std::span<const TFormatTable> FormatTables() { return kTables; }

std::u16string ExtractFileExtW(std::u16string_view fileName)
{
    const size_t dot = fileName.find_last_of(u"./\\:");
    if (dot == std::u16string_view::npos || fileName[dot] != u'.')
        return {};
    return std::u16string(fileName.substr(dot));
}

TSystemType SystemTypeOfFileName(std::u16string_view fileName, bool acceptAllFiles,
                                 const std::vector<std::string>& acceptedExtensions)
{
    const std::u16string ext = ExtractFileExtW(fileName);
    const bool isURL = IsURL(fileName);
    if (!acceptAllFiles && !isURL) {
        std::string upper = Utf16ToAnsi(ext);
        for (char& c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        const bool listed =
            std::find(acceptedExtensions.begin(), acceptedExtensions.end(), upper) != acceptedExtensions.end();
        if (!listed)
            return TSystemType::None;
    }
    const bool videoStreamExt = sameExtension(ext, ".asx") || sameExtension(ext, ".wmv");
    if (isURL) {
        const bool http = startsWithNoCase(fileName, u"http://") || startsWithNoCase(fileName, u"https://");
        if (http && !videoStreamExt)
            return TSystemType::BassStream;
        if (videoStreamExt)
            return TSystemType::DirectXStream;
        return TSystemType::None;
    }
    for (const auto& table : kTables)
        for (size_t i = 1; i < table.Extensions.size(); ++i)
            if (sameExtension(ext, table.Extensions[i]))
                return table.Type;
    return TSystemType::DirectXVideo;
}

} // namespace kolvarin
