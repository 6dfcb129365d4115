#include "audio/formats.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace kolvarin::audio {
namespace {

constexpr FormatRule kBuiltin[] = {
    {"wav", 0, bass::kCtypeWav},
    {"aiff", 0, bass::kCtypeAiff},
    {"mp3", AV_CODEC_ID_MP3, bass::kCtypeMp3},
    {"mp3", AV_CODEC_ID_MP2, bass::kCtypeMp3},
    {"mp3", AV_CODEC_ID_MP1, bass::kCtypeMp3},
    {"ogg", AV_CODEC_ID_VORBIS, bass::kCtypeOgg},
};
constexpr FormatRule kMpc[] = {{"mpc", 0, bass::kCtypeMpc}, {"mpc8", 0, bass::kCtypeMpc}};
constexpr FormatRule kApe[] = {{"ape", 0, bass::kCtypeApe}};
constexpr FormatRule kAac[] = {{"aac", AV_CODEC_ID_AAC, bass::kCtypeAac}};
constexpr FormatRule kMp4[] = {{"mov", AV_CODEC_ID_AAC, bass::kCtypeMp4}, {"mov", AV_CODEC_ID_ALAC, bass::kCtypeMp4}};
constexpr FormatRule kWv[] = {{"wv", 0, bass::kCtypeWv}};
constexpr FormatRule kAc3[] = {{"ac3", AV_CODEC_ID_AC3, bass::kCtypeAc3}, {"eac3", AV_CODEC_ID_EAC3, bass::kCtypeAc3}};
constexpr FormatRule kFlac[] = {{"flac", AV_CODEC_ID_FLAC, bass::kCtypeFlac},
                                {"ogg", AV_CODEC_ID_FLAC, bass::kCtypeFlacOgg}};
constexpr FormatRule kTta[] = {{"tta", 0, bass::kCtypeTta}};

} // namespace

std::span<const FormatRule> formatRules(FormatFamily family)
{
    switch (family) {
    case FormatFamily::Builtin: return kBuiltin;
    case FormatFamily::Mpc: return kMpc;
    case FormatFamily::Ape: return kApe;
    case FormatFamily::Aac: return kAac;
    case FormatFamily::Mp4: return kMp4;
    case FormatFamily::Wv: return kWv;
    case FormatFamily::Ac3: return kAc3;
    case FormatFamily::Flac: return kFlac;
    case FormatFamily::Tta: return kTta;
    case FormatFamily::Ofr: break;
    }
    return {};
}

} // namespace kolvarin::audio
