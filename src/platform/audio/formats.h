#pragma once

// Which containers and codecs each create call accepts.

#include <span>

#include "audio/decoder.h"

namespace kolvarin::audio {

enum class FormatFamily { Builtin, Mpc, Ape, Aac, Mp4, Wv, Ac3, Flac, Ofr, Tta };

// Empty for OptimFROG, which has no decoder here.
std::span<const FormatRule> formatRules(FormatFamily family);

} // namespace kolvarin::audio
